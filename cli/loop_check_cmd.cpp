// hart-cli loop-check: the loop check's steps on the line, the technician's readings asked on
// the terminal or taken from a list in order.
#ifdef _WIN32
#include <io.h>
#else
#include <sys/select.h>
#include <unistd.h>
#endif

#include <cmath>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/app.h"
#include "cli/line.h"
#include "cli/run.h"
#include "link/tcomm.h"
#include "ops/config_file.h"
#include "ops/discovery.h"
#include "ops/loop_check.h"

#ifndef HART_VERSION
#define HART_VERSION "0"
#endif

namespace cli {
namespace {

namespace lc = ops::loopcheck;

constexpr std::string_view kLoopCheckUsage =
    "usage: hart-cli [options] loop-check [--points 4,8,12,16,20] [--tolerance PCT]\n"
    "                [--sensor 0,50,100] [--readings FILE|-] [--yes] [--json] [--save FILE.json]\n";

// One number, nothing else.
std::optional<double> numberText(const std::string& text) {
    const auto list = lc::numberList(text);
    return list && list->size() == 1 ? std::optional<double>(list->front()) : std::nullopt;
}

bool terminal() {
#ifdef _WIN32
    return ::_isatty(0) != 0;
#else
    return ::isatty(0) == 1;
#endif
}

// The technician's answers: from a list (a file, or standard input with "-"), else asked one
// by one on the terminal. The list is read as it is needed, so a pipe can feed it.
class Answers {
  public:
    Answers(std::istream& in, std::ostream& err, bool asking)
        : in_(in), err_(err), asking_(asking) {}

    // A number, or nothing when the answers end, the technician stops or gives none in time;
    // `why` then says which.
    std::optional<double> number(const std::string& question, std::string& why) {
        for (;;) {
            std::string word;
            if (!next(question + " (empty to stop): ", word, why)) return std::nullopt;
            if (const auto v = numberText(word)) return v;
            if (!asking_) {
                why = "the reading \"" + word + "\" is no number";
                return std::nullopt;
            }
            err_ << "not a number\n";
        }
    }
    bool yes(const std::string& question) {
        std::string word, why;
        return asking_ && next(question + " [y/N] ", word, why) && (word == "y" || word == "yes");
    }

  private:
    bool next(const std::string& prompt, std::string& word, std::string& why) {
        if (asking_) err_ << prompt << std::flush;
        while (words_.empty()) {
            if (asking_ && !arrives()) {
                why = "no answer within " + std::to_string(lc::Check::kAnswerTimeoutS / 60) +
                      " minutes";
                return false;
            }
            std::string line;
            if (!std::getline(in_, line) || (asking_ && line.empty())) {
                why = asking_ ? "stopped by the technician" : "the readings ended";
                return false;
            }
            for (char& c : line) c = c == ',' || c == ';' || c == '\t' || c == '\r' ? ' ' : c;
            std::istringstream words(line);
            for (std::string w; words >> w;) words_.push_back(w);
        }
        word = words_.front();
        words_.erase(words_.begin());
        return true;
    }
    // Whether a line comes from the terminal within the answer time. (A Windows console
    // cannot be waited on so: there the answer is awaited without end.)
    bool arrives() {
#ifdef _WIN32
        return true;
#else
        if (in_.rdbuf()->in_avail() > 0) return true;
        fd_set set;
        FD_ZERO(&set);
        FD_SET(0, &set);
        timeval t{lc::Check::kAnswerTimeoutS, 0};
        return ::select(1, &set, nullptr, nullptr, &t) > 0;
#endif
    }

    std::istream& in_;
    std::ostream& err_;
    bool asking_;
    std::vector<std::string> words_;
};

std::string pointLine(const lc::Point& p) {
    std::ostringstream s;
    s << "  " << p.setMa << " mA: read " << p.readMa << " mA, error " << p.errorMa << " mA ("
      << p.errorPercentOfSpan << " % of span) " << (p.pass ? "pass" : "FAIL");
    return s.str();
}

void printRecord(const lc::Record& r, std::ostream& out) {
    out << "as found:\n";
    for (const lc::Point& p : r.asFound) out << pointLine(p) << "\n";
    if (r.trim) {
        out << "trimmed: 4 mA metered " << r.trim->zeroMeteredMa << " mA, 20 mA metered "
            << r.trim->gainMeteredMa << " mA\nas left:\n";
        for (const lc::Point& p : r.asLeft) out << pointLine(p) << "\n";
    }
    for (const lc::SensorPoint& s : r.sensor) {
        out << "  sensor: applied " << s.applied << ", pv " << s.pv << " " << s.unit << ", error "
            << s.errorPercentOfSpan << " % of span " << (s.pass ? "pass" : "FAIL") << "\n";
    }
    out << "outcome: " << lc::outcomeName(r.outcome) << "\n";
}

}  // namespace

int runLoopCheck(const Options& o, std::ostream& out, std::ostream& err) {
    lc::Plan plan;
    std::string readings, saveTo;
    bool yes = false;
    bool json = o.json;
    const auto& w = o.words;
    for (std::size_t i = 1; i < w.size(); ++i) {
        const bool more = i + 1 < w.size();
        std::optional<std::vector<double>> list;
        if ((w[i] == "--points" || w[i] == "--sensor") && more &&
            (list = lc::numberList(w[i + 1]))) {
            (w[i] == "--points" ? plan.pointsMa : plan.sensorPercents) = *list;
        } else if (w[i] == "--tolerance" && more && numberText(w[i + 1])) {
            plan.tolerancePercentOfSpan = *numberText(w[i + 1]);
        } else if ((w[i] == "--readings" || w[i] == "--save") && more) {
            (w[i] == "--readings" ? readings : saveTo) = w[i + 1];
        } else if (w[i] == "--yes" || w[i] == "--json") {
            (w[i] == "--yes" ? yes : json) = true;
            continue;
        } else {
            err << kLoopCheckUsage;
            return kUsage;
        }
        ++i;
    }
    if (std::string why = lc::planError(plan); !why.empty()) {
        err << "hart-cli: " << why << "\n";
        return kUsage;
    }
    std::ifstream file;
    if (!readings.empty() && readings != "-") {
        file.open(readings);
        if (!file) {
            err << "hart-cli: cannot read " << readings << "\n";
            return kUsage;
        }
    }
    Answers answers(file.is_open() ? file : std::cin, err, readings.empty() && terminal());

    Line line(logTo(o, err));
    try {
        line.open(o.port);
    } catch (const serial::ECommsError& e) {
        err << "hart-cli: " << openFailure(o.port, e, line.lastError()) << "\n";
        return kPortOpen;
    }
    ops::config::ControlStore controls;
    controls.setIndex("ComboBox8", o.secondary ? 1 : 0);
    controls.setIndex("ComboBox9", o.address);
    lc::Check check(plan, controls, "hart-cli " HART_VERSION);
    ops::Session session;
    const auto responseTime = std::chrono::milliseconds(o.timeoutMs);
    if (lc::fixedCurrentNoted(o.port)) {
        err << "hart-cli: a loop check on " << o.port
            << " lost its port: the instrument may still hold a fixed current\n";
        if (yes || answers.yes("end it first?")) {
            // The check's own first requests find the instrument; this one ends the mode.
            if (ops::mustPoll(controls, session))
                line.exchange(ops::pollChosen(controls, session), session, responseTime);
            const Exchange x =
                line.exchange(lc::fixedCurrent(0, controls, session), session, responseTime);
            if (endingOf(x).exit == kOk) lc::noteFixedCurrent(o.port, false);
        }
    }

    int lastExit = kOk;
    std::string why;
    for (lc::Step s = check.next(session); s.kind != lc::Step::Kind::Done;
         s = check.next(session)) {
        switch (s.kind) {
            case lc::Step::Kind::Send: {
                const Exchange x = line.exchange(s.request, session, responseTime);
                const Ending e = endingOf(x);
                if (e.exit != kOk) lastExit = e.exit;
                check.sent(session, x.outcome,
                           x.end == Exchange::End::PortLost ? lc::Sent::PortLost
                           : e.exit == kOk                  ? lc::Sent::Ok
                                                            : lc::Sent::Failed,
                           e.message);
                lc::noteFixedCurrent(o.port, check.fixedMayRemain());
                break;
            }
            case lc::Step::Kind::Reading:
            case lc::Step::Kind::Applied: {
                std::ostringstream q;
                constexpr const char* kPhase[] = {"", "as found", "trim", "as left", "sensor", ""};
                if (s.kind == lc::Step::Kind::Reading)
                    q << kPhase[static_cast<int>(s.phase)] << ": output fixed at " << s.mA
                      << " mA, the meter reads (mA)";
                else
                    q << "apply " << s.value << " " << s.unit << " to the sensor: applied";
                if (const auto v = answers.number(q.str(), why))
                    check.answer(*v);
                else
                    check.cancel(why);
                break;
            }
            case lc::Step::Kind::Trim:
                check.agree(
                    yes || answers.yes("points out of tolerance: trim the 4 mA and 20 mA output?"));
                break;
            case lc::Step::Kind::Done:
                break;
        }
    }

    const lc::Record& r = check.record();
    if (json)
        out << lc::toJson(r);
    else
        printRecord(r, out);
    if (!r.note.empty()) err << "hart-cli: " << r.note << "\n";
    if (!saveTo.empty()) {
        if (std::string failed = ops::config::saveAtomically(saveTo, lc::toJson(r));
            !failed.empty()) {
            err << "hart-cli: " << failed << "\n";
            return kInternal;
        }
    }
    switch (r.outcome) {
        case lc::Outcome::Passed:
            return kOk;
        case lc::Outcome::Failed:
            return lastExit != kOk ? lastExit : kDifferent;
        case lc::Outcome::Cancelled:
            return kRefused;
        case lc::Outcome::PortLost:
            return kPortFailed;
    }
    return kInternal;
}

}  // namespace cli
