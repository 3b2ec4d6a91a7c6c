// The simulated instrument's HART 7 and common-practice commands: device variables with their
// own units, limits and status, the variable mapping, long tag, burst messages, country code
// and process unit tag.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "hart/numbers.h"
#include "hart/packed_text.h"
#include "sim/device.h"
#include "sim/models.h"

namespace hartsim {

namespace {

constexpr std::uint8_t kNotUsed = 250;
constexpr std::size_t kVariables = 4;
constexpr std::size_t kSlotsAnswered = 4;  // command 9 answers four slots, the rest truncated
constexpr std::uint8_t kTruncated = 30;
constexpr std::size_t kLongTag = 32;
constexpr double kTicksPerSecond = 32000.0;
constexpr std::uint8_t kClassTemperature = 64;
constexpr std::uint8_t kClassPressure = 65;
constexpr std::uint8_t kFamilyTemperature = 4;
constexpr std::uint8_t kFamilyPressure = 5;
constexpr std::uint8_t kGood = 0xC0;
constexpr std::uint8_t kPoor = 0x40;
constexpr std::uint8_t kLowLimited = 0x10;
constexpr std::uint8_t kHighLimited = 0x20;
constexpr std::uint8_t kMoreStatus = 0x08;

using Bytes = std::vector<std::uint8_t>;

void putFloat(Bytes& out, double value) {
    const hart::WireFloat w = hart::encodeWireFloat(static_cast<float>(value));
    out.insert(out.end(), w.begin(), w.end());
}
void put32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}
std::uint32_t get32(const Bytes& d, std::size_t at) {
    return std::uint32_t{d[at]} << 24 | std::uint32_t{d[at + 1]} << 16 |
           std::uint32_t{d[at + 2]} << 8 | d[at + 3];
}
float getFloat(const Bytes& d, std::size_t at) {
    return static_cast<float>(
        hart::decodeWireFloat(std::span<const std::uint8_t, 4>(d.data() + at, 4)));
}

Reply ok(Bytes data = {}) {
    return {0, 0, std::move(data)};
}
Reply fail(std::uint8_t code) {
    return {code, 0, {}};
}

std::string latin1(const Bytes& d, std::size_t at) {
    std::string s(d.begin() + static_cast<std::ptrdiff_t>(at),
                  d.begin() + static_cast<std::ptrdiff_t>(at + kLongTag));
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    return s;
}
void putLatin1(Bytes& out, const std::string& s) {
    for (std::size_t i = 0; i < kLongTag; ++i)
        out.push_back(i < s.size() ? static_cast<std::uint8_t>(s[i]) : ' ');
}

bool isTemperatureUnit(std::uint8_t u) {
    return findUnit(Quantity::Temperature, u) != nullptr;
}

// Limits of a variable in its own unit, and its minimum span.
struct Limits {
    double upper;
    double lower;
    double minSpan;
};

double inUnit(std::uint8_t unit, double degC) {
    const MeasureUnit* u = findUnit(Quantity::Temperature, unit);
    return u ? (degC - u->offset) / u->scale : degC;
}

Limits limitsOf(const Device& d, std::uint8_t code) {
    if (code == 0)
        return {shown(d, d.sensor.upperLimit), shown(d, d.sensor.lowerLimit),
                d.sensor.minSpan / findUnit(d.quantity, d.settings.pvUnit)->scale};
    if (code == 3) return {100.0, 0.0, 1.0};
    const std::uint8_t unit = d.settings.variableUnits[code];
    return {inUnit(unit, 85.0), inUnit(unit, -40.0), 1.0};
}

// --- the commands

Reply readDeviceVariables(Device& d, const Request& r) {
    if (r.data.empty() || r.data.size() > 8) return fail(5);
    Bytes out{0};  // extended device status
    const std::size_t answered = std::min(r.data.size(), kSlotsAnswered);
    for (std::size_t i = 0; i < answered; ++i) {
        const DeviceVariable v = deviceVariable(d, r.data[i]);
        out.insert(out.end(), {v.code, v.classification, v.unit});
        putFloat(out, v.value);
        out.push_back(v.status);
    }
    put32(out, static_cast<std::uint32_t>(std::fmod(d.now, 86400.0) * kTicksPerSecond));
    return {answered < r.data.size() ? kTruncated : std::uint8_t{0}, 0, std::move(out)};
}

Reply readDeviceVariables33(Device& d, const Request& r) {
    if (r.data.empty() || r.data.size() > 4) return fail(5);
    Bytes out;
    for (const std::uint8_t code : r.data) {
        const DeviceVariable v = deviceVariable(d, code);
        if (!v.exists) return fail(2);
        out.insert(out.end(), {v.code, v.unit});
        putFloat(out, v.value);
    }
    return ok(std::move(out));
}

Reply readLoopConfig(Device& d, const Request&) {
    return ok({d.identity.pollingAddress, static_cast<std::uint8_t>(d.loopCurrent ? 1 : 0)});
}

Reply readClassifications(Device& d, const Request&) {
    Bytes out;
    for (const std::uint8_t code : d.settings.mapping)
        out.push_back(deviceVariable(d, code).classification);
    return ok(std::move(out));
}

Reply readMapping(Device& d, const Request&) {
    return ok({d.settings.mapping.begin(), d.settings.mapping.end()});
}

Reply writeMapping(Device& d, const Request& r) {
    if (r.data.empty()) return fail(5);
    for (std::size_t i = 0; i < r.data.size() && i < 4; ++i)
        if (r.data[i] >= kVariables) return fail(2);
    for (std::size_t i = 0; i < r.data.size() && i < 4; ++i) d.settings.mapping[i] = r.data[i];
    markChanged(d);
    return ok({d.settings.mapping.begin(), d.settings.mapping.end()});
}

Reply writeVariableUnit(Device& d, const Request& r) {
    if (r.data.size() < 2) return fail(5);
    const std::uint8_t code = r.data[0];
    const std::uint8_t unit = r.data[1];
    if (code >= kVariables) return fail(2);  // no such variable
    if (code == 0) {
        if (!findUnit(d.quantity, unit)) return fail(12);  // invalid units code
        d.settings.pvUnit = unit;
    } else if (code == 3 ? unit != 57 : !isTemperatureUnit(unit)) {
        return fail(12);
    }
    d.settings.variableUnits[code] = unit;
    markChanged(d);
    return ok(Bytes(r.data.begin(), r.data.begin() + 2));
}

Reply readVariableInfo(Device& d, const Request& r) {
    if (r.data.empty()) return fail(5);
    const DeviceVariable v = deviceVariable(d, r.data[0]);
    if (!v.exists) return fail(2);
    const Limits l = limitsOf(d, v.code);
    Bytes out{v.code};
    const std::uint32_t serial = d.settings.sensorSerial;
    out.insert(out.end(),
               {static_cast<std::uint8_t>(serial >> 16), static_cast<std::uint8_t>(serial >> 8),
                static_cast<std::uint8_t>(serial)});
    out.push_back(v.unit);
    putFloat(out, l.upper);
    putFloat(out, l.lower);
    putFloat(out, v.code == 0 ? d.settings.damping : d.settings.variableDamping[v.code]);
    putFloat(out, l.minSpan);
    out.push_back(v.classification);
    const bool pressure = v.code == 0 && d.quantity == Quantity::Pressure;
    out.push_back(v.code == 3 ? kNotUsed : pressure ? kFamilyPressure : kFamilyTemperature);
    put32(out, 3200);  // acquired every 0.1 s
    out.push_back(0);  // properties
    return ok(std::move(out));
}

Reply writeVariableDamping(Device& d, const Request& r) {
    if (r.data.size() < 5) return fail(5);
    const std::uint8_t code = r.data[0];
    const float damping = getFloat(r.data, 1);
    if (code >= kVariables) return fail(2);
    if (std::isnan(damping)) return fail(2);
    if (damping > 60.0f) return fail(3);
    if (damping < 0.0f) return fail(4);
    (code == 0 ? d.settings.damping : d.settings.variableDamping[code]) = damping;
    markChanged(d);
    return ok(Bytes(r.data.begin(), r.data.begin() + 5));
}

Reply writePreambles(Device& d, const Request& r) {
    if (r.data.empty()) return fail(5);
    if (r.data[0] > 20) return fail(3);
    if (r.data[0] < 5) return fail(4);
    d.identity.preambles = r.data[0];
    markChanged(d);
    return ok({r.data[0]});
}

// The long tag and the process unit tag: 32 Latin-1 characters each.
template <std::string Settings::*text>
Reply readText(Device& d, const Request&) {
    Bytes out;
    putLatin1(out, d.settings.*text);
    return ok(std::move(out));
}

template <std::string Settings::*text>
Reply writeText(Device& d, const Request& r) {
    if (r.data.size() < kLongTag) return fail(5);
    d.settings.*text = latin1(r.data, 0);
    markChanged(d);
    return ok(Bytes(r.data.begin(), r.data.begin() + kLongTag));
}

Reply selfTest(Device&, const Request&) {
    return ok();
}

Reply deviceReset(Device& d, const Request&) {
    d.coldStart = true;
    d.fixedCurrent = false;
    return ok();
}

Reply squawk(Device&, const Request&) {
    return ok();
}

BurstMessage* messageOf(Device& d, const Bytes& data, std::size_t at) {
    if (data.size() <= at || data[at] >= d.settings.bursts.size()) return nullptr;
    return &d.settings.bursts[data[at]];
}

Reply writeBurstPeriod(Device& d, const Request& r) {
    if (r.data.size() < 9) return fail(5);
    BurstMessage* m = messageOf(d, r.data, 0);
    if (!m) return fail(9);  // invalid burst message
    m->updatePeriod = std::max<std::uint32_t>(get32(r.data, 1), 16000);
    m->maxPeriod = std::max(get32(r.data, 5), m->updatePeriod);
    markChanged(d);
    Bytes out{r.data[0]};
    put32(out, m->updatePeriod);
    put32(out, m->maxPeriod);
    // A period the device cannot keep is set to the nearest it can (a warning).
    const bool adjusted = m->updatePeriod != get32(r.data, 1) || m->maxPeriod != get32(r.data, 5);
    return {adjusted ? std::uint8_t{8} : std::uint8_t{0}, 0, std::move(out)};
}

Reply writeBurstTrigger(Device& d, const Request& r) {
    if (r.data.size() < 8) return fail(5);
    BurstMessage* m = messageOf(d, r.data, 0);
    if (!m) return fail(9);
    if (r.data[1] > 4) return fail(12);
    m->triggerMode = r.data[1];
    m->triggerClass = r.data[2];
    m->triggerUnit = r.data[3];
    m->triggerLevel = getFloat(r.data, 4);
    markChanged(d);
    return ok(Bytes(r.data.begin(), r.data.begin() + 8));
}

Reply readBurstConfig(Device& d, const Request& r) {
    const BurstMessage* m = messageOf(d, r.data.empty() ? Bytes{0} : r.data, 0);
    if (!m) return fail(9);
    const bool expanded = m->command > 255;
    Bytes out{static_cast<std::uint8_t>(m->on ? 1 : 0),
              static_cast<std::uint8_t>(expanded ? 31 : m->command)};
    out.insert(out.end(), m->variables.begin(), m->variables.end());
    out.push_back(r.data.empty() ? 0 : r.data[0]);
    out.push_back(static_cast<std::uint8_t>(d.settings.bursts.size()));
    out.push_back(static_cast<std::uint8_t>(m->command >> 8));
    out.push_back(static_cast<std::uint8_t>(m->command));
    put32(out, m->updatePeriod);
    put32(out, m->maxPeriod);
    out.insert(out.end(), {m->triggerMode, m->triggerClass, m->triggerUnit});
    putFloat(out, m->triggerLevel);
    return ok(std::move(out));
}

Reply writeBurstVariables(Device& d, const Request& r) {
    if (r.data.size() < 9) return fail(5);
    BurstMessage* m = messageOf(d, r.data, 8);
    if (!m) return fail(9);
    for (std::size_t i = 0; i < 8; ++i)
        if (r.data[i] != kNotUsed && !deviceVariable(d, r.data[i]).exists) return fail(2);
    std::copy_n(r.data.begin(), 8, m->variables.begin());
    markChanged(d);
    return ok(Bytes(r.data.begin(), r.data.begin() + 9));
}

Reply writeBurstCommand(Device& d, const Request& r) {
    BurstMessage* m = messageOf(d, r.data, 2);
    if (!m) return fail(9);
    const auto command = static_cast<std::uint16_t>(r.data[0] << 8 | r.data[1]);
    if (command != 1 && command != 2 && command != 3 && command != 9 && command != 33 &&
        command != 48)
        return fail(2);
    m->command = command;
    markChanged(d);
    return ok(Bytes(r.data.begin(), r.data.begin() + 3));
}

void burstsChanged(Device& d) {
    d.settings.burstMode = false;
    for (const BurstMessage& m : d.settings.bursts) d.settings.burstMode |= m.on;
}

Reply writeBurstControl(Device& d, const Request& r) {
    BurstMessage* m = messageOf(d, r.data, 1);
    if (!m) return fail(9);
    if (r.data[0] > 4) return fail(2);
    m->on = r.data[0] != 0;
    burstsChanged(d);
    markChanged(d);
    return ok(Bytes(r.data.begin(), r.data.begin() + 2));
}

Reply readCountry(Device& d, const Request&) {
    return ok({d.settings.country[0], d.settings.country[1],
               static_cast<std::uint8_t>(d.settings.siUnitsOnly ? 1 : 0)});
}

Reply writeCountry(Device& d, const Request& r) {
    if (r.data.size() < 3) return fail(5);
    if (!std::isupper(r.data[0]) || !std::isupper(r.data[1])) return fail(2);
    if (r.data[2] > 1) return fail(2);
    d.settings.country = {r.data[0], r.data[1]};
    d.settings.siUnitsOnly = r.data[2] == 1;
    markChanged(d);
    return ok(Bytes(r.data.begin(), r.data.begin() + 3));
}

struct Command7 {
    std::uint16_t number;
    bool write;  // refused while write protection is on
    Reply (*run)(Device&, const Request&);
    std::size_t minData = 0;  // the HART 7 form needs this many bytes; fewer: the older form
};

constexpr Command7 kCommands[] = {
    {7, false, readLoopConfig},
    {8, false, readClassifications},
    {9, false, readDeviceVariables},
    {20, false, readText<&Settings::longTag>},
    {22, true, writeText<&Settings::longTag>},
    {33, false, readDeviceVariables33},
    {41, false, selfTest},
    {42, false, deviceReset},
    {50, false, readMapping},
    {51, true, writeMapping},
    {53, true, writeVariableUnit},
    {54, false, readVariableInfo},
    {55, true, writeVariableDamping},
    {59, true, writePreambles},
    {72, false, squawk},
    {103, true, writeBurstPeriod},
    {104, true, writeBurstTrigger},
    {105, false, readBurstConfig},
    {107, true, writeBurstVariables},
    {108, true, writeBurstCommand, 3},
    {109, true, writeBurstControl, 2},
    {512, false, readCountry},
    {513, true, writeCountry},
    {520, false, readText<&Settings::processUnitTag>},
    {521, true, writeText<&Settings::processUnitTag>},
};

}  // namespace

DeviceVariable deviceVariable(const Device& d, std::uint8_t code) {
    DeviceVariable v;
    v.code = code;
    v.value = std::nanf("");
    if (code >= kVariables) return v;
    const auto [baseUnit, baseValue] = rawVariables(d)[code];
    v.exists = true;
    v.unit = baseUnit;
    v.value = baseValue;
    // The temperatures follow the unit written for them.
    const std::uint8_t unit = d.settings.variableUnits[code];
    if (code != 0 && baseUnit == kUnitDegC && isTemperatureUnit(unit)) {
        v.unit = unit;
        v.value = static_cast<float>(inUnit(unit, baseValue));
    }
    v.classification = isTemperatureUnit(v.unit)              ? kClassTemperature
                       : findUnit(Quantity::Pressure, v.unit) ? kClassPressure
                                                              : 0;
    v.status = kGood;
    const Limits l = limitsOf(d, code);
    if (code != 3 && v.value > l.upper) v.status = kPoor | kHighLimited;
    if (code != 3 && v.value < l.lower) v.status = kPoor | kLowLimited;
    if (code == 1 && d.variableFault) v.status = kMoreStatus;  // bad, not limited
    return v;
}

std::array<std::pair<std::uint8_t, float>, 4> mappedVariables(const Device& d) {
    std::array<std::pair<std::uint8_t, float>, 4> out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        const DeviceVariable v = deviceVariable(d, d.settings.mapping[i]);
        out[i] = {v.unit, v.value};
    }
    return out;
}

std::optional<Reply> answerHart7(Device& d, const Request& r) {
    int number = r.command;
    Request inner = r;
    const bool expanded = r.command == 31 && r.data.size() >= 2;
    if (expanded) {
        number = r.data[0] << 8 | r.data[1];
        inner.data.erase(inner.data.begin(), inner.data.begin() + 2);
    }
    for (const Command7& c : kCommands) {
        if (c.number != number) continue;
        if (inner.data.size() < c.minData) return std::nullopt;  // the HART 5 form
        if (c.write && d.writeProtect) return fail(7);
        Reply reply = c.run(d, inner);
        if (expanded) reply.data.insert(reply.data.begin(), r.data.begin(), r.data.begin() + 2);
        return reply;
    }
    if (expanded) return fail(64);  // not implemented
    return std::nullopt;
}

bool answersBroadcast(const Device& d, const Request& r) {
    const bool broadcast = r.isLong && (r.address[0] & 0x3F) == 0 && r.address[1] == 0 &&
                           r.address[2] == 0 && r.address[3] == 0 && r.address[4] == 0;
    if (!broadcast) return false;
    if (r.command == 11 && r.data.size() >= 6) {
        std::string tag = hart::unpackText(std::span(r.data).first(6), hart::kTagChars);
        std::string own = d.settings.tag;
        while (!tag.empty() && tag.back() == ' ') tag.pop_back();
        while (!own.empty() && own.back() == ' ') own.pop_back();
        return tag == own;
    }
    return r.command == 21 && r.data.size() >= kLongTag && latin1(r.data, 0) == d.settings.longTag;
}

std::pair<std::uint16_t, std::vector<std::uint8_t>> nextBurst(Device& d) {
    auto& bursts = d.settings.bursts;
    for (std::size_t k = 0; k < bursts.size(); ++k) {
        const std::size_t i = (d.burstNext + k) % bursts.size();
        if (!bursts[i].on) continue;
        d.burstNext = i + 1;
        std::vector<std::uint8_t> data;
        const std::size_t most = bursts[i].command == 33 ? 4 : 8;
        for (const std::uint8_t v : bursts[i].variables)
            if (v != kNotUsed && data.size() < most) data.push_back(v);
        return {bursts[i].command, data};
    }
    return {d.settings.burstCommand, {}};  // HART 5's single burst command
}

}  // namespace hartsim
