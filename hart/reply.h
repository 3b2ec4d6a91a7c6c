// The receive buffer and the reply scan every decoder starts with.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "hart/frame.h"

namespace hart {

inline constexpr std::size_t kReceiveCapacity = 255;

// Each chunk is written from index 0; bytes past it keep what older chunks left.
class ReceiveBuffer {
  public:
    // Copies at most 255 bytes of the chunk; returns how many were kept.
    std::size_t store(std::span<const std::uint8_t> chunk);

    std::size_t length() const { return length_; }
    int scanLimit() const { return static_cast<int>(length_) - 4; }
    std::span<const std::uint8_t> chunk() const { return {buf_.data(), length_}; }
    std::uint8_t operator[](std::size_t i) const { return buf_[i]; }

  private:
    std::array<std::uint8_t, kReceiveCapacity> buf_{};
    std::size_t length_ = 0;
};

// Where a decoder looks for the reply start, and what else a candidate must show.
enum class ScanWindow {
    Standard,            // i = 0 .. scan limit
    FromOne,             // i = 1 .. scan limit (command 0 poll)
    FirstEleven,         // i = 0 .. 10
    FirstElevenCount14,  // i = 0 .. 10, byte count (i+8) = 0x0E
    FirstElevenCount6,   // i = 0 .. 10, byte count (i+8) = 0x06
    Command31Count13,    // standard, command (i+7) = 0x1F and byte count (i+8) = 0x0D
};

struct ReplyScan {
    std::uint8_t delimiter = kLongReplyDelimiter;
    ScanWindow window = ScanWindow::Standard;
    int command = -1;  // command of the pending request; -1 accepts any
};

// A reply found in the last chunk. Offsets count from the reply start r (its last preamble).
class Reply {
  public:
    Reply(const ReceiveBuffer& buffer, std::size_t start, bool isLong)
        : buffer_(&buffer), start_(start), long_(isLong) {}

    std::size_t start() const { return start_; }
    bool isLong() const { return long_; }
    std::size_t commandOffset() const { return long_ ? 7 : 3; }
    std::size_t byteCountOffset() const { return long_ ? 8 : 4; }
    std::size_t responseCodeOffset() const { return byteCountOffset() + 1; }
    std::size_t firstDataOffset() const { return byteCountOffset() + 3; }

    // True when r+offset .. r+offset+count-1 arrived in this chunk and, past the byte
    // count, lie within the bytes the reply says it carries.
    bool has(std::size_t offset, std::size_t count = 1) const;
    // Unchecked: call where has() holds.
    std::uint8_t at(std::size_t offset) const { return (*buffer_)[start_ + offset]; }
    std::optional<std::uint8_t> get(std::size_t offset) const;
    std::span<const std::uint8_t> bytes(std::size_t offset, std::size_t count) const;
    // True when the whole frame, check byte included, arrived in this chunk. A reply that
    // findReply gives is then one whose check byte matches.
    bool complete() const;

  private:
    const ReceiveBuffer* buffer_;
    std::size_t start_;
    bool long_;
};

// First reply start in the window. A candidate whose frame is complete in the chunk but
// whose check byte is wrong, or whose command is not the pending one, is passed over.
std::optional<Reply> findReply(const ReceiveBuffer& buffer, const ReplyScan& scan);

}  // namespace hart
