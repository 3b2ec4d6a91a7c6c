// The serial line (or HART-IP session) as the command line drives it: one request at a time
// through the shared tracker, each reply awaited on a condition variable. A reply ends as soon
// as a complete frame for the pending request is in; anything else ends after 300 ms of idle
// line (over HART-IP at once: a chunk there is a whole frame), and no reply at the response
// timeout.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hart/outcome.h"
#include "hart/reply.h"
#include "hart/tracker.h"
#include "link/tcomm.h"
#include "ops/request.h"
#include "ops/session.h"

namespace cli {

using Clock = std::chrono::steady_clock;

// The idle line that ends a chunk that holds no complete frame, as the window's port has it.
inline constexpr std::chrono::milliseconds kIdleEnd{300};

struct Exchange {
    enum class End {
        Decoded,   // the reply was decoded (status says how it went)
        Shown,     // the console's reply: shown, never decoded
        Timeout,   // no reply within the response time
        PortLost,  // the line went away
        WriteFailed,
    } end = End::Timeout;
    hart::Outcome outcome;
    std::vector<std::uint8_t> reply;  // the chunk that ended it
    std::optional<int> responseCode;  // of the reply found by the row's scan
    std::optional<int> deviceStatus;
};

class Line {
  public:
    // Log lines (frames in hex with their time) go here when set.
    explicit Line(std::function<void(const std::string&)> log = {});
    ~Line();

    // Opens with the window's line settings; throws serial::ECommsError.
    void open(const std::string& port);
    // The port's account of its last refusal or failure, empty when it has none.
    std::string lastError() const { return comm_.lastError(); }
    std::uint64_t errorCount() const { return comm_.errorCount(); }

    // Sends the request and waits for its reply; the tracker decides what happens.
    Exchange exchange(const ops::Request& request, ops::Session& session,
                      std::chrono::milliseconds responseTime);

    struct Wait {
        std::vector<std::uint8_t> bytes;
        bool hungUp = false;
        bool timedOut = false;
    };
    // The next burst frame (published, over HART-IP) the device sent unasked, with its
    // preambles, whether it came between requests or beside a reply; nothing by `until`.
    Wait listen(Clock::time_point until);

  private:
    class Queue;
    using Whole = std::function<bool(std::span<const std::uint8_t>)>;
    // Bytes received until the chunk ends: complete frame, idle line, or the deadline.
    Wait collect(const Whole& whole, Clock::time_point deadline);
    void log(const char* what, std::span<const std::uint8_t> bytes);

    // The tracker's timers are flags here: this class waits for what they would time.
    struct Flag final : hart::Timer {
        bool on = false;
        void enable() override { on = true; }
        void disable() override { on = false; }
        bool enabled() const override { return on; }
    };

    std::function<void(const std::string&)> log_;
    Clock::time_point started_ = Clock::now();
    bool wholeChunks_ = false;  // each chunk is a whole frame: no idle line to wait for
    std::unique_ptr<Queue> queue_;
    serial::TComm comm_;
    Flag parse_;
    Flag response_;
    hart::RequestTracker tracker_{parse_, response_};
};

}  // namespace cli
