// A simulated HART 5 (or HART 7) pressure transmitter: its state and one handler per command.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "hart/frame.h"

namespace hartsim {

inline constexpr std::uint8_t kUnitKPa = 12;
inline constexpr std::uint8_t kUnitDegC = 32;
inline constexpr std::uint8_t kUnitPercent = 57;

struct Model;

// What the device measures. Values are kept in a base unit: kPa for pressure, degC for
// temperature.
enum class Quantity { Pressure, Temperature };

// A unit the device can show its measurement in: base = value * scale + offset.
struct MeasureUnit {
    std::uint8_t code;
    double scale;
    double offset = 0.0;
};
const MeasureUnit* findUnit(Quantity quantity, std::uint8_t code);

namespace rc {
inline constexpr std::uint8_t kSuccess = 0;
inline constexpr std::uint8_t kInvalidSelection = 2;
inline constexpr std::uint8_t kTooLarge = 3;
inline constexpr std::uint8_t kTooSmall = 4;
inline constexpr std::uint8_t kTooFewBytes = 5;
inline constexpr std::uint8_t kWriteProtected = 7;
// Command-specific codes share numbers: 9 also means "applied process too high" and
// "not in the proper current mode", 10 "applied process too low", 11 "in multidrop mode".
inline constexpr std::uint8_t kLowerRangeTooHigh = 9;
inline constexpr std::uint8_t kLowerRangeTooLow = 10;
inline constexpr std::uint8_t kUpperRangeTooHigh = 11;
inline constexpr std::uint8_t kUpperRangeTooLow = 12;
inline constexpr std::uint8_t kBothRangesOut = 13;
inline constexpr std::uint8_t kSpanTooSmall = 14;  // warning: the values are taken
inline constexpr std::uint8_t kBusy = 32;
inline constexpr std::uint8_t kNotImplemented = 64;

inline constexpr std::uint8_t kAppliedTooHigh = kLowerRangeTooHigh;
inline constexpr std::uint8_t kAppliedTooLow = kLowerRangeTooLow;
inline constexpr std::uint8_t kWrongCurrentMode = kLowerRangeTooHigh;
inline constexpr std::uint8_t kMultidrop = kUpperRangeTooHigh;

// Warnings carry the reply data; every other non-zero code answers the status bytes alone.
bool isWarning(std::uint8_t code);
}  // namespace rc

namespace status {
inline constexpr std::uint8_t kConfigChanged = 0x40;
inline constexpr std::uint8_t kColdStart = 0x20;
inline constexpr std::uint8_t kMoreStatus = 0x10;
inline constexpr std::uint8_t kCurrentFixed = 0x08;
inline constexpr std::uint8_t kCurrentSaturated = 0x04;
inline constexpr std::uint8_t kPvOutOfLimits = 0x01;
}  // namespace status

struct Identity {
    std::uint8_t manufacturer = 0x26;
    std::uint8_t deviceType = 0x06;
    std::uint32_t deviceId = 0x001234;  // 24 bits
    std::uint8_t pollingAddress = 0;
    std::uint8_t preambles = 5;  // preambles the device asks of the master
    std::uint8_t deviceRevision = 3;
    std::uint8_t softwareRevision = 2;
    std::uint8_t hardwareRevision = 0x08;  // revision 1, Bell 202 current signalling
    std::uint8_t flags = 0;
    // 5, or 7: command 0 then answers HART 7's longer identity, and short frames carry
    // command 0 only.
    std::uint8_t universalRevision = 5;
};

// One HART 7 burst message: what it publishes and when.
struct BurstMessage {
    std::uint16_t command = 1;
    std::array<std::uint8_t, 8> variables{0, 1, 2, 3, 250, 250, 250, 250};
    std::uint32_t updatePeriod = 2 * 32000;  // 1/32 ms
    std::uint32_t maxPeriod = 60 * 32000;
    std::uint8_t triggerMode = 0;  // continuous
    std::uint8_t triggerClass = 0;
    std::uint8_t triggerUnit = kUnitKPa;
    float triggerLevel = 0.0f;
    bool on = false;
};

// What command 39 stores in and restores from non-volatile memory.
struct Settings {
    std::uint8_t pvUnit = kUnitKPa;
    double upperRange = 100.0;
    double lowerRange = 0.0;
    float damping = 0.5f;
    std::uint8_t transferFunction = 0;  // 0 linear, 1 square root
    std::uint8_t alarmSelect = 0;       // 0 high
    std::uint8_t distributor = 38;
    std::string message = "HART PRESSURE TRANSMITTER SIM";
    std::string tag = "PT-101";
    std::string descriptor = "PRESSURE XMTR";
    std::array<std::uint8_t, 3> date{15, 6, 119};  // day, month, year - 1900
    std::uint32_t finalAssembly = 0x123456;
    std::uint32_t sensorSerial = 654321;
    // Vendor settings by record name (see sim/models.h), stored with the rest.
    std::map<std::string, std::vector<std::uint8_t>> records;
    // Sensor trim, all in the base unit: pv = trimLowValue + trimGain * (applied - trimLowApplied).
    double trimLowApplied = 0.0;
    double trimLowValue = 0.0;
    double trimGain = 1.0;
    // Output corrections learnt from the current trims at the 4 and 20 mA points, in mA.
    double trimAt4mA = 0.0;
    double trimAt20mA = 0.0;
    std::uint8_t burstCommand = 1;
    bool burstMode = false;
    // HART 7 and common-practice settings.
    std::string longTag = "PT-101 FEED WATER PUMP DISCHARGE";
    std::string processUnitTag = "BOILER HOUSE 2";
    std::array<std::uint8_t, 2> country{'C', 'N'};
    bool siUnitsOnly = false;
    std::array<std::uint8_t, 4> mapping{0, 1, 2, 3};  // device variable behind PV, SV, TV, QV
    std::array<std::uint8_t, 4> variableUnits{0, kUnitDegC, kUnitDegC, kUnitPercent};
    std::array<float, 4> variableDamping{0.5f, 2.0f, 2.0f, 0.0f};
    std::array<BurstMessage, 3> bursts{};
};

struct Sensor {
    double upperLimit = 250.0;
    double lowerLimit = -100.0;
    double minSpan = 2.5;
};

// The pressure on the sensor: a slow sine, or a constant when the swing is 0.
struct Process {
    double centre = 40.0;
    double swing = 10.0;
    double periodS = 120.0;
};

// What the output stage drives off from the commanded current before any trim, in mA.
struct DacError {
    double at4mA = 0.0;
    double at20mA = 0.0;
};

// Command 48's device-specific bytes. Byte 0: 0x01 write protected, 0x02 sensor input
// beyond its limits, 0x04 output saturated; the others stay 0.
using AdditionalStatus = std::array<std::uint8_t, 6>;

struct Device {
    const Model* model = nullptr;  // none: the universal pressure transmitter
    Quantity quantity = Quantity::Pressure;
    Identity identity;
    Settings settings;
    Settings saved;  // the non-volatile copy
    Sensor sensor;
    Process process;
    DacError dacError;
    double now = 0.0;  // seconds since start; the loop sets it before each command
    bool fixedCurrent = false;
    float fixedCurrentMA = 0.0f;
    bool writeProtect = false;
    bool busy = false;
    bool loopCurrent = true;     // false: parked at 4 mA (multidrop)
    bool variableFault = false;  // device variable 1 (the sensor temperature) reads bad
    std::size_t burstNext = 0;   // the burst message sent next
    bool configChanged = false;
    std::uint16_t configChangeCounter = 0;  // HART 7: counts every change of the configuration
    bool coldStart = true;
    AdditionalStatus additionalRead{};  // what command 48 last answered
    // Lines for the log, taken after each command: "HOLD <record> <field> <code> <meaning>"
    // for each named field an accepted write set, so that a test can tell what a code meant.
    std::vector<std::string> notes;
};

// A pressure transmitter with the given identity; other devices differ only in their tag.
Device makeDevice(const Identity& identity);
// A temperature transmitter: degC, a 0..100 degC range on a -200..850 degC sensor.
Device makeTemperatureDevice(const Identity& identity);

struct Request {
    bool isLong = false;
    std::uint8_t masterBit = 0x80;
    std::array<std::uint8_t, 5> address{};  // short frame: address[0] only
    std::uint8_t command = 0;
    std::vector<std::uint8_t> data;
};

struct Reply {
    std::uint8_t responseCode = 0;
    std::uint8_t deviceStatus = 0;
    std::vector<std::uint8_t> data;
};

// Answers one command addressed to this device, changing its state as the command says.
Reply handle(Device& device, const Request& request);

// Live values derived from the state at device.now.
double appliedValue(const Device& device);  // base unit
double pvBase(const Device& device);
// A base-unit value in the PV unit.
double shown(const Device& device, double base);
float primaryValue(const Device& device);  // in the PV unit
float percentOfRange(const Device& device);
// The current on the loop, as a meter in it and the device's read-back see it.
float loopCurrent(const Device& device);
// Percent of range as commands 2 and 3 report it: that of the fixed current while fixed.
float reportedPercent(const Device& device);
// Sets "more status available" while the additional status differs from what command 48
// last answered.
std::uint8_t deviceStatus(const Device& device);
AdditionalStatus additionalStatus(const Device& device);
bool isMultidrop(const Device& device);

// The device's identity as a master addresses it.
hart::DeviceIdentity hartIdentity(const Device& device);
// Long address bytes as the device matches them (no master or burst bit).
std::array<std::uint8_t, 5> longAddress(const Device& device);

// A device variable as commands 9, 33 and 54 tell it.
struct DeviceVariable {
    std::uint8_t code = 0;
    std::uint8_t classification = 0;
    std::uint8_t unit = 250;  // not used
    float value = 0.0f;
    std::uint8_t status = 0x00;  // bad
    bool exists = false;
};
DeviceVariable deviceVariable(const Device& device, std::uint8_t code);
// Commands 3 and 1: the four variables the mapping puts behind PV, SV, TV and QV.
std::array<std::pair<std::uint8_t, float>, 4> mappedVariables(const Device& device);
// The HART 7 and common-practice commands (hart7.cpp); nothing for other numbers. An
// expanded command comes as 31 with its number first in the data.
std::optional<Reply> answerHart7(Device& device, const Request& request);
// The command and request data of the burst frame due next.
std::pair<std::uint16_t, std::vector<std::uint8_t>> nextBurst(Device& device);
// Command 11 or 21 to the broadcast address naming this device's tag or long tag.
bool answersBroadcast(const Device& device, const Request& request);
void markChanged(Device& device);

// Every command the device answers, ascending.
std::vector<std::uint8_t> implementedCommands();

}  // namespace hartsim
