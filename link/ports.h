#pragma once

// The serial ports this machine has, for a user choosing one, and the "COMn" names users type.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace serial {

struct PortInfo {
    std::string name;         // what to open: "COM3", "/dev/ttyUSB0"
    std::string description;  // what the system says it is; may be empty
};

// The ports present now, in name order; USB adapters with their maker's name where the
// system keeps one.
std::vector<PortInfo> listPorts();

// n for "COMn" (n >= 1, any case), else nullopt.
std::optional<unsigned> comNumber(std::string_view name);

}  // namespace serial
