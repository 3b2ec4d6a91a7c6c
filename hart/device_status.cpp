#include "hart/device_status.h"

#include "hart/tr.h"

namespace hart {
namespace {

constexpr StatusBit kDeviceBits[] = {
    {0x80, Tr::tr("设备故障"), "device malfunction", true},
    {0x40, Tr::tr("组态已改变"), "configuration changed"},
    {0x20, Tr::tr("冷启动"), "cold start"},
    {kMoreStatusAvailable, Tr::tr("更多状态可用"), "more status available"},
    {0x08, Tr::tr("回路电流固定"), "loop current fixed"},
    {0x04, Tr::tr("回路电流饱和"), "loop current saturated", true},
    {0x02, Tr::tr("非主变量超限"), "non-primary variable out of limits", true},
    {0x01, Tr::tr("主变量超限"), "primary variable out of limits", true},
};

constexpr StatusBit kCommErrorBits[] = {
    {0x40, Tr::tr("奇偶校验错误"), "parity error"},
    {0x20, Tr::tr("溢出错误"), "overrun error"},
    {0x10, Tr::tr("帧错误"), "framing error"},
    {0x08, Tr::tr("校验和错误"), "checksum error"},
    {0x02, Tr::tr("接收缓冲区溢出"), "receive buffer overflow"},
};

constexpr std::string_view kDeviceOk = Tr::tr("设备状态正常");
constexpr std::string_view kCommError = Tr::tr("通信错误:");
constexpr std::string_view kCommErrorEnglish = "communication error";
constexpr std::string_view kJoin = "、";

bool isCommError(StatusBytes s) {
    return (s.first & kCommErrorReport) != 0;
}

}  // namespace

std::span<const StatusBit> deviceStatusBits() {
    return kDeviceBits;
}

std::span<const StatusBit> commErrorBits() {
    return kCommErrorBits;
}

std::optional<StatusBytes> statusBytes(const Reply& reply) {
    const std::size_t at = reply.responseCodeOffset();
    if (!reply.has(at, 2)) return std::nullopt;
    return StatusBytes{reply.at(at), reply.at(at + 1)};
}

std::optional<StatusBytes> chunkStatus(const ReceiveBuffer& buffer) {
    const auto longReply = findReply(buffer, {kLongReplyDelimiter});
    const auto shortReply = findReply(buffer, {kShortReplyDelimiter});
    const auto& first = !shortReply || (longReply && longReply->start() < shortReply->start())
                            ? longReply
                            : shortReply;
    return first ? statusBytes(*first) : std::nullopt;
}

StatusView describeStatus(StatusBytes s, Language language) {
    StatusView view;
    const bool commError = isCommError(s);
    const std::uint8_t bits = commError ? s.first : s.second;
    // A failed transfer is no healthy device either.
    view.alarm = commError;
    if (commError) view.text = translate(kCommError, language);
    std::string_view separator;
    for (const StatusBit& b : commError ? commErrorBits() : deviceStatusBits()) {
        if ((bits & b.mask) == 0) continue;
        view.text.append(separator).append(translate(b.text, language));
        separator = language == Language::Chinese ? kJoin : ", ";
        view.alarm = view.alarm || b.alarm;
    }
    if (view.text.empty()) view.text = translate(kDeviceOk, language);
    view.moreStatus = !commError && (s.second & kMoreStatusAvailable) != 0;
    return view;
}

std::vector<std::string_view> statusNames(StatusBytes s) {
    std::vector<std::string_view> names;
    const bool commError = isCommError(s);
    if (commError) names.push_back(kCommErrorEnglish);
    const std::uint8_t bits = commError ? s.first : s.second;
    for (const StatusBit& b : commError ? commErrorBits() : deviceStatusBits()) {
        if ((bits & b.mask) != 0) names.push_back(b.english);
    }
    return names;
}

}  // namespace hart
