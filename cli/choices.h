// The items of the window's boxes, and finding the one a typed value names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Items of a box in item order; empty for a control that is no item box.
std::vector<std::string_view> itemsOf(std::string_view box);

// What a reply's item selection shows: the item's text without its trailing blanks; units
// without their list number.
std::string itemText(std::string_view box, int index);

// The item a value names: the item's text, matched case-insensitively and without trailing
// blanks, or that text without the index prefix the list puts in front ("00_", "01-0C-",
// "05_10 "). Nothing when no item, or more than one, matches.
std::optional<int> findItem(std::string_view box, std::string_view value);

}  // namespace cli
