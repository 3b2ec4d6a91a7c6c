#include "hart/reply.h"

#include <gtest/gtest.h>

#include "hart/tests/reply_builder.h"

namespace hart {
namespace {

using testing::Bytes;
using testing::concat;
using testing::longReply;
using testing::shortReply;

ReceiveBuffer received(const Bytes& chunk) {
    ReceiveBuffer b;
    b.store(chunk);
    return b;
}

TEST(ReceiveBuffer, KeepsAtMost255BytesAndNeverClears) {
    ReceiveBuffer b;
    EXPECT_EQ(b.store(Bytes(300, 0x11)), 255u);
    EXPECT_EQ(b.length(), 255u);
    EXPECT_EQ(b.store(Bytes{0x22, 0x33}), 2u);
    EXPECT_EQ(b[0], 0x22);
    EXPECT_EQ(b[2], 0x11);  // left by the older chunk
    EXPECT_EQ(b.scanLimit(), -2);
}

TEST(FindReply, TheLastPreambleIsTheReplyStart) {
    const auto b = received(longReply(3, 0, Bytes(24, 0)));
    const auto r = findReply(b, {kLongReplyDelimiter, ScanWindow::Standard, 3});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->start(), 4u);
    EXPECT_EQ(r->at(7), 3);
}

TEST(FindReply, WindowsAndChunkLengths) {
    struct Case {
        const char* what;
        Bytes chunk;
        ReplyScan scan;
        int start;  // -1: none
    };
    const Bytes poll = shortReply(0x80, 0, Bytes(12, 0x01), 0);  // no preamble before 0x06
    const Case cases[] = {
        {"3-byte chunk", {0xFF, 0x86, 0x00}, {}, -1},
        {"short delimiter when long expected", shortReply(0x80, 0, Bytes(12, 0)), {}, -1},
        {"poll window skips index 0",
         concat({0xFF}, poll),
         {kShortReplyDelimiter, ScanWindow::FromOne, 0},
         -1},
        {"poll window finds index 1",
         concat({0xFF, 0xFF}, poll),
         {kShortReplyDelimiter, ScanWindow::FromOne, 0},
         1},
        {"standard finds index 0",
         concat({0xFF}, poll),
         {kShortReplyDelimiter, ScanWindow::Standard, 0},
         0},
        {"fixed window stops at 10",
         concat(Bytes(12, 0x00), longReply(3, 0)),
         {kLongReplyDelimiter, ScanWindow::FirstEleven, 3},
         -1},
        {"fixed window at 10",
         concat(Bytes(6, 0x00), longReply(3, 0)),
         {kLongReplyDelimiter, ScanWindow::FirstEleven, 3},
         10},
        {"count 14 condition",
         longReply(130, 0, Bytes(12, 0)),
         {kLongReplyDelimiter, ScanWindow::FirstElevenCount14, 130},
         4},
        {"count 14 condition unmet",
         longReply(130, 0, Bytes(11, 0)),
         {kLongReplyDelimiter, ScanWindow::FirstElevenCount14, 130},
         -1},
        {"count 6 condition",
         longReply(190, 0, Bytes(4, 0)),
         {kLongReplyDelimiter, ScanWindow::FirstElevenCount6, 190},
         4},
        {"command 31 count 13",
         longReply(31, 0, Bytes(11, 0)),
         {kLongReplyDelimiter, ScanWindow::Command31Count13, 31},
         4},
        {"command 31 wrong count",
         longReply(31, 0, Bytes(10, 0)),
         {kLongReplyDelimiter, ScanWindow::Command31Count13, 31},
         -1},
    };
    for (const auto& c : cases) {
        const auto b = received(c.chunk);
        const auto r = findReply(b, c.scan);
        if (c.start < 0) {
            EXPECT_FALSE(r) << c.what;
        } else {
            ASSERT_TRUE(r) << c.what;
            EXPECT_EQ(r->start(), static_cast<std::size_t>(c.start)) << c.what;
        }
    }
}

TEST(FindReply, FixedWindowDoesNotSeeAnOlderReplyPastTheChunk) {
    ReceiveBuffer b;
    b.store(longReply(144, 0, Bytes(8, 0)));
    b.store(Bytes{0x00, 0x00, 0x00});
    EXPECT_FALSE(findReply(b, {kLongReplyDelimiter, ScanWindow::FirstEleven, 144}));
}

TEST(FindReply, ACorruptedCheckByteIsPassedOver) {
    Bytes bad = longReply(3, 0, Bytes(4, 0x11));
    bad.back() ^= 0x01;
    EXPECT_FALSE(findReply(received(bad), {kLongReplyDelimiter, ScanWindow::Standard, 3}));
    // A good reply after the bad one is still found.
    const Bytes both = concat(bad, longReply(3, 0, Bytes(4, 0x11)));
    const auto b = received(both);
    const auto r = findReply(b, {kLongReplyDelimiter, ScanWindow::Standard, 3});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->start(), bad.size() + 4);
}

TEST(FindReply, AReplyToAnotherCommandIsPassedOver) {
    const Bytes late = longReply(2, 0, Bytes(8, 0));
    EXPECT_FALSE(findReply(received(late), {kLongReplyDelimiter, ScanWindow::Standard, 3}));
    EXPECT_TRUE(findReply(received(late), {kLongReplyDelimiter, ScanWindow::Standard, -1}));
}

TEST(FindReply, AnExpandedCommandsReplyMustNameItsNumber) {
    const Bytes country = longReply(31, 0, {0x02, 0x00, 'D', 'E', 0x01});
    const Bytes tag = longReply(31, 0, {0x02, 0x08, 'U', 'N'});
    const Bytes refused = longReply(31, 64);  // no data to name it
    for (const int command : {512, 520}) {
        const ReplyScan scan{kLongReplyDelimiter, ScanWindow::Standard, command};
        const auto r = findReply(received(concat(tag, country)), scan);
        ASSERT_TRUE(r) << command;
        EXPECT_EQ(r->start(), command == 512 ? tag.size() + 4 : 4u) << command;
        EXPECT_TRUE(findReply(received(refused), scan)) << command;
        EXPECT_FALSE(findReply(received(longReply(3, 0, {0x02, 0x00})), scan)) << command;
    }
}

TEST(FindReply, AnIncompleteFrameIsStillAReplyStart) {
    Bytes cut = longReply(3, 0, Bytes(24, 0x11));
    cut.resize(20);
    const auto b = received(cut);
    const auto r = findReply(b, {kLongReplyDelimiter, ScanWindow::Standard, 3});
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->has(11, 4));
    EXPECT_FALSE(r->has(11, 15));  // past the end of the chunk
}

// A reply ends as soon as its last byte is in: the check byte, wherever the frame starts.
TEST(Reply, CompleteOnceTheCheckByteIsIn) {
    const Bytes whole = longReply(3, 0, Bytes(24, 0x11));
    const Bytes noise{0x00, 0x7E, 0xFF};
    struct Case {
        const char* what;
        Bytes chunk;
        bool complete;
    };
    const Case cases[] = {
        {"whole frame", whole, true},
        {"noise first", concat(noise, whole), true},
        {"check byte missing", Bytes(whole.begin(), whole.end() - 1), false},
        {"cut in the header", Bytes(whole.begin(), whole.begin() + 8), false},
        {"error reply, two status bytes", longReply(3, 64), true},
    };
    for (const Case& c : cases) {
        const auto b = received(c.chunk);
        const auto r = findReply(b, {kLongReplyDelimiter, ScanWindow::Standard, 3});
        ASSERT_TRUE(r) << c.what;
        EXPECT_EQ(r->complete(), c.complete) << c.what;
    }
    const auto poll = received(shortReply(0x80, 0, Bytes(12, 0x01), 2));
    const auto r = findReply(poll, {kShortReplyDelimiter, ScanWindow::FromOne, 0});
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->complete());
}

TEST(Reply, FieldsPastTheByteCountAreNotThere) {
    // An error reply carries only its two status bytes; older bytes follow in the buffer.
    ReceiveBuffer b;
    b.store(longReply(3, 0, Bytes(24, 0x55)));
    const Bytes error = longReply(3, 64);
    b.store(error);
    const auto r = findReply(b, {kLongReplyDelimiter, ScanWindow::Standard, 3});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->get(9), 64);
    EXPECT_TRUE(r->has(10));
    EXPECT_FALSE(r->has(11));
    EXPECT_FALSE(r->get(11));
}

TEST(Reply, ShortReplyOffsets) {
    const Bytes data{0xFE, 0x26, 0x06, 0x05, 5, 5, 1, 1, 0, 0x00, 0x01, 0x02};
    const auto b = received(shortReply(0x80, 0, data, 2));
    const auto r = findReply(b, {kShortReplyDelimiter, ScanWindow::FromOne, 0});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->at(8), 0x26);
    ASSERT_TRUE(r->has(16, 3));
    EXPECT_EQ(r->bytes(16, 3)[2], 0x02);
    EXPECT_FALSE(r->has(19));  // the check byte is not a data byte
}

}  // namespace
}  // namespace hart
