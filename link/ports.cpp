#include "link/ports.h"

#include <algorithm>
#include <cctype>

namespace serial {

std::optional<unsigned> comNumber(std::string_view name) {
    // Port names are case-insensitive where they come from: "com3" is "COM3".
    if (name.size() <= 3 || name.size() > 12 || name[3] == '0') return std::nullopt;
    for (size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return std::nullopt;
    }
    const bool digits = std::all_of(name.begin() + 3, name.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    if (!digits) return std::nullopt;
    const unsigned long n = std::stoul(std::string(name.substr(3)));
    if (n > 0xFFFFFFFFul) return std::nullopt;
    return static_cast<unsigned>(n);
}

}  // namespace serial
