// Live values over time: the series a trend samples, a sample from the replies of one round
// of reads, its record as CSV, and the min/max reduction that draws a long record.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hart/outcome.h"

namespace ops::trend {

struct Series {
    std::string_view name;     // as hart-cli and the record's header name it
    std::string_view caption;  // as the window names it
    std::string_view control;  // the field that shows it
    std::string_view unitBox;  // the box that shows its unit, if any
    std::string_view unit;     // its unit when fixed
    std::string_view read;     // the operation whose reply carries it
};

// Command 3's four variables, then command 2's loop current and percent of range.
std::span<const Series> series();

// The operations one round sends, each once, in order.
std::span<const std::string_view> roundReads();

using Clock = std::chrono::system_clock;

struct Sample {
    Clock::time_point at;
    std::vector<std::optional<double>> values =
        std::vector<std::optional<double>>(6);                     // none: a gap
    std::vector<std::string> units = std::vector<std::string>(6);  // empty: not told
};

// What the outcome of one of the round's reads gives the sample; a failed read leaves its
// series as gaps.
void take(Sample& sample, std::string_view read, const hart::Outcome& outcome);

// The rounds of a running trend: the reads one after another, a round every interval (at once
// when the last one took longer), and the sample they make.
class Round {
  public:
    using Steady = std::chrono::steady_clock;
    explicit Round(std::chrono::milliseconds interval) : interval_(interval) {}
    void setInterval(std::chrono::milliseconds interval) { interval_ = interval; }

    // The read to send now, if one is due; the caller sends it and hands its outcome back
    // before asking again.
    std::optional<std::string_view> due(Steady::time_point now);
    // The outcome of the read last given out; the sample once the round is complete.
    std::optional<Sample> taken(const hart::Outcome& outcome);
    // When the next round is due, once one has begun or a burst came.
    std::optional<Steady::time_point> nextRound() const;

    // A burst frame came: the instrument sends its values unasked, so no reads are due while
    // the frames keep coming, and the rounds resume once they stop for this long.
    static constexpr std::chrono::seconds kBurstHold{5};
    void burst(Steady::time_point now) { lastBurst_ = now; }

  private:
    std::chrono::milliseconds interval_;
    std::optional<Steady::time_point> began_;
    std::optional<Steady::time_point> lastBurst_;
    std::size_t next_ = 0;  // of the round's reads; 0 while none is under way
    bool out_ = false;      // a read given out and not yet answered
    Sample sample_;
};

// Whether the instrument has stopped answering: no read of a running trend answered for ten
// intervals. The rounds go on meanwhile, its values gaps.
class Silence {
  public:
    using Steady = std::chrono::steady_clock;
    static constexpr int kLostAfter = 10;  // intervals
    explicit Silence(Steady::time_point start) : lastAnswer_(start) {}
    // A read's outcome; true when it changes whether the instrument is lost.
    bool read(bool answered, Steady::time_point now, std::chrono::milliseconds interval);
    bool lost() const { return lost_; }

  private:
    Steady::time_point lastAnswer_;
    bool lost_ = false;
};

// What a burst frame in the chunk gives a sample: a whole frame of command 1, 2 or 3 with its
// check byte right; anything else gives nothing.
std::optional<Sample> burstSample(std::span<const std::uint8_t> chunk, Clock::time_point at);

// Local time, ISO 8601 with milliseconds and the offset from UTC.
std::string isoTime(Clock::time_point t);

// A value as the record writes it: every digit a float holds, "NAN", "INF", "-INF".
std::string valueText(double v);

// "time,pv (kPa),...": each series named with its unit.
std::string csvHeader(const Sample& sample);
// The time, then each value; an empty cell for a gap.
std::string csvRow(const Sample& sample);

// The record of a trend: one CSV line a sample, flushed at once so that a crash loses at most
// the sample being written; the header again whenever a unit changes.
class Recorder {
  public:
    Recorder() = default;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;
    ~Recorder();

    // Creates (or empties) the file; false with the reason otherwise.
    bool open(const std::string& path, std::string& error);
    // Standard output instead of a file (not closed).
    void openStandardOutput();
    bool isOpen() const { return file_ != nullptr; }
    // False when the line could not be written (disk full, file gone).
    bool write(const Sample& sample);
    void close();

  private:
    std::FILE* file_ = nullptr;
    bool owned_ = false;
    bool headed_ = false;
    Sample units_;  // the units the last header named
};

// One column of a drawn curve: the least and greatest value of the samples that fall in it.
struct Band {
    double min = 0.0;
    double max = 0.0;
};

// The values at `times` (seconds, ascending) between t0 and t1 reduced to `columns` bands; a
// column without any value stays empty, so that the curve shows the gap.
std::vector<std::optional<Band>> decimate(std::span<const double> times,
                                          std::span<const std::optional<double>> values, double t0,
                                          double t1, int columns);

}  // namespace ops::trend
