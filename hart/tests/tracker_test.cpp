#include "hart/tracker.h"

#include <gtest/gtest.h>

#include "hart/tests/reply_builder.h"
#include "hart/texts.h"

namespace hart {
namespace {

using testing::Bytes;
using testing::longReply;

struct FakeTimer : Timer {
    bool on = false;
    int starts = 0;  // times the period was (re)started
    void enable() override {
        if (!on) ++starts;
        on = true;
    }
    void disable() override { on = false; }
    bool enabled() const override { return on; }
};

struct TrackerTest : ::testing::Test {
    FakeTimer parse, response;
    RequestTracker tracker{parse, response};
};

TEST_F(TrackerTest, AChunkWithNothingPendingIsOnlyCounted) {
    const auto r = tracker.chunkReceived(Bytes{1, 2, 3});
    EXPECT_FALSE(r.shown);
    EXPECT_EQ(tracker.receivedBytes(), 3);
    EXPECT_FALSE(parse.on);
}

TEST_F(TrackerTest, ReplyThenDecode) {
    tracker.requestSent({103, TimeoutKind::Read, 3, true}, true);
    EXPECT_TRUE(response.on);
    const auto r = tracker.chunkReceived(longReply(3, 0));
    EXPECT_TRUE(r.shown);
    EXPECT_EQ(r.hex.substr(0, 6), "FF FF ");
    EXPECT_TRUE(parse.on);
    EXPECT_FALSE(response.on);
    const auto due = tracker.parseTick();
    ASSERT_TRUE(due);
    EXPECT_EQ(due->tag, 103);
    EXPECT_EQ(due->command, 3);
    EXPECT_EQ(tracker.pending().tag, kNoTag);
    EXPECT_FALSE(parse.on);
    // A second chunk (the tail of a split reply) is only counted.
    EXPECT_FALSE(tracker.chunkReceived(Bytes{0x00}).shown);
}

TEST_F(TrackerTest, TimeoutTextsByKindAndALateReplyIsStillDecoded) {
    struct Case {
        TimeoutKind kind;
        std::optional<std::string_view> text;
    };
    const Case cases[] = {{TimeoutKind::Read, text::kReadTimeout},
                          {TimeoutKind::Write, text::kWriteTimeout},
                          {TimeoutKind::Poll, std::nullopt}};
    for (const auto& c : cases) {
        tracker.requestSent({134, c.kind, 34, true}, true);
        EXPECT_EQ(tracker.responseTick(), c.text);
        EXPECT_FALSE(response.on);
        EXPECT_EQ(tracker.pending().tag, 134);
    }
    EXPECT_TRUE(tracker.chunkReceived(longReply(34, 0)).shown);
    ASSERT_TRUE(tracker.parseTick());
}

TEST_F(TrackerTest, ANewRequestDoesNotRestartARunningResponseTimer) {
    tracker.requestSent({103, TimeoutKind::Read, 3, true}, true);
    tracker.requestSent({102, TimeoutKind::Read, 2, true}, true);
    EXPECT_EQ(response.starts, 1);
    EXPECT_EQ(tracker.pending().tag, 102);
}

TEST_F(TrackerTest, ScanRequestsDoNotStartTheResponseTimer) {
    tracker.requestSent({kPollTag, TimeoutKind::Poll, 0, true}, false);
    EXPECT_FALSE(response.on);
}

TEST_F(TrackerTest, TheConsoleShowsEveryChunkAndNeverDecodes) {
    tracker.requestSent({kConsoleTag, TimeoutKind::Read, kTypedCommand}, true);
    parse.on = true;
    for (int i = 0; i < 3; ++i) {
        const auto r = tracker.chunkReceived(Bytes{0xFF, 0x81, static_cast<std::uint8_t>(i)});
        EXPECT_TRUE(r.shown);
        EXPECT_FALSE(parse.on);
        EXPECT_FALSE(response.on);
    }
    EXPECT_FALSE(tracker.parseTick());
    EXPECT_EQ(tracker.pending().tag, kConsoleTag);
}

TEST_F(TrackerTest, ALongChunkCountsAndLogs255Bytes) {
    tracker.requestSent({103, TimeoutKind::Read, 3, true}, true);
    const auto r = tracker.chunkReceived(Bytes(300, 0xAB));
    EXPECT_EQ(r.kept, 255u);
    EXPECT_EQ(r.hex.size(), 255u * 3);
    EXPECT_EQ(tracker.receivedBytes(), 255);
}

TEST_F(TrackerTest, TagsWithoutADecoderDecodeNothingAndKeepTheirTag) {
    tracker.requestSent({777, TimeoutKind::Read, 1, false}, true);
    tracker.chunkReceived(longReply(1, 0));
    EXPECT_FALSE(tracker.parseTick());
    EXPECT_EQ(tracker.pending().tag, 777);
}

}  // namespace
}  // namespace hart
