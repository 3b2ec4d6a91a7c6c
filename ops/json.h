// A small JSON reader: enough for the tool's own files, their objects, arrays, strings,
// numbers, true, false and null.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ops {

struct Json {
    enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
    double number = 0;
    std::string string;
    std::vector<Json> items;
    // An object's members, in order: names[i] names values[i]. (No pair: Json is incomplete
    // here, which std::pair does not allow.)
    std::vector<std::string> names;
    std::vector<Json> values;
};

// The document, or nullopt with the reason in `error`.
std::optional<Json> parseJson(std::string_view text, std::string& error);

// The object's member of that name; null when it has none.
const Json* member(const Json& object, std::string_view name);

}  // namespace ops
