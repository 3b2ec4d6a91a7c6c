#include "hart/dispatch.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "hart/tests/reply_builder.h"
#include "hart/write_ack.h"

namespace hart {
namespace {

using testing::Bytes;
using testing::longReply;
using testing::shortReply;

TEST(DispatchTable, EachControlSendsOneRequestAndTagsAgreeOnTheirDecoder) {
    std::set<std::string_view> controls;
    std::map<int, const DispatchEntry*> firstOfTag;
    for (const auto& e : dispatchTable()) {
        EXPECT_TRUE(controls.insert(e.control).second) << e.control;
        auto [it, fresh] = firstOfTag.emplace(e.tag, &e);
        if (!fresh) {
            EXPECT_EQ(it->second->decoder, e.decoder) << e.tag;
            EXPECT_EQ(it->second->window, e.window) << e.tag;
            EXPECT_EQ(it->second->delimiter, e.delimiter) << e.tag;
        }
    }
    EXPECT_EQ(firstOfTag.size(), 65u);  // 64 listed tags and the fixed-current one
}

TEST(DispatchTable, WriteAcknowledgementServesTheListedTags) {
    const std::set<int> expected{39,   99,   106,  108,  109,  117,  118,  119,
                                 130,  131,  134,  136,  137,  139,  141,  143,
                                 144,  145,  146,  147,  149,  155,  523,  526,
                                 1134, 1143, 1145, 1151, 1153, 1155, 1171, 1182,
                                 1190, 1192, 2146, 2148, 2150, 2152, 2154, kFixedCurrentTag};
    std::set<int> served;
    for (const auto& e : dispatchTable()) {
        if (e.decoder == DecoderKind::WriteAck) served.insert(e.tag);
    }
    EXPECT_EQ(served, expected);
}

TEST(DispatchTable, RequestsByControl) {
    struct Case {
        const char* control;
        int tag;
        int command;
        TimeoutKind kind;
    };
    const Case cases[] = {
        {"Button3", 100, 0, TimeoutKind::Read},
        {"Timer1", 100, 0, TimeoutKind::Poll},
        {"Button7", 49, 0, TimeoutKind::Poll},
        {"Button4", 103, 3, TimeoutKind::Read},
        {"Button45", 1151, 51, TimeoutKind::Write},
        {"Button46", 1151, 189, TimeoutKind::Write},
        {"Button6", kFixedCurrentTag, 40, TimeoutKind::Write},
        {"Button17", kConsoleTag, kTypedCommand, TimeoutKind::Read},
    };
    for (const auto& c : cases) {
        const DispatchEntry* e = requestOf(c.control);
        ASSERT_NE(e, nullptr) << c.control;
        EXPECT_EQ(e->tag, c.tag) << c.control;
        EXPECT_EQ(e->command, c.command) << c.control;
        EXPECT_EQ(e->kind, c.kind) << c.control;
    }
    EXPECT_EQ(requestOf("Button18"), nullptr);
    EXPECT_EQ(dispatchOf(0), nullptr);
}

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
        {134, 3, "写入失败!参数值过小!"},
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
    ReceiveBuffer b;
    b.store(longReply(34, 0, Bytes(4, 0), 5, 0xFF));  // device status does not matter
    EXPECT_EQ(decodeWriteAck(b, 134, 34), "写入成功!");

    b.store(longReply(34, 7));
    EXPECT_EQ(decodeWriteAck(b, 134, 34), "写入失败!写保护!");

    b.store(shortReply(0x80, 0, Bytes(12, 0)));
    EXPECT_EQ(decodeWriteAck(b, 134, 34), kWriteFailed);

    // A late reply to another command, or a corrupted one, is no acknowledgement.
    b.store(longReply(35, 0));
    EXPECT_EQ(decodeWriteAck(b, 134, 34), kWriteFailed);
    Bytes corrupted = longReply(34, 0);
    corrupted.back() ^= 0x40;
    b.store(corrupted);
    EXPECT_EQ(decodeWriteAck(b, 134, 34), kWriteFailed);

    // A chunk cut before the response code fails rather than reading older bytes.
    Bytes cut = longReply(34, 0);
    b.store(longReply(34, 7));
    cut.resize(13);  // ends at the byte count
    b.store(cut);
    EXPECT_EQ(decodeWriteAck(b, 134, 34), kWriteFailed);
}

}  // namespace
}  // namespace hart
