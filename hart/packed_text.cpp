#include "hart/packed_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <optional>
#include <system_error>

#include "hart/tr.h"

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

namespace {

// One code point from the front of `s`; nothing for a malformed sequence (one byte consumed).
std::optional<char32_t> takeCodePoint(std::string_view& s, std::string_view& taken) {
    const auto lead = static_cast<unsigned char>(s[0]);
    const std::size_t n = lead < 0x80           ? 1
                          : (lead >> 5) == 0x6  ? 2
                          : (lead >> 4) == 0xE  ? 3
                          : (lead >> 3) == 0x1E ? 4
                                                : 0;
    char32_t c = n == 1 ? lead : n == 2 ? lead & 0x1F : n == 3 ? lead & 0x0F : lead & 0x07;
    bool ok = n != 0 && n <= s.size();
    for (std::size_t i = 1; ok && i < n; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        ok = (b & 0xC0) == 0x80;
        c = (c << 6) | (b & 0x3F);
    }
    const std::size_t used = ok ? n : 1;
    taken = s.substr(0, used);
    s.remove_prefix(used);
    return ok ? std::optional<char32_t>(c) : std::nullopt;
}

std::string characterName(std::optional<char32_t> c, std::string_view bytes) {
    char buf[16];
    if (!c) {
        std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned char>(bytes[0]));
        return buf;
    }
    if (*c < 0x20 || *c == 0x7F) {  // unprintable: name it by its code
        std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(*c));
        return buf;
    }
    return "'" + std::string(bytes) + "'";
}

}  // namespace

Parsed<std::string> packableText(std::string_view utf8, std::size_t chars) {
    Parsed<std::string> result;
    std::string_view rest = utf8;
    while (!rest.empty() && result.value.size() < chars) {
        std::string_view taken;
        const auto c = takeCodePoint(rest, taken);
        if (c && *c >= U'a' && *c <= U'z') {
            result.value += static_cast<char>(*c - U'a' + U'A');
        } else if (c && *c >= 0x20 && *c <= 0x5F) {
            result.value += static_cast<char>(*c);
        } else {
            result.value.clear();
            result.error = arg(Tr::tr("字符%1不能写入仪表:只能使用大写字母、数字、空格和 "
                                      "!\"#$%&'()*+,-./:;<=>?@[\\]^_"),
                               {characterName(c, taken)});
            return result;
        }
    }
    return result;
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

    // The year byte counts from 1900, so only 1900 .. 2155 survive the trip.
    if (y.value < 1900 || y.value > 2155) {
        return {{}, arg(Tr::tr("年份%1无效:只能写入1900到2155年"), {std::to_string(y.value)})};
    }
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y.value % 4 == 0 && y.value % 100 != 0) || y.value % 400 == 0;
    const bool dateExists = m.value >= 1 && m.value <= 12 && d.value >= 1 &&
                            d.value <= (m.value == 2 && !leap ? 28 : kDays[m.value - 1]);
    if (!dateExists) {
        return {{},
                arg(Tr::tr("日期无效:%1年%2月%3日不存在"),
                    {std::to_string(y.value), std::to_string(m.value), std::to_string(d.value)})};
    }
    result.value = {static_cast<std::uint8_t>(d.value), static_cast<std::uint8_t>(m.value),
                    static_cast<std::uint8_t>(y.value - 1900)};
    return result;
}

DateText decodeDate(std::span<const std::uint8_t, 3> bytes) {
    return {std::to_string(bytes[2] + 1900), std::to_string(bytes[1]), std::to_string(bytes[0])};
}

}  // namespace hart
