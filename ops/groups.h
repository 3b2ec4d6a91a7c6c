// The rows of each operation group, gathered into the one operation table, and the code
// tables of the vendor groups' boxes.
#pragma once

#include <span>

#include "ops/code_table.h"
#include "ops/operation.h"

namespace ops {

std::span<const Operation> discoveryOperations();     // poll, scan, console
std::span<const Operation> processOperations();       // live values, range, units
std::span<const Operation> informationOperations();   // identification fields
std::span<const Operation> outputOperations();        // loop current, display, burst, EEPROM
std::span<const Operation> deviceStatusOperations();  // additional status (command 48)
std::span<const Operation> hart7Operations();         // the HART 7 page (hart7.h)

// The named instruments' groups, in instruments/.
std::span<const Operation> rosemountOperations();         // 644, 848T, 644RK
std::span<const Operation> yokogawaEhOperations();        // Yokogawa, E+H
std::span<const Operation> siemensKrohneAbbOperations();  // Siemens, Krohne TT50C, ABB TTH200
std::span<const Operation> pressureOperations();          // 3051, 300SMV, EJA

std::span<const BoxTable> rosemountBoxes();
std::span<const BoxTable> yokogawaEhBoxes();
std::span<const BoxTable> siemensKrohneAbbBoxes();
std::span<const BoxTable> pressureBoxes();

}  // namespace ops
