// Engineering-unit codes and the two 83-item unit lists of the unit boxes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace hart {

struct UnitRow {
    std::string_view numbered;  // item of the numbered unit list (dynamic variables)
    std::string_view plain;     // item of the plain unit list (sensor limits, range unit)
    int readCode;               // code that selects this item; -1 none
    int writtenCode;            // code sent when this item is selected; -1 none
};

inline constexpr int kUnitItemCount = 83;
// Item selected by any code the table does not list.
inline constexpr int kUnlistedUnitIndex = 81;

std::span<const UnitRow> unitTable();

int unitIndexForCode(std::uint8_t code);
// Nothing for items 76 to 82 or an index outside the list (no selection).
std::optional<std::uint8_t> unitCodeForIndex(int index);

// The one byte that remembers the unit code last read or written; 0 at start.
class CurrentUnit {
  public:
    void set(std::uint8_t code) { code_ = code; }
    std::uint8_t get() const { return code_; }

  private:
    std::uint8_t code_ = 0;
};

}  // namespace hart
