// The loop check: the output driven to known currents in fixed-current mode, each compared
// with a reference meter's reading, the output trimmed when out of tolerance and checked
// again; optionally the sensor against applied inputs. Its record is a JSON file of the
// configuration file's family; docs/loop-check.md describes it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/config.h"

namespace ops::loopcheck {

inline constexpr std::string_view kFormat = "hart-loop-check";
inline constexpr int kVersion = 1;
inline constexpr double kLoopSpanMa = 16.0;  // 4 .. 20 mA

// One loop point: the current the output was fixed at and what the meter read.
struct Point {
    double setMa = 0;
    double readMa = 0;
    double errorMa = 0;
    double errorPercentOfSpan = 0;
    bool pass = false;
};

// One sensor point: the input applied and the primary variable the instrument told.
struct SensorPoint {
    double applied = 0;
    double pv = 0;
    std::string unit;
    double errorPercentOfSpan = 0;
    bool pass = false;
};

// The primary variable's range at the time of the check, the unit by its plain name.
struct Range {
    double lower = 0;
    double upper = 0;
    std::string unit;
};

// The metered currents the 4 mA and 20 mA trims were given.
struct Trim {
    double zeroMeteredMa = 0;
    double gainMeteredMa = 0;
};

enum class Outcome { Passed, Failed, Cancelled, PortLost };
std::string_view outcomeName(Outcome outcome);

struct Record {
    int version = kVersion;
    std::string tool;      // "hart-cli 1.0.0"
    std::string started;   // local time with its offset, "2026-12-09T15:40:00+01:00"
    std::string finished;  // the same; empty while under way
    // The identity fields of a configuration file's record, plus whatever else is known of the
    // instrument (tag, long-tag, hart-revision, manufacturer ...), all as strings.
    config::Values instrument;
    std::optional<Range> range;  // none when it could not be read
    double tolerancePercentOfSpan = 0.1;
    std::vector<Point> asFound;
    std::optional<Trim> trim;
    std::vector<Point> asLeft;  // empty when no trim was done: as found stands as left
    std::vector<SensorPoint> sensor;
    Outcome outcome = Outcome::Cancelled;
    std::string note;
};

// A point's error and verdict from the set and read currents.
Point loopPoint(double setMa, double readMa, double tolerancePercentOfSpan);
// A sensor point's error and verdict against the range's span; fails without a range.
SensorPoint sensorPoint(double applied, double pv, const std::optional<Range>& range,
                        double tolerancePercentOfSpan);
bool allPass(const std::vector<Point>& points);

std::string toJson(const Record& record);

struct Parsed {
    std::optional<Record> record;
    std::string error;
};
Parsed fromJson(std::string_view text);

}  // namespace ops::loopcheck
