// Wire floats, their display text, typed numbers and 24-bit integers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "hart/parsed.h"

namespace hart {

using WireFloat = std::array<std::uint8_t, 4>;

// Four bytes, most significant first, widened exactly to extended precision.
long double decodeWireFloat(std::span<const std::uint8_t, 4> bytes);
WireFloat encodeWireFloat(float value);

// General format, 15 significant digits: "20", "0.100000001490116", "1E-5", "1.5E20".
// Always '.' whatever the C locale; both zeros give "0"; non-finite values give "NAN", "INF"
// and "-INF".
std::string floatText(long double value);

// A field that shows the whole float text.
inline constexpr std::size_t kWholeText = static_cast<std::size_t>(-1);

// The value as a field of `width` characters shows it: the float text cut to the width where
// the cut, read as a number, differs from the value by less than the weight of its last digit
// ("123.4499" at 8, "12." at 3); otherwise scientific with as many digits as fit ("1.5E20"), or
// one digit where none fits ("5E-5" at 3), so a cut never changes the magnitude. Non-finite
// values show "NAN", "INF", "-INF" whole.
std::string showValue(long double value, std::size_t width);

// Four reply bytes shown in a field of the display width.
std::string showFloat(std::span<const std::uint8_t, 4> bytes, std::size_t width);

// Typed text to the four request bytes: blanks (space, tab) around an optionally signed decimal
// with '.' and an optional exponent; "5." and ".5" pass, hex, inf and nan do not. Rounded once
// from extended to single precision. Errors "'%s' is not a valid floating point value" (the text
// as typed) or "Floating point overflow" (the value rounds to infinity); tiny values go to a
// denormal or zero.
Parsed<WireFloat> encodeTypedNumber(std::string_view text);

// b0 * 65536 + b1 * 256 + b2.
std::uint32_t decodeUint24(std::span<const std::uint8_t, 3> bytes);

}  // namespace hart
