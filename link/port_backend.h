#pragma once

// The operating-system side of a serial port. TComm and its worker threads talk only to this
// interface, so another platform needs only another implementation of it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "link/comm_types.h"

namespace serial {

enum class OpenResult { Ok, CannotOpen, NotComm, BufferSetup };

// What open() found. osError is the system's error number (errno) behind a refusal, 0 when
// there is none; the window explains it to the user.
struct OpenStatus {
    OpenResult result = OpenResult::Ok;
    int osError = 0;
};

// Ok: the call did its work. Closed: the close signal ended it. Failed: the port is gone or broken.
enum class IoResult { Ok, Closed, Failed };

enum class PurgeWhat { Receive, Transmit, Both };

// Threading contract: open, close and createCloseSignal are called only while no worker runs.
// readChunk runs on the reader thread, writeAll on the writer thread; signalClose, purge and the
// apply calls may come from the owner thread at the same time.
class PortBackend {
  public:
    virtual ~PortBackend() = default;

    virtual OpenStatus open(const std::string& name) = 0;
    // Releases the port and the close signal; harmless when nothing is open.
    virtual void close() = 0;

    // A fresh, non-signalled close signal; stays signalled once set until close().
    virtual bool createCloseSignal() = 0;
    virtual void signalClose() = 0;

    virtual void purge(PurgeWhat what) = 0;
    // Results are deliberately not reported: some devices refuse parts of a setting and must
    // still be usable.
    virtual void applyLineSettings(const LineSettings& settings) = 0;
    virtual void applyTimeouts(const Timeouts& timeouts) = 0;

    // Blocks without limit for the first byte or the close signal, then collects as the timeouts
    // say, up to capacity bytes. got holds the bytes collected even when the result is not Ok.
    virtual IoResult readChunk(uint8_t* buf, size_t capacity, size_t& got) = 0;
    // Returns Ok only once every byte has been written.
    virtual IoResult writeAll(const uint8_t* data, size_t length) = 0;

    // The last refusal or failure in words for the user (a session the device refused, a
    // message it rejected, why the connection ended), empty when there is none. Any thread.
    virtual std::string lastError() const { return {}; }
    // How many refusals or failures there were so far: a new one, even of the same text,
    // counts again. Any thread.
    virtual std::uint64_t errorCount() const { return 0; }
};

// Chooses at each open by the name: HART-IP for a name isHartIpName accepts, else serial.
std::unique_ptr<PortBackend> makePortBackend();
std::unique_ptr<PortBackend> makeSerialBackend();

struct HartIpSettings {
    // What the session asks the device for; a keep-alive goes out well before it runs out.
    uint32_t inactivityMs = 60000;
    // For the connection and for the device's answer to the session initiate.
    uint32_t connectTimeoutMs = 5000;
};
// HART-IP over TCP, or over UDP for a hartip+udp:// name. Each readChunk gives one whole frame (a
// reply or a published burst frame), with preambles in front as a serial line carries them;
// writeAll drops the preambles of the frame it sends. Replies are matched to requests by sequence
// number; a lost connection or a session the device closed makes readChunk fail (over UDP also a
// device that answers no keep-alives), and the next open starts a new session.
std::unique_ptr<PortBackend> makeHartIpBackend(HartIpSettings settings = {});

// "hartip://HOST[:PORT]" or "HOST:PORT" (default port 5094): opened as HART-IP over TCP;
// "hartip+udp://HOST[:PORT]": over UDP.
bool isHartIpName(std::string_view name);

// The device path a port name opens: "COMn" (n >= 1) is the n-th serial port, anything else is
// taken as a path.
std::string commDevicePath(std::string_view name);

}  // namespace serial
