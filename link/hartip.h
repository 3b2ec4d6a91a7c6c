#pragma once

// HART-IP messages: the 8-byte header, the session messages, the token-passing PDU that
// carries a HART frame, and the port names that select HART-IP. No sockets here; the backend
// (link/hartip_port.cpp) and the simulator both build and read their messages with this.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace serial::hartip {

inline constexpr std::uint16_t kDefaultPort = 5094;
inline constexpr std::uint8_t kVersion = 1;
inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::uint8_t kPrimaryMaster = 1;
inline constexpr std::uint8_t kSecondaryMaster = 0;
// The preambles a received frame is handed on with, so that it reads as on a serial line.
inline constexpr std::size_t kDeliveredPreambles = 5;

enum class Type : std::uint8_t { Request = 0, Response = 1, Publish = 2, Error = 3, Nak = 15 };
enum class Id : std::uint8_t { SessionInitiate = 0, SessionClose = 1, KeepAlive = 2, Pdu = 3 };

// Session-initiate status codes with a meaning of their own.
inline constexpr std::uint8_t kStatusOk = 0;
inline constexpr std::uint8_t kStatusInvalidSelection = 2;
inline constexpr std::uint8_t kStatusTooFewBytes = 5;
inline constexpr std::uint8_t kStatusNearestValue = 8;  // a warning: the session stands
inline constexpr std::uint8_t kStatusAllSessionsInUse = 15;

struct Header {
    std::uint8_t version = kVersion;
    Type type = Type::Request;
    Id id = Id::Pdu;
    std::uint8_t status = 0;
    std::uint16_t sequence = 0;
    std::uint16_t byteCount = kHeaderSize;  // header included
};

std::array<std::uint8_t, kHeaderSize> encodeHeader(const Header& h);
// The header at the start of the bytes; nullopt when fewer than eight.
std::optional<Header> decodeHeader(std::span<const std::uint8_t> bytes);
// Why a stream with this header cannot be read on, or nullptr when it can.
const char* headerFault(const Header& h);

struct Message {
    Header header;
    std::vector<std::uint8_t> body;
};

// A whole message; the byte count is set from the body. Empty when the body does not fit.
std::vector<std::uint8_t> encode(Type type, Id id, std::uint16_t sequence,
                                 std::span<const std::uint8_t> body, std::uint8_t status = 0);
std::vector<std::uint8_t> sessionInitiate(std::uint16_t sequence, std::uint32_t inactivityMs,
                                          std::uint8_t masterType = kPrimaryMaster);
// The token-passing PDU of a frame as the tool writes it: its leading preambles dropped.
std::vector<std::uint8_t> pduRequest(std::uint16_t sequence, std::span<const std::uint8_t> frame);

// The PDU body as a serial line would carry it: kDeliveredPreambles in front.
std::vector<std::uint8_t> withPreambles(std::span<const std::uint8_t> body);

// The inactivity time a session-initiate body asks for (or grants); nullopt when too short.
std::optional<std::uint32_t> inactivityOf(std::span<const std::uint8_t> body);

// Cuts a byte stream into messages, whatever the read boundaries.
class MessageReader {
  public:
    void feed(std::span<const std::uint8_t> bytes);
    // The next whole message, if one is in. Once the stream is unreadable (see fault()) no
    // more come: its message boundaries are lost.
    std::optional<Message> next();
    const char* fault() const { return fault_; }
    void reset();

  private:
    std::vector<std::uint8_t> buffer_;
    const char* fault_ = nullptr;
};

// What a port name says about HART-IP.
enum class Transport { Tcp, Udp };
struct Address {
    std::string host;
    std::uint16_t port = kDefaultPort;
};
struct NameKind {
    bool hartIp = false;           // the name selects HART-IP
    std::optional<Address> where;  // nullopt when it does, but names no usable host and port
    Transport transport = Transport::Tcp;
};
// "hartip://HOST[:PORT]" and "HOST:PORT" select HART-IP over TCP, "hartip+udp://HOST[:PORT]"
// over UDP ("[v6-address]" in brackets); a name with a '/' outside the scheme is a device path,
// and anything else is a serial port too.
NameKind parseName(std::string_view name);

// A status, error or NAK in words for the user; empty for a plain success.
std::string statusText(const Header& h);

}  // namespace serial::hartip
