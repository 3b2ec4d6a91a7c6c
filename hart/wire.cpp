#include "hart/wire.h"

#include <algorithm>

#include "hart/frame.h"

namespace hart {

std::optional<FrameKind> kindOf(std::uint8_t delimiter) {
    // No expansion bytes and the asynchronous physical layer: the only frames on this line.
    if ((delimiter & 0x78) != 0) return std::nullopt;
    switch (delimiter & 0x07) {
        case 1:
            return FrameKind::Burst;
        case 2:
            return FrameKind::Request;
        case 6:
            return FrameKind::Reply;
        default:
            return std::nullopt;
    }
}

std::span<const std::uint8_t> withoutPreambles(std::span<const std::uint8_t> bytes) {
    const auto first = std::find_if(bytes.begin(), bytes.end(), [](auto b) { return b != 0xFF; });
    return bytes.subspan(static_cast<std::size_t>(first - bytes.begin()));
}

std::optional<WireFrame> frameAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    if (at >= bytes.size()) return std::nullopt;
    const auto kind = kindOf(bytes[at]);
    if (!kind) return std::nullopt;
    WireFrame f;
    f.start = at;
    f.kind = *kind;
    f.isLong = (bytes[at] & 0x80) != 0;
    const std::size_t addressLength = f.isLong ? 5 : 1;
    const std::size_t countAt = at + 1 + addressLength + 1;
    if (countAt >= bytes.size()) return std::nullopt;
    const std::size_t checkAt = countAt + 1 + bytes[countAt];
    if (checkAt >= bytes.size()) return std::nullopt;
    f.end = checkAt + 1;
    f.address = bytes.subspan(at + 1, addressLength);
    f.command = bytes[countAt - 1];
    f.data = bytes.subspan(countAt + 1, bytes[countAt]);
    f.checkOk = checkByte(bytes.subspan(at, checkAt - at)) == bytes[checkAt];
    return f;
}

std::optional<WireFrame> nextFrame(std::span<const std::uint8_t> bytes, std::size_t from) {
    for (std::size_t i = std::max<std::size_t>(from, 1); i < bytes.size(); ++i) {
        if (bytes[i - 1] != 0xFF) continue;
        if (auto f = frameAt(bytes, i)) return f;
    }
    return std::nullopt;
}

std::vector<std::vector<std::uint8_t>> cutBursts(std::vector<std::uint8_t>& bytes) {
    std::vector<std::vector<std::uint8_t>> bursts;
    std::size_t from = 0;
    std::size_t settled = 0;  // bytes before it belong to a whole frame already passed
    while (const auto f = nextFrame(bytes, from)) {
        if (!f->checkOk) {
            from = f->start + 1;  // no frame after all: its delimiter was a data byte
            continue;
        }
        if (f->kind != FrameKind::Burst) {
            from = settled = f->end;
            continue;
        }
        // Its preambles go with it, but never the check byte of a frame before it.
        std::size_t first = f->start;
        while (first > settled && bytes[first - 1] == 0xFF) --first;
        const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(first);
        const auto end = bytes.begin() + static_cast<std::ptrdiff_t>(f->end);
        bursts.emplace_back(begin, end);
        bytes.erase(begin, end);
        from = settled = first;
    }
    return bursts;
}

}  // namespace hart
