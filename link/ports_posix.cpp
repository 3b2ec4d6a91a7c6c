// Serial ports on Linux: USB adapters under their by-id names, then the tty devices that have
// hardware behind them.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "link/port_backend.h"
#include "link/ports.h"

namespace serial {

namespace fs = std::filesystem;

namespace {

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The kernel keeps a ttyS node for every port it might have; one of unknown type (0) or
// without a driver has no chip behind it.
bool realPort(const std::string& tty) {
    const fs::path sys = fs::path("/sys/class/tty") / tty;
    std::error_code ec;
    if (!fs::exists(sys / "device" / "driver", ec)) return false;
    return tty.rfind("ttyS", 0) != 0 || firstLine(sys / "type") != "0";
}

std::string driverOf(const std::string& tty) {
    std::error_code ec;
    const fs::path driver =
        fs::read_symlink(fs::path("/sys/class/tty") / tty / "device/driver", ec);
    return ec ? std::string() : driver.filename().string();
}

}  // namespace

std::string commDevicePath(std::string_view name) {
    if (const auto n = comNumber(name)) return "/dev/ttyS" + std::to_string(*n - 1);
    return std::string(name);
}

std::vector<PortInfo> listPorts() {
    std::vector<PortInfo> ports;
    std::set<std::string> seen;  // device paths already listed
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/dev/serial/by-id", ec)) {
        const fs::path device = fs::canonical(e.path(), ec);
        if (ec || !seen.insert(device.string()).second) continue;
        ports.push_back({device.string(), e.path().filename().string()});
    }
    std::vector<PortInfo> ttys;
    for (const auto& e : fs::directory_iterator("/dev", ec)) {
        const std::string tty = e.path().filename().string();
        const bool serialName =
            tty.rfind("ttyUSB", 0) == 0 || tty.rfind("ttyACM", 0) == 0 || tty.rfind("ttyS", 0) == 0;
        if (!serialName || seen.count(e.path().string()) != 0 || !realPort(tty)) continue;
        std::string description = driverOf(tty);
        // The name a ttyS port also answers to here.
        const std::string digits = tty.substr(4);
        if (tty[3] == 'S' && !digits.empty() && digits.size() < 6 &&
            std::all_of(digits.begin(), digits.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            description += std::string(description.empty() ? "" : ", ") + "COM" +
                           std::to_string(std::stoul(digits) + 1);
        }
        ttys.push_back({e.path().string(), description});
    }
    std::sort(ttys.begin(), ttys.end(),
              [](const PortInfo& a, const PortInfo& b) { return a.name < b.name; });
    ports.insert(ports.end(), ttys.begin(), ttys.end());
    return ports;
}

}  // namespace serial
