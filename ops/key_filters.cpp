#include "ops/key_filters.h"

#include <array>

namespace ops {

namespace {

using hart::EnableRule;
using hart::KeyFilter;

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

std::span<const hart::KeyFilter> keyFilters() {
    return kFilters;
}

const KeyFilter* keyFilterFor(std::string_view box) {
    for (const KeyFilter& f : kFilters) {
        if (f.box == box) return &f;
    }
    return nullptr;
}

}  // namespace ops
