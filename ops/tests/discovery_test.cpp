#include "ops/discovery.h"

#include <gtest/gtest.h>

#include "hart/tests/reply_builder.h"
#include "hart/texts.h"
#include "ops/operation.h"
#include "ops/tests/op_test_util.h"

namespace ops {
namespace {

using namespace testing;

hart::Outcome decodePoll(const hart::ReceiveBuffer& b, Session& s) {
    return decode({hart::kPollTag, hart::TimeoutKind::Read, 0, true}, b, s);
}

Request poll(Session& s, int item, int master) {
    auto c = testing::validControls();
    c.setIndex("ComboBox9", item).setIndex("ComboBox8", master);
    return build("Button3", c, s);
}

TEST(Poll, SinglePollFrameAndTracking) {
    Session s;
    const Request r = poll(s, 5, 1);
    EXPECT_EQ(wire(r), "FF FF FF FF FF FF 02 05 00 00 07 ");
    EXPECT_EQ(s.identity.polledAddress, 5);
    EXPECT_EQ(r.pending.tag, hart::kPollTag);
    EXPECT_EQ(r.pending.kind, hart::TimeoutKind::Read);
    EXPECT_TRUE(timesResponse(r.procedure));
    EXPECT_TRUE(clearsLog(r.procedure));
    EXPECT_FALSE(r.pause);
    EXPECT_EQ(r.startText, hart::text::kReading);
}

TEST(Poll, ScanSendsZeroThenOneToFifteenAsPrimaryThenGivesUp) {
    Session s;
    auto c = testing::validControls();
    c.setIndex("ComboBox8", 1);  // secondary master chosen
    const Request first = build("Button16", c, s);
    EXPECT_EQ(wire(first), "FF FF FF FF FF FF 02 00 00 00 02 ");
    EXPECT_FALSE(clearsLog(first.procedure));
    EXPECT_FALSE(timesResponse(first.procedure));
    EXPECT_EQ(first.pending.kind, hart::TimeoutKind::Poll);
    EXPECT_TRUE(startsScan(first.procedure));
    ASSERT_EQ(first.before.size(), 1u);
    EXPECT_EQ(first.before[0].text, "#0");
    for (int address = 1; address <= 15; ++address) {
        const ScanStep step = scanStep(c, s);
        ASSERT_TRUE(step.request) << address;
        EXPECT_EQ(step.request->frame[7], 0x80 | address);  // primary whatever the box says
        EXPECT_TRUE(clearsLog(step.request->procedure));
        EXPECT_FALSE(timesResponse(step.request->procedure));
        EXPECT_EQ(step.request->before[0].text, "#" + std::to_string(address));
    }
    const ScanStep last = scanStep(c, s);
    EXPECT_FALSE(last.request);
    EXPECT_EQ(last.notFound, hart::text::kNotFound);
}

TEST(Poll, AnAnswerFillsTheIdentityAndEndsTheScan) {
    Session s;
    s.identity.polledAddress = 3;
    hart::ReceiveBuffer b;
    b.store(shortReply(0x83, 0, command0Data(0x60, 0x06, {0x00, 0x01, 0x02})));
    const hart::Outcome out = decodePoll(b, s);
    EXPECT_EQ(out.status, hart::text::kReadOk);
    EXPECT_TRUE(out.stopScan);
    EXPECT_EQ(textOf(out, "Edit1"), "96");
    EXPECT_EQ(textOf(out, "Edit2"), "6");
    EXPECT_EQ(textOf(out, "Edit3"), "5");
    EXPECT_EQ(textOf(out, "Edit4"), "258");
    EXPECT_EQ(textOf(out, "Edit28"), "258");
    EXPECT_EQ(selectionOf(out, "ComboBox9"), 3);
    EXPECT_EQ(selectionOf(out, "ComboBox3"), 3);
    EXPECT_EQ(s.identity.manufacturer, 0x60);
    EXPECT_EQ(s.identity.deviceIdNumber(), 258u);
    // The next long frame carries the identity; only six bits of the manufacturer code.
    const hart::Frame f = hart::longFrame(masterBit(0), s.identity, 3);
    EXPECT_EQ(hart::hexText(f.bytes().subspan(9, 5)), "A0 06 00 01 02 ");
}

TEST(Poll, FailuresKeepTheStoredIdentity) {
    const Bytes reply = shortReply(0x80, 0, command0Data(0x26, 0x06, {0x00, 0x12, 0x34}), 1);
    Bytes truncated = shortReply(0x80, 0, command0Data(0x11, 0x22, {9, 9, 9}), 2);
    truncated.resize(14);  // ends before the identifier
    Bytes corrupted = shortReply(0x80, 0, command0Data(0x11, 0x22, {9, 9, 9}), 2);
    corrupted.back() ^= 0xFF;
    const struct {
        const char* what;
        Bytes chunk;
    } cases[] = {
        {"reply at index 0", reply},
        {"no short reply", {0xFF, 0xFF, 0x86, 0x00, 0x00, 0x00}},
        {"cut before the identifier", truncated},
        {"wrong check byte", corrupted},
        {"reply to another command", shortReply(0x80, 1, command0Data(1, 2, {1, 2, 3}))},
    };
    for (const auto& c : cases) {
        Session s;
        s.identity.manufacturer = 0x26;
        hart::ReceiveBuffer b;
        b.store(Bytes(40, 0xFF));  // older bytes that must not be read as data
        b.store(c.chunk);
        const hart::Outcome out = decodePoll(b, s);
        EXPECT_EQ(out.status, hart::text::kReadFailed) << c.what;
        EXPECT_FALSE(out.stopScan) << c.what;
        EXPECT_EQ(textOf(out, "Edit1"), "") << c.what;
        EXPECT_EQ(selectionOf(out, "ComboBox9"), 0) << c.what;
        EXPECT_EQ(s.identity.manufacturer, 0x26) << c.what;
    }
}

TEST(Console, ParsesHexEntries) {
    const struct {
        std::string entry;
        const char* wire;  // nullptr: refused
        const char* refusal;
    } cases[] = {
        {"76 89 FD AD", "FF FF FF FF FF FF 76 89 FD AD AF ", ""},
        {"02 80 00 00", "FF FF FF FF FF FF 02 80 00 00 82 ", ""},
        {"02 80 00 00 ", "FF FF FF FF FF FF 02 80 00 00 82 ", ""},
        {"02 8", "FF FF FF FF FF FF 02 02 ", ""},
        {"02-80", nullptr, "NO SPACK"},
        {"0", nullptr, "NO SPACK"},
        {"", nullptr, "NO SPACK"},
        {"0G 80", nullptr, "Data eeore!"},
        {"fd 00", nullptr, "Data eeore!"},
        {"\u4e2d\u6587", nullptr, "Data eeore!"},
        {"00\u00e9 00", nullptr, "NO SPACK"},  // one code point, not two bytes
    };
    for (const auto& c : cases) {
        auto controls = testing::validControls();
        controls.setText("Edit8", c.entry);
        Session s;
        const Request r = build("Button17", controls, s);
        EXPECT_TRUE(blanksEchoFirst(r.procedure));
        EXPECT_EQ(r.startText, hart::text::kWriting);
        if (c.wire == nullptr) {
            EXPECT_EQ(r.refusal, c.refusal) << c.entry;
            EXPECT_FALSE(r.refusalIsError);
            EXPECT_EQ(r.frame.size(), 0u);
        } else {
            EXPECT_EQ(r.refusal, "");
            EXPECT_EQ(wire(r), c.wire);
            EXPECT_EQ(r.pending.tag, hart::kConsoleTag);
            EXPECT_FALSE(r.pending.decodes);
            EXPECT_EQ(r.pending.kind, hart::TimeoutKind::Read);
            EXPECT_TRUE(timesResponse(r.procedure));
            EXPECT_EQ(r.echo, Echo::Always);
        }
    }
}

TEST(Console, SendsAtMostFifteenBytes) {
    std::string entry;
    for (int i = 0; i < 16; ++i) entry += "0A ";
    auto controls = testing::validControls();
    controls.setText("Edit8", entry);
    Session s;
    EXPECT_EQ(build("Button17", controls, s).frame.size(), 22u);
}

TEST(Console, TheTimeoutOfAShortFrameAHart7DeviceNeverAnswersSaysWhy) {
    const hart::testing::Bytes command1 = {0xFF, 0xFF, 0x02, 0x80, 0x01, 0x00, 0x83};
    const std::tuple<hart::testing::Bytes, std::optional<std::uint8_t>, bool> rows[] = {
        {command1, 7, true},
        {command1, 5, false},
        {command1, std::nullopt, false},                                           // no poll
        {{0xFF, 0x02, 0x80, 0x00, 0x00, 0x82}, 7, false},                          // command 0
        {{0xFF, 0x82, 0xA6, 0x06, 0x00, 0x12, 0x34, 0x01, 0x00, 0x17}, 7, false},  // long
        {{0xFF, 0x02, 0x80}, 7, false},
    };
    for (const auto& [frame, revision, hint] : rows) {
        Session s;
        s.hartRevision = revision;
        EXPECT_EQ(!noReplyHint(frame, s).empty(), hint) << hart::hexText(frame);
    }
}

TEST(RequestPolicy, MasterBitOfTheRoleBox) {
    EXPECT_EQ(masterBit(0), 0x80);
    EXPECT_EQ(masterBit(1), 0x00);
    EXPECT_EQ(masterBit(-1), 0x00);
}

}  // namespace
}  // namespace ops
