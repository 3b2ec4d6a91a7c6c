#include "sim/options.h"

#include <cerrno>
#include <cstdlib>

namespace hartsim {

namespace {

std::optional<unsigned long> parseNumber(std::string_view text, unsigned long max) {
    if (text.empty() || text.front() == '-' || text.front() == '+' || text.front() == ' ') {
        return std::nullopt;
    }
    const std::string s(text);
    char* end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(s.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v > max) return std::nullopt;
    return v;
}

}  // namespace

std::optional<DeviceSpec> parseDeviceSpec(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t colon = text.find(':', start);
        parts.push_back(text.substr(start, colon - start));
        if (colon == std::string_view::npos) break;
        start = colon + 1;
    }
    const Model* model = nullptr;
    if (parts.size() == 2 || parts.size() == 5) {
        model = findModel(parts.back());
        if (!model) return std::nullopt;
    }
    if (parts.size() == 2) {
        const auto address = parseNumber(parts[0], 15);
        if (!address) return std::nullopt;
        DeviceSpec spec;
        spec.pollingAddress = static_cast<std::uint8_t>(*address);
        spec.manufacturer = model->manufacturer;
        spec.deviceType = model->deviceType;
        spec.deviceId = model->deviceId;
        spec.model = model;
        return spec;
    }
    if (parts.size() != 4 && parts.size() != 5) return std::nullopt;
    const auto address = parseNumber(parts[0], 15);
    const auto manufacturer = parseNumber(parts[1], 0xFF);
    const auto type = parseNumber(parts[2], 0xFF);
    const auto id = parseNumber(parts[3], 0xFFFFFF);
    if (!address || !manufacturer || !type || !id) return std::nullopt;
    DeviceSpec spec;
    spec.pollingAddress = static_cast<std::uint8_t>(*address);
    spec.manufacturer = static_cast<std::uint8_t>(*manufacturer);
    spec.deviceType = static_cast<std::uint8_t>(*type);
    spec.deviceId = static_cast<std::uint32_t>(*id);
    spec.model = model;
    return spec;
}

Options parseOptions(const std::vector<std::string>& args) {
    Options o;
    for (std::size_t i = 0; i < args.size() && o.error.empty(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const std::size_t eq = name.find('='); name.starts_with("--") && eq != name.npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        const auto takeValue = [&]() -> std::optional<std::string> {
            if (value) return value;
            if (i + 1 < args.size()) return args[++i];
            o.error = name + " needs a value";
            return std::nullopt;
        };
        if (name == "--fast" && !value) {
            o.fast = true;
        } else if (name == "--demo" && !value) {
            o.demo = true;
        } else if ((name == "--help" || name == "-h") && !value) {
            o.help = true;
        } else if (name == "--version" && !value) {
            o.version = true;
        } else if (name == "--link") {
            if (auto v = takeValue()) o.link = *v;
        } else if (name == "--device") {
            if (auto v = takeValue()) o.device = *v;
        } else if (name == "--preambles") {
            if (auto v = takeValue()) {
                const auto n = parseNumber(*v, kMaxPreambles);
                if (!n || *n < kMinPreambles) {
                    o.error = "--preambles takes a count from 2 to 20";
                } else {
                    o.preambles = static_cast<int>(*n);
                }
            }
        } else if (name == "--hart-revision") {
            if (auto v = takeValue()) {
                if (*v != "5" && *v != "7") {
                    o.error = "--hart-revision takes 5 or 7";
                } else {
                    o.hartRevision = std::stoi(*v);
                }
            }
        } else if (name == "--hartip" || name == "--hartip-udp") {
            const bool udp = name == "--hartip-udp";
            if (auto v = takeValue()) {
                const auto n = parseNumber(*v, 0xFFFF);
                if (!n) {
                    o.error = name + " takes a " + (udp ? "UDP" : "TCP") + " port from 0 to 65535";
                } else if (o.hartIpPort >= 0) {
                    o.error = "one HART-IP port only: --hartip or --hartip-udp, once";
                } else {
                    o.hartIpPort = static_cast<int>(*n);
                    o.hartIpUdp = udp;
                }
            }
        } else if (name == "--device-spec") {
            if (auto v = takeValue()) {
                const auto identity = parseDeviceSpec(*v);
                if (!identity) {
                    o.error =
                        "--device-spec takes ADDR:MFR:TYPE:ID[:MODEL] or ADDR:MODEL, not " + *v;
                } else {
                    for (const Identity& other : o.devices) {
                        if (other.pollingAddress == identity->pollingAddress) {
                            o.error = "two devices at polling address " +
                                      std::to_string(identity->pollingAddress);
                        }
                    }
                    o.devices.push_back(*identity);
                }
            }
        } else {
            o.error = "unknown option " + args[i];
        }
    }
    if (o.error.empty() && o.hartIpPort >= 0 && (!o.device.empty() || !o.link.empty()))
        o.error = "HART-IP serves no line; leave out --device and --link";
    if (o.error.empty() && o.demo) {
        if (!o.devices.empty()) {
            o.error = "--demo builds its own loop; leave out --device-spec";
        } else {
            o.devices = demoLoop();
        }
    }
    return o;
}

std::string usage() {
    std::string answered;
    for (std::uint8_t c : implementedCommands()) answered += " " + std::to_string(c);
    std::string named;
    for (const Model& m : models()) named += " " + m.name;
    return "usage: hart-sim [--link PATH] [--device PATH] [--fast] [--preambles N]\n"
           "                [--hartip PORT | --hartip-udp PORT] [--hart-revision 5|7]\n"
           "                [--help] [--version]\n"
           "                [--demo | --device-spec ADDR:MFR:TYPE:ID[:MODEL] | ADDR:MODEL ...]\n"
           "Without --device-spec one pressure transmitter answers at polling address 0\n"
           "(manufacturer 0x26, device type 0x06, device id 0x001234). --demo adds one\n"
           "instrument of each model at polling addresses 1, 2, 3...\n"
           "Models:" +
           named +
           "\n"
           "--hartip serves HART-IP sessions on 127.0.0.1 (port 0: a free one) instead of a line,\n"
           "over TCP; --hartip-udp over UDP.\n"
           "Standard input takes: silent|badcheck|split|garbage|protect|busy|nan on|off,\n"
           "drop|nak on|off (HART-IP), crowd on|off (a burst frame beside each reply),\n"
           "dr on|off (each request answered 33, then 34, then for real, as gateways do),\n"
           "fault on|off (device variable 1 reads bad),\n"
           "broadcast on|off (off: finds by tag at the broadcast address go unanswered),\n"
           "delay SECONDS, status BITS (0x80 or 128; 0 clears),\n"
           "grant MS (HART-IP sessions: this inactivity time, status 8; 0: as asked),\n"
           "dac-error GAIN OFFSET (the output drives 4 + (I - 4) * GAIN + OFFSET mA for I),\n"
           "meter (the loop current a reference meter reads), quit.\n"
           "Universal commands (a model's own of the same number come first):" +
           answered + "\n";
}

}  // namespace hartsim
