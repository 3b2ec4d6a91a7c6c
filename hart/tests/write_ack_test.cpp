#include "hart/write_ack.h"

#include <gtest/gtest.h>

#include "hart/tests/reply_builder.h"

namespace hart {
namespace {

using testing::Bytes;
using testing::longReply;
using testing::shortReply;

TEST(WriteAck, TextsByResponseCode) {
    struct Case {
        int tag;
        std::uint8_t code;
        const char* text;
    };
    const Case cases[] = {
        {134, 0, "写入成功!"},
        {134, 1, "写入失败!指令没有定义!"},
        {134, 2, "写入失败!通道被限制!"},
        {134, 3, "写入失败!参数值过大!"},
        {134, 4, "写入失败!设置参数过小!"},
        {134, 5, "写入失败!收到数据较少!"},
        {134, 6, "写入失败!发送指令错误!"},
        {134, 7, "写入失败!写保护!"},
        {134, 8, "写入失败!设置参数有可能价值!"},
        {134, 9, "写入失败!设置参数有可能没有用!"},
        {134, 12, "写入失败!通道被限制!"},
        {523, 12, "写入失败!设置参数不对"},
        {134, 16, "写入失败!设置参数有可能没有用!"},
        {134, 0x82, "写入失败!通道被限制!"},
        {134, 255, "写入失败!通道被限制!"},
    };
    for (const auto& c : cases) EXPECT_EQ(writeAckText(c.tag, c.code), c.text) << int(c.code);
}

TEST(WriteAck, DecodesTheReplyInTheBuffer) {
    const ReplyScan scan{kLongReplyDelimiter, ScanWindow::Standard, 34};
    ReceiveBuffer b;
    b.store(longReply(34, 0, Bytes(4, 0), 5, 0xFF));  // device status does not matter
    EXPECT_EQ(decodeWriteAck(b, scan, 134), "写入成功!");

    b.store(longReply(34, 7));
    EXPECT_EQ(decodeWriteAck(b, scan, 134), "写入失败!写保护!");

    b.store(shortReply(0x80, 0, Bytes(12, 0)));
    EXPECT_EQ(decodeWriteAck(b, scan, 134), kWriteFailed);

    // A late reply to another command, or a corrupted one, is no acknowledgement.
    b.store(longReply(35, 0));
    EXPECT_EQ(decodeWriteAck(b, scan, 134), kWriteFailed);
    Bytes corrupted = longReply(34, 0);
    corrupted.back() ^= 0x40;
    b.store(corrupted);
    EXPECT_EQ(decodeWriteAck(b, scan, 134), kWriteFailed);

    // A chunk cut before the response code fails rather than reading older bytes.
    Bytes cut = longReply(34, 0);
    b.store(longReply(34, 7));
    cut.resize(13);  // ends at the byte count
    b.store(cut);
    EXPECT_EQ(decodeWriteAck(b, scan, 134), kWriteFailed);
}

}  // namespace
}  // namespace hart
