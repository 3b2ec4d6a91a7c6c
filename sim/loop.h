// The loop of field devices behind the modem: addressing, reply frames, burst frames and the
// faults switched on by the operator. No I/O here; the program feeds bytes and time in and
// writes out what the outbox holds.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/device.h"
#include "sim/parser.h"

namespace hartsim {

inline constexpr std::uint8_t kBurstDelimiter = 0x81;
inline constexpr std::uint8_t kBurstBit = 0x40;

// True when the request's address names this device.
bool addressedTo(const Device& device, const Request& request);

// Preambles, delimiter, address, command, byte count, response code, device status, data,
// check byte. The address echoes the request's master bit.
std::vector<std::uint8_t> replyFrame(const Device& device, const Request& request,
                                     const Reply& reply, int preambles);
std::vector<std::uint8_t> burstFrame(const Device& device, std::uint8_t command,
                                     std::uint8_t masterBit, const Reply& reply, int preambles);

struct Faults {
    bool silent = false;      // nothing is sent
    bool badCheck = false;    // the check byte goes out corrupted
    bool split = false;       // the frame is sent in two parts with a pause between
    bool garbage = false;     // junk bytes go out before the frame
    double delayS = 0.0;      // replies wait this long before they go out
    std::uint8_t status = 0;  // device status bits every reply carries besides its own
    bool nan = false;         // the live values and the damping go out as not-a-number
    // HART-IP only: a request ends its session instead of being answered, or is refused
    // with a NAK.
    bool drop = false;
    bool nak = false;
    // HART-IP only: sessions opened from now on get this inactivity time (milliseconds) with
    // status 8 whatever the master asks; 0: as asked.
    std::uint32_t grantMs = 0;
    // Serial line: a bursting device's frame goes out with each reply, without a pause
    // between, before the reply and after it in turn.
    bool crowd = false;
    // Gateways and multiplexers: each new request is first answered "delayed response
    // initiated" (33), sent again "running" (34), and only the third time for real.
    bool delayedResponse = false;
    // Older instruments and some multiplexers: nobody answers a find by tag sent to the
    // broadcast address (commands 11 and 21); the master has to poll address by address.
    bool noBroadcast = false;
};

// The reply as the switched-on faults change it.
void applyReplyFaults(const Faults& faults, std::uint8_t command, Reply& reply);

inline constexpr double kSplitGapS = 0.5;
inline constexpr double kBurstIntervalS = 2.0;
// A frame whose bytes stop for this long is given up.
inline constexpr double kAbandonFrameS = 0.25;

// One frame on its way out, in parts separated by pauses.
struct Transmission {
    struct Piece {
        double pauseBeforeS = 0.0;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Piece> pieces;
    std::vector<std::uint8_t> allBytes() const;
};

class Loop {
  public:
    using Log = std::function<void(const std::string&)>;

    Loop(std::vector<Device> devices, int replyPreambles, Log log);

    // Bytes from the master at time `now` (seconds); replies go to the outbox.
    void receive(std::span<const std::uint8_t> bytes, double now);
    // A whole frame, as a HART-IP message carries it: nothing of it waits for more bytes.
    void receiveWhole(std::span<const std::uint8_t> frame, double now);
    // Called regularly. `lineFree` says nothing is being sent, so a burst frame may go.
    void tick(double now, bool lineFree);

    // One operator command line ("silent on", "delay 3", "quit"...): the text to print.
    std::string command(std::string_view line);
    bool quitRequested() const { return quit_; }

    std::vector<Transmission> takeOutbox();
    std::vector<Device>& devices() { return devices_; }
    const Faults& faults() const { return faults_; }

  private:
    void answer(const Incoming& in, double now);
    void send(std::vector<std::uint8_t> frame, double extraDelayS);
    // The burst frame device i sends now.
    std::vector<std::uint8_t> burstOf(std::size_t i, double now);
    void crowd(std::vector<std::uint8_t>& frame, double now);
    // In delayed-response mode: true with the delayed reply while the request is not yet due.
    bool delayed(const Request& request, Reply& reply);

    std::vector<Device> devices_;
    std::vector<double> nextBurst_;  // per device; 0 = not scheduled
    std::vector<std::uint8_t> burstMaster_;
    int preambles_;
    Log log_;
    FrameParser parser_;
    double lastReceive_ = 0.0;
    Faults faults_;
    bool quit_ = false;
    bool crowdBefore_ = true;
    std::vector<Transmission> outbox_;
    std::map<std::vector<std::uint8_t>, int> delayed_;  // request -> times answered delayed
};

// Turns transmissions into timed writes: a turnaround pause, then one byte per 11 bit times
// at 1200 baud; in fast mode each piece goes out at once as one write.
class Pacer {
  public:
    static constexpr double kByteTimeS = 11.0 / 1200.0;
    static constexpr double kTurnaroundS = 0.02;

    struct Write {
        double at = 0.0;
        std::vector<std::uint8_t> bytes;
        std::optional<std::string> logLine;  // set on the last write of a transmission
    };

    explicit Pacer(bool fast) : fast_(fast) {}
    void queue(const Transmission& t, double now);
    // Writes due by `now`, in order.
    std::vector<Write> takeDue(double now);
    std::optional<double> nextAt() const;
    bool idle() const { return writes_.empty(); }

  private:
    bool fast_;
    double lineFreeAt_ = 0.0;
    std::deque<Write> writes_;
};

std::string logLine(std::string_view prefix, std::span<const std::uint8_t> bytes);

}  // namespace hartsim
