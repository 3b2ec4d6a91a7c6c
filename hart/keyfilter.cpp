#include "hart/keyfilter.h"

namespace hart {

bool reachesFilter(char32_t key) {
    return key == kBackspace || (key >= 0x20 && key != 0x7F);
}

bool admitKey(const KeyFilter& filter, char32_t key, std::size_t lengthBefore) {
    if (key == kBackspace) return true;
    const bool digit = key >= U'0' && key <= U'9';
    const bool extra =
        key < 0x80 && filter.extra.find(static_cast<char>(key)) != std::string_view::npos;
    if (!digit && !extra) return false;
    return lengthBefore < filter.maxLength;
}

std::optional<bool> buttonEnabledAfter(const KeyFilter& filter, std::size_t lengthBefore) {
    switch (filter.rule) {
        case EnableRule::UpToLength:
            return lengthBefore <= filter.enableLength;
        case EnableRule::ExactLength:
            return lengthBefore == filter.enableLength;
        case EnableRule::None:
            break;
    }
    return std::nullopt;
}

KeyOutcome onKeyPress(const KeyFilter& filter, char32_t key, std::size_t lengthBefore) {
    return {admitKey(filter, key, lengthBefore), buttonEnabledAfter(filter, lengthBefore)};
}

}  // namespace hart
