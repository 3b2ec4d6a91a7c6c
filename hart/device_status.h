// The two status bytes every reply carries after its byte count: the response code (or a
// communication error report) and the field device status. The tool shows them beside the
// outcome of every decoded reply.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hart/reply.h"
#include "hart/tr.h"

namespace hart {

// Top bit of the first status byte: the rest of it reports a communication error, and the
// second byte then carries no device status.
inline constexpr std::uint8_t kCommErrorReport = 0x80;
// The device has more status for command 48.
inline constexpr std::uint8_t kMoreStatusAvailable = 0x10;

struct StatusBit {
    std::uint8_t mask;
    std::string_view text;     // as the window shows it
    std::string_view english;  // as hart-cli prints it
    bool alarm = false;        // the window shows the status in red while it is set
};

// Field device status bits, high to low.
std::span<const StatusBit> deviceStatusBits();
// Communication error bits of the first byte, high to low.
std::span<const StatusBit> commErrorBits();

struct StatusBytes {
    std::uint8_t first = 0;   // response code, or a communication error report
    std::uint8_t second = 0;  // field device status
};

// Both status bytes of a reply, when the chunk holds them.
std::optional<StatusBytes> statusBytes(const Reply& reply);
// The first reply of either kind in the last chunk, for replies no decoder scans.
std::optional<StatusBytes> chunkStatus(const ReceiveBuffer& buffer);

struct StatusView {
    std::string text;
    bool alarm = false;
    bool moreStatus = false;  // command 48 has something to read
};

// In the window's language: English joins the bits' English names.
StatusView describeStatus(StatusBytes status, Language language = Language::Chinese);
// English names of what is set; a communication error report comes first as such.
std::vector<std::string_view> statusNames(StatusBytes status);

}  // namespace hart
