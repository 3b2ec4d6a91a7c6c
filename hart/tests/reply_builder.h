// Builds device replies for tests.
#pragma once

#include <cstdint>
#include <vector>

#include "hart/frame.h"

namespace hart::testing {

using Bytes = std::vector<std::uint8_t>;

inline void append(Bytes& to, const Bytes& more) {
    // push_back rather than insert: GCC 12 warns falsely about the range insert at -O2.
    to.reserve(to.size() + more.size());
    for (std::uint8_t b : more) to.push_back(b);
}

inline Bytes framed(int preambles, const Bytes& body) {
    Bytes r(static_cast<std::size_t>(preambles), 0xFF);
    append(r, body);
    r.push_back(checkByte(body));
    return r;
}

// preambles, 0x86, address 5, command, count, code, status, data, check byte
inline Bytes longReply(std::uint8_t command, std::uint8_t code, const Bytes& data = {},
                       int preambles = 5, std::uint8_t status = 0x00) {
    Bytes body{kLongReplyDelimiter,
               0xA6,
               0x06,
               0x00,
               0x12,
               0x34,
               command,
               static_cast<std::uint8_t>(data.size() + 2),
               code,
               status};
    append(body, data);
    return framed(preambles, body);
}

// preambles, 0x06, polling address, command, count, code, status, data, check byte
inline Bytes shortReply(std::uint8_t address, std::uint8_t command, const Bytes& data,
                        int preambles = 5) {
    Bytes body{kShortReplyDelimiter,
               address,
               command,
               static_cast<std::uint8_t>(data.size() + 2),
               0x00,
               0x00};
    append(body, data);
    return framed(preambles, body);
}

// Command 0 reply data: 254, manufacturer, device type, preamble count, revisions, flags,
// then the 3-byte device identifier.
inline Bytes command0Data(std::uint8_t manufacturer, std::uint8_t deviceType, const Bytes& id,
                          std::uint8_t preambles = 5) {
    Bytes d{0xFE, manufacturer, deviceType, preambles, 5, 5, 1, 1, 0};
    append(d, id);
    return d;
}

inline Bytes concat(Bytes a, const Bytes& b) {
    append(a, b);
    return a;
}

}  // namespace hart::testing
