// Key filters of the edit lines: which keys a box admits, up to which length, and
// whether its button is enabled by the text length.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace hart {

inline constexpr char32_t kBackspace = 8;

struct KeyFilter {
    std::string_view box;      // edit line, e.g. "Edit24"
    std::string_view extra;    // characters admitted besides digits and Backspace, e.g. ".-"
    std::size_t maxLength;     // a non-Backspace key is refused at this length or more; 0 = none
    std::string_view button;   // button enabled by the length rule, empty when none
    std::size_t enableLength;  // the button is enabled when the length (after the key) ... see .cpp
};

// Every filter of the window, one row a box.
std::span<const KeyFilter> keyFilters();
const KeyFilter* keyFilterFor(std::string_view box);

// key pressed while the box holds `length` characters (selection included) -> admitted?
bool admitKey(const KeyFilter& filter, char32_t key, std::size_t length);

}  // namespace hart
