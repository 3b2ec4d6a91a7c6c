#include "cli/monitor.h"

#include <csignal>

#include "cli/app.h"
#include "ops/trend.h"

namespace cli {
namespace {

namespace trend = ops::trend;

volatile std::sig_atomic_t gInterrupted = 0;

void onInterrupt(int) {
    gInterrupted = 1;
}

// Ctrl-C ends the monitor between two reads instead of the process, so the record is whole.
#ifdef _WIN32
// Windows has no sigaction; its C runtime calls the handler on a thread of its own for Ctrl-C.
class InterruptScope {
  public:
    InterruptScope() {
        gInterrupted = 0;
        old_ = std::signal(SIGINT, onInterrupt);
        oldTerm_ = std::signal(SIGTERM, onInterrupt);
    }
    ~InterruptScope() {
        std::signal(SIGINT, old_);
        std::signal(SIGTERM, oldTerm_);
    }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

  private:
    void (*old_)(int) = nullptr;
    void (*oldTerm_)(int) = nullptr;
};
#else
class InterruptScope {
  public:
    InterruptScope() {
        gInterrupted = 0;
        struct sigaction sa {};
        sa.sa_handler = onInterrupt;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGINT, &sa, &old_);
        sigaction(SIGTERM, &sa, &oldTerm_);
    }
    ~InterruptScope() {
        sigaction(SIGINT, &old_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
    }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

  private:
    struct sigaction old_ {};
    struct sigaction oldTerm_ {};
};
#endif

std::optional<double> number(const std::string& s) {
    try {
        std::size_t used = 0;
        const double v = std::stod(s, &used);
        if (used == s.size()) return v;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::string textLine(const trend::Sample& s) {
    std::string line = trend::isoTime(s.at);
    const auto series = trend::series();
    for (std::size_t i = 0; i < series.size(); ++i) {
        line += "  " + std::string(series[i].name) + " ";
        line += s.values[i] ? trend::valueText(*s.values[i]) : std::string("-");
        if (s.values[i] && !s.units[i].empty()) line += " " + s.units[i];
    }
    return line;
}

std::string jsonLine(const trend::Sample& s) {
    std::string line = "{\"time\":" + jsonString(trend::isoTime(s.at));
    const auto series = trend::series();
    for (std::size_t i = 0; i < series.size(); ++i) {
        line += "," + jsonString(series[i].name) + ":";
        line += s.values[i] ? "{\"value\":" + jsonString(trend::valueText(*s.values[i])) +
                                  ",\"unit\":" + jsonString(s.units[i]) + "}"
                            : std::string("null");
    }
    return line + "}";
}

}  // namespace

std::optional<MonitorOptions> parseMonitor(std::span<const std::string> values,
                                           std::string& error) {
    MonitorOptions o;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string& name = values[i];
        if (i + 1 >= values.size() ||
            (name != "--interval" && name != "--count" && name != "--csv")) {
            error = "monitor takes --interval S, --count N and --csv FILE, not " + name;
            return std::nullopt;
        }
        const std::string& value = values[++i];
        const auto n = number(value);
        if (name == "--csv") {
            o.csv = value;
        } else if (name == "--interval") {
            if (!n || *n < 0.5 || *n > 60.0) {
                error = "--interval takes 0.5 to 60 seconds";
                return std::nullopt;
            }
            o.interval = std::chrono::milliseconds(static_cast<long>(*n * 1000.0 + 0.5));
        } else {
            if (!n || *n < 1 || *n != static_cast<double>(static_cast<long>(*n))) {
                error = "--count takes a number of samples from 1";
                return std::nullopt;
            }
            o.count = static_cast<long>(*n);
        }
    }
    return o;
}

int monitor(const MonitorOptions& options, bool json, const ReadFn& read, const ListenFn& listen,
            std::ostream& out, std::ostream& err) {
    using Steady = std::chrono::steady_clock;
    trend::Recorder record;
    if (options.csv == "-") {
        record.openStandardOutput();
    } else if (std::string why; !options.csv.empty() && !record.open(options.csv, why)) {
        err << "hart-cli: " << why << "\n";
        return kUsage;
    }
    const bool lines = options.csv != "-";
    long taken = 0;
    auto emit = [&](const trend::Sample& sample) {
        ++taken;
        if (lines) out << (json ? jsonLine(sample) : textLine(sample)) << "\n" << std::flush;
        return !record.isOpen() || record.write(sample);
    };
    const auto unwritten = [&] {
        err << "hart-cli: cannot write " << options.csv << "\n";
        return kInternal;
    };
    const auto lineGone = [&] {
        err << "hart-cli: the port is gone (modem unplugged?)\n";
        return kPortFailed;
    };
    InterruptScope interrupts;
    auto next = Steady::now();
    std::optional<Steady::time_point> lastBurst;
    bool answered = false;
    while (!gInterrupted && (!options.count || taken < *options.count)) {
        const auto now = Steady::now();
        const auto due = lastBurst ? std::max(next, *lastBurst + trend::Round::kBurstHold) : next;
        if (now < due) {
            // Waiting, in short steps so that Ctrl-C is heard soon.
            const Heard h = listen(std::min(due, now + std::chrono::milliseconds(50)));
            if (h.lineGone) return lineGone();
            const auto sample = trend::burstSample(h.bytes, trend::Clock::now());
            if (!sample) continue;
            answered = true;
            lastBurst = Steady::now();
            if (!emit(*sample)) return unwritten();
            continue;
        }
        trend::Sample sample;
        sample.at = trend::Clock::now();
        for (const std::string_view control : trend::roundReads()) {
            const Read r = read(control);
            if (r.lineGone) return lineGone();
            answered = answered || r.outcome.result == hart::Result::Done;
            trend::take(sample, control, r.outcome);
        }
        if (!emit(sample)) return unwritten();
        // A round longer than the interval starts the next one at once; no burst of catching up.
        next = std::max(next + options.interval, Steady::now());
    }
    return answered ? kOk : kNoReply;
}

}  // namespace cli
