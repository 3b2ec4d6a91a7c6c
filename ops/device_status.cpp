// Command 48: the additional status, whose meaning belongs to the instrument, shown in hex.
#include "ops/device_status.h"

#include "hart/frame.h"
#include "ops/groups.h"

namespace ops {

namespace {

constexpr int kMoreStatusTag = 148;
constexpr int kMoreStatusCommand = 48;
// Response code and device status come before the data in the byte count.
constexpr std::size_t kStatusBytes = 2;

hart::Outcome decodeMoreStatus(const std::optional<hart::Reply>& reply, Session&) {
    hart::Outcome out;
    const auto count = reply ? reply->get(reply->byteCountOffset()) : std::nullopt;
    const std::size_t n = count && *count > kStatusBytes ? *count - kStatusBytes : 0;
    if (n == 0 || !reply->has(reply->firstDataOffset(), n)) {
        out.setText(std::string(kMoreStatusLabel), "");
        out.fail(hart::text::kReadFailed);
        return out;
    }
    std::string hex = hart::hexText(reply->bytes(reply->firstDataOffset(), n));
    hex.pop_back();  // the hex text's closing space
    out.setText(std::string(kMoreStatusLabel), hex);
    out.done(hart::text::kReadOk);
    return out;
}

constexpr std::string_view kClears[] = {kMoreStatusLabel};

constexpr Operation kRows[] = {
    {.control = kReadMoreStatusButton,
     .tag = kMoreStatusTag,
     .command = kMoreStatusCommand,
     .timeout = hart::TimeoutKind::Read,
     .startText = hart::text::kReading,
     .clears = kClears,
     .decoder = customDecoder(decodeMoreStatus)},
};

}  // namespace

std::span<const Operation> deviceStatusOperations() {
    return kRows;
}

std::optional<hart::StatusBytes> replyStatus(const hart::Pending& request,
                                             const hart::ReceiveBuffer& buffer) {
    if (!request.decodes) return hart::chunkStatus(buffer);
    const auto reply = hart::findReply(buffer, replyScan(request));
    return reply ? hart::statusBytes(*reply) : std::nullopt;
}

}  // namespace ops
