#include "hart/numbers.h"

#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <system_error>

namespace hart {

long double decodeWireFloat(std::span<const std::uint8_t, 4> bytes) {
    const std::uint32_t bits = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                               (std::uint32_t{bytes[2]} << 8) | bytes[3];
    return static_cast<long double>(std::bit_cast<float>(bits));
}

WireFloat encodeWireFloat(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
            static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)};
}

namespace {

// "1.5e+20" -> "1.5E20", "1e-05" -> "1E-5": the exponent as the float text writes it.
std::string withPlainExponent(std::string_view text) {
    const auto e = text.find('e');
    if (e == std::string_view::npos) return std::string(text);
    std::string out(text.substr(0, e));
    out += 'E';
    std::size_t i = e + 1;
    if (text[i] == '-') out += '-';
    if (text[i] == '-' || text[i] == '+') ++i;
    while (i + 1 < text.size() && text[i] == '0') ++i;
    out.append(text.substr(i));
    return out;
}

// The weight of the last digit of a shown text ("12." 1, "123.4499" 1E-4, "1.5E20" 1E19), or
// nothing when the text is no whole number text ("-", "1E", "1.5E-").
std::optional<long double> lastDigitWeight(std::string_view text) {
    const auto e = text.find('E');
    const std::string_view mantissa = text.substr(0, e);
    if (mantissa.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
    long exponent = 0;
    if (e != std::string_view::npos) {
        const std::string_view digits = text.substr(e + 1);
        const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
        if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size()) {
            return std::nullopt;
        }
    }
    const auto point = mantissa.find('.');
    const long fraction =
        point == std::string_view::npos ? 0 : static_cast<long>(mantissa.size() - point - 1);
    return std::pow(10.0L, static_cast<long double>(exponent - fraction));
}

bool showsValue(std::string_view text, long double value) {
    const auto weight = lastDigitWeight(text);
    if (!weight) return false;
    long double shown = 0;
    const bool negative = text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    std::string parsable(digits);
    if (const auto e = parsable.find('E'); e != std::string::npos) parsable[e] = 'e';
    std::from_chars(parsable.data(), parsable.data() + parsable.size(), shown);
    if (negative) shown = -shown;
    return std::fabs(shown - value) < *weight;
}

// Scientific with `digits` significant digits, trailing zeros dropped: "1.5E20", "-4E-6".
std::string scientific(long double value, int digits) {
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
    std::string text(buf, res.ptr);
    const auto e = text.find('e');
    std::string mantissa = text.substr(0, e);
    if (mantissa.find('.') != std::string::npos) {
        while (mantissa.back() == '0') mantissa.pop_back();
        if (mantissa.back() == '.') mantissa.pop_back();
    }
    return withPlainExponent(mantissa + text.substr(e));
}

}  // namespace

std::string floatText(long double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";  // negative zero too

    // to_chars ignores the C locale, so the separator is always '.'. Its general format has the
    // printf thresholds (fixed for 1e-4 <= |v| < 1e15 after rounding) and drops trailing zeros.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return withPlainExponent(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
}

std::string showValue(long double value, std::size_t width) {
    const std::string text = floatText(value);
    if (!std::isfinite(value) || text.size() <= width) return text;
    const std::string cut = text.substr(0, width);
    if (showsValue(cut, value)) return cut;
    for (int digits = 15; digits > 1; --digits) {
        std::string shorter = scientific(value, digits);
        if (shorter.size() <= width) return shorter;
    }
    return scientific(value, 1);
}

std::string showFloat(std::span<const std::uint8_t, 4> bytes, std::size_t width) {
    return showValue(decodeWireFloat(bytes), width);
}

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

struct DecimalSyntax {
    bool valid = false;
    bool allZero = true;
    // Decimal exponent of the leading non-zero digit (value ~ 10^order); meaningful when
    // !allZero. Saturated so that absurd exponents cannot overflow.
    long long order = 0;
};

// Sign, digits with at most one '.', at least one digit, optional exponent with its own digits.
DecimalSyntax checkDecimal(std::string_view s) {
    DecimalSyntax r;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;

    long long intDigitsAfterLead = 0;  // integer digits from the first non-zero one
    long long fracZerosBeforeLead = 0;
    bool anyDigit = false;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        anyDigit = true;
        if (s[i] != '0') r.allZero = false;
        if (!r.allZero) ++intDigitsAfterLead;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        for (; i < s.size() && isDigit(s[i]); ++i) {
            anyDigit = true;
            if (r.allZero && s[i] == '0') ++fracZerosBeforeLead;
            if (s[i] != '0') r.allZero = false;
        }
    }
    if (!anyDigit) return r;

    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
        if (i == s.size() || !isDigit(s[i])) return r;
        for (; i < s.size() && isDigit(s[i]); ++i) {
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (s[i] - '0');
        }
        if (negative) exponent = -exponent;
    }
    if (i != s.size()) return r;

    r.valid = true;
    r.order =
        exponent + (intDigitsAfterLead > 0 ? intDigitsAfterLead - 1 : -fracZerosBeforeLead - 1);
    return r;
}

}  // namespace

Parsed<WireFloat> encodeTypedNumber(std::string_view text) {
    Parsed<WireFloat> result;
    std::string_view s = text;
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);

    const DecimalSyntax syntax = checkDecimal(s);
    if (!syntax.valid) {
        result.error = "'" + std::string(text) + "' is not a valid floating point value";
        return result;
    }

    // from_chars takes no '+' sign; it is locale-independent and rounds correctly, once, to
    // single precision (a wider type would round twice, and on some systems its parse is only
    // as wide as a double).
    const bool negative = s.front() == '-';
    if (s.front() == '+' || s.front() == '-') s.remove_prefix(1);
    float value = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        if (syntax.order > 0) {
            result.error = "Floating point overflow";
            return result;
        }
        value = 0;  // below even the smallest subnormal: zero
    }
    if (negative) value = -value;
    result.value = encodeWireFloat(value);
    return result;
}

std::uint32_t decodeUint24(std::span<const std::uint8_t, 3> bytes) {
    return (std::uint32_t{bytes[0]} << 16) | (std::uint32_t{bytes[1]} << 8) | bytes[2];
}

}  // namespace hart
