// Vendor instrument models: which device-specific commands a model answers, the settings it
// keeps for them and its reply layouts, as data. The universal commands stay with device.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/device.h"

namespace hartsim {

// What a code stands for at the instrument, named as its documentation names it.
struct Meaning {
    std::uint8_t code;
    std::string_view name;
};

// How the bytes of a write field are judged before they are kept.
struct Check {
    enum class Kind { Any, Codes, Bits, Float };
    Kind kind = Kind::Any;
    std::span<const Meaning> codes;  // Codes: each byte one of these; Bits: each bit set
    float min = 0.0f, max = 0.0f;    // Float: a finite wire float within min..max
};

// A stretch of write data after the key, kept at `at` in the row's record (or dropped).
struct Field {
    std::size_t at = 0;
    std::size_t length = 1;
    Check check;
    bool kept = true;
    // A coded field with a name is reported as held after an accepted write (see notes).
    std::string_view name = {};
};

// One device-specific command. A read answers head, the record and tail; a write judges its
// fields, keeps them in the record and echoes the request data.
struct VendorCommand {
    std::uint8_t number = 0;
    std::vector<std::uint8_t> key;  // leading request bytes that pick this row
    std::string record;
    bool write = false;
    std::vector<std::uint8_t> head;  // read: reply bytes before the record
    std::vector<std::uint8_t> tail;  // read: reply bytes after the record
    std::vector<Field> fields;       // write: the request bytes after the key, in order
    std::optional<Field> keyField;   // write: a key byte that names a part, reported as held
    std::uint8_t refusal = rc::kInvalidSelection;        // a code outside its check
    Reply (*custom)(Device&, const Request&) = nullptr;  // an irregular read
};

struct Record {
    std::string name;
    std::vector<std::uint8_t> bytes;  // as kept after power-up
};

// Command 3's four dynamic variables as unit code and value.
using Variables = std::array<std::pair<std::uint8_t, float>, 4>;
// Device variables 0 to 3 in their base units: the model's, or the transmitter's own.
Variables rawVariables(const Device& device);

struct Model {
    std::string name;  // as --device-spec names it
    std::uint8_t manufacturer = 0;
    std::uint8_t deviceType = 0;
    std::uint32_t deviceId = 0;
    Quantity quantity = Quantity::Temperature;
    std::string tag;
    std::vector<Record> records{};
    std::vector<VendorCommand> commands{};
    Variables (*variables)(const Device&) = nullptr;  // none: the transmitter's own four
    void (*setup)(Device&) = nullptr;                 // range, sensor and process if not the usual
};

std::span<const Model> models();
const Model* findModel(std::string_view name);

// A device of the model; the identity is used as given.
Device makeModelDevice(const Model& model, const Identity& identity);

// The model's answer, or nothing when the device's model has no row for the command.
std::optional<Reply> answerVendor(Device& device, const Request& request);

struct DeviceSpec : Identity {
    const Model* model = nullptr;  // none: the universal pressure transmitter
};

Device buildDevice(const DeviceSpec& spec);

// The demo loop: the universal transmitter at address 0, then each model at 1, 2, 3...
std::vector<DeviceSpec> demoLoop();

}  // namespace hartsim
