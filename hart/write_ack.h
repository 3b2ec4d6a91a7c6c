// The decoder shared by write requests: the reply's response code as one status text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "hart/reply.h"

namespace hart {

inline constexpr std::string_view kWriteFailed = "写入失败!";

// Status text for a response code; tag 523 has one more row (code 12).
std::string_view writeAckText(int tag, std::uint8_t responseCode);

// The response code of a reply found, when it arrived.
std::optional<std::uint8_t> responseCode(const std::optional<Reply>& reply);

// The status text of the tag for a reply found, or "写入失败!" for none.
std::string_view writeAckText(int tag, const std::optional<Reply>& reply);

// Scans the last chunk for the reply and gives the status text of the tag.
std::string_view decodeWriteAck(const ReceiveBuffer& buffer, const ReplyScan& scan, int tag);

}  // namespace hart
