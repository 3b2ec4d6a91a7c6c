// The full save of the universal instrument through hart-cli at true 1200-baud pacing,
// against the sum of its transactions' line times (the simulator's 20 ms turnaround, then
// 11 bits a reply byte). Prints "RESULT <name> <value>" lines for scripts/bench.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "testing/process.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kTurnaroundMs = 20.0;
constexpr double kByteMs = 11000.0 / 1200.0;

// The line time of every transaction the log shows: one per received frame.
double lineMs(const std::string& log, int& transactions) {
    double sum = 0;
    std::istringstream in(log);
    std::string l;
    while (std::getline(in, l)) {
        std::istringstream words(l);
        std::string stamp, what, b;
        words >> stamp >> what;
        if (what != "RX") continue;
        std::size_t bytes = 0;
        while (words >> b) ++bytes;
        sum += kTurnaroundMs + static_cast<double>(bytes) * kByteMs;
        ++transactions;
    }
    return sum;
}

}  // namespace

int main() {
    testsupport::SimProcess sim({HART_SIM_PROGRAM});
    if (sim.port().empty()) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    const std::string file = "/tmp/hart-bench-config.json";
    std::vector<double> total, line, over;
    int transactions = 0;
    for (int i = 0; i < 5; ++i) {
        const auto t0 = Clock::now();
        const testsupport::Ran r =
            testsupport::run({HART_CLI_PROGRAM, "--port", sim.port(), "--log", "save", file});
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        if (r.exit != 0) {
            std::fprintf(stderr, "save failed: %s\n", r.err.c_str());
            return 1;
        }
        transactions = 0;
        const double l = lineMs(r.err, transactions);
        total.push_back(ms);
        line.push_back(l);
        over.push_back(100.0 * (ms - l) / l);
    }
    std::remove(file.c_str());
    std::sort(total.begin(), total.end());
    std::sort(over.begin(), over.end());
    std::printf("RESULT config_save_transactions %d\n", transactions);
    std::printf("RESULT config_save_ms %.1f\n", total[2]);
    std::printf("RESULT config_save_line_ms %.1f\n", line.back());
    std::printf("RESULT config_save_over_percent %.2f\n", over[2]);
    return 0;
}
