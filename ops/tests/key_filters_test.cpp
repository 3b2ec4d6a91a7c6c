#include "ops/key_filters.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

namespace hart {
namespace {

using ops::keyFilterFor;
using ops::keyFilters;

const KeyFilter& filter(std::string_view box) {
    const KeyFilter* f = keyFilterFor(box);
    if (f == nullptr) throw std::runtime_error("no filter for " + std::string(box));
    return *f;
}

TEST(KeyFilters, EveryFilteredBoxHasOneRow) {
    std::set<std::string_view> boxes;
    for (const KeyFilter& f : keyFilters()) EXPECT_TRUE(boxes.insert(f.box).second) << f.box;
    EXPECT_EQ(boxes, (std::set<std::string_view>{"Edit24", "Edit25", "Edit29", "Edit26", "Edit28",
                                                 "Edit7", "Edit9", "Edit10", "Edit13", "Edit19"}));
    EXPECT_EQ(keyFilterFor("Edit21"), nullptr);
}

TEST(KeyFilters, OnlyTypingKeysReachAFilter) {
    // The text a real X server gives: Delete U+007F, Tab U+0009, Enter U+000D, Escape U+001B.
    const std::pair<char32_t, bool> cases[] = {
        {U'5', true},      {U'a', true},  {U' ', true},   {kBackspace, true},
        {U'\u4e2d', true}, {0x7F, false}, {U'\t', false}, {U'\r', false},
        {0x1B, false},     {0x03, false}, {0, false},
    };
    for (const auto& [key, reaches] : cases) EXPECT_EQ(reachesFilter(key), reaches) << int(key);
}

TEST(KeyFilters, AdmittedCharactersPerBox) {
    struct Case {
        std::string_view box;
        std::u32string admitted;
        std::u32string refused;
    };
    const Case cases[] = {
        {"Edit24", U"0123456789", U".-+ aE\u0660\uFF11"},
        {"Edit25", U"0123456789", U".-"},
        {"Edit29", U"0123456789", U".-"},
        {"Edit26", U"0123456789", U".-"},
        {"Edit28", U"0123456789", U".-"},
        {"Edit7", U"0123456789.", U"-,e"},
        {"Edit9", U"0123456789.", U"-,e"},
        {"Edit10", U"0123456789.", U"-,e"},
        {"Edit13", U"0123456789.-", U"+,e"},
        {"Edit19", U"0123456789.-", U"+,e"},
    };
    for (const auto& c : cases) {
        const KeyFilter& f = filter(c.box);
        for (char32_t k : c.admitted) EXPECT_TRUE(admitKey(f, k, 0)) << c.box << " " << int(k);
        for (char32_t k : c.refused) EXPECT_FALSE(admitKey(f, k, 0)) << c.box << " " << int(k);
        // Control keys other than Backspace (Ctrl+V is 22) are discarded as well.
        EXPECT_FALSE(admitKey(f, 22, 0)) << c.box;
        EXPECT_FALSE(admitKey(f, 0, 0)) << c.box;
    }
}

TEST(KeyFilters, LengthLimitMeasuredBeforeTheKey) {
    const std::pair<std::string_view, std::size_t> limits[] = {
        {"Edit24", 4}, {"Edit25", 2}, {"Edit29", 2}, {"Edit26", 10}, {"Edit28", 10},
        {"Edit7", 5},  {"Edit9", 5},  {"Edit10", 5}, {"Edit13", 5},  {"Edit19", 5},
    };
    for (const auto& [box, limit] : limits) {
        const KeyFilter& f = filter(box);
        const char32_t extra = f.extra.empty() ? U'7' : static_cast<char32_t>(f.extra.back());
        EXPECT_TRUE(admitKey(f, U'1', limit - 1)) << box;
        EXPECT_TRUE(admitKey(f, extra, limit - 1)) << box;
        EXPECT_FALSE(admitKey(f, U'1', limit)) << box;
        EXPECT_FALSE(admitKey(f, extra, limit)) << box;
        EXPECT_FALSE(admitKey(f, U'1', limit + 3)) << box;  // pasted beyond the limit
        // Backspace always passes, also at and beyond the limit.
        for (std::size_t len : {std::size_t{0}, limit, limit + 3}) {
            EXPECT_TRUE(admitKey(f, kBackspace, len)) << box << " " << len;
        }
    }
}

TEST(KeyFilters, TrimAndAdjustButtonsEnabledUpToFourCharacters) {
    const std::pair<std::string_view, std::string_view> pairs[] = {{"Edit9", "Button15"},
                                                                   {"Edit10", "Button30"},
                                                                   {"Edit13", "Button24"},
                                                                   {"Edit19", "Button31"}};
    for (const auto& [box, button] : pairs) {
        const KeyFilter& f = filter(box);
        EXPECT_EQ(f.button, button);
        for (std::size_t len = 0; len <= 4; ++len) EXPECT_EQ(buttonEnabledAfter(f, len), true);
        EXPECT_EQ(buttonEnabledAfter(f, 5), false) << box;
        EXPECT_EQ(buttonEnabledAfter(f, 9), false) << box;
        // Five characters: a sixth digit is refused, Backspace passes, both disable the button.
        EXPECT_EQ(onKeyPress(f, U'3', 5).admitted, false);
        EXPECT_EQ(onKeyPress(f, U'3', 5).buttonEnabled, false);
        EXPECT_EQ(onKeyPress(f, kBackspace, 5).admitted, true);
        EXPECT_EQ(onKeyPress(f, kBackspace, 5).buttonEnabled, false);
        // A discarded key still sets the button.
        EXPECT_EQ(onKeyPress(f, U'x', 2).admitted, false);
        EXPECT_EQ(onKeyPress(f, U'x', 2).buttonEnabled, true);
    }
}

TEST(KeyFilters, NumberBoxButtonsEnabledOnlyAtExactlySixCharacters) {
    const std::pair<std::string_view, std::string_view> pairs[] = {{"Edit26", "Button39"},
                                                                   {"Edit28", "Button37"}};
    for (const auto& [box, button] : pairs) {
        const KeyFilter& f = filter(box);
        EXPECT_EQ(f.button, button);
        // Typing digits into an empty box: enabled while the seventh is typed, off at the eighth.
        std::size_t length = 0;
        std::string states;
        for (int i = 0; i < 12; ++i) {
            const KeyOutcome o = onKeyPress(f, U'5', length);
            ASSERT_TRUE(o.buttonEnabled.has_value());
            states += *o.buttonEnabled ? '1' : '0';
            if (o.admitted) ++length;
        }
        EXPECT_EQ(states, "000000100000") << box;
        EXPECT_EQ(length, 10u);
    }
}

TEST(KeyFilters, DateAndCurrentBoxesTouchNoButton) {
    for (std::string_view box : {"Edit24", "Edit25", "Edit29", "Edit7"}) {
        EXPECT_TRUE(filter(box).button.empty());
        EXPECT_FALSE(buttonEnabledAfter(filter(box), 0).has_value()) << box;
    }
    // With 2019 in the year box, even wholly selected, a fifth digit is refused.
    EXPECT_FALSE(admitKey(filter("Edit24"), U'5', 4));
    EXPECT_TRUE(admitKey(filter("Edit24"), kBackspace, 4));
}

}  // namespace
}  // namespace hart
