#include "hart/tracker.h"

#include "hart/frame.h"
#include "hart/texts.h"

namespace hart {

void RequestTracker::requestSent(const Pending& request, bool startResponseTimer) {
    pending_ = request;
    if (startResponseTimer) response_.enable();
}

RequestTracker::ChunkResult RequestTracker::chunkReceived(std::span<const std::uint8_t> chunk) {
    ChunkResult result;
    result.kept = buffer_.store(chunk);
    received_ += static_cast<std::int32_t>(result.kept);
    if (pending_.tag == kConsoleTag) {
        // The console shows every chunk and never decodes; the tag stays.
        parse_.disable();
        response_.disable();
    } else if (pending_.tag > 0) {
        parse_.enable();
        response_.disable();
    } else {
        return result;  // nothing pending: counted only
    }
    result.shown = true;
    result.hex = hexText(buffer_.chunk());
    return result;
}

std::optional<Pending> RequestTracker::parseTick() {
    parse_.disable();
    if (pending_.tag == kNoTag || !pending_.decodes) return std::nullopt;
    const Pending request = pending_;
    pending_.tag = kNoTag;
    response_.disable();
    return request;
}

std::optional<std::string_view> RequestTracker::responseTick() {
    response_.disable();
    // The tag is kept: a late reply is still decoded.
    switch (pending_.kind) {
        case TimeoutKind::Read:
            return text::kReadTimeout;
        case TimeoutKind::Write:
            return text::kWriteTimeout;
        default:
            return std::nullopt;
    }
}

}  // namespace hart
