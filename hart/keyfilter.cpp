#include "hart/keyfilter.h"

#include <array>

namespace hart {

namespace {

constexpr std::array<KeyFilter, 10> kFilters{{
    // Date boxes: year, month, day.
    {"Edit24", "", 4, "", EnableRule::None, 0},
    {"Edit25", "", 2, "", EnableRule::None, 0},
    {"Edit29", "", 2, "", EnableRule::None, 0},
    // Final assembly number and sensor serial number.
    {"Edit26", "", 10, "Button39", EnableRule::ExactLength, 6},
    {"Edit28", "", 10, "Button37", EnableRule::ExactLength, 6},
    // Fixed loop current, 20 mA and 4 mA trim.
    {"Edit7", ".", 5, "", EnableRule::None, 0},
    {"Edit9", ".", 5, "Button15", EnableRule::UpToLength, 4},
    {"Edit10", ".", 5, "Button30", EnableRule::UpToLength, 4},
    // Low-point and high-point display adjustment.
    {"Edit13", ".-", 5, "Button24", EnableRule::UpToLength, 4},
    {"Edit19", ".-", 5, "Button31", EnableRule::UpToLength, 4},
}};

}  // namespace

std::span<const KeyFilter> keyFilters() {
    return kFilters;
}

const KeyFilter* keyFilterFor(std::string_view box) {
    for (const KeyFilter& f : kFilters) {
        if (f.box == box) return &f;
    }
    return nullptr;
}

bool reachesFilter(char32_t key) {
    return key == kBackspace || (key >= 0x20 && key != 0x7F);
}

bool admitKey(const KeyFilter& filter, char32_t key, std::size_t lengthBefore) {
    if (key == kBackspace) return true;
    const bool digit = key >= U'0' && key <= U'9';
    const bool extra =
        key < 0x80 && filter.extra.find(static_cast<char>(key)) != std::string_view::npos;
    if (!digit && !extra) return false;
    return lengthBefore < filter.maxLength;
}

std::optional<bool> buttonEnabledAfter(const KeyFilter& filter, std::size_t lengthBefore) {
    switch (filter.rule) {
        case EnableRule::UpToLength:
            return lengthBefore <= filter.enableLength;
        case EnableRule::ExactLength:
            return lengthBefore == filter.enableLength;
        case EnableRule::None:
            break;
    }
    return std::nullopt;
}

KeyOutcome onKeyPress(const KeyFilter& filter, char32_t key, std::size_t lengthBefore) {
    return {admitKey(filter, key, lengthBefore), buttonEnabledAfter(filter, lengthBefore)};
}

}  // namespace hart
