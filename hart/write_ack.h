// The decoder shared by write requests: the reply's response code as one status text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "hart/outcome.h"
#include "hart/reply.h"
#include "hart/tr.h"

namespace hart {

inline constexpr std::string_view kWriteFailed = Tr::tr("写入失败!");

// A response code's status text and what it means for the write.
struct AckRow {
    int code;
    std::string_view text;
    Result result = Result::Failed;
};

// The acknowledgement of a response code; `extra`, when given, is one more row an operation
// has for a code its instrument uses in its own way.
AckRow writeAck(std::uint8_t responseCode, const AckRow* extra = nullptr);

// The response code of a reply found, when it arrived.
std::optional<std::uint8_t> responseCode(const std::optional<Reply>& reply);

// The acknowledgement of a reply found; no reply, or one cut before its code, failed.
AckRow writeAck(const std::optional<Reply>& reply, const AckRow* extra = nullptr);

}  // namespace hart
