#include "sim/loop.h"

#include <gtest/gtest.h>

#include <string>

#include "sim_test_util.h"

namespace hartsim {
namespace {

using simtest::bytesOf;
using simtest::SeenReply;
using simtest::seeReply;
using simtest::wireFloat;
using Bytes = std::vector<std::uint8_t>;

Identity at(std::uint8_t address, std::uint8_t manufacturer = 0x26, std::uint32_t id = 0x1234) {
    Identity i;
    i.pollingAddress = address;
    i.manufacturer = manufacturer;
    i.deviceId = id;
    return i;
}

struct Rig {
    explicit Rig(std::vector<Identity> ids = {Identity{}}, int preambles = 5)
        : loop(devicesFor(ids), preambles, [this](const std::string& s) { log.push_back(s); }) {}

    static std::vector<Device> devicesFor(const std::vector<Identity>& ids) {
        std::vector<Device> out;
        for (const Identity& i : ids) out.push_back(makeDevice(i));
        return out;
    }

    // Sends a frame and returns the bytes the loop answers with (empty: no answer).
    std::vector<std::uint8_t> exchange(const hart::Frame& frame, double now = 1.0) {
        loop.receive(bytesOf(frame), now);
        const auto out = loop.takeOutbox();
        if (out.empty()) return {};
        EXPECT_EQ(out.size(), 1u);
        return out[0].allBytes();
    }

    hart::DeviceIdentity identity(std::size_t i = 0) { return hartIdentity(loop.devices()[i]); }

    std::vector<std::string> log;
    Loop loop;
};

TEST(LoopAddressing, ShortFramesByPollingAddress) {
    Rig rig({at(0), at(3, 0x26, 0x5678)});
    struct Case {
        std::uint8_t master;
        std::uint8_t address;
        bool answered;
        std::uint8_t idLow;
    } cases[] = {
        {0x80, 0, true, 0x34}, {0x00, 0, true, 0x34}, {0x80, 3, true, 0x78},
        {0x00, 3, true, 0x78}, {0x80, 1, false, 0},   {0x80, 15, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int{c.address});
        const auto reply = seeReply(rig.exchange(hart::shortFrame(c.master, c.address)));
        ASSERT_EQ(reply.found, c.answered);
        if (!c.answered) continue;
        EXPECT_TRUE(reply.checkOk);
        EXPECT_EQ(reply.preambles, 5u);
        EXPECT_EQ(reply.delimiter, 0x06);
        EXPECT_EQ(reply.address, (std::vector<std::uint8_t>{std::uint8_t(c.master | c.address)}));
        EXPECT_EQ(reply.command, 0);
        EXPECT_EQ(reply.byteCount, 14);
        EXPECT_EQ(reply.data.at(11), c.idLow);
    }
}

TEST(LoopAddressing, LongFramesByTheLowSixBitsOfTheManufacturer) {
    Rig rig({at(0, 0x66)});  // 0x66 & 0x3F = 0x26
    hart::DeviceIdentity id = rig.identity();
    for (std::uint8_t master : {0x80, 0x00}) {
        const auto reply = seeReply(rig.exchange(hart::longFrame(master, id, 1)));
        ASSERT_TRUE(reply.found);
        EXPECT_EQ(reply.delimiter, 0x86);
        EXPECT_EQ(reply.address,
                  (std::vector<std::uint8_t>{std::uint8_t(master | 0x26), 0x06, 0x00, 0x12, 0x34}));
        EXPECT_EQ(reply.byteCount, 7);
    }
    hart::DeviceIdentity other = id;
    other.deviceId[2] ^= 1;
    EXPECT_TRUE(rig.exchange(hart::longFrame(0x80, other, 1)).empty());
    other = id;
    other.deviceType ^= 1;
    EXPECT_TRUE(rig.exchange(hart::longFrame(0x80, other, 1)).empty());
    // Before any poll the tool addresses all zeros: nobody answers.
    EXPECT_TRUE(rig.exchange(hart::longFrame(0x80, hart::DeviceIdentity{}, 1)).empty());
    EXPECT_EQ(rig.log.back(), "# ignored: no device at this address");
}

TEST(LoopAddressing, Command6MovesTheDevice) {
    Rig rig;
    const std::uint8_t five[] = {5};
    auto reply = seeReply(rig.exchange(hart::longFrame(0x80, rig.identity(), 6, five)));
    ASSERT_TRUE(reply.found);
    EXPECT_EQ(reply.responseCode, 0);
    EXPECT_TRUE(rig.exchange(hart::shortFrame(0x80, 0)).empty());
    reply = seeReply(rig.exchange(hart::shortFrame(0x80, 5)));
    ASSERT_TRUE(reply.found);
    EXPECT_EQ(reply.address, (std::vector<std::uint8_t>{0x85}));
}

TEST(LoopAddressing, WrongCheckByteIsIgnoredButLogged) {
    Rig rig;
    hart::Frame bad = hart::shortFrame(0x80, 0);
    auto bytes = bytesOf(bad);
    bytes.back() ^= 0x40;
    rig.loop.receive(bytes, 1.0);
    EXPECT_TRUE(rig.loop.takeOutbox().empty());
    ASSERT_EQ(rig.log.size(), 2u);
    EXPECT_EQ(rig.log[0], "RX FF FF FF FF FF FF 02 80 00 00 C2 ");
    EXPECT_EQ(rig.log[1], "# ignored: wrong check byte");
}

TEST(LoopAddressing, ReplyPreamblesAreConfigurable) {
    Rig rig({Identity{}}, 12);
    EXPECT_EQ(seeReply(rig.exchange(hart::shortFrame(0x80, 0))).preambles, 12u);
}

TEST(LoopLog, RequestIsLoggedInHexAsReceived) {
    Rig rig;
    rig.exchange(hart::longFrame(0x80, rig.identity(), 3));
    ASSERT_FALSE(rig.log.empty());
    EXPECT_EQ(rig.log[0], "RX FF FF FF FF FF FF FF FF 82 A6 06 00 12 34 03 00 07 ");
}

TEST(LoopFaults, EachFaultShapesTheReply) {
    const auto plain = [] {
        Rig rig;
        return rig.exchange(hart::shortFrame(0x80, 0));
    }();
    ASSERT_TRUE(seeReply(plain).checkOk);

    {
        Rig rig;
        EXPECT_EQ(rig.loop.command("silent on"), "OK silent on");
        EXPECT_TRUE(rig.exchange(hart::shortFrame(0x80, 0)).empty());
        rig.loop.command("silent off");
        EXPECT_FALSE(rig.exchange(hart::shortFrame(0x80, 0)).empty());
    }
    {
        Rig rig;
        rig.loop.command("badcheck on");
        const auto reply = seeReply(rig.exchange(hart::shortFrame(0x80, 0)));
        ASSERT_TRUE(reply.found);
        EXPECT_FALSE(reply.checkOk);
    }
    {
        Rig rig;
        rig.loop.command("garbage on");
        const auto bytes = rig.exchange(hart::shortFrame(0x80, 0));
        ASSERT_GT(bytes.size(), plain.size());
        EXPECT_NE(bytes[0], 0xFF);
        EXPECT_TRUE(std::equal(plain.begin(), plain.end(), bytes.end() - plain.size()));
    }
    {
        Rig rig;
        rig.loop.command("split on");
        rig.loop.command("delay 4");
        rig.loop.receive(bytesOf(hart::shortFrame(0x80, 0)), 1.0);
        const auto out = rig.loop.takeOutbox();
        ASSERT_EQ(out.size(), 1u);
        ASSERT_EQ(out[0].pieces.size(), 2u);
        EXPECT_DOUBLE_EQ(out[0].pieces[0].pauseBeforeS, 4.0);
        EXPECT_GT(out[0].pieces[1].pauseBeforeS, 0.3);  // longer than the tool's chunk gap
        EXPECT_EQ(out[0].allBytes(), plain);
    }
}

TEST(LoopFaults, StatusBitsJoinTheDevicesOwnAndNanReplacesTheLiveValues) {
    Rig rig;
    rig.loop.command("status 0x81");
    rig.loop.command("nan on");
    // Each command with the data offsets of the floats that go out as 7F A0 00 00.
    const std::pair<std::uint8_t, std::vector<std::size_t>> cases[] = {
        {1, {1}}, {2, {0, 4}}, {3, {5, 10, 15, 20}}, {15, {11}}};
    for (const auto& [command, offsets] : cases) {
        const auto r = seeReply(rig.exchange(hart::longFrame(0x80, rig.identity(), command)));
        EXPECT_EQ(r.status & 0x81, 0x81);  // the first reply also says cold start
        ASSERT_GE(r.data.size(), offsets.back() + 4);
        for (std::size_t at : offsets) {
            EXPECT_EQ(Bytes(r.data.begin() + at, r.data.begin() + at + 4),
                      (Bytes{0x7F, 0xA0, 0x00, 0x00}))
                << int(command);
        }
    }
}

TEST(LoopFaults, ProtectAndBusyReachTheDevices) {
    Rig rig({at(0), at(1)});
    rig.loop.command("protect on");
    rig.loop.command("busy on");
    for (const Device& d : rig.loop.devices()) {
        EXPECT_TRUE(d.writeProtect);
        EXPECT_TRUE(d.busy);
    }
    const auto reply = seeReply(rig.exchange(hart::shortFrame(0x80, 1)));
    EXPECT_EQ(reply.responseCode, rc::kBusy);
    EXPECT_EQ(reply.byteCount, 2);
}

TEST(LoopCommands, OperatorLines) {
    const struct {
        const char* line;
        const char* answer;
    } cases[] = {
        {"silent on", "OK silent on"},
        {"  busy   off ", "OK busy off"},
        {"delay 2.5", "OK delay 2.5"},
        {"delay 0", "OK delay 0"},
        {"protect on", "OK protect on"},
        {"status 0x81", "OK status 0x81"},
        {"status 300", "ERR unknown command: status 300"},
        {"nan on", "OK nan on"},
        {"grant 300", "OK grant 300"},
        {"grant -1", "ERR unknown command: grant -1"},
        {"delay -1", "ERR unknown command: delay -1"},
        {"delay x", "ERR unknown command: delay x"},
        {"silent maybe", "ERR unknown command: silent maybe"},
        {"reboot", "ERR unknown command: reboot"},
        {"quit now", "ERR unknown command: quit now"},
        {"dac-error 1.01 0.03", "OK dac-error 1.01 0.03"},
        {"dac-error 1 nan", "ERR unknown command: dac-error 1 nan"},
    };
    Rig rig;
    for (const auto& c : cases) EXPECT_EQ(rig.loop.command(c.line), c.answer);
    EXPECT_DOUBLE_EQ(rig.loop.faults().delayS, 0.0);
    EXPECT_TRUE(rig.loop.faults().silent);
    EXPECT_EQ(rig.loop.faults().status, 0x81);
    EXPECT_EQ(rig.loop.faults().grantMs, 300u);
    EXPECT_NEAR(rig.loop.devices()[0].dacError.at20mA, 0.03 + 0.16, 1e-12);
    EXPECT_FALSE(rig.loop.quitRequested());
    EXPECT_EQ(rig.loop.command("quit"), "OK quit");
    EXPECT_TRUE(rig.loop.quitRequested());
}

TEST(LoopBurst, BurstsTheChosenCommandWhileOn) {
    Rig rig;
    const std::uint8_t two[] = {2}, on[] = {1}, off[] = {0};
    rig.exchange(hart::longFrame(0x80, rig.identity(), 108, two), 1.0);
    const auto reply = seeReply(rig.exchange(hart::longFrame(0x80, rig.identity(), 109, on), 1.0));
    EXPECT_EQ(reply.address[0] & kBurstBit, kBurstBit);  // replies show burst mode too

    std::vector<SeenReply> bursts;
    for (double t = 1.0; t < 12.0; t += 0.1) {
        rig.loop.tick(t, true);
        for (const Transmission& tr : rig.loop.takeOutbox())
            bursts.push_back(seeReply(tr.allBytes()));
    }
    ASSERT_GE(bursts.size(), 3u);
    ASSERT_LE(bursts.size(), 6u);
    for (const SeenReply& b : bursts) {
        EXPECT_TRUE(b.checkOk);
        EXPECT_EQ(b.delimiter, kBurstDelimiter);
        EXPECT_EQ(b.address[0] & 0x7F, kBurstBit | 0x26);
        EXPECT_EQ(b.command, 2);
        EXPECT_EQ(b.data.size(), 8u);
    }
    EXPECT_NE(bursts[0].address[0] & 0x80, bursts[1].address[0] & 0x80);

    rig.exchange(hart::longFrame(0x80, rig.identity(), 109, off), 12.0);
    for (double t = 12.0; t < 20.0; t += 0.1) rig.loop.tick(t, true);
    EXPECT_TRUE(rig.loop.takeOutbox().empty());
}

// HART 7's messages: each publishes its own command and device variables, in turn.
TEST(LoopBurst, Hart7MessagesPublishWhatTheyAreConfiguredTo) {
    Rig rig;
    const auto send = [&](int command, std::vector<std::uint8_t> data) {
        return seeReply(rig.exchange(hart::longFrame(0x80, rig.identity(), command, data)));
    };
    EXPECT_EQ(send(107, {1, 250, 250, 250, 250, 250, 250, 250, 0}).responseCode, 0);
    EXPECT_EQ(send(108, {0, 9, 0}).responseCode, 0);
    EXPECT_EQ(send(108, {0, 2, 1}).responseCode, 0);
    EXPECT_EQ(send(109, {1, 0}).responseCode, 0);
    EXPECT_EQ(send(109, {1, 1}).responseCode, 0);
    EXPECT_EQ(send(109, {1, 3}).responseCode, 9);  // no message 3
    std::vector<SeenReply> bursts;
    for (double t = 1.0; t < 9.0; t += 0.1) {
        rig.loop.tick(t, true);
        for (const Transmission& tr : rig.loop.takeOutbox())
            bursts.push_back(seeReply(tr.allBytes()));
    }
    ASSERT_GE(bursts.size(), 2u);
    EXPECT_EQ(bursts[0].command, 9);
    ASSERT_EQ(bursts[0].data.size(), 1u + 8u + 4u);  // one slot and the time stamp
    EXPECT_EQ(bursts[0].data[1], 1);                 // the sensor temperature
    EXPECT_EQ(bursts[0].data[3], kUnitDegC);
    EXPECT_EQ(bursts[1].command, 2);
}

TEST(LoopBurst, WaitsWhileTheLineIsBusy) {
    Rig rig;
    rig.loop.devices()[0].settings.burstMode = true;
    for (double t = 0.0; t < 10.0; t += 0.1) rig.loop.tick(t, false);
    EXPECT_TRUE(rig.loop.takeOutbox().empty());
    rig.loop.tick(10.0, true);
    EXPECT_EQ(rig.loop.takeOutbox().size(), 1u);
}

TEST(LoopParsing, HalfFrameIsDroppedAfterTheLineGoesQuiet) {
    Rig rig;
    const std::vector<std::uint8_t> cut{0xFF, 0xFF, 0xFF, 0x02, 0x80};
    rig.loop.receive(cut, 1.0);
    rig.loop.receive(bytesOf(hart::shortFrame(0x80, 0)), 1.1);
    EXPECT_TRUE(rig.loop.takeOutbox().empty());
    rig.loop.tick(1.2, true);
    EXPECT_TRUE(rig.loop.takeOutbox().empty());  // not quiet long enough yet
    rig.loop.tick(1.1 + kAbandonFrameS + 0.01, true);
    EXPECT_EQ(rig.loop.takeOutbox().size(), 1u);
    EXPECT_EQ(rig.log[0].rfind("NOISE FF FF FF 02 80 ", 0), 0u);
}

Transmission twoPieces() {
    Transmission t;
    t.pieces.push_back({0.0, {0xFF, 0xFF, 0x06}});
    t.pieces.push_back({0.5, {0x80, 0x00}});
    return t;
}

TEST(Pacer, PacesBytesAtTheLineRateAfterTheTurnaround) {
    Pacer pacer(false);
    pacer.queue(twoPieces(), 10.0);
    const auto writes = pacer.takeDue(100.0);
    ASSERT_EQ(writes.size(), 5u);
    EXPECT_NEAR(writes[0].at, 10.0 + Pacer::kTurnaroundS, 1e-9);
    EXPECT_NEAR(writes[2].at - writes[1].at, Pacer::kByteTimeS, 1e-9);
    EXPECT_NEAR(writes[3].at - writes[2].at, Pacer::kByteTimeS + 0.5, 1e-9);
    for (std::size_t i = 0; i + 1 < writes.size(); ++i) EXPECT_FALSE(writes[i].logLine);
    EXPECT_EQ(writes.back().logLine, "TX FF FF 06 80 00 ");
    EXPECT_TRUE(pacer.idle());
}

TEST(Pacer, FastModeWritesEachPieceAtOnceAndKeepsTheGaps) {
    Pacer pacer(true);
    pacer.queue(twoPieces(), 10.0);
    pacer.queue(twoPieces(), 10.0);  // the second waits for the first
    EXPECT_EQ(pacer.takeDue(10.0).size(), 1u);
    EXPECT_EQ(pacer.nextAt(), 10.5);
    const auto rest = pacer.takeDue(11.0);
    ASSERT_EQ(rest.size(), 3u);
    EXPECT_EQ(rest[0].bytes, (std::vector<std::uint8_t>{0x80, 0x00}));
    EXPECT_TRUE(rest[0].logLine);
    EXPECT_EQ(rest[2].at, 11.0);
}

}  // namespace
}  // namespace hartsim
