// The loop check: the output driven to known currents in fixed-current mode, each compared
// with a reference meter's reading, the output trimmed when out of tolerance and checked
// again; optionally the sensor against applied inputs. Its record is a JSON file of the
// configuration file's family; docs/loop-check.md describes it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hart/outcome.h"
#include "ops/config.h"
#include "ops/request.h"
#include "ops/session.h"

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

// The metered currents the 4 mA and 20 mA trims were given; NaN for one not taken.
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

// --- the procedure

struct Plan {
    std::vector<double> pointsMa = {4, 8, 12, 16, 20};
    double tolerancePercentOfSpan = 0.1;
    // Sensor points in % of range (0, 50, 100 ...); none: no sensor part.
    std::vector<double> sensorPercents;
};

// Numbers separated by commas or blanks ("4,8,12" or "4 8 12"); nothing when one is no finite
// number. Empty text gives none.
std::optional<std::vector<double>> numberList(std::string_view text);

// What a plan asks that cannot be: no points, a point outside 3.6 .. 22 mA, a tolerance not
// above zero. Empty when fine.
std::string planError(const Plan& plan);

// Where the check is; a reading asked for belongs to one of these.
enum class Phase { Finding, AsFound, Trim, AsLeft, Sensor, Ending };

// What the check wants next.
struct Step {
    enum class Kind {
        Send,     // send `request` and hand its end to `sent`
        Reading,  // ask the meter's reading at `mA` and hand it to `answer`
        Trim,     // ask whether to trim; hand the answer to `agree`
        Applied,  // ask the input applied near `value` (in `unit`); hand it to `answer`
        Done,     // the record is complete
    };
    Kind kind = Kind::Done;
    Phase phase = Phase::Finding;
    Request request;
    double mA = 0;
    double value = 0;
    std::string unit;
};

// How a request ended.
enum class Sent { Ok, Failed, PortLost };

// The procedure over one session: find the instrument, read its tag and range, the points as
// found, the trims when agreed, the points as left, leave fixed-current mode, the sensor
// points. Every way out that can still reach the instrument ends fixed-current mode first.
class Check {
  public:
    // `controls` hold the master and polling-address boxes the requests are built with.
    Check(Plan plan, config::ControlStore controls, std::string tool);

    // How long a technician's answer is awaited before the check ends as cancelled.
    static constexpr int kAnswerTimeoutS = 600;

    // The step to take now; the same until it is answered.
    Step next(Session& session);
    void sent(Session& session, const hart::Outcome& outcome, Sent how, std::string_view why = {});
    void answer(double value);
    void agree(bool trim);
    // The technician stopped, or gave no answer in time: `why` goes into the note.
    void cancel(std::string_view why);

    const Record& record() const { return record_; }
    // Whether the instrument may still hold a fixed current this check set.
    bool fixedMayRemain() const { return fixed_; }

  private:
    enum class Act {
        Poll,
        ReadTag,
        ReadRange,
        Fix,
        Ask,
        Judge,
        AskTrim,
        Zero,
        Gain,
        Unfix,
        AskApplied,
        ReadPv,
        Finish
    };
    struct Task {
        Act act;
        Phase phase = Phase::Finding;
        double value = 0;
    };
    static std::string what(const Task& task);
    void stop(Outcome outcome, std::string note);
    void queuePoints(Phase phase);
    void queueEnd();

    Plan plan_;
    config::ControlStore controls_;
    Record record_;
    std::vector<Task> tasks_;
    std::size_t at_ = 0;
    bool fixed_ = false;
    bool ended_ = false;  // the outcome is decided
    bool finished_ = false;
    bool inFlight_ = false;    // a request handed out and not yet answered
    double metered_ = 0;       // the last meter reading asked for a trim
    double appliedValue_ = 0;  // the input applied at the sensor point under way
};

// Command 40 at `mA`, 0 leaving fixed-current mode, through the fixed-current button's row.
Request fixedCurrent(double mA, config::ControlStore& controls, Session& session);

// A fixed current a lost port may have left behind, noted per port so that the next open of
// that port can offer to end it: kept in the user's state folder ($XDG_STATE_HOME or
// ~/.local/state; %LOCALAPPDATA% on Windows), hart-config/fixed-current.
void noteFixedCurrent(const std::string& port, bool held);
bool fixedCurrentNoted(const std::string& port);

}  // namespace ops::loopcheck
