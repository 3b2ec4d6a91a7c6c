// Key filters of edit lines: which keys a box admits, up to which length, and how its button
// is enabled by the text length. The window's filters are a table in ops/key_filters.cpp.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace hart {

inline constexpr char32_t kBackspace = 8;

// How a box's text length before the key press sets its button's enabled state.
enum class EnableRule {
    None,         // the filter touches no button
    UpToLength,   // enabled when the length is at most `enableLength`
    ExactLength,  // enabled when the length is exactly `enableLength`
};

struct KeyFilter {
    std::string_view box;     // object name of the edit line
    std::string_view extra;   // characters admitted besides digits and Backspace, e.g. ".-"
    std::size_t maxLength;    // an admitted key other than Backspace is refused at this length
    std::string_view button;  // button whose enabled state the filter sets; empty when none
    EnableRule rule;
    std::size_t enableLength;
};

// Whether a key with this text goes through a filter at all: Backspace and keys that type a
// printable character do; Tab, Enter, Escape, Delete and other control characters pass by.
bool reachesFilter(char32_t key);

// Key pressed while the box holds `lengthBefore` characters (selected text included): true when
// the box may receive it, false when the key is to be discarded. Backspace is always admitted.
bool admitKey(const KeyFilter& filter, char32_t key, std::size_t lengthBefore);

// Enabled state the filter gives its button on any key press, admitted or discarded; nothing
// when the filter has no button.
std::optional<bool> buttonEnabledAfter(const KeyFilter& filter, std::size_t lengthBefore);

struct KeyOutcome {
    bool admitted;
    std::optional<bool> buttonEnabled;
};
// Both decisions of one key press.
KeyOutcome onKeyPress(const KeyFilter& filter, char32_t key, std::size_t lengthBefore);

}  // namespace hart
