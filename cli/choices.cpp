#include "cli/choices.h"

#include <cctype>

#include "hart/units.h"
#include "ops/items.h"

namespace cli {
namespace {

bool isNumberedUnitBox(std::string_view box) {
    return box == "ComboBox5" || box == "ComboBox15" || box == "ComboBox16" || box == "ComboBox6";
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool isHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}
bool isSeparator(char c) {
    return c == '_' || c == '-' || c == ' ';
}

// "00_inH20" -> "inH20", "01-0C-Pt100" -> "Pt100", "05_10 Ni100" -> "Ni100", "00Pres" ->
// "Pres", "0linear mode" -> "linear mode". Text without a leading number stays.
std::string_view withoutIndex(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isHex(s[i])) ++i;
    if (i == 0 || i > 2) return s;
    if (i < s.size() && isSeparator(s[i])) {
        s.remove_prefix(i + 1);
        // A code after the index: two hex digits and a separator.
        if (s.size() > 3 && isHex(s[0]) && isHex(s[1]) && isSeparator(s[2])) s.remove_prefix(3);
        return s;
    }
    // A two-digit index straight before the name ("00Pres", "05不显示"), or one digit before
    // a Latin letter ("0linear mode"); not "2线制", whose digit is part of the name.
    for (std::size_t k = 0; k < i; ++k) {
        if (!std::isdigit(static_cast<unsigned char>(s[k]))) return s;
    }
    if (i < s.size() && (i == 2 || std::isalpha(static_cast<unsigned char>(s[i])))) {
        s.remove_prefix(i);
    }
    return s;
}

std::optional<int> unique(const std::vector<std::string_view>& items, std::string_view value,
                          std::string_view (*form)(std::string_view)) {
    std::optional<int> found;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string_view item = trimmed(form(trimmed(items[i])));
        if (item.empty() || !sameText(item, value)) continue;
        if (found) return std::nullopt;
        found = static_cast<int>(i);
    }
    return found;
}

std::string_view asIs(std::string_view s) {
    return s;
}

}  // namespace

std::vector<std::string_view> itemsOf(std::string_view box) {
    return ops::boxItems(box);
}

std::string itemText(std::string_view box, int index) {
    const auto items = itemsOf(box);
    if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return {};
    // A unit reads best as the plain list names it.
    if (isNumberedUnitBox(box)) {
        return std::string(hart::plainUnitName(index));
    }
    return std::string(trimmed(items[index]));
}

std::optional<int> findItem(std::string_view box, std::string_view value) {
    const auto items = itemsOf(box);
    value = trimmed(value);
    if (value.empty()) return std::nullopt;
    if (auto i = unique(items, value, asIs)) return i;
    return unique(items, value, withoutIndex);
}

}  // namespace cli
