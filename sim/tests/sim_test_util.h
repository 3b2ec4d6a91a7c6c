// Helpers shared by the simulator tests: requests as the tool builds them, replies taken apart.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "hart/frame.h"
#include "hart/numbers.h"
#include "sim/device.h"

namespace hartsim::simtest {

inline std::vector<std::uint8_t> bytesOf(const hart::Frame& f) {
    return {f.data(), f.data() + f.size()};
}

inline Request longRequest(const Device& d, std::uint8_t command,
                           std::vector<std::uint8_t> data = {}) {
    Request r;
    r.isLong = true;
    r.masterBit = 0x80;
    r.address = longAddress(d);
    r.command = command;
    r.data = std::move(data);
    return r;
}

inline std::vector<std::uint8_t> wireFloat(float v) {
    const hart::WireFloat w = hart::encodeWireFloat(v);
    return {w.begin(), w.end()};
}

inline float floatAt(const std::vector<std::uint8_t>& data, std::size_t at) {
    return static_cast<float>(
        hart::decodeWireFloat(std::span<const std::uint8_t, 4>(data.data() + at, 4)));
}

inline std::vector<std::uint8_t> concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A frame from the device taken apart; `found` is false when no delimiter follows a preamble.
struct SeenReply {
    bool found = false;
    std::size_t preambles = 0;
    std::uint8_t delimiter = 0;
    std::vector<std::uint8_t> address;
    std::uint8_t command = 0;
    std::uint8_t byteCount = 0;
    std::uint8_t responseCode = 0;
    std::uint8_t status = 0;
    std::vector<std::uint8_t> data;
    bool checkOk = false;
};

inline SeenReply seeReply(const std::vector<std::uint8_t>& bytes) {
    SeenReply r;
    std::size_t i = 0;
    while (i < bytes.size() && bytes[i] != 0xFF) ++i;
    const std::size_t first = i;
    while (i < bytes.size() && bytes[i] == 0xFF) ++i;
    r.preambles = i - first;
    if (i >= bytes.size() || r.preambles < 2) return r;
    const std::size_t d = i;
    r.delimiter = bytes[d];
    const std::size_t addressLength = (r.delimiter & 0x80) ? 5 : 1;
    const std::size_t countAt = d + 1 + addressLength + 1;
    if (bytes.size() < countAt + 4) return r;
    r.address.assign(bytes.begin() + d + 1, bytes.begin() + d + 1 + addressLength);
    r.command = bytes[countAt - 1];
    r.byteCount = bytes[countAt];
    const std::size_t checkAt = countAt + 1 + r.byteCount;
    if (bytes.size() <= checkAt) return r;
    r.responseCode = bytes[countAt + 1];
    r.status = bytes[countAt + 2];
    r.data.assign(bytes.begin() + countAt + 3, bytes.begin() + checkAt);
    r.checkOk = hart::checkByte(std::span(bytes).subspan(d, checkAt - d)) == bytes[checkAt];
    r.found = true;
    return r;
}

}  // namespace hartsim::simtest
