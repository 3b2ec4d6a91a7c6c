// The commissioning report of one instrument as an A4 PDF, in Chinese: a header with the
// instrument's identity, its configuration, live values at the time, the loop check when one
// was run, and signature fields; every page footed with its number and the instrument's tag.
// Shared by the window and hart-cli; needs Qt Gui, and makes an offscreen application when
// there is none.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/config_file.h"
#include "ops/loop_check.h"

namespace report {

// How the window labels a field: its caption, and its unit, fixed or held by another field.
struct Label {
    std::string caption;  // empty: the field's name
    std::string unit;
    std::string unitField;
};
using Labels = std::function<Label(std::string_view field)>;

// What the report prints, before it is laid out on pages.
struct Table {
    std::vector<double> widths;  // of the columns, in parts of the page's width
    bool header = false;         // the first row heads the columns, again on every page
    std::vector<std::vector<std::string>> rows;
    std::vector<std::size_t> failed;  // rows printed as failed
};
struct Block {
    enum class Kind { Title, Heading, Text, Table, Plot, Signatures } kind;
    std::string text;                                   // Title, Heading, Text
    Table table;                                        // Table, Signatures
    const ops::loopcheck::Record* loopCheck = nullptr;  // Plot: its error against set point
};
struct Document {
    std::string title;
    std::string tag;  // the footer's
    std::vector<Block> blocks;
};

// The report's content; `loopCheck` may be null.
Document document(const ops::config::Record& record, const Labels& labels,
                  const ops::loopcheck::Record* loopCheck);

// Writes the report to `path` (atomically); the error text, empty when written.
std::string writePdf(const std::string& path, const ops::config::Record& record,
                     const Labels& labels, const ops::loopcheck::Record* loopCheck = nullptr);

}  // namespace report
