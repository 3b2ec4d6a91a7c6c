#include "sim/parser.h"

#include <gtest/gtest.h>

#include "sim_test_util.h"

namespace hartsim {
namespace {

using simtest::bytesOf;
using simtest::concat;
using Kind = Incoming::Kind;

hart::DeviceIdentity sampleIdentity() {
    hart::DeviceIdentity id;
    id.manufacturer = 0x26;
    id.deviceType = 0x06;
    id.deviceId = {0x00, 0x12, 0x34};
    return id;
}

std::vector<std::uint8_t> withPreambles(std::vector<std::uint8_t> frame, std::size_t count) {
    // Frames built by the tool start with their own preambles; swap them for `count`.
    std::size_t i = 0;
    while (frame[i] == 0xFF) ++i;
    std::vector<std::uint8_t> out(count, 0xFF);
    out.insert(out.end(), frame.begin() + static_cast<std::ptrdiff_t>(i), frame.end());
    return out;
}

TEST(FrameParser, AcceptsEveryPreambleCountFromTwoToTwenty) {
    const std::vector<std::uint8_t> data{0x0C, 0x42, 0xC8, 0x00, 0x00};
    const auto shortBytes = bytesOf(hart::shortFrame(0x00, 5));
    const auto longBytes = bytesOf(hart::longFrame(0x80, sampleIdentity(), 35, data));
    for (std::size_t n = 2; n <= 20; ++n) {
        SCOPED_TRACE(n);
        FrameParser parser;
        const auto in =
            parser.feed(concat({withPreambles(shortBytes, n), withPreambles(longBytes, n)}));
        ASSERT_EQ(in.size(), 2u);
        EXPECT_EQ(in[0].kind, Kind::Frame);
        EXPECT_FALSE(in[0].request.isLong);
        EXPECT_EQ(in[0].request.masterBit, 0x00);
        EXPECT_EQ(in[0].request.address[0], 0x05);
        EXPECT_EQ(in[0].request.command, 0);
        EXPECT_EQ(in[0].bytes.size(), n + 5);

        EXPECT_EQ(in[1].kind, Kind::Frame);
        EXPECT_TRUE(in[1].request.isLong);
        EXPECT_EQ(in[1].request.masterBit, 0x80);
        EXPECT_EQ(in[1].request.address,
                  (std::array<std::uint8_t, 5>{0xA6, 0x06, 0x00, 0x12, 0x34}));
        EXPECT_EQ(in[1].request.command, 35);
        EXPECT_EQ(in[1].request.data, data);
        EXPECT_FALSE(parser.holdsBytes());
    }
}

TEST(FrameParser, OnePreambleIsNotEnough) {
    FrameParser parser;
    auto in = parser.feed(withPreambles(bytesOf(hart::shortFrame(0x80, 0)), 1));
    EXPECT_TRUE(in.empty());
    in = parser.idle();
    ASSERT_EQ(in.size(), 1u);
    EXPECT_EQ(in[0].kind, Kind::Noise);
}

TEST(FrameParser, FrameSplitAtEveryPointArrivesOnceWhole) {
    const auto frame = bytesOf(hart::longFrame(0x80, sampleIdentity(), 3));
    for (std::size_t cut = 1; cut < frame.size(); ++cut) {
        SCOPED_TRACE(cut);
        FrameParser parser;
        EXPECT_TRUE(parser.feed(std::span(frame).first(cut)).empty());
        const auto in = parser.feed(std::span(frame).subspan(cut));
        ASSERT_EQ(in.size(), 1u);
        EXPECT_EQ(in[0].kind, Kind::Frame);
        EXPECT_EQ(in[0].bytes, frame);
    }
}

TEST(FrameParser, WrongCheckByteIsReportedAndTheNextFrameStillParses) {
    auto bad = bytesOf(hart::shortFrame(0x80, 0));
    bad.back() ^= 0x01;
    const auto good = bytesOf(hart::longFrame(0x80, sampleIdentity(), 2));
    FrameParser parser;
    const auto in = parser.feed(concat({bad, good}));
    ASSERT_EQ(in.size(), 2u);
    EXPECT_EQ(in[0].kind, Kind::BadCheck);
    EXPECT_EQ(in[0].bytes, bad);
    EXPECT_EQ(in[1].kind, Kind::Frame);
    EXPECT_EQ(in[1].request.command, 2);
}

TEST(FrameParser, NoiseBeforeAFrameComesFirst) {
    const std::vector<std::uint8_t> junk{0x76, 0x89, 0xFF, 0xFD};
    const auto frame = bytesOf(hart::shortFrame(0x80, 3));
    FrameParser parser;
    const auto in = parser.feed(concat({junk, frame}));
    ASSERT_EQ(in.size(), 2u);
    EXPECT_EQ(in[0].kind, Kind::Noise);
    EXPECT_EQ(in[0].bytes, junk);
    EXPECT_EQ(in[1].kind, Kind::Frame);
    EXPECT_EQ(in[1].bytes, frame);
}

TEST(FrameParser, UnfinishedFrameIsDroppedWhenTheLineGoesQuiet) {
    // A typed frame without its byte count swallows the next frame as its data until the
    // line is quiet; then the parser looks again and finds it.
    const std::vector<std::uint8_t> cut{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x80};
    const auto frame = bytesOf(hart::shortFrame(0x80, 0));
    FrameParser parser;
    EXPECT_TRUE(parser.feed(concat({cut, frame})).empty());
    const auto in = parser.idle();
    ASSERT_EQ(in.size(), 2u);
    EXPECT_EQ(in[0].kind, Kind::Noise);
    EXPECT_EQ(in[1].kind, Kind::Frame);
    EXPECT_EQ(in[1].bytes, frame);
    EXPECT_FALSE(parser.holdsBytes());
}

TEST(FrameParser, RepliesOfOtherDevicesAreNotRequests) {
    // 0x06 and 0x86 are slave-to-master delimiters.
    const std::vector<std::uint8_t> reply{0xFF, 0xFF, 0x06, 0x80, 0x00, 0x02, 0x00, 0x00, 0x84};
    FrameParser parser;
    EXPECT_TRUE(parser.feed(reply).empty());
    const auto in = parser.idle();
    ASSERT_EQ(in.size(), 1u);
    EXPECT_EQ(in[0].kind, Kind::Noise);
}

}  // namespace
}  // namespace hartsim
