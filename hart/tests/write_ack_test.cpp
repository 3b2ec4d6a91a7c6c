#include "hart/write_ack.h"

#include <gtest/gtest.h>

#include "hart/tests/reply_builder.h"

namespace hart {
namespace {

using testing::Bytes;
using testing::longReply;
using testing::shortReply;

TEST(WriteAck, TextsAndResultsByResponseCode) {
    constexpr auto F = Result::Failed;
    const AckRow cases[] = {
        {0, "写入成功!", Result::Done},
        {1, "写入失败!指令没有定义!", F},
        {2, "写入失败!通道被限制!", F},
        {3, "写入失败!参数值过大!", F},
        {4, "写入失败!设置参数过小!", F},
        {5, "写入失败!收到数据较少!", F},
        {6, "写入失败!发送指令错误!", F},
        {7, "写入失败!写保护!", F},
        {8, "写入失败!设置参数有可能价值!", Result::Warning},
        {9, "写入失败!设置参数有可能没有用!", F},
        {12, "写入失败!通道被限制!", F},
        {16, "写入失败!设置参数有可能没有用!", F},
        {0x82, "写入失败!通道被限制!", F},
        {255, "写入失败!通道被限制!", F},
    };
    for (const auto& c : cases) {
        const AckRow ack = writeAck(static_cast<std::uint8_t>(c.code));
        EXPECT_EQ(ack.text, c.text) << c.code;
        EXPECT_EQ(ack.result, c.result) << c.code;
    }
    // An operation's own row for a code goes before the shared ones.
    const AckRow own{12, "写入失败!设置参数不对"};
    EXPECT_EQ(writeAck(12, &own).text, own.text);
    EXPECT_EQ(writeAck(7, &own).text, "写入失败!写保护!");
}

TEST(WriteAck, DecodesTheReplyInTheBuffer) {
    const ReplyScan scan{kLongReplyDelimiter, ScanWindow::Standard, 34};
    ReceiveBuffer b;
    auto ack = [&] { return writeAck(findReply(b, scan)).text; };
    b.store(longReply(34, 0, Bytes(4, 0), 5, 0xFF));  // device status does not matter
    EXPECT_EQ(ack(), "写入成功!");

    b.store(longReply(34, 7));
    EXPECT_EQ(ack(), "写入失败!写保护!");

    b.store(shortReply(0x80, 0, Bytes(12, 0)));
    EXPECT_EQ(ack(), kWriteFailed);

    // A late reply to another command, or a corrupted one, is no acknowledgement.
    b.store(longReply(35, 0));
    EXPECT_EQ(ack(), kWriteFailed);
    Bytes corrupted = longReply(34, 0);
    corrupted.back() ^= 0x40;
    b.store(corrupted);
    EXPECT_EQ(ack(), kWriteFailed);

    // A chunk cut before the response code fails rather than reading older bytes.
    Bytes cut = longReply(34, 0);
    b.store(longReply(34, 7));
    cut.resize(13);  // ends at the byte count
    b.store(cut);
    EXPECT_EQ(ack(), kWriteFailed);
}

}  // namespace
}  // namespace hart
