// Builds device replies for tests.
#pragma once

#include <cstdint>
#include <vector>

#include "hart/frame.h"

namespace hart::testing {

using Bytes = std::vector<std::uint8_t>;

// preambles, 0x86, address 5, command, count, code, status, data, check byte
inline Bytes longReply(std::uint8_t command, std::uint8_t code, const Bytes& data = {},
                       int preambles = 5, std::uint8_t status = 0x00) {
    Bytes r(preambles, 0xFF);
    Bytes body{kLongReplyDelimiter, 0xA6, 0x06, 0x00, 0x12, 0x34, command,
               static_cast<std::uint8_t>(data.size() + 2), code, status};
    body.insert(body.end(), data.begin(), data.end());
    body.push_back(checkByte(body));
    r.insert(r.end(), body.begin(), body.end());
    return r;
}

// preambles, 0x06, polling address, command, count, code, status, data, check byte
inline Bytes shortReply(std::uint8_t address, std::uint8_t command, const Bytes& data,
                        int preambles = 5) {
    Bytes r(preambles, 0xFF);
    Bytes body{kShortReplyDelimiter, address, command, static_cast<std::uint8_t>(data.size() + 2),
               0x00, 0x00};
    body.insert(body.end(), data.begin(), data.end());
    body.push_back(checkByte(body));
    r.insert(r.end(), body.begin(), body.end());
    return r;
}

inline Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace hart::testing
