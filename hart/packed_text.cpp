#include "hart/packed_text.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace hart {

namespace {

constexpr char kPad = ' ';

std::size_t groupsFor(std::size_t chars) {
    return (chars + 3) / 4;
}

}  // namespace

std::vector<std::uint8_t> packText(std::string_view text, std::size_t chars) {
    // Field sizes are multiples of four; any other size is padded up to a whole group.
    std::string work(groupsFor(chars) * 4, kPad);
    work.replace(0, std::min(text.size(), chars), text.substr(0, chars));

    std::vector<std::uint8_t> bytes;
    bytes.reserve(groupsFor(chars) * 3);
    for (std::size_t g = 0; g < work.size(); g += 4) {
        const unsigned k0 = static_cast<unsigned char>(work[g]) & 0x3F;
        const unsigned k1 = static_cast<unsigned char>(work[g + 1]) & 0x3F;
        const unsigned k2 = static_cast<unsigned char>(work[g + 2]) & 0x3F;
        const unsigned k3 = static_cast<unsigned char>(work[g + 3]) & 0x3F;
        bytes.push_back(static_cast<std::uint8_t>((k0 << 2) | (k1 >> 4)));
        bytes.push_back(static_cast<std::uint8_t>(((k1 & 0x0F) << 4) | (k2 >> 2)));
        bytes.push_back(static_cast<std::uint8_t>(((k2 & 0x03) << 6) | k3));
    }
    return bytes;
}

std::string unpackText(std::span<const std::uint8_t> bytes, std::size_t chars) {
    // Bytes missing from a short span read as zero, so the text always has `chars` characters.
    auto byteAt = [&](std::size_t i) -> unsigned { return i < bytes.size() ? bytes[i] : 0; };
    auto toChar = [](unsigned code) { return static_cast<char>(code < 0x20 ? code + 0x40 : code); };

    std::string text;
    text.reserve(groupsFor(chars) * 4);
    for (std::size_t g = 0; g < groupsFor(chars); ++g) {
        const unsigned b0 = byteAt(3 * g), b1 = byteAt(3 * g + 1), b2 = byteAt(3 * g + 2);
        text += toChar(b0 >> 2);
        text += toChar(((b0 & 0x03) << 4) | (b1 >> 4));
        text += toChar(((b1 & 0x0F) << 2) | (b2 >> 6));
        text += toChar(b2 & 0x3F);
    }
    text.resize(chars);
    return text;
}

Parsed<std::int32_t> parseInteger(std::string_view text) {
    Parsed<std::int32_t> result;
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    std::string_view s = text;
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);

    // from_chars takes '-' but no '+', and refuses an empty digit string itself.
    if (s.size() > 1 && s.front() == '+' && s[1] != '-') s.remove_prefix(1);
    const auto res = std::from_chars(s.data(), s.data() + s.size(), result.value);
    if (s.empty() || res.ec != std::errc{} || res.ptr != s.data() + s.size()) {
        result.value = 0;
        result.error = "'" + std::string(text) + "' is not a valid integer value";
    }
    return result;
}

Parsed<DateBytes> encodeDate(std::string_view year, std::string_view month, std::string_view day) {
    Parsed<DateBytes> result;
    const auto d = parseInteger(day);
    if (!d) return {{}, d.error};
    const auto m = parseInteger(month);
    if (!m) return {{}, m.error};
    const auto y = parseInteger(year);
    if (!y) return {{}, y.error};

    // Wider arithmetic: year - 1900 would overflow int32 near its lower end.
    const auto yearOffset = static_cast<std::int64_t>(y.value) - 1900;
    result.value = {static_cast<std::uint8_t>(d.value & 0xFF),
                    static_cast<std::uint8_t>(m.value & 0xFF),
                    static_cast<std::uint8_t>(yearOffset & 0xFF)};
    return result;
}

DateText decodeDate(std::span<const std::uint8_t, 3> bytes) {
    return {std::to_string(bytes[2] + 1900), std::to_string(bytes[1]), std::to_string(bytes[0])};
}

}  // namespace hart
