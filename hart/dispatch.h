// The one table that ties each request-sending control to its request tag, command,
// timeout kind and the decoder of its reply.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "hart/reply.h"

namespace hart {

enum class TimeoutKind : int { None = 0, Write = 2, Read = 3, Poll = 4 };

enum class DecoderKind {
    None,      // the console: the receive event shows the reply
    WriteAck,  // shared write acknowledgement
    Own,       // the operation's own decoder, selected by the tag
};

inline constexpr int kNoTag = 0;
inline constexpr int kConsoleTag = 104;
inline constexpr int kPollTag = 100;
// The fixed-current request has a tag no other control uses.
inline constexpr int kFixedCurrentTag = 240;
// The console sends whatever was typed.
inline constexpr int kTypedCommand = -1;

struct DispatchEntry {
    int tag;
    std::string_view control;  // the control that sends the request
    int command;               // HART command sent, or kTypedCommand
    TimeoutKind kind;
    DecoderKind decoder;
    std::uint8_t delimiter;  // reply delimiter the decoder scans for
    ScanWindow window;
};

std::span<const DispatchEntry> dispatchTable();

// The request sent by a control; null for a control that sends none.
const DispatchEntry* requestOf(std::string_view control);
// Any row of the tag (they share decoder, delimiter and window); null for unknown tags.
const DispatchEntry* dispatchOf(int tag);

// How the decoder of `tag` looks for the reply to `command`.
ReplyScan replyScanFor(int tag, int command);

}  // namespace hart
