// Item lists of the combo boxes whose items stand for a byte code: one table per list, item
// texts and codes written once. The window fills its boxes from them; requests take the code
// by the selected item's position, replies select the item by code.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace ops {

struct CodeItem {
    std::string_view text;
    int code;  // sent when the item is selected; kNoCode: the item sends nothing
};

inline constexpr int kNoCode = -1;

struct CodeTable {
    std::span<const CodeItem> items;
    // Item selected by a code the table does not list; -1: such a code leaves the box as it is.
    int otherItem = -1;
    // Code sent for the "other" item when it has none of its own.
    int otherCode = kNoCode;

    // The code of an item; nothing for no item, an item past the list, or one without a code.
    std::optional<std::uint8_t> codeOf(int item) const;
    // The item a reply code selects; nothing when the box is to be left as it is.
    std::optional<int> itemOf(std::uint8_t code) const;
};

// A combo box and the table its items come from.
struct BoxTable {
    std::string_view box;
    const CodeTable* table;
};

// Every box filled from a code table.
std::span<const BoxTable> boxTables();

}  // namespace ops
