#include "hart/write_ack.h"

#include <algorithm>

#include "hart/tr.h"

namespace hart {
namespace {

constexpr AckRow kAckTable[] = {
    {0, Tr::tr("写入成功!"), Result::Done},
    {1, Tr::tr("写入失败!指令没有定义!")},
    {3, Tr::tr("写入失败!参数值过大!")},  // passed parameter too large
    {4, Tr::tr("写入失败!设置参数过小!")},
    {5, Tr::tr("写入失败!收到数据较少!")},
    {6, Tr::tr("写入失败!发送指令错误!")},
    {7, Tr::tr("写入失败!写保护!")},
    {8, Tr::tr("写入失败!设置参数有可能价值!"),
     Result::Warning},  // taken, set to the nearest value
    {9, Tr::tr("写入失败!设置参数有可能没有用!")},
    {16, Tr::tr("写入失败!设置参数有可能没有用!")},
};

constexpr AckRow kOtherCode = {-1, Tr::tr("写入失败!通道被限制!")};
constexpr AckRow kNoAck = {-1, kWriteFailed};

}  // namespace

AckRow writeAck(std::uint8_t responseCode, const AckRow* extra) {
    // The byte is compared whole: a communication-error report (top bit set) is "other".
    if (extra != nullptr && extra->code == responseCode) return *extra;
    const auto it = std::find_if(std::begin(kAckTable), std::end(kAckTable),
                                 [&](const AckRow& row) { return row.code == responseCode; });
    return it == std::end(kAckTable) ? kOtherCode : *it;
}

std::optional<std::uint8_t> responseCode(const std::optional<Reply>& reply) {
    if (!reply) return std::nullopt;
    return reply->get(reply->responseCodeOffset());
}

AckRow writeAck(const std::optional<Reply>& reply, const AckRow* extra) {
    const auto code = responseCode(reply);
    return code ? writeAck(*code, extra) : kNoAck;
}

}  // namespace hart
