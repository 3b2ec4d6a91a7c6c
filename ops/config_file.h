// A configuration file as plain data: its schema version, when and by what it was written,
// the instrument's identity and its settings; reading and writing it as JSON, and comparing
// two of them. docs/config-file.md describes the format.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/config.h"

namespace ops::config {

inline constexpr std::string_view kFormat = "hart-configuration";
// Version 2 added the fields of the later revisions' and common-practice commands; files of
// version 1 read as they were.
inline constexpr int kSchemaVersion = 2;
inline constexpr int kOldestSchemaVersion = 1;

struct Record {
    int version = kSchemaVersion;
    std::string saved;  // UTC, "2026-12-08T17:20:53Z"
    std::string tool;   // "hart-cli 1.0.0"
    Values identity;    // the Identity fields
    Values fields;      // the Setting fields
    Values live;        // the Live fields, when read
    // For a document: the number fields as received, and what else is known of the instrument
    // ("hart-revision", "device-status" as a number). Informative, never compared or written.
    Numbers numbers;
    Values about;

    // Identity and settings together, as a drive's values hold them.
    Values all() const;
};

// Sorts a drive's values into the parts of a record.
Record recordOf(const Values& values, std::string saved, std::string tool);
// The same, with the drive's numbers and what its replies told besides.
Record recordOfDrive(const Account& account, std::string saved, std::string tool);

// A number as short as reads back the same: a single-precision value as one, "43.30476".
std::string exactText(double number);

std::string toJson(const Record& record);

// A record, or why the text is none: no JSON, another format, an unknown schema version, a
// field of no known name, or a value that is no string.
struct Parsed {
    std::optional<Record> record;
    std::string error;
};
Parsed parse(std::string_view text);

// Reads and parses a file.
Parsed load(const std::string& path);
// Writes beside the file and renames over it, so the file is whole or as it was; the error
// text, empty when written.
std::string saveAtomically(const std::string& path, std::string_view content);

// A field whose value differs; an empty value is a field the side does not hold.
struct Difference {
    std::string field;
    std::string left;
    std::string right;
};
// In table order, identity and settings; live values are never compared.
std::vector<Difference> compare(const Values& left, const Values& right);

// True when both hold the same manufacturer and device type.
bool sameModel(const Values& a, const Values& b);

// A JSON string literal.
std::string jsonString(std::string_view s);

// Now, as `Record::saved` holds it.
std::string utcNow();

}  // namespace ops::config
