// HART packed ASCII (four 6-bit characters in three bytes) and the date bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hart/parsed.h"

namespace hart {

inline constexpr std::size_t kMessageChars = 32;
inline constexpr std::size_t kTagChars = 8;
inline constexpr std::size_t kDescriptorChars = 16;

// Cuts or pads (with spaces) the text to `chars` bytes, then packs the low six bits of each byte:
// 3 * chars / 4 bytes (a count that is not a multiple of 4 is padded up to a whole group).
std::vector<std::uint8_t> packText(std::string_view text, std::size_t chars);
// The first `chars` characters of a UTF-8 text as they can be packed: lower-case letters become
// capitals; any other character outside space .. underscore is refused with a message naming it.
Parsed<std::string> packableText(std::string_view utf8, std::size_t chars);
// Exactly `chars` characters, trailing spaces kept; bytes missing from a short span read as 0.
std::string unpackText(std::span<const std::uint8_t> bytes, std::size_t chars);

using DateBytes = std::array<std::uint8_t, 3>;  // day, month, year - 1900 (mod 256)

// Converts day, month, year in that order; error "'%s' is not a valid integer value". A year
// outside 1900 .. 2155 (one byte above 1900) or a day that is not in the calendar is refused.
Parsed<DateBytes> encodeDate(std::string_view year, std::string_view month, std::string_view day);

struct DateText {
    std::string year;
    std::string month;
    std::string day;
};
DateText decodeDate(std::span<const std::uint8_t, 3> bytes);

// Decimal integer conversion of the date and number boxes (signed 32-bit): optional blanks
// around an optionally signed run of digits; error "'%s' is not a valid integer value".
Parsed<std::int32_t> parseInteger(std::string_view text);

}  // namespace hart
