// What the temperature transmitter groups share with each other and with the window.
#pragma once

#include "hart/outcome.h"
#include "ops/code_table.h"

namespace ops {

// "2线制", "3线制", "4线制" for 2, 3 and 4 wires: the Rosemount and Yokogawa wiring boxes.
const CodeTable& wireCountTable();

// At start-up every E+H save waits: for a read of its group, or for a sensor number chosen.
hart::Outcome ehSavesAtStartUp();

// Choosing an E+H sensor number: the saves that send back a read's prefix wait for a read
// of the new sensor, the coefficient saves become usable.
hart::Outcome ehSensorNumberChosen();

}  // namespace ops
