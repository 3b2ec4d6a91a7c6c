// The command line's names: one row per command naming the operation-table row it runs and
// the controls its values fill, and the English name of every control a reply sets.
#pragma once

#include <span>
#include <string_view>

namespace cli {

// How a value reaches its control.
enum class ArgKind {
    Text,  // the text as typed
    Item,  // an item of the box, by its text
    Date,  // YYYY-MM-DD into the year, month and day boxes (control, control2, control3)
};

struct Arg {
    std::string_view name;     // as the usage shows it
    std::string_view control;  // the control it fills
    ArgKind kind = ArgKind::Text;
    std::string_view control2 = {};
    std::string_view control3 = {};
};

// A control set to a fixed value by the command itself (a radio button checked).
struct Preset {
    std::string_view control;
    bool checked;
};

struct Command {
    std::string_view name;     // one word, or two ("burst on")
    std::string_view control;  // the operation-table row it runs
    std::string_view summary;
    std::span<const Arg> args = {};
    // Reads whose session state the row needs (the unit, an E+H prefix, the TT50C tail),
    // run first with the same values.
    std::span<const std::string_view> first = {};
    std::span<const Preset> presets = {};
    bool rest = false;          // the last value takes every remaining word (the console's bytes)
    bool lastOptional = false;  // the last value may be left out
};

std::span<const Command> commands();
const Command* findCommand(std::string_view name);

// A control a reply sets, as the command line shows it.
struct FieldName {
    std::string_view control;
    std::string_view name;          // English, lower case with dashes
    std::string_view caption;       // the window's caption beside the control
    std::string_view unit = {};     // a fixed unit
    std::string_view unitBox = {};  // the box holding the value's unit
};

std::span<const FieldName> fieldNames();
const FieldName* fieldName(std::string_view control);
// True for a unit box that belongs to a value field: shown with that value, not on its own.
bool isUnitOfAnotherField(std::string_view control);

}  // namespace cli
