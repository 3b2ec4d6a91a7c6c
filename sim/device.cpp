#include "sim/device.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <span>

#include "hart/numbers.h"
#include "hart/packed_text.h"
#include "sim/models.h"

namespace hartsim {

namespace {

constexpr MeasureUnit kPressureUnits[] = {
    {1, 0.24908891},    // inH2O at 68 F
    {2, 3.38638816},    // inHg
    {3, 2.98906692},    // ftH2O
    {4, 0.00978903},    // mmH2O at 68 F
    {5, 0.13332237},    // mmHg
    {6, 6.89475729},    // psi
    {7, 100.0},         // bar
    {8, 0.1},           // mbar
    {9, 0.0980665},     // g/cm2
    {10, 98.0665},      // kg/cm2
    {11, 0.001},        // Pa
    {12, 1.0},          // kPa
    {13, 0.13332237},   // torr
    {14, 101.325},      // atm
    {237, 1000.0},      // MPa
    {238, 0.24908200},  // inH2O at 4 C
    {239, 0.00980638},  // mmH2O at 4 C
};

constexpr MeasureUnit kTemperatureUnits[] = {
    {32, 1.0, 0.0},                  // degC
    {33, 1.0 / 1.8, -32.0 / 1.8},    // degF
    {34, 1.0 / 1.8, -491.67 / 1.8},  // degR
    {35, 1.0, -273.15},              // K
};

constexpr double kSaturationLowMA = 3.8;
constexpr double kSaturationHighMA = 20.5;
constexpr float kFixedCurrentMinMA = 3.6f;
constexpr float kFixedCurrentMaxMA = 22.0f;
constexpr float kMaxDampingS = 60.0f;
// The zero adjustment is refused when the applied pressure is further than this share of
// the upper sensor limit from zero.
constexpr double kZeroWindow = 0.5;

std::uint8_t byteAt(const Request& r, std::size_t i) {
    return r.data[i];
}

float floatAt(const Request& r, std::size_t i) {
    return static_cast<float>(
        hart::decodeWireFloat(std::span<const std::uint8_t, 4>(r.data.data() + i, 4)));
}

void putFloat(std::vector<std::uint8_t>& out, double value) {
    const hart::WireFloat w = hart::encodeWireFloat(static_cast<float>(value));
    out.insert(out.end(), w.begin(), w.end());
}

void putUint24(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

std::uint32_t uint24At(const Request& r, std::size_t i) {
    return (std::uint32_t{r.data[i]} << 16) | (std::uint32_t{r.data[i + 1]} << 8) | r.data[i + 2];
}

void putText(std::vector<std::uint8_t>& out, const std::string& text, std::size_t chars) {
    const std::vector<std::uint8_t> packed = hart::packText(text, chars);
    out.insert(out.end(), packed.begin(), packed.end());
}

std::string textAt(const Request& r, std::size_t i, std::size_t chars) {
    return hart::unpackText(std::span<const std::uint8_t>(r.data).subspan(i, chars * 3 / 4), chars);
}

constexpr MeasureUnit kBaseUnit{0, 1.0, 0.0};

const MeasureUnit& pvUnit(const Device& d) {
    const MeasureUnit* u = findUnit(d.quantity, d.settings.pvUnit);
    return u ? *u : kBaseUnit;
}

double toBase(const MeasureUnit& u, double value) {
    return value * u.scale + u.offset;
}

// A difference (a span), which no unit offset applies to.
double shownSpan(const Device& d, double base) {
    return base / pvUnit(d).scale;
}

Reply ok(std::vector<std::uint8_t> data = {}) {
    return {rc::kSuccess, 0, std::move(data)};
}
Reply fail(std::uint8_t code) {
    return {code, 0, {}};
}
Reply echo(const Request& r, std::uint8_t code = rc::kSuccess) {
    return {code, 0, r.data};
}

void changed(Device& d) {
    markChanged(d);
}

void putUint16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

constexpr std::uint8_t kHart7 = 7;
constexpr std::uint8_t kCounterMismatch = 9;  // command 38's own code

// --- universal commands

Reply readIdentity(Device& d, const Request&) {
    const Identity& id = d.identity;
    std::vector<std::uint8_t> out{254,
                                  id.manufacturer,
                                  id.deviceType,
                                  id.preambles,
                                  id.universalRevision,
                                  id.deviceRevision,
                                  id.softwareRevision,
                                  id.hardwareRevision,
                                  id.flags};
    putUint24(out, id.deviceId);
    if (id.universalRevision >= kHart7) {
        // The expanded device type stands where HART 5 has manufacturer and type (so the
        // long address stays the same), the manufacturer's code comes in 16 bits further on.
        out.push_back(id.preambles);  // preambles from the device to the master
        out.push_back(4);             // the last device variable code
        putUint16(out, d.configChangeCounter);
        out.push_back(0);  // extended device status
        putUint16(out, id.manufacturer);
        putUint16(out, d.settings.distributor);
        out.push_back(1);  // device profile: process automation device
    }
    return ok(std::move(out));
}

double sensorTemperature(const Device& d) {
    return 24.0 + 0.5 * std::sin(2.0 * std::numbers::pi * d.now / 600.0);
}

}  // namespace

// The measurement, the sensor body and electronics temperatures, and the percent of range,
// unless the model reports its own; device variables 0 to 3.
Variables rawVariables(const Device& d) {
    if (d.model && d.model->variables) return d.model->variables(d);
    return {{{d.settings.pvUnit, primaryValue(d)},
             {kUnitDegC, static_cast<float>(sensorTemperature(d))},
             {kUnitDegC, 31.5f},
             {kUnitPercent, reportedPercent(d)}}};
}

namespace {

Variables dynamicVariables(const Device& d) {
    return mappedVariables(d);
}

Reply readPrimaryVariable(Device& d, const Request&) {
    const auto [unit, value] = dynamicVariables(d)[0];
    std::vector<std::uint8_t> out{unit};
    putFloat(out, value);
    return ok(std::move(out));
}

Reply readCurrentAndPercent(Device& d, const Request&) {
    std::vector<std::uint8_t> out;
    putFloat(out, loopCurrent(d));
    putFloat(out, reportedPercent(d));
    return ok(std::move(out));
}

Reply readDynamicVariables(Device& d, const Request&) {
    std::vector<std::uint8_t> out;
    putFloat(out, loopCurrent(d));
    for (const auto& [unit, value] : dynamicVariables(d)) {
        out.push_back(unit);
        putFloat(out, value);
    }
    return ok(std::move(out));
}

// HART 5's one byte: address 0..15, and any other address parks the current. HART 6 and 7
// add the loop current mode byte and addresses up to 63.
Reply writePollingAddress(Device& d, const Request& r) {
    const std::uint8_t address = byteAt(r, 0);
    const bool withMode = r.data.size() >= 2 && d.identity.universalRevision >= 6;
    if (address > (withMode ? 63 : 15)) return fail(rc::kInvalidSelection);
    if (withMode && byteAt(r, 1) > 1) return fail(rc::kInvalidSelection);
    d.identity.pollingAddress = address;
    d.loopCurrent = withMode ? byteAt(r, 1) == 1 : address == 0;
    // A multidrop device parks its output at 4 mA, so fixed-current mode ends.
    if (!d.loopCurrent) d.fixedCurrent = false;
    changed(d);
    return withMode ? echo(r) : ok({address});
}

Reply readMessage(Device& d, const Request&) {
    std::vector<std::uint8_t> out;
    putText(out, d.settings.message, hart::kMessageChars);
    return ok(std::move(out));
}

Reply readTagDescriptorDate(Device& d, const Request&) {
    std::vector<std::uint8_t> out;
    putText(out, d.settings.tag, hart::kTagChars);
    putText(out, d.settings.descriptor, hart::kDescriptorChars);
    out.insert(out.end(), d.settings.date.begin(), d.settings.date.end());
    return ok(std::move(out));
}

Reply readSensorInfo(Device& d, const Request&) {
    std::vector<std::uint8_t> out;
    putUint24(out, d.settings.sensorSerial);
    out.push_back(d.settings.pvUnit);
    putFloat(out, shown(d, d.sensor.upperLimit));
    putFloat(out, shown(d, d.sensor.lowerLimit));
    putFloat(out, shownSpan(d, d.sensor.minSpan));
    return ok(std::move(out));
}

Reply readOutputInfo(Device& d, const Request&) {
    const Settings& s = d.settings;
    std::vector<std::uint8_t> out{s.alarmSelect, s.transferFunction, s.pvUnit};
    putFloat(out, shown(d, s.upperRange));
    putFloat(out, shown(d, s.lowerRange));
    putFloat(out, s.damping);
    out.push_back(d.writeProtect ? 1 : 0);
    out.push_back(s.distributor);
    return ok(std::move(out));
}

Reply readFinalAssembly(Device& d, const Request&) {
    std::vector<std::uint8_t> out;
    putUint24(out, d.settings.finalAssembly);
    return ok(std::move(out));
}

Reply writeMessage(Device& d, const Request& r) {
    d.settings.message = textAt(r, 0, hart::kMessageChars);
    changed(d);
    return echo(r);
}

Reply writeTagDescriptorDate(Device& d, const Request& r) {
    d.settings.tag = textAt(r, 0, hart::kTagChars);
    d.settings.descriptor = textAt(r, 6, hart::kDescriptorChars);
    d.settings.date = {r.data[18], r.data[19], r.data[20]};
    changed(d);
    return echo(r);
}

Reply writeFinalAssembly(Device& d, const Request& r) {
    d.settings.finalAssembly = uint24At(r, 0);
    changed(d);
    return echo(r);
}

// --- common-practice commands

Reply writeDamping(Device& d, const Request& r) {
    const float damping = floatAt(r, 0);
    if (std::isnan(damping)) return fail(rc::kInvalidSelection);
    if (damping > kMaxDampingS) return fail(rc::kTooLarge);
    if (damping < 0.0f) return fail(rc::kTooSmall);
    d.settings.damping = damping;
    changed(d);
    return echo(r);
}

// The range code for a pair of range values in the base unit, checked against the sensor limits.
std::uint8_t rangeCheck(const Device& d, double upper, double lower) {
    const Sensor& s = d.sensor;
    const bool upperOut = upper > s.upperLimit || upper < s.lowerLimit;
    const bool lowerOut = lower > s.upperLimit || lower < s.lowerLimit;
    if (upperOut && lowerOut) return rc::kBothRangesOut;
    if (lower > s.upperLimit) return rc::kLowerRangeTooHigh;
    if (lower < s.lowerLimit) return rc::kLowerRangeTooLow;
    if (upper > s.upperLimit) return rc::kUpperRangeTooHigh;
    if (upper < s.lowerLimit) return rc::kUpperRangeTooLow;
    if (std::abs(upper - lower) < s.minSpan) return rc::kSpanTooSmall;
    return rc::kSuccess;
}

Reply writeRangeValues(Device& d, const Request& r) {
    const MeasureUnit* unit = findUnit(d.quantity, byteAt(r, 0));
    if (!unit) return fail(rc::kInvalidSelection);
    const float upperValue = floatAt(r, 1);
    const float lowerValue = floatAt(r, 5);
    if (!std::isfinite(upperValue) || !std::isfinite(lowerValue)) {
        return fail(rc::kInvalidSelection);
    }
    const double upper = toBase(*unit, upperValue);
    const double lower = toBase(*unit, lowerValue);
    const std::uint8_t code = rangeCheck(d, upper, lower);
    if (code != rc::kSuccess && !rc::isWarning(code)) return fail(code);
    d.settings.upperRange = upper;
    d.settings.lowerRange = lower;
    changed(d);
    return echo(r, code);
}

std::uint8_t appliedCheck(const Device& d, double pv) {
    if (pv > d.sensor.upperLimit) return rc::kAppliedTooHigh;
    if (pv < d.sensor.lowerLimit) return rc::kAppliedTooLow;
    return rc::kSuccess;
}

Reply setUpperRangeFromApplied(Device& d, const Request&) {
    const double pv = pvBase(d);
    if (const std::uint8_t code = appliedCheck(d, pv)) return fail(code);
    d.settings.upperRange = pv;
    changed(d);
    const bool narrow = std::abs(pv - d.settings.lowerRange) < d.sensor.minSpan;
    return {narrow ? rc::kSpanTooSmall : rc::kSuccess, 0, {}};
}

// The span is kept: the upper range value moves with the lower one, up to the sensor limit.
Reply setLowerRangeFromApplied(Device& d, const Request&) {
    const double pv = pvBase(d);
    if (const std::uint8_t code = appliedCheck(d, pv)) return fail(code);
    Settings& s = d.settings;
    double upper = s.upperRange + (pv - s.lowerRange);
    std::uint8_t code = rc::kSuccess;
    if (upper > d.sensor.upperLimit || upper < d.sensor.lowerLimit) {
        upper = std::clamp(upper, d.sensor.lowerLimit, d.sensor.upperLimit);
        code = rc::kSpanTooSmall;
    }
    s.lowerRange = pv;
    s.upperRange = upper;
    changed(d);
    return {code, 0, {}};
}

// HART 7 names the counter it saw; a change since makes the reset refused.
Reply resetConfigChanged(Device& d, const Request& r) {
    if (d.identity.universalRevision < kHart7) {
        d.configChanged = false;
        return ok();
    }
    if (r.data.size() < 2) return fail(rc::kTooFewBytes);
    if ((r.data[0] << 8 | r.data[1]) != d.configChangeCounter) return fail(kCounterMismatch);
    d.configChanged = false;
    std::vector<std::uint8_t> out;
    putUint16(out, d.configChangeCounter);
    return ok(std::move(out));
}

Reply eepromControl(Device& d, const Request& r) {
    switch (byteAt(r, 0)) {
        case 0:
            d.saved = d.settings;
            break;
        case 1:
            d.settings = d.saved;
            changed(d);
            break;
        default:
            return fail(rc::kInvalidSelection);
    }
    return echo(r);
}

Reply fixedCurrentMode(Device& d, const Request& r) {
    const float mA = floatAt(r, 0);
    if (isMultidrop(d)) return fail(rc::kMultidrop);
    if (std::isnan(mA)) return fail(rc::kInvalidSelection);
    if (mA == 0.0f) {
        d.fixedCurrent = false;
        return echo(r);
    }
    if (mA > kFixedCurrentMaxMA) return fail(rc::kTooLarge);
    if (mA < kFixedCurrentMinMA) return fail(rc::kTooSmall);
    d.fixedCurrent = true;
    d.fixedCurrentMA = mA;
    return echo(r);
}

Reply zeroPrimaryVariable(Device& d, const Request&) {
    const double applied = appliedValue(d);
    const double window = kZeroWindow * d.sensor.upperLimit;
    if (applied > window) return fail(rc::kAppliedTooHigh);
    if (applied < -window) return fail(rc::kAppliedTooLow);
    d.settings.trimLowApplied = applied;
    d.settings.trimLowValue = 0.0;
    changed(d);
    return ok();
}

Reply writePvUnit(Device& d, const Request& r) {
    if (!findUnit(d.quantity, byteAt(r, 0))) return fail(rc::kInvalidSelection);
    d.settings.pvUnit = byteAt(r, 0);
    changed(d);
    return echo(r);
}

// Both trims need the output forced to the current being trimmed. The technician enters
// what the meter shows; the difference to the forced current is taken off the output there.
Reply trimCurrent(Device& d, const Request& r, float forced, float low, float high,
                  double Settings::*trim) {
    const float mA = floatAt(r, 0);
    if (isMultidrop(d)) return fail(rc::kMultidrop);
    if (!d.fixedCurrent || d.fixedCurrentMA != forced) return fail(rc::kWrongCurrentMode);
    if (std::isnan(mA)) return fail(rc::kInvalidSelection);
    if (mA > high) return fail(rc::kTooLarge);
    if (mA < low) return fail(rc::kTooSmall);
    d.settings.*trim += static_cast<double>(mA) - forced;
    changed(d);
    return echo(r);
}

Reply trimCurrentZero(Device& d, const Request& r) {
    return trimCurrent(d, r, 4.0f, 2.0f, 6.0f, &Settings::trimAt4mA);
}

Reply trimCurrentGain(Device& d, const Request& r) {
    return trimCurrent(d, r, 20.0f, 18.0f, 22.0f, &Settings::trimAt20mA);
}

Reply writeTransferFunction(Device& d, const Request& r) {
    if (byteAt(r, 0) > 1) return fail(rc::kInvalidSelection);
    d.settings.transferFunction = byteAt(r, 0);
    changed(d);
    return echo(r);
}

Reply writeSensorSerial(Device& d, const Request& r) {
    d.settings.sensorSerial = uint24At(r, 0);
    changed(d);
    return echo(r);
}

Reply writeBurstCommand(Device& d, const Request& r) {
    const std::uint8_t command = byteAt(r, 0);
    if (command < 1 || command > 3) return fail(rc::kInvalidSelection);
    d.settings.burstCommand = command;
    changed(d);
    return echo(r);
}

Reply burstModeControl(Device& d, const Request& r) {
    if (byteAt(r, 0) > 1) return fail(rc::kInvalidSelection);
    d.settings.burstMode = byteAt(r, 0) == 1;
    changed(d);
    return echo(r);
}

// --- device-specific: tell the device what the applied pressure should read

double valueInBase(const Device& d, const Request& r) {
    const MeasureUnit* unit = findUnit(d.quantity, byteAt(r, 0));
    return toBase(unit ? *unit : pvUnit(d), floatAt(r, 1));
}

Reply readAdditionalStatus(Device& d, const Request&) {
    d.additionalRead = additionalStatus(d);
    return ok({d.additionalRead.begin(), d.additionalRead.end()});
}

Reply adjustHighPoint(Device& d, const Request& r) {
    const double applied = appliedValue(d);
    const double value = valueInBase(d, r);
    Settings& s = d.settings;
    if (std::isfinite(value)) {
        if (std::abs(applied - s.trimLowApplied) > 1e-9) {
            s.trimGain = (value - s.trimLowValue) / (applied - s.trimLowApplied);
        } else {
            s.trimLowValue = value;
        }
        changed(d);
    }
    return echo(r);
}

Reply adjustLowPoint(Device& d, const Request& r) {
    const double value = valueInBase(d, r);
    if (std::isfinite(value)) {
        d.settings.trimLowApplied = appliedValue(d);
        d.settings.trimLowValue = value;
        changed(d);
    }
    return echo(r);
}

struct Command {
    std::uint8_t number;
    std::size_t minData;
    bool write;  // refused while write protection is on
    Reply (*run)(Device&, const Request&);
};

constexpr Command kCommands[] = {
    {0, 0, false, readIdentity},
    {1, 0, false, readPrimaryVariable},
    {2, 0, false, readCurrentAndPercent},
    {3, 0, false, readDynamicVariables},
    {6, 1, true, writePollingAddress},
    {12, 0, false, readMessage},
    {13, 0, false, readTagDescriptorDate},
    {14, 0, false, readSensorInfo},
    {15, 0, false, readOutputInfo},
    {16, 0, false, readFinalAssembly},
    {17, 24, true, writeMessage},
    {18, 21, true, writeTagDescriptorDate},
    {19, 3, true, writeFinalAssembly},
    {34, 4, true, writeDamping},
    {35, 9, true, writeRangeValues},
    {36, 0, true, setUpperRangeFromApplied},
    {37, 0, true, setLowerRangeFromApplied},
    {38, 0, false, resetConfigChanged},
    {39, 1, true, eepromControl},
    {40, 4, false, fixedCurrentMode},
    {43, 0, true, zeroPrimaryVariable},
    {44, 1, true, writePvUnit},
    {45, 4, true, trimCurrentZero},
    {46, 4, true, trimCurrentGain},
    {47, 1, true, writeTransferFunction},
    {48, 0, false, readAdditionalStatus},
    {49, 3, true, writeSensorSerial},
    {108, 1, true, writeBurstCommand},
    {109, 1, true, burstModeControl},
    {130, 5, true, adjustHighPoint},
    {131, 5, true, adjustLowPoint},
};

const Command* findCommand(std::uint8_t number) {
    for (const Command& c : kCommands) {
        if (c.number == number) return &c;
    }
    return nullptr;
}

}  // namespace

bool rc::isWarning(std::uint8_t code) {
    return code == 8 || code == 14 || (code >= 24 && code <= 27) || code == 30 || code == 31 ||
           (code >= 96 && code <= 127);
}

const MeasureUnit* findUnit(Quantity quantity, std::uint8_t code) {
    const std::span<const MeasureUnit> units =
        quantity == Quantity::Pressure ? std::span<const MeasureUnit>(kPressureUnits)
                                       : std::span<const MeasureUnit>(kTemperatureUnits);
    for (const MeasureUnit& u : units) {
        if (u.code == code) return &u;
    }
    return nullptr;
}

double shown(const Device& d, double base) {
    const MeasureUnit& u = pvUnit(d);
    return (base - u.offset) / u.scale;
}

Device makeDevice(const Identity& identity) {
    Device d;
    d.identity = identity;
    d.loopCurrent = identity.pollingAddress == 0;
    if (identity.pollingAddress != 0) {
        d.settings.tag = "PT-1" + std::to_string(identity.pollingAddress / 10) +
                         std::to_string(identity.pollingAddress % 10);
    }
    d.saved = d.settings;
    return d;
}

Device makeTemperatureDevice(const Identity& identity) {
    Device d = makeDevice(identity);
    d.quantity = Quantity::Temperature;
    Settings& s = d.settings;
    s.pvUnit = kUnitDegC;
    s.upperRange = 100.0;
    s.lowerRange = 0.0;
    s.message = "HART TEMPERATURE TRANSMITTER SIM";
    s.tag = "TT-1" + std::to_string(identity.pollingAddress / 10) +
            std::to_string(identity.pollingAddress % 10);
    s.descriptor = "TEMPERATURE XMTR";
    d.sensor = {850.0, -200.0, 10.0};
    d.process = {65.0, 3.0, 300.0};
    d.saved = d.settings;
    return d;
}

double appliedValue(const Device& d) {
    const Process& p = d.process;
    if (p.swing == 0.0 || p.periodS <= 0.0) return p.centre;
    return p.centre + p.swing * std::sin(2.0 * std::numbers::pi * d.now / p.periodS);
}

double pvBase(const Device& d) {
    const Settings& s = d.settings;
    return s.trimLowValue + s.trimGain * (appliedValue(d) - s.trimLowApplied);
}

float primaryValue(const Device& d) {
    return static_cast<float>(shown(d, pvBase(d)));
}

float percentOfRange(const Device& d) {
    const Settings& s = d.settings;
    const double span = s.upperRange - s.lowerRange;
    if (span == 0.0) return 0.0f;
    double percent = (pvBase(d) - s.lowerRange) / span * 100.0;
    if (s.transferFunction == 1) percent = percent > 0.0 ? 10.0 * std::sqrt(percent) : 0.0;
    return static_cast<float>(percent);
}

bool isMultidrop(const Device& d) {
    return !d.loopCurrent;
}

void markChanged(Device& d) {
    d.configChanged = true;
    ++d.configChangeCounter;
}

namespace {

// Both the DAC's error and the trims' corrections are straight lines through their values
// at 4 and 20 mA.
double driven(const Device& d, double commandedMA) {
    const double t = (commandedMA - 4.0) / 16.0;
    const auto line = [t](double at4, double at20) { return at4 + t * (at20 - at4); };
    return commandedMA + line(d.dacError.at4mA, d.dacError.at20mA) -
           line(d.settings.trimAt4mA, d.settings.trimAt20mA);
}

}  // namespace

float loopCurrent(const Device& d) {
    if (isMultidrop(d)) return static_cast<float>(driven(d, 4.0));
    if (d.fixedCurrent) return static_cast<float>(driven(d, d.fixedCurrentMA));
    const double mA = 4.0 + 16.0 * percentOfRange(d) / 100.0;
    return static_cast<float>(driven(d, std::clamp(mA, kSaturationLowMA, kSaturationHighMA)));
}

float reportedPercent(const Device& d) {
    if (d.fixedCurrent) return (d.fixedCurrentMA - 4.0f) / 16.0f * 100.0f;
    return percentOfRange(d);
}

namespace {

bool outputSaturated(const Device& d) {
    const float percent = percentOfRange(d);
    return !d.fixedCurrent && !isMultidrop(d) && (percent < -1.25f || percent > 103.125f);
}

bool beyondSensorLimits(const Device& d) {
    const double pv = pvBase(d);
    return pv > d.sensor.upperLimit || pv < d.sensor.lowerLimit;
}

}  // namespace

AdditionalStatus additionalStatus(const Device& d) {
    AdditionalStatus a{};
    if (d.writeProtect) a[0] |= 0x01;
    if (beyondSensorLimits(d)) a[0] |= 0x02;
    if (outputSaturated(d)) a[0] |= 0x04;
    return a;
}

std::uint8_t deviceStatus(const Device& d) {
    std::uint8_t s = 0;
    if (d.configChanged) s |= status::kConfigChanged;
    if (d.coldStart) s |= status::kColdStart;
    if (d.fixedCurrent || isMultidrop(d)) s |= status::kCurrentFixed;
    if (outputSaturated(d)) s |= status::kCurrentSaturated;
    if (beyondSensorLimits(d)) s |= status::kPvOutOfLimits;
    if (additionalStatus(d) != d.additionalRead) s |= status::kMoreStatus;
    return s;
}

hart::DeviceIdentity hartIdentity(const Device& d) {
    const Identity& id = d.identity;
    hart::DeviceIdentity out;
    out.manufacturer = id.manufacturer;
    out.deviceType = id.deviceType;
    out.deviceId = {static_cast<std::uint8_t>(id.deviceId >> 16),
                    static_cast<std::uint8_t>(id.deviceId >> 8),
                    static_cast<std::uint8_t>(id.deviceId)};
    out.polledAddress = id.pollingAddress;
    return out;
}

std::array<std::uint8_t, 5> longAddress(const Device& d) {
    return hartIdentity(d).longAddress(0x00);
}

Reply handle(Device& device, const Request& request) {
    Reply reply;
    const Command* command = findCommand(request.command);
    if (device.busy) {
        reply.responseCode = rc::kBusy;
    } else if (std::optional<Reply> vendor = answerVendor(device, request)) {
        reply = std::move(*vendor);
    } else if (std::optional<Reply> hart7 = answerHart7(device, request)) {
        reply = std::move(*hart7);
    } else if (!command) {
        reply.responseCode = rc::kNotImplemented;
    } else if (request.data.size() < command->minData) {
        reply.responseCode = rc::kTooFewBytes;
    } else if (command->write && device.writeProtect) {
        reply.responseCode = rc::kWriteProtected;
    } else {
        reply = command->run(device, request);
    }
    if (reply.responseCode != rc::kSuccess && !rc::isWarning(reply.responseCode)) {
        reply.data.clear();
    }
    reply.deviceStatus = deviceStatus(device);
    device.coldStart = false;
    return reply;
}

std::vector<std::uint8_t> implementedCommands() {
    std::vector<std::uint8_t> out;
    for (const Command& c : kCommands) out.push_back(c.number);
    return out;
}

}  // namespace hartsim
