// The rows of each operation group, gathered into the one operation table.
#pragma once

#include <span>

#include "ops/operation.h"

namespace ops {

std::span<const Operation> discoveryOperations();    // poll, scan, console
std::span<const Operation> processOperations();      // live values, range, units
std::span<const Operation> informationOperations();  // identification fields
std::span<const Operation> outputOperations();       // loop current, display, burst, EEPROM

}  // namespace ops
