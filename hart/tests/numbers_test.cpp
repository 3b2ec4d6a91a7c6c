#include "hart/numbers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace hart {
namespace {

struct DecodeCase {
    WireFloat bytes;
    std::size_t width;
    const char* shown;
};

TEST(WireFloatText, ReplyBytesShowAtTheirWidth) {
    const DecodeCase cases[] = {
        {{0x41, 0xA0, 0x00, 0x00}, kWholeText, "20"},
        {{0x3F, 0x80, 0x00, 0x00}, 3, "1"},
        {{0x42, 0xF6, 0xE6, 0x66}, kWholeText, "123.449996948242"},
        {{0x42, 0xF6, 0xE6, 0x66}, 3, "123"},
        {{0x42, 0xF6, 0xE6, 0x66}, 8, "123.4499"},
        {{0xC2, 0xF6, 0xE6, 0x66}, 9, "-123.4499"},
        {{0xBF, 0x80, 0x00, 0x00}, kWholeText, "-1"},
        {{0x3D, 0xCC, 0xCC, 0xCD}, kWholeText, "0.100000001490116"},  // nearest 0.1
        {{0x3D, 0xCC, 0xCC, 0xCD}, 8, "0.100000"},
        {{0x3D, 0xCC, 0xCC, 0xCD}, 3, "0.1"},
        {{0x41, 0x45, 0x85, 0x1F}, 3, "12."},  // 12.345: a trailing separator may remain
        {{0x00, 0x00, 0x00, 0x00}, kWholeText, "0"},
        {{0x80, 0x00, 0x00, 0x00}, kWholeText, "0"},  // negative zero
        // A cut that would change the magnitude shows scientific, as many digits as fit.
        {{0x38, 0x51, 0xB7, 0x17}, 3, "5E-5"},    // 5E-5: wider than the field
        {{0x61, 0x02, 0x1A, 0xB1}, 8, "1.5E20"},  // not "1.500000"
        {{0xB6, 0x7F, 0x03, 0x81}, 5, "-4E-6"},   // -3.8E-6, not "-3.79"
        {{0x47, 0xF1, 0x20, 0x00}, 3, "1E5"},     // 123456
        {{0x47, 0xC3, 0x4F, 0xC0}, 5, "99999"},   // 99999.5 within the weight of its last digit
        {{0x39, 0x00, 0xF9, 0x90}, 5, "0.000"},   // 0.000123: the cut's last digit weighs more
        // Not-a-number and infinity show whole, in any field.
        {{0x7F, 0xA0, 0x00, 0x00}, 3, "NAN"},
        {{0x7F, 0x80, 0x00, 0x00}, 3, "INF"},
        {{0xFF, 0x80, 0x00, 0x00}, 3, "-INF"},
        {{0x7F, 0x00, 0x00, 0x01}, 9, "1.7014E38"},  // a 0x7F lead byte of a finite number
    };
    for (const auto& c : cases) {
        EXPECT_EQ(showFloat(c.bytes, c.width), c.shown) << c.shown;
    }
}

TEST(WireFloatText, WidensExactlyWithoutRounding) {
    const WireFloat pi{0x40, 0x49, 0x0F, 0xD0};  // 3.14159f
    EXPECT_EQ(decodeWireFloat(pi), static_cast<long double>(3.14159f));
    EXPECT_EQ(floatText(decodeWireFloat(pi)), "3.1415901184082");
    // Smallest denormal survives the widening.
    EXPECT_EQ(decodeWireFloat(WireFloat{0x00, 0x00, 0x00, 0x01}),
              static_cast<long double>(std::numeric_limits<float>::denorm_min()));
}

TEST(WireFloatText, GeneralFormatSwitchesNotationAtItsThresholds) {
    const std::pair<long double, const char*> cases[] = {
        {4.0L, "4"},
        {0.0001L, "0.0001"},
        {0.00001L, "1E-5"},
        {static_cast<long double>(0.0001f), "9.99999974737875E-5"},  // widened, below 1e-4
        {-2.5e-7L, "-2.5E-7"},
        {1.5e20L, "1.5E20"},
        {1e15L, "1E15"},
        {999999999999999.0L, "999999999999999"},
        {999999999999999.9L, "1E15"},  // rounds up to 16 digits, so scientific
        {1e100L, "1E100"},
        {-123.5L, "-123.5"},
        {0.5L, "0.5"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(floatText(value), text) << text;
}

TEST(TypedNumber, ValidTextsGiveTheirRequestBytes) {
    const std::pair<const char*, WireFloat> cases[] = {
        {"12.5", {0x41, 0x48, 0x00, 0x00}},
        {" -0.25 ", {0xBE, 0x80, 0x00, 0x00}},
        {"1e3", {0x44, 0x7A, 0x00, 0x00}},
        {"1E+3", {0x44, 0x7A, 0x00, 0x00}},
        {"+3.5", {0x40, 0x60, 0x00, 0x00}},
        {"20.1", {0x41, 0xA0, 0xCC, 0xCD}},
        {"-0.5", {0xBF, 0x00, 0x00, 0x00}},
        {"5.", {0x40, 0xA0, 0x00, 0x00}},
        {".5", {0x3F, 0x00, 0x00, 0x00}},
        {"\t2\t", {0x40, 0x00, 0x00, 0x00}},
        {"0", {0x00, 0x00, 0x00, 0x00}},
        {"-0", {0x80, 0x00, 0x00, 0x00}},
        {"1e-50", {0x00, 0x00, 0x00, 0x00}},
        {"1e-99999", {0x00, 0x00, 0x00, 0x00}},
        {"1.4e-45", {0x00, 0x00, 0x00, 0x01}},  // denormal, no message
        {"3.4028235e38", {0x7F, 0x7F, 0xFF, 0xFF}},
        {"0.00000000000000000000000000000000000000000000000000001e90", {0x7C, 0xF0, 0xBD, 0xC2}},
    };
    for (const auto& [text, bytes] : cases) {
        const auto r = encodeTypedNumber(text);
        ASSERT_TRUE(r.ok()) << text << ": " << r.error;
        EXPECT_EQ(r.value, bytes) << text;
    }
}

TEST(TypedNumber, RoundsOnceToNearestEven) {
    // 1 + 2^-24 lies halfway between 1 and the next float: ties go to the even mantissa (1).
    EXPECT_EQ(encodeTypedNumber("1.000000059604644775390625").value, (WireFloat{0x3F, 0x80, 0, 0}));
    // Just above the halfway point rounds up.
    EXPECT_EQ(encodeTypedNumber("1.0000000596046448").value, (WireFloat{0x3F, 0x80, 0, 1}));
}

TEST(TypedNumber, InvalidTextsQuoteTheTextAsTyped) {
    const char* texts[] = {"abc", "",   "   ", ".",  "-",     "+",   "-.",  "1,5", "0x1", "inf",
                           "nan", "1e", "1e+", "e5", "1.2.3", "--1", "- 1", "1 2", "12a", "1e5.0"};
    for (const char* text : texts) {
        const auto r = encodeTypedNumber(text);
        EXPECT_FALSE(r.ok()) << text;
        EXPECT_EQ(r.error, std::string("'") + text + "' is not a valid floating point value");
    }
}

TEST(TypedNumber, MagnitudesBeyondSinglePrecisionOverflow) {
    const char* texts[] = {"1e40", "-1e40", "1e5000", "1e999999999999999999999", "3.5e38"};
    for (const char* text : texts)
        EXPECT_EQ(encodeTypedNumber(text).error, "Floating point overflow") << text;
    // FLT_MAX plus just under half an ulp (one extended ulp less) still rounds down to FLT_MAX.
    EXPECT_EQ(encodeTypedNumber("340282356779733661619092651384433016832").value,
              (WireFloat{0x7F, 0x7F, 0xFF, 0xFF}));
    EXPECT_EQ(encodeTypedNumber("340282356779733661637539395458142568448").error,
              "Floating point overflow");
}

TEST(Uint24, DecodesMostSignificantFirst) {
    using B = std::array<std::uint8_t, 3>;
    EXPECT_EQ(decodeUint24(B{0x00, 0x01, 0x00}), 256u);
    EXPECT_EQ(decodeUint24(B{0xFF, 0xFF, 0xFF}), 16777215u);
    EXPECT_EQ(decodeUint24(B{0x12, 0x34, 0x56}), 1193046u);
}

}  // namespace
}  // namespace hart
