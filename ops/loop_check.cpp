#include "ops/loop_check.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <sstream>

#include "ops/config_file.h"
#include "ops/json.h"

namespace ops::loopcheck {
namespace {

// A tolerance limit reached to the last bit still passes: 4.016 - 4 is a hair above 0.016.
constexpr double kSlack = 1e-9;

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
    Point p{.setMa = setMa, .readMa = readMa, .errorMa = readMa - setMa};
    p.errorPercentOfSpan = p.errorMa / kLoopSpanMa * 100.0;
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
    s.errorPercentOfSpan =
        span != 0.0 ? (pv - applied) / span * 100.0 : std::numeric_limits<double>::quiet_NaN();
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

}  // namespace ops::loopcheck
