// Tracking of the one outstanding request: the receive event, the parse timer and the
// response timer. The window owns the timers; this class decides what they do.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "hart/reply.h"

namespace hart {

// Selects the timeout text of a pending request.
enum class TimeoutKind : int { None = 0, Write = 2, Read = 3, Poll = 4 };

// Request tags are the tool's own codes, one per operation; they never travel on the wire.
inline constexpr int kNoTag = 0;
inline constexpr int kPollTag = 100;
inline constexpr int kConsoleTag = 104;
// The console sends whatever was typed.
inline constexpr int kTypedCommand = -1;

// A window-thread timer. enable() on an enabled timer must not restart its period.
class Timer {
  public:
    virtual ~Timer() = default;
    virtual void enable() = 0;
    virtual void disable() = 0;
    virtual bool enabled() const = 0;
};

struct Pending {
    int tag = kNoTag;
    TimeoutKind kind = TimeoutKind::None;
    int command = kTypedCommand;
    bool decodes = false;  // false: the reply is only shown (the console), never decoded
};

class RequestTracker {
  public:
    RequestTracker(Timer& parseTimer, Timer& responseTimer)
        : parse_(parseTimer), response_(responseTimer) {}

    // The last step of the request procedure: a new request replaces any pending one.
    void requestSent(const Pending& request, bool startResponseTimer);

    struct ChunkResult {
        std::size_t kept = 0;  // bytes stored (at most 255)
        bool shown = false;    // logged in hex and "Upload successful!" shown
        std::string hex;
    };
    // The receive event.
    ChunkResult chunkReceived(std::span<const std::uint8_t> chunk);

    // Parse timer tick: the request whose reply is to be decoded now, if any. The tag is
    // cleared and the response timer stopped before the caller decodes.
    std::optional<Pending> parseTick();

    // Response timer tick: the timeout text of the pending kind, if it has one.
    std::optional<std::string_view> responseTick();

    void addSent(std::size_t bytes) { sent_ += static_cast<std::int32_t>(bytes); }
    void resetCounters() { sent_ = received_ = 0; }
    std::int32_t sentBytes() const { return sent_; }
    std::int32_t receivedBytes() const { return received_; }

    const Pending& pending() const { return pending_; }
    const ReceiveBuffer& buffer() const { return buffer_; }

  private:
    Timer& parse_;
    Timer& response_;
    Pending pending_;
    ReceiveBuffer buffer_;
    std::int32_t sent_ = 0;
    std::int32_t received_ = 0;
};

}  // namespace hart
