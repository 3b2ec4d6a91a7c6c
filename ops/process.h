// Live values (loop current, percent of range, the four dynamic variables) and the range
// configuration (sensor limits, range values, unit, damping, transfer function).
#pragma once

#include <cstdint>
#include <string_view>

namespace ops {

// Distributor name of a manufacturer code; "unknown" for codes without one.
std::string_view manufacturerName(std::uint8_t code);

}  // namespace ops
