// The decoder shared by write requests: the reply's response code as one status text.
#pragma once

#include <cstdint>
#include <string_view>

#include "hart/reply.h"

namespace hart {

inline constexpr std::string_view kWriteFailed = "写入失败!";

// Status text for a response code; tag 523 has one more row (code 12).
std::string_view writeAckText(int tag, std::uint8_t responseCode);

// Scans the last chunk for the reply and gives the status text of the tag.
std::string_view decodeWriteAck(const ReceiveBuffer& buffer, const ReplyScan& scan, int tag);

}  // namespace hart
