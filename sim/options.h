// Command line of hart-sim.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/device.h"

namespace hartsim {

struct Options {
    std::string link;    // symlink to keep pointing at the pseudo-terminal
    std::string device;  // an existing serial device instead of a pseudo-terminal
    bool fast = false;
    int preambles = 5;
    std::vector<Identity> devices;  // empty: the default transmitter at address 0
    bool help = false;
    std::string error;  // empty when the command line is fine
};

inline constexpr int kMinPreambles = 2;
inline constexpr int kMaxPreambles = 20;

// ADDR:MFR:TYPE:ID, each decimal or 0x-prefixed hexadecimal.
std::optional<Identity> parseDeviceSpec(std::string_view text);
Options parseOptions(const std::vector<std::string>& args);
std::string usage();

}  // namespace hartsim
