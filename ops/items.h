// Fixed item lists of the window's combo boxes, in item order. The byte an item stands for
// is chosen by its position, so these texts are display only.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace ops::items {

using List = std::span<const char* const>;

extern const List kMasterRole;        // ComboBox8
extern const List kTransferFunction;  // ComboBox2
extern const List kBurstCommand;      // ComboBox11
extern const List kEhSensorNumber;    // TempBIAHO
extern const List kEhWiring;          // EHTEMFS
extern const List kEhPolynomial;      // POTMXU
extern const List kEhCallendar;       // CALL_ALP
extern const List kOffOn;             // ComboBox27 .. ComboBox34, the HART 7 page's on/off
extern const List kBurstMode;         // BurstControlBox: burst mode control codes 0..4
extern const List kBurstTrigger;      // BurstTriggerModeBox

}  // namespace ops::items

namespace ops {

// The items of any item box of the window, in item order: polling addresses, unit lists, the
// code tables and the lists above. Empty for a control that is no item box. The window fills
// its boxes from it, and hart-cli finds items in it.
std::vector<std::string_view> boxItems(std::string_view box);

}  // namespace ops
