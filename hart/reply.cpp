#include "hart/reply.h"

#include <algorithm>

namespace hart {

std::size_t ReceiveBuffer::store(std::span<const std::uint8_t> chunk) {
    length_ = std::min(chunk.size(), kReceiveCapacity);
    std::copy_n(chunk.begin(), length_, buf_.begin());
    return length_;
}

bool Reply::has(std::size_t offset, std::size_t count) const {
    if (count == 0) return true;
    const std::size_t last = offset + count - 1;
    if (start_ + last >= buffer_->length()) return false;
    const std::size_t bc = byteCountOffset();
    if (last <= bc) return true;
    // Bytes after the byte count belong to this reply only as far as it counts them.
    return last <= bc + at(bc);
}

std::optional<std::uint8_t> Reply::get(std::size_t offset) const {
    if (!has(offset)) return std::nullopt;
    return at(offset);
}

std::span<const std::uint8_t> Reply::bytes(std::size_t offset, std::size_t count) const {
    return buffer_->chunk().subspan(start_ + offset, count);
}

bool Reply::complete() const {
    const std::size_t bc = byteCountOffset();
    return start_ + bc < buffer_->length() && start_ + bc + at(bc) + 1 < buffer_->length();
}

namespace {

struct Range {
    int first;
    int last;
};

Range windowRange(const ReceiveBuffer& buffer, ScanWindow window) {
    const int limit = buffer.scanLimit();
    switch (window) {
        case ScanWindow::FromOne:
            return {1, limit};
        case ScanWindow::FirstEleven:
        case ScanWindow::FirstElevenCount14:
        case ScanWindow::FirstElevenCount6:
            // The fixed window never reaches past the chunk: the delimiter must be in it.
            return {0, std::min(10, static_cast<int>(buffer.length()) - 2)};
        case ScanWindow::Standard:
        case ScanWindow::Command31Count13:
            break;
    }
    return {0, limit};
}

bool inChunk(const ReceiveBuffer& buffer, std::size_t i) {
    return i < buffer.length();
}

bool extraCondition(const ReceiveBuffer& b, std::size_t i, ScanWindow window) {
    switch (window) {
        case ScanWindow::FirstElevenCount14:
            return inChunk(b, i + 8) && b[i + 8] == 0x0E;
        case ScanWindow::FirstElevenCount6:
            return inChunk(b, i + 8) && b[i + 8] == 0x06;
        case ScanWindow::Command31Count13:
            return inChunk(b, i + 8) && b[i + 7] == 0x1F && b[i + 8] == 0x0D;
        default:
            return true;
    }
}

// A candidate is refused only on evidence inside the chunk: a wrong command byte, or a
// complete frame whose check byte does not match.
bool plausible(const ReceiveBuffer& b, const Reply& r, int command) {
    const std::size_t i = r.start();
    const bool expanded = isExpanded(command);
    const int onWire = expanded ? kExpandedCommand : command;
    if (command >= 0 && inChunk(b, i + r.commandOffset()) &&
        b[i + r.commandOffset()] != static_cast<std::uint8_t>(onWire)) {
        return false;
    }
    // An expanded command's reply names it again in its first two data bytes; a failure
    // reply without data cannot, and is taken for the pending one.
    const std::size_t numberAt = i + r.firstDataOffset();
    if (expanded && r.has(r.firstDataOffset(), 2) &&
        (b[numberAt] != static_cast<std::uint8_t>(command >> 8) ||
         b[numberAt + 1] != static_cast<std::uint8_t>(command))) {
        return false;
    }
    const std::size_t bcAt = i + r.byteCountOffset();
    if (!inChunk(b, bcAt)) return true;
    const std::size_t checkAt = bcAt + b[bcAt] + 1;
    if (!inChunk(b, checkAt)) return true;
    std::uint8_t x = 0;
    for (std::size_t k = i + 1; k < checkAt; ++k) x ^= b[k];
    return x == b[checkAt];
}

}  // namespace

std::optional<Reply> findReply(const ReceiveBuffer& buffer, const ReplyScan& scan) {
    const Range range = windowRange(buffer, scan.window);
    const bool isLong = scan.delimiter == kLongReplyDelimiter;
    for (int i = range.first; i <= range.last; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (buffer[at] != 0xFF || buffer[at + 1] != scan.delimiter) continue;
        if (!extraCondition(buffer, at, scan.window)) continue;
        Reply reply(buffer, at, isLong);
        if (!plausible(buffer, reply, scan.command)) continue;
        return reply;
    }
    return std::nullopt;
}

}  // namespace hart
