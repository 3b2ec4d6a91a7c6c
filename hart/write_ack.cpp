#include "hart/write_ack.h"

#include <algorithm>

namespace hart {
namespace {

struct AckRow {
    int code;
    int onlyTag;  // 0: every tag
    std::string_view text;
};

constexpr AckRow kAckTable[] = {
    {0, 0, "写入成功!"},
    {1, 0, "写入失败!指令没有定义!"},
    {3, 0, "写入失败!参数值过大!"},  // passed parameter too large
    {4, 0, "写入失败!设置参数过小!"},
    {5, 0, "写入失败!收到数据较少!"},
    {6, 0, "写入失败!发送指令错误!"},
    {7, 0, "写入失败!写保护!"},
    {8, 0, "写入失败!设置参数有可能价值!"},
    {9, 0, "写入失败!设置参数有可能没有用!"},
    {12, 523, "写入失败!设置参数不对"},
    {16, 0, "写入失败!设置参数有可能没有用!"},
};

constexpr std::string_view kOtherCode = "写入失败!通道被限制!";

}  // namespace

std::string_view writeAckText(int tag, std::uint8_t responseCode) {
    // The byte is compared whole: a communication-error report (top bit set) is "other".
    auto it = std::find_if(std::begin(kAckTable), std::end(kAckTable), [&](const AckRow& row) {
        return row.code == responseCode && (row.onlyTag == 0 || row.onlyTag == tag);
    });
    return it == std::end(kAckTable) ? kOtherCode : it->text;
}

std::optional<std::uint8_t> responseCode(const std::optional<Reply>& reply) {
    if (!reply) return std::nullopt;
    return reply->get(reply->responseCodeOffset());
}

std::string_view writeAckText(int tag, const std::optional<Reply>& reply) {
    const auto code = responseCode(reply);
    return code ? writeAckText(tag, *code) : kWriteFailed;
}

std::string_view decodeWriteAck(const ReceiveBuffer& buffer, const ReplyScan& scan, int tag) {
    return writeAckText(tag, findReply(buffer, scan));
}

}  // namespace hart
