#include "ops/loop_check.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "hart/units.h"
#include "ops/config_file.h"
#include "ops/discovery.h"
#include "ops/json.h"
#include "ops/operation.h"
#include "ops/process.h"
#include "ops/trend.h"

namespace ops::loopcheck {
namespace {

// A tolerance limit reached to the last bit still passes: 4.016 - 4 is a hair above 0.016.
constexpr double kSlack = 1e-9;

// Errors are differences of decimal entries: rounded to 1e-12 they lose only float noise.
double clean(double v) {
    return std::round(v * 1e12) / 1e12;
}

constexpr std::string_view kOutcomes[] = {"passed", "failed", "cancelled", "port-lost"};

// The shortest text that reads back as the same double; JSON has no NaN or infinity.
std::string number(double v) {
    if (!std::isfinite(v)) return "null";
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string boolean(bool b) {
    return b ? "true" : "false";
}

void writePoints(std::ostringstream& out, std::string_view name, const std::vector<Point>& ps) {
    out << "  " << config::jsonString(name) << ": [";
    for (std::size_t i = 0; i < ps.size(); ++i) {
        const Point& p = ps[i];
        out << (i ? ",\n    " : "\n    ") << "{\"setMa\": " << number(p.setMa)
            << ", \"readMa\": " << number(p.readMa) << ", \"errorMa\": " << number(p.errorMa)
            << ", \"errorPercentOfSpan\": " << number(p.errorPercentOfSpan)
            << ", \"pass\": " << boolean(p.pass) << "}";
    }
    out << (ps.empty() ? "],\n" : "\n  ],\n");
}

// Reading: each helper fails with the reason in `why`, which the first failure keeps.
struct In {
    std::string why;

    bool fail(std::string what) {
        if (why.empty()) why = std::move(what);
        return false;
    }
    // A number; null stands for a value the instrument gave as no number.
    bool num(const Json& o, std::string_view name, double& v) {
        const Json* m = member(o, name);
        if (m != nullptr && m->type == Json::Type::Null) {
            v = std::numeric_limits<double>::quiet_NaN();
            return true;
        }
        if (m == nullptr || m->type != Json::Type::Number)
            return fail("\"" + std::string(name) + "\" is no number");
        v = m->number;
        return true;
    }
    bool flag(const Json& o, std::string_view name, bool& v) {
        const Json* m = member(o, name);
        if (m == nullptr || m->type != Json::Type::Bool)
            return fail("\"" + std::string(name) + "\" is neither true nor false");
        v = m->number != 0;
        return true;
    }
    bool text(const Json& o, std::string_view name, std::string& v, bool required) {
        const Json* m = member(o, name);
        if (m == nullptr && !required) return true;
        if (m == nullptr || m->type != Json::Type::String)
            return fail("\"" + std::string(name) + "\" is no string");
        v = m->string;
        return true;
    }
    const Json* list(const Json& doc, std::string_view name) {
        const Json* m = member(doc, name);
        if (m == nullptr || m->type != Json::Type::Array) {
            fail("\"" + std::string(name) + "\" is no list");
            return nullptr;
        }
        for (const Json& item : m->items) {
            if (item.type != Json::Type::Object) {
                fail("\"" + std::string(name) + "\" holds something other than objects");
                return nullptr;
            }
        }
        return m;
    }
    bool points(const Json& doc, std::string_view name, std::vector<Point>& out) {
        const Json* l = list(doc, name);
        if (l == nullptr) return false;
        for (const Json& o : l->items) {
            Point p;
            if (!num(o, "setMa", p.setMa) || !num(o, "readMa", p.readMa) ||
                !num(o, "errorMa", p.errorMa) ||
                !num(o, "errorPercentOfSpan", p.errorPercentOfSpan) || !flag(o, "pass", p.pass))
                return false;
            out.push_back(p);
        }
        return true;
    }
};

}  // namespace

std::string_view outcomeName(Outcome outcome) {
    return kOutcomes[static_cast<int>(outcome)];
}

Point loopPoint(double setMa, double readMa, double tolerancePercentOfSpan) {
    Point p{.setMa = setMa, .readMa = readMa, .errorMa = clean(readMa - setMa)};
    p.errorPercentOfSpan = clean(p.errorMa / kLoopSpanMa * 100.0);
    p.pass = std::fabs(p.errorPercentOfSpan) <= tolerancePercentOfSpan + kSlack;
    return p;
}

SensorPoint sensorPoint(double applied, double pv, const std::optional<Range>& range,
                        double tolerancePercentOfSpan) {
    SensorPoint s;
    s.applied = applied;
    s.pv = pv;
    const double span = range ? range->upper - range->lower : 0.0;
    if (range) s.unit = range->unit;
    s.errorPercentOfSpan = span != 0.0 ? clean((pv - applied) / span * 100.0)
                                       : std::numeric_limits<double>::quiet_NaN();
    // NaN (no span, or no number from the instrument) compares false: a fail.
    s.pass = std::fabs(s.errorPercentOfSpan) <= tolerancePercentOfSpan + kSlack;
    return s;
}

bool allPass(const std::vector<Point>& points) {
    for (const Point& p : points) {
        if (!p.pass) return false;
    }
    return true;
}

std::string toJson(const Record& r) {
    using config::jsonString;
    std::ostringstream out;
    out << "{\n  \"format\": " << jsonString(kFormat) << ",\n  \"version\": " << r.version
        << ",\n  \"tool\": " << jsonString(r.tool) << ",\n  \"started\": " << jsonString(r.started)
        << ",\n  \"finished\": " << jsonString(r.finished) << ",\n  \"instrument\": {";
    bool first = true;
    for (const auto& [name, value] : r.instrument) {
        out << (first ? "\n    " : ",\n    ") << jsonString(name) << ": " << jsonString(value);
        first = false;
    }
    out << (first ? "},\n" : "\n  },\n") << "  \"range\": ";
    if (r.range) {
        out << "{\"lower\": " << number(r.range->lower) << ", \"upper\": " << number(r.range->upper)
            << ", \"unit\": " << jsonString(r.range->unit) << "},\n";
    } else {
        out << "null,\n";
    }
    out << "  \"tolerancePercentOfSpan\": " << number(r.tolerancePercentOfSpan) << ",\n";
    writePoints(out, "asFound", r.asFound);
    out << "  \"trim\": ";
    if (r.trim) {
        out << "{\"zeroMeteredMa\": " << number(r.trim->zeroMeteredMa)
            << ", \"gainMeteredMa\": " << number(r.trim->gainMeteredMa) << "},\n";
    } else {
        out << "null,\n";
    }
    writePoints(out, "asLeft", r.asLeft);
    out << "  \"sensor\": [";
    for (std::size_t i = 0; i < r.sensor.size(); ++i) {
        const SensorPoint& s = r.sensor[i];
        out << (i ? ",\n    " : "\n    ") << "{\"applied\": " << number(s.applied)
            << ", \"pv\": " << number(s.pv) << ", \"unit\": " << jsonString(s.unit)
            << ", \"errorPercentOfSpan\": " << number(s.errorPercentOfSpan)
            << ", \"pass\": " << boolean(s.pass) << "}";
    }
    out << (r.sensor.empty() ? "],\n" : "\n  ],\n")
        << "  \"outcome\": " << jsonString(outcomeName(r.outcome))
        << ",\n  \"note\": " << jsonString(r.note) << "\n}\n";
    return out.str();
}

Parsed fromJson(std::string_view text) {
    Parsed p;
    std::string error;
    const auto doc = parseJson(text, error);
    if (!doc || doc->type != Json::Type::Object) {
        p.error = "not a loop-check record: " + (doc ? "the document is no object" : error);
        return p;
    }
    const Json* format = member(*doc, "format");
    if (format == nullptr || format->type != Json::Type::String || format->string != kFormat) {
        p.error = "not a loop-check record: \"format\" is not \"" + std::string(kFormat) + "\"";
        return p;
    }
    const Json* version = member(*doc, "version");
    if (version == nullptr || version->type != Json::Type::Number || version->number != kVersion) {
        p.error = "not a loop-check record of version " + std::to_string(kVersion);
        return p;
    }
    Record r;
    In in;
    in.text(*doc, "tool", r.tool, false);
    in.text(*doc, "started", r.started, false);
    in.text(*doc, "finished", r.finished, false);
    in.text(*doc, "note", r.note, false);
    if (const Json* inst = member(*doc, "instrument"); inst != nullptr) {
        if (inst->type != Json::Type::Object) in.fail("\"instrument\" is no object");
        for (std::size_t i = 0; in.why.empty() && i < inst->names.size(); ++i) {
            if (inst->values[i].type != Json::Type::String)
                in.fail("the value of \"" + inst->names[i] + "\" is no string");
            else
                r.instrument[inst->names[i]] = inst->values[i].string;
        }
    }
    if (const Json* range = member(*doc, "range");
        range != nullptr && range->type != Json::Type::Null) {
        Range g;
        if (range->type == Json::Type::Object && in.num(*range, "lower", g.lower) &&
            in.num(*range, "upper", g.upper) && in.text(*range, "unit", g.unit, false))
            r.range = g;
        else
            in.fail("\"range\" is no range");
    }
    in.num(*doc, "tolerancePercentOfSpan", r.tolerancePercentOfSpan);
    in.points(*doc, "asFound", r.asFound);
    if (const Json* trim = member(*doc, "trim");
        trim != nullptr && trim->type != Json::Type::Null) {
        Trim t;
        if (trim->type == Json::Type::Object && in.num(*trim, "zeroMeteredMa", t.zeroMeteredMa) &&
            in.num(*trim, "gainMeteredMa", t.gainMeteredMa))
            r.trim = t;
        else
            in.fail("\"trim\" is no trim");
    }
    in.points(*doc, "asLeft", r.asLeft);
    if (const Json* sensor = member(*doc, "sensor"); sensor != nullptr) {
        if (const Json* l = in.list(*doc, "sensor"); l != nullptr) {
            for (const Json& o : l->items) {
                SensorPoint s;
                if (!in.num(o, "applied", s.applied) || !in.num(o, "pv", s.pv) ||
                    !in.text(o, "unit", s.unit, false) ||
                    !in.num(o, "errorPercentOfSpan", s.errorPercentOfSpan) ||
                    !in.flag(o, "pass", s.pass))
                    break;
                r.sensor.push_back(s);
            }
        }
    }
    std::string outcome;
    in.text(*doc, "outcome", outcome, true);
    bool known = false;
    for (int i = 0; i < 4; ++i) {
        if (outcome == kOutcomes[i]) {
            r.outcome = static_cast<Outcome>(i);
            known = true;
        }
    }
    if (!known) in.fail("\"outcome\" is none of passed, failed, cancelled, port-lost");
    if (!in.why.empty()) {
        p.error = "not a loop-check record: " + in.why;
        return p;
    }
    p.record = std::move(r);
    return p;
}

// --- the procedure

namespace {

constexpr double kLowestMa = 3.6;
constexpr double kHighestMa = 22.0;

// The operations the check sends: one place each, the rows the window's buttons send.
constexpr std::string_view kFixedCurrent = "Button6";
constexpr std::string_view kZeroTrim = "Button30";
constexpr std::string_view kGainTrim = "Button15";
constexpr std::string_view kReadTag = "Button32";
constexpr std::string_view kReadRange = "Button13";
constexpr std::string_view kReadVariables = "Button4";

// The fixed-current radio buttons: the typed current, and 0 that ends the mode.
constexpr std::string_view kRadios[] = {"RadioButton1", "RadioButton2", "RadioButton3",
                                        "RadioButton4", "RadioButton5", "RadioButton6",
                                        "RadioButton7"};

std::string mAText(double mA) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<float>(mA));
    return std::string(buf, r.ptr);
}

// The value a reply gave a control, as received; none when the reply did not set it.
std::optional<double> numberOf(const hart::Outcome& out, std::string_view control) {
    for (const hart::Update& u : out.updates) {
        if (u.control == control && u.number) return u.number;
    }
    return std::nullopt;
}

std::string unitOf(const hart::Outcome& out, std::string_view box) {
    for (const hart::Update& u : out.updates) {
        if (u.control == box && u.kind == hart::Update::Kind::Select)
            return std::string(hart::plainUnitName(u.value));
    }
    return {};
}

std::filesystem::path stateFile() {
#ifdef _WIN32
    const char* state = std::getenv("LOCALAPPDATA");
#else
    const char* state = std::getenv("XDG_STATE_HOME");
#endif
    const char* home = std::getenv("HOME");
    std::filesystem::path dir = state && *state ? std::filesystem::path(state)
                                : home && *home ? std::filesystem::path(home) / ".local" / "state"
                                                : std::filesystem::temp_directory_path();
    return dir / "hart-config" / "fixed-current";
}

std::vector<std::string> notedPorts() {
    std::vector<std::string> ports;
    std::ifstream in(stateFile());
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) ports.push_back(line);
    }
    return ports;
}

}  // namespace

std::optional<std::vector<double>> numberList(std::string_view text) {
    std::vector<double> out;
    std::string word;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        if (c != ',' && c != ' ' && c != '\t' && c != ';') {
            word += c;
            continue;
        }
        if (word.empty()) continue;
        char* end = nullptr;
        const double v = std::strtod(word.c_str(), &end);
        if (end != word.c_str() + word.size() || !std::isfinite(v)) return std::nullopt;
        out.push_back(v);
        word.clear();
    }
    return out;
}

std::string planError(const Plan& plan) {
    if (plan.pointsMa.empty()) return "no loop points";
    for (const double p : plan.pointsMa) {
        if (!(p >= kLowestMa && p <= kHighestMa))
            return "loop point " + number(p) + " mA is outside 3.6 .. 22 mA";
    }
    if (!(plan.tolerancePercentOfSpan > 0) || !std::isfinite(plan.tolerancePercentOfSpan))
        return "the tolerance must be a percentage above 0";
    for (const double p : plan.sensorPercents) {
        if (!std::isfinite(p)) return "a sensor point is no number";
    }
    return {};
}

Check::Check(Plan plan, config::ControlStore controls, std::string tool)
    : plan_(std::move(plan)), controls_(std::move(controls)) {
    record_.tool = std::move(tool);
    record_.started = trend::isoTime(trend::Clock::now());
    record_.tolerancePercentOfSpan = plan_.tolerancePercentOfSpan;
    tasks_ = {{Act::Poll}, {Act::ReadTag}, {Act::ReadRange}};
    queuePoints(Phase::AsFound);
}

void Check::queuePoints(Phase phase) {
    for (const double p : plan_.pointsMa) {
        tasks_.push_back({Act::Fix, phase, p});
        tasks_.push_back({Act::Ask, phase, p});
    }
    tasks_.push_back({Act::Judge, phase});
}

void Check::queueEnd() {
    tasks_.push_back({Act::Unfix, Phase::Ending});
    if (record_.range) {
        const double span = record_.range->upper - record_.range->lower;
        for (const double pct : plan_.sensorPercents) {
            tasks_.push_back(
                {Act::AskApplied, Phase::Sensor, record_.range->lower + span * pct / 100});
            tasks_.push_back({Act::ReadPv, Phase::Sensor});
        }
    }
    tasks_.push_back({Act::Finish, Phase::Ending});
}

void Check::stop(Outcome outcome, std::string note) {
    // A lost port outranks how the check was ending: the output may be left fixed.
    if (!ended_ || outcome == Outcome::PortLost) {
        record_.outcome = outcome;
        ended_ = true;
    }
    if (!note.empty()) record_.note += (record_.note.empty() ? "" : "; ") + note;
    const bool fixing = at_ < tasks_.size() && tasks_[at_].act == Act::Fix;
    tasks_.erase(tasks_.begin() + static_cast<long>(std::min(at_ + 1, tasks_.size())),
                 tasks_.end());
    if ((fixed_ || fixing) && outcome != Outcome::PortLost)
        tasks_.push_back({Act::Unfix, Phase::Ending});
    tasks_.push_back({Act::Finish, Phase::Ending});
}

Request fixedCurrent(double mA, config::ControlStore& controls, Session& session) {
    for (const std::string_view r : kRadios) {
        controls.apply(
            {std::string(r), hart::Update::Kind::Check, {}, r == kRadios[mA == 0 ? 6 : 5]});
    }
    controls.setText("Edit7", mAText(mA));
    return build(kFixedCurrent, controls, session);
}

std::string Check::what(const Task& t) {
    switch (t.act) {
        case Act::Poll:
            return "finding the instrument";
        case Act::ReadTag:
            return "reading the tag";
        case Act::ReadRange:
            return "reading the range";
        case Act::Fix:
            return "fixing the output at " + mAText(t.value) + " mA";
        case Act::Unfix:
            return "leaving fixed-current mode";
        case Act::Zero:
            return "trimming the 4 mA output";
        case Act::Gain:
            return "trimming the 20 mA output";
        case Act::ReadPv:
            return "reading the primary variable";
        default:
            return {};
    }
}

Step Check::next(Session& session) {
    while (at_ < tasks_.size()) {
        const Task& t = tasks_[at_];
        Step s;
        s.phase = t.phase;
        s.mA = t.value;
        switch (t.act) {
            case Act::Poll:
                if (!mustPoll(controls_, session)) {
                    ++at_;
                    continue;
                }
                s.request = pollChosen(controls_, session);
                break;
            case Act::ReadTag:
                s.request = build(kReadTag, controls_, session);
                break;
            case Act::ReadRange:
                s.request = build(kReadRange, controls_, session);
                break;
            case Act::Fix:
                s.request = fixedCurrent(t.value, controls_, session);
                break;
            case Act::Unfix:
                s.request = fixedCurrent(0, controls_, session);
                break;
            case Act::Zero:
            case Act::Gain:
                controls_.setText(t.act == Act::Zero ? "Edit10" : "Edit9", mAText(metered_));
                s.request = build(t.act == Act::Zero ? kZeroTrim : kGainTrim, controls_, session);
                break;
            case Act::ReadPv:
                s.request = build(kReadVariables, controls_, session);
                break;
            case Act::Ask:
                s.kind = Step::Kind::Reading;
                return s;
            case Act::AskTrim:
                s.kind = Step::Kind::Trim;
                return s;
            case Act::AskApplied:
                s.kind = Step::Kind::Applied;
                s.value = t.value;
                s.unit = record_.range->unit;
                return s;
            case Act::Judge: {
                const bool found = t.phase == Phase::AsFound;
                ++at_;
                if (found && !allPass(record_.asFound))
                    tasks_.push_back({Act::AskTrim, Phase::Trim});
                else
                    queueEnd();
                continue;
            }
            case Act::Finish:
                if (!ended_) {
                    const auto& final = record_.asLeft.empty() ? record_.asFound : record_.asLeft;
                    bool pass = allPass(final);
                    for (const SensorPoint& p : record_.sensor) pass = pass && p.pass;
                    record_.outcome = pass ? Outcome::Passed : Outcome::Failed;
                    ended_ = true;
                }
                if (!finished_) record_.finished = trend::isoTime(trend::Clock::now());
                finished_ = true;
                return {};
        }
        s.kind = Step::Kind::Send;
        inFlight_ = true;
        if (!s.request.refusal.empty()) {
            // Nothing goes out; it ends as a failed request would.
            sent(session, {}, Sent::Failed, s.request.refusal);
            continue;
        }
        return s;
    }
    return {};
}

void Check::sent(Session& session, const hart::Outcome& out, Sent how, std::string_view why) {
    if (!inFlight_ || at_ >= tasks_.size()) return;
    inFlight_ = false;
    const Task t = tasks_[at_];
    const std::string reason = why.empty() ? out.status : std::string(why);
    for (const hart::Update& u : out.updates) controls_.apply(u);
    if (t.act == Act::Fix) fixed_ = true;
    if (how == Sent::PortLost) {
        stop(Outcome::PortLost,
             "the port was lost" + (reason.empty() ? std::string() : " (" + reason + ")") +
                 (fixed_ ? ": the instrument may still hold a fixed current" : ""));
        ++at_;
        return;
    }
    if (how == Sent::Failed) {
        if (t.act == Act::Unfix) {
            stop(Outcome::Failed, "leaving fixed-current mode failed (" + reason +
                                      "): the instrument may still hold a fixed current");
            tasks_.resize(at_ + 1);
            tasks_.push_back({Act::Finish, Phase::Ending});
        } else {
            stop(Outcome::Failed, what(t) + ": " + reason);
        }
        ++at_;
        return;
    }
    switch (t.act) {
        case Act::Poll:
            if (std::string no = unanswered(session); !no.empty()) stop(Outcome::Failed, no);
            break;
        case Act::ReadTag: {
            const hart::DeviceIdentity& id = session.identity;
            config::Values& v = record_.instrument;
            v["manufacturer-id"] = std::to_string(id.manufacturer);
            v["manufacturer"] = std::string(manufacturerName(id.manufacturer));
            v["device-type"] = std::to_string(id.deviceType);
            v["device-id"] = std::to_string(id.deviceIdNumber());
            if (session.hartRevision) v["hart-revision"] = std::to_string(*session.hartRevision);
            v["tag"] = controls_.value("Edit22");
            v["descriptor"] = controls_.value("Edit23");
            break;
        }
        case Act::ReadRange: {
            const auto lower = numberOf(out, "Edit15");
            const auto upper = numberOf(out, "Edit14");
            if (lower && upper) record_.range = Range{*lower, *upper, unitOf(out, "ComboBox1")};
            break;
        }
        case Act::Unfix:
            fixed_ = false;
            break;
        // A trim goes into the record once the instrument took it; one not done is no number.
        case Act::Zero:
            record_.trim = Trim{metered_, std::numeric_limits<double>::quiet_NaN()};
            break;
        case Act::Gain:
            if (record_.trim) record_.trim->gainMeteredMa = metered_;
            break;
        case Act::ReadPv: {
            SensorPoint p = sensorPoint(
                appliedValue_,
                numberOf(out, "Edit5").value_or(std::numeric_limits<double>::quiet_NaN()),
                record_.range, plan_.tolerancePercentOfSpan);
            if (std::string unit = unitOf(out, "ComboBox5"); !unit.empty()) p.unit = unit;
            record_.sensor.push_back(p);
            break;
        }
        default:
            break;
    }
    ++at_;
}

void Check::answer(double value) {
    if (inFlight_ || at_ >= tasks_.size()) return;
    const Task t = tasks_[at_];
    if (t.act == Act::Ask) {
        if (t.phase == Phase::Trim) {
            metered_ = value;
        } else {
            (t.phase == Phase::AsFound ? record_.asFound : record_.asLeft)
                .push_back(loopPoint(t.value, value, plan_.tolerancePercentOfSpan));
        }
    } else if (t.act == Act::AskApplied) {
        appliedValue_ = value;
    } else {
        return;
    }
    ++at_;
}

void Check::agree(bool trim) {
    if (inFlight_ || at_ >= tasks_.size() || tasks_[at_].act != Act::AskTrim) return;
    ++at_;
    if (!trim) {
        queueEnd();
        return;
    }
    tasks_.insert(tasks_.end(), {{Act::Fix, Phase::Trim, 4},
                                 {Act::Ask, Phase::Trim, 4},
                                 {Act::Zero, Phase::Trim},
                                 {Act::Fix, Phase::Trim, 20},
                                 {Act::Ask, Phase::Trim, 20},
                                 {Act::Gain, Phase::Trim}});
    queuePoints(Phase::AsLeft);
}

void Check::cancel(std::string_view why) {
    if (finished_ || ended_) return;
    stop(Outcome::Cancelled, std::string(why));
    if (!inFlight_) ++at_;
}

void noteFixedCurrent(const std::string& port, bool held) {
    std::vector<std::string> ports = notedPorts();
    const auto it = std::find(ports.begin(), ports.end(), port);
    if (held == (it != ports.end())) return;
    if (held)
        ports.push_back(port);
    else
        ports.erase(it);
    std::error_code ec;
    std::filesystem::create_directories(stateFile().parent_path(), ec);
    std::string text;
    for (const std::string& p : ports) text += p + "\n";
    config::saveAtomically(stateFile().string(), text);
}

bool fixedCurrentNoted(const std::string& port) {
    const std::vector<std::string> ports = notedPorts();
    return std::find(ports.begin(), ports.end(), port) != ports.end();
}

}  // namespace ops::loopcheck
