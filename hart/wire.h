// Frames as they come off the line, whoever sent them: preambles skipped, the next whole frame
// in a run of bytes read into delimiter, address, command, data and check byte, and told
// apart as a master's request, a reply or a burst.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace hart {

enum class FrameKind { Request, Reply, Burst };

// What a delimiter's frame-type bits name; nullopt for a byte that is no delimiter here.
std::optional<FrameKind> kindOf(std::uint8_t delimiter);

struct WireFrame {
    std::size_t start = 0;  // index of the delimiter in the bytes it was found in
    std::size_t end = 0;    // one past the check byte
    FrameKind kind = FrameKind::Reply;
    bool isLong = false;
    std::span<const std::uint8_t> address;  // 1 byte, or 5 in a long frame
    std::uint8_t command = 0;
    std::span<const std::uint8_t> data;  // as many bytes as the byte count says
    bool checkOk = false;                // the check byte matches
};

// The bytes from the first one that is not a preamble.
std::span<const std::uint8_t> withoutPreambles(std::span<const std::uint8_t> bytes);

// The frame whose delimiter is at `at`; nullopt while not all its bytes are in.
std::optional<WireFrame> frameAt(std::span<const std::uint8_t> bytes, std::size_t at);

// The first whole frame whose delimiter is at or after `from` and follows a preamble.
std::optional<WireFrame> nextFrame(std::span<const std::uint8_t> bytes, std::size_t from = 0);

// Cuts every whole burst frame (its check byte right) out of the bytes, its preambles with it,
// and gives them back in order; what is left keeps its order. A reply in the same bytes is
// then found as if the instrument had not burst.
std::vector<std::vector<std::uint8_t>> cutBursts(std::vector<std::uint8_t>& bytes);

}  // namespace hart
