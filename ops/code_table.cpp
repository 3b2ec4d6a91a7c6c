#include "ops/code_table.h"

#include <vector>

#include "ops/groups.h"

namespace ops {

std::optional<std::uint8_t> CodeTable::codeOf(int item) const {
    if (item < 0 || static_cast<std::size_t>(item) >= items.size()) return std::nullopt;
    const int code =
        item == otherItem && items[item].code == kNoCode ? otherCode : items[item].code;
    if (code == kNoCode) return std::nullopt;
    return static_cast<std::uint8_t>(code);
}

std::optional<int> CodeTable::itemOf(std::uint8_t code) const {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].code == code && static_cast<int>(i) != otherItem) return static_cast<int>(i);
    }
    if (otherItem >= 0) return otherItem;
    return std::nullopt;
}

std::span<const BoxTable> boxTables() {
    static const std::vector<BoxTable> all = [] {
        std::vector<BoxTable> out;
        for (auto group :
             {rosemountBoxes(), yokogawaEhBoxes(), siemensKrohneAbbBoxes(), pressureBoxes()}) {
            out.insert(out.end(), group.begin(), group.end());
        }
        return out;
    }();
    return all;
}

}  // namespace ops
