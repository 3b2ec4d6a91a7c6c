// Engineering-unit codes and the two 83-item unit lists of the unit boxes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "hart/frame.h"

namespace hart {

struct UnitRow {
    std::string_view numbered;  // item of the numbered unit list (dynamic variables)
    std::string_view plain;     // item of the plain unit list (sensor limits, range unit)
    int readCode;               // code that selects this item; -1 none
    int writtenCode;            // code sent when this item is selected; -1 none
    std::string_view symbol;    // as a document prints it ("kPa", "℃"); empty: none
};

inline constexpr int kUnitItemCount = 83;
// Item selected by any code the table does not list.
inline constexpr int kUnlistedUnitIndex = 81;

std::span<const UnitRow> unitTable();

// The unit an item of a unit box stands for, by the plain list's name without its padding;
// empty for an index outside the list.
std::string_view plainUnitName(int index);

// The printed symbol of the unit an item of either list names (its padding ignored); the
// text itself when it names none of them.
std::string_view unitSymbol(std::string_view item);

int unitIndexForCode(std::uint8_t code);
// Nothing for items 76 to 82 or an index outside the list (no selection).
std::optional<std::uint8_t> unitCodeForIndex(int index);

// The unit code last read from or written to an instrument, and which instrument it was: the
// unit-plus-value writes send it, and a unit another instrument told means nothing.
class CurrentUnit {
  public:
    void set(const DeviceIdentity& device, std::uint8_t code) {
        device_ = device;
        code_ = code;
    }
    // Nothing before a read or write delivered a unit, or when it came from another instrument.
    std::optional<std::uint8_t> of(const DeviceIdentity& device) const {
        if (!device_ || !device_->sameInstrument(device)) return std::nullopt;
        return code_;
    }

  private:
    std::optional<DeviceIdentity> device_;
    std::uint8_t code_ = 0;
};

}  // namespace hart
