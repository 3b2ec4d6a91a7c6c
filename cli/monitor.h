// hart-cli monitor: the live values sampled at an interval until a count or Ctrl-C, a line a
// sample on standard output and, if asked, recorded as CSV.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hart/outcome.h"

namespace cli {

struct MonitorOptions {
    std::chrono::milliseconds interval{1000};
    std::optional<long> count;  // none: until Ctrl-C
    std::string csv;            // the record's file; "-" records to standard output instead
};

// The monitor's own values: --interval S (0.5 to 60), --count N, --csv FILE; or why not.
std::optional<MonitorOptions> parseMonitor(std::span<const std::string> values, std::string& error);

// One read of a round through the line.
struct Read {
    hart::Outcome outcome;
    bool lineGone = false;  // the port failed: the monitor ends
};
using ReadFn = std::function<Read(std::string_view control)>;

// What the instrument sent unasked between two reads, by `until` at the latest.
struct Heard {
    std::vector<std::uint8_t> bytes;  // empty: nothing came
    bool lineGone = false;
};
using ListenFn = std::function<Heard(std::chrono::steady_clock::time_point until)>;

// Samples until the count is reached, Ctrl-C or the line is gone; the exit status. A bursting
// instrument's frames are samples as they come, and no reads go out while they keep coming.
int monitor(const MonitorOptions& options, bool json, const ReadFn& read, const ListenFn& listen,
            std::ostream& out, std::ostream& err);

}  // namespace cli
