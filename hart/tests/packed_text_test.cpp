#include "hart/packed_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hart {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes repeat(const Bytes& group, int times) {
    Bytes out;
    for (int i = 0; i < times; ++i) out.insert(out.end(), group.begin(), group.end());
    return out;
}

const Bytes kFourSpaces{0x82, 0x08, 0x20};

TEST(PackedText, PacksFieldsToTheirByteCount) {
    struct Case {
        std::string text;
        std::size_t chars;
        Bytes bytes;
    };
    const Case cases[] = {
        {"ABCD", 4, {0x04, 0x20, 0xC4}},
        {"    ", 4, kFourSpaces},
        {"", kMessageChars, repeat(kFourSpaces, 8)},
        {"", kTagChars, repeat(kFourSpaces, 2)},
        {"", kDescriptorChars, repeat(kFourSpaces, 4)},
        {"abc", kTagChars, {0x86, 0x28, 0xE0, 0x82, 0x08, 0x20}},  // codes 21 22 23, then spaces
        {"ABCDEFGHIJKL", kTagChars, {0x04, 0x20, 0xC4, 0x14, 0x61, 0xC8}},  // cut to 8
    };
    for (const auto& c : cases) EXPECT_EQ(packText(c.text, c.chars), c.bytes) << c.text;
}

TEST(PackedText, UnpacksToExactlyTheFieldLength) {
    EXPECT_EQ(unpackText(Bytes{0, 0, 0}, 4), "@@@@");
    EXPECT_EQ(unpackText(kFourSpaces, 4), "    ");
    EXPECT_EQ(unpackText(Bytes{0x04, 0x20, 0xC4}, 4), "ABCD");
    // Lower-case letters come back 0x40 lower.
    EXPECT_EQ(unpackText(packText("abc", kTagChars), kTagChars), "!\"#     ");
    // A short span cannot read past its end.
    EXPECT_EQ(unpackText(Bytes{0x04, 0x20}, 4), "AB@@");
}

TEST(PackedText, RoundTripsEveryCharacterOfTheSixBitSet) {
    std::string all;
    for (int c = 0x20; c <= 0x5F; ++c) all += static_cast<char>(c);
    ASSERT_EQ(all.size(), 64u);
    EXPECT_EQ(unpackText(packText(all, 64), 64), all);

    const std::string message = "TEST";
    const std::string unpacked = unpackText(packText(message, kMessageChars), kMessageChars);
    EXPECT_EQ(unpacked, "TEST" + std::string(28, ' '));

    const std::string forty(40, 'X');
    EXPECT_EQ(unpackText(packText(forty, kMessageChars), kMessageChars), std::string(32, 'X'));
}

TEST(PackedText, KeepsOnlyLowSixBitsOfHighBytes) {
    // A UTF-8 / double-byte character loses its upper two bits per byte.
    const std::string wide = "\xE4\xB8\xAD";  // 中
    EXPECT_EQ(unpackText(packText(wide, 4), 4), "\x24\x38\x2D ");
}

TEST(IntegerText, ConvertsDecimalInt32) {
    const std::pair<const char*, std::int32_t> ok[] = {
        {"0", 0},
        {"2019", 2019},
        {"  15", 15},
        {"15 ", 15},
        {"+7", 7},
        {"-1", -1},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"007", 7},
    };
    for (const auto& [text, value] : ok) {
        const auto r = parseInteger(text);
        EXPECT_TRUE(r.ok()) << text << r.error;
        EXPECT_EQ(r.value, value) << text;
    }
    const char* bad[] = {"",
                         "  ",
                         "+",
                         "-",
                         "+-1",
                         "1.5",
                         "12a",
                         "a12",
                         "2147483648",
                         "-2147483649",
                         "1 2",
                         "0x10",
                         "99999999999999999999"};
    for (const char* text : bad) {
        EXPECT_EQ(parseInteger(text).error,
                  std::string("'") + text + "' is not a valid integer value");
    }
}

TEST(DateBytes, EncodeDayMonthYearOrder) {
    struct Case {
        const char *year, *month, *day;
        DateBytes bytes;
    };
    const Case cases[] = {
        {"2019", "6", "15", {0x0F, 0x06, 0x77}},
        {"23", "1", "1", {0x01, 0x01, 0xAB}},
        {"1899", "13", "45", {45, 13, 255}},  // no range check, year wraps
        {"1900", "0", "0", {0, 0, 0}},
        {"2155", "12", "31", {31, 12, 255}},
        {"-2147483648", "-1", "256", {0, 255, 0x94}},  // low 8 bits, no overflow on year - 1900
    };
    for (const auto& c : cases) {
        const auto r = encodeDate(c.year, c.month, c.day);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.value, c.bytes) << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(DateBytes, FirstFailingTextInDayMonthYearOrderIsReported) {
    EXPECT_EQ(encodeDate("x", "y", "").error, "'' is not a valid integer value");
    EXPECT_EQ(encodeDate("x", "y", "1").error, "'y' is not a valid integer value");
    EXPECT_EQ(encodeDate("x", "1", "1").error, "'x' is not a valid integer value");
}

TEST(DateBytes, DecodeShowsFullYear) {
    const auto d = decodeDate(DateBytes{0x0F, 0x06, 0x77});
    EXPECT_EQ(d.day, "15");
    EXPECT_EQ(d.month, "6");
    EXPECT_EQ(d.year, "2019");
    EXPECT_EQ(decodeDate(DateBytes{0, 0, 0xAB}).year, "2071");
    const auto max = decodeDate(DateBytes{0xFF, 0xFF, 0xFF});
    EXPECT_EQ(max.day, "255");
    EXPECT_EQ(max.year, "2155");
}

}  // namespace
}  // namespace hart
