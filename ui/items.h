// Fixed item lists of the window's combo boxes, in item order. The byte an item stands for
// is chosen by its position, so these texts are display only.
#pragma once

#include <span>

namespace ui::items {

using List = std::span<const char* const>;

extern const List kMasterRole;        // ComboBox8
extern const List kTransferFunction;  // ComboBox2
extern const List kBurstCommand;      // ComboBox11
extern const List kRosemountSensor;   // ComboBox17, ComboBox21
extern const List kWiring;            // ComboBox18, ComboBox20, HengHeFS
extern const List k848tChannel;       // ComboBox19
extern const List k848tUnit;          // ComboBox22
extern const List k644rkSensor;       // ComboBox36
extern const List k644rkWiring;       // ComboBox35
extern const List kYokogawaSensor;    // HengHeTX
extern const List kEhSensorNumber;    // TempBIAHO
extern const List kEhSensor;          // EHTEMNX
extern const List kEhWiring;          // EHTEMFS
extern const List kEhPolynomial;      // POTMXU
extern const List kEhCallendar;       // CALL_ALP
extern const List kOffOn;             // ComboBox27 .. ComboBox34

}  // namespace ui::items
