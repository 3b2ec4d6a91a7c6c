// Fixed item lists of the window's combo boxes, in item order. The byte an item stands for
// is chosen by its position, so these texts are display only.
#pragma once

#include <span>

namespace ops::items {

using List = std::span<const char* const>;

extern const List kMasterRole;        // ComboBox8
extern const List kTransferFunction;  // ComboBox2
extern const List kBurstCommand;      // ComboBox11
extern const List kEhSensorNumber;    // TempBIAHO
extern const List kEhWiring;          // EHTEMFS
extern const List kEhPolynomial;      // POTMXU
extern const List kEhCallendar;       // CALL_ALP
extern const List kOffOn;             // ComboBox27 .. ComboBox34

}  // namespace ops::items
