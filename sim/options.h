// Command line of hart-sim.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/models.h"

namespace hartsim {

struct Options {
    std::string link;    // symlink to keep pointing at the pseudo-terminal
    std::string device;  // an existing serial device instead of a pseudo-terminal
    bool fast = false;
    int hartIpPort = -1;     // HART-IP on 127.0.0.1 at this port instead of a line (0: any free)
    bool hartIpUdp = false;  // that port is a UDP one (--hartip-udp)
    int preambles = 5;
    int hartRevision = 5;             // every device's universal command revision: 5 or 7
    std::vector<DeviceSpec> devices;  // empty: the default transmitter at address 0
    bool demo = false;                // devices holds the demo loop
    bool help = false;
    bool version = false;
    std::string error;  // empty when the command line is fine
};

inline constexpr int kMinPreambles = 2;
inline constexpr int kMaxPreambles = 20;

// ADDR:MFR:TYPE:ID (the universal transmitter), ADDR:MFR:TYPE:ID:MODEL or ADDR:MODEL (the
// model with its own identity); numbers decimal or 0x-prefixed hexadecimal.
std::optional<DeviceSpec> parseDeviceSpec(std::string_view text);
Options parseOptions(const std::vector<std::string>& args);
std::string usage();

}  // namespace hartsim
