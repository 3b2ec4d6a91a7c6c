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

TEST(DateBytes, EncodeDayMonthYearOrderOnlyForCalendarDates) {
    struct Case {
        const char *year, *month, *day;
        DateBytes bytes;
        const char* error;  // nullptr: accepted
    };
    const Case cases[] = {
        {"2019", "6", "15", {0x0F, 0x06, 0x77}, nullptr},
        {"1900", "1", "1", {1, 1, 0}, nullptr},
        {"2155", "12", "31", {31, 12, 255}, nullptr},
        {"2024", "2", "29", {29, 2, 124}, nullptr},
        // A wrapped year or a date that does not exist would be stored as another date.
        {"23", "1", "1", {}, "年份23无效:只能写入1900到2155年"},
        {"1899", "6", "15", {}, "年份1899无效:只能写入1900到2155年"},
        {"2200", "6", "15", {}, "年份2200无效:只能写入1900到2155年"},
        {"-2147483648", "1", "1", {}, "年份-2147483648无效:只能写入1900到2155年"},
        {"2019", "13", "1", {}, "日期无效:2019年13月1日不存在"},
        {"2019", "0", "1", {}, "日期无效:2019年0月1日不存在"},
        {"2019", "6", "31", {}, "日期无效:2019年6月31日不存在"},
        {"2100", "2", "29", {}, "日期无效:2100年2月29日不存在"},
        {"2019", "1", "0", {}, "日期无效:2019年1月0日不存在"},
    };
    for (const auto& c : cases) {
        const auto r = encodeDate(c.year, c.month, c.day);
        EXPECT_EQ(r.error, c.error ? c.error : "") << c.year << "-" << c.month << "-" << c.day;
        if (!c.error) {
            EXPECT_EQ(r.value, c.bytes) << c.year << "-" << c.month << "-" << c.day;
        }
    }
}

TEST(PackedText, PackableTextRaisesLowerCaseAndRefusesTheRest) {
    const char* kRule = "不能写入仪表:只能使用大写字母、数字、空格和 !\"#$%&'()*+,-./:;<=>?@[\\]^_";
    struct Case {
        const char* text;
        std::size_t chars;
        const char* packable;
        std::string refused;  // the character named, or empty
    };
    const Case cases[] = {
        {"tag-1", 8, "TAG-1", ""},
        {"A_z[@]", 8, "A_Z[@]", ""},
        {"0123456789abc", 8, "01234567", ""},  // cut first: what is cut is not checked
        {"TEMP\u00e9", 4, "TEMP", ""},
        {"caf\u00e9", 8, "", "'\u00e9'"},
        {"\u4e2d", 8, "", "'\u4e2d'"},
        {"a{b", 8, "", "'{'"},
        {"a~", 8, "", "'~'"},
        {"a\tb", 8, "", "U+0009"},
        {"a\x7f", 8, "", "U+007F"},
        {"a\xff", 8, "", "0xFF"},
    };
    for (const auto& c : cases) {
        const auto r = packableText(c.text, c.chars);
        EXPECT_EQ(r.value, c.packable) << c.text;
        EXPECT_EQ(r.error, c.refused.empty() ? "" : "字符" + c.refused + kRule) << c.text;
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
