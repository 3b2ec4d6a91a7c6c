// HART-IP messages and names without sockets, then the link over HART-IP against the simulator
// on 127.0.0.1: replies whole, keep-alive over an idle, session loss and a new session after it.
#include "link/hartip.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "link/port_backend.h"
#include "link/tcomm.h"
#include "testing/notice_queue.h"
#include "testing/process.h"

namespace serial {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

TEST(HartIpNames, SelectHartIpOnlyForHostAndPort) {
    struct Case {
        const char* name;
        bool hartIp;
        const char* host;  // nullptr: selected, but unusable
        uint16_t port;
        hartip::Transport transport = hartip::Transport::Tcp;
    };
    const Case cases[] = {
        {"hartip://127.0.0.1", true, "127.0.0.1", 5094},
        {"HARTIP://gw-3.plant:20004/", true, "gw-3.plant", 20004},
        {"hartip://[::1]:5095", true, "::1", 5095},
        {"127.0.0.1:5094", true, "127.0.0.1", 5094},
        {"hartip://", true, nullptr, 0},
        {"hartip://host:0", true, nullptr, 0},
        {"hartip://host:65536", true, nullptr, 0},
        {"hartip://host:50x", true, nullptr, 0},
        {"hartip://a b:1", true, nullptr, 0},
        {"hartip+udp://127.0.0.1", true, "127.0.0.1", 5094, hartip::Transport::Udp},
        {"HARTIP+UDP://[::1]:5095/", true, "::1", 5095, hartip::Transport::Udp},
        {"hartip+udp://host:0", true, nullptr, 0},
        {"hartip+tcp://host:1", false, nullptr, 0},
        {"COM2", false, nullptr, 0},
        {"/dev/ttyUSB0", false, nullptr, 0},
        {"/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0", false, nullptr, 0},
        {"host:", false, nullptr, 0},
        {":5094", false, nullptr, 0},
        {"fe80::1:5094", false, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const hartip::NameKind k = hartip::parseName(c.name);
        EXPECT_EQ(k.hartIp, c.hartIp);
        EXPECT_EQ(isHartIpName(c.name), c.hartIp);
        ASSERT_EQ(k.where.has_value(), c.host != nullptr);
        if (c.host == nullptr) continue;
        EXPECT_EQ(k.where->host, c.host);
        EXPECT_EQ(k.where->port, c.port);
        EXPECT_EQ(k.transport, c.transport);
    }
}

TEST(HartIpMessages, HeadersAndBodiesAreBigEndianWithTheWholeLength) {
    struct Case {
        Bytes message;
        Bytes expected;
    };
    const Bytes poll = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x80, 0x00, 0x00, 0x82};
    const Case cases[] = {
        {hartip::sessionInitiate(0x1234, 60000),
         {1, 0, 0, 0, 0x12, 0x34, 0, 13, 1, 0x00, 0x00, 0xEA, 0x60}},
        {hartip::pduRequest(0xBEEF, poll), {1, 0, 3, 0, 0xBE, 0xEF, 0, 13, 0x02, 0x80, 0, 0, 0x82}},
        {hartip::encode(hartip::Type::Nak, hartip::Id::KeepAlive, 7, {}, 32),
         {1, 15, 2, 32, 0, 7, 0, 8}},
        {hartip::encode(hartip::Type::Request, hartip::Id::Pdu, 1, Bytes(0x10000)), {}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.message, c.expected);

    const auto h = hartip::decodeHeader(cases[1].expected);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->sequence, 0xBEEF);
    EXPECT_EQ(h->byteCount, 13);
    EXPECT_EQ(hartip::inactivityOf(Bytes(cases[0].expected.begin() + 8, cases[0].expected.end())),
              60000u);
}

TEST(HartIpMessages, TheReaderCutsAnyStreamIntoMessagesAndStopsAtAnUnreadableOne) {
    Bytes stream = hartip::sessionInitiate(1, 500);
    const Bytes pdu = hartip::pduRequest(2, Bytes{0x02, 0x80, 0x00, 0x00, 0x82});
    stream.insert(stream.end(), pdu.begin(), pdu.end());
    for (size_t step : {1u, 3u, 8u, 100u}) {
        SCOPED_TRACE(step);
        hartip::MessageReader r;
        std::vector<uint16_t> sequences;
        for (size_t at = 0; at < stream.size(); at += step) {
            r.feed(std::span(stream).subspan(at, std::min(step, stream.size() - at)));
            while (auto m = r.next()) sequences.push_back(m->header.sequence);
        }
        EXPECT_EQ(sequences, (std::vector<uint16_t>{1, 2}));
        EXPECT_EQ(r.fault(), nullptr);
    }
    const Bytes broken[] = {
        {2, 1, 3, 0, 0, 1, 0, 8},  // another version
        {1, 1, 3, 0, 0, 1, 0, 7},  // shorter than its header
        {1, 9, 3, 0, 0, 1, 0, 8},  // unknown type
    };
    for (const Bytes& b : broken) {
        hartip::MessageReader r;
        r.feed(b);
        r.feed(pdu);
        EXPECT_FALSE(r.next());
        EXPECT_NE(r.fault(), nullptr);
    }
}

TEST(HartIpMessages, RefusalsReadAsTextsAndSuccessAsNone) {
    const auto text = [](hartip::Type t, hartip::Id id, uint8_t status) {
        return hartip::statusText({hartip::kVersion, t, id, status, 0, 8});
    };
    EXPECT_EQ(text(hartip::Type::Response, hartip::Id::Pdu, 0), "");
    EXPECT_EQ(text(hartip::Type::Response, hartip::Id::SessionInitiate, 15),
              "all the device's sessions are in use (session initiate)");
    EXPECT_EQ(text(hartip::Type::Nak, hartip::Id::Pdu, 0),
              "the device refused the message (HART request)");
    EXPECT_EQ(text(hartip::Type::Error, hartip::Id::Pdu, 99),
              "the device reported an error: the device answered status 99 (HART request)");
}

// What differs between the transports for the link tests.
struct Transport {
    const char* name;
    const char* option;   // the simulator's
    const char* scheme;   // of the port name it prints
    const char* dropped;  // the link's reason when the simulator drops the session
};
const Transport kTransports[] = {
    {"Tcp", "--hartip", "hartip://127.0.0.1:", "the device closed the connection"},
    {"Udp", "--hartip-udp", "hartip+udp://127.0.0.1:", "the device closed the session"},
};

// The simulator behind a HART-IP port and the link opened on it, notices collected.
struct HartIpLink : ::testing::TestWithParam<Transport> {
    testsupport::SimProcess sim{{HART_SIM_PROGRAM, "--fast", GetParam().option, "0"}};
    testsupport::NoticeQueue notices;

    void open(TComm& comm) {
        comm.setCommName(sim.port());
        comm.setNoticeSink(&notices);
        comm.Open();
    }
    // Command 0 to address 0, as the window writes it; the reply chunk, empty for none.
    Bytes poll(TComm& comm, std::chrono::milliseconds wait = 5s) {
        const Bytes frame = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x80, 0x00, 0x00, 0x82};
        if (!comm.WriteData(frame.data(), static_cast<uint16_t>(frame.size()))) return {};
        const auto n = notices.nextOf(Notice::Data, wait);
        return n ? n->data : Bytes{};
    }
};

bool isPollReply(const Bytes& chunk) {
    // Preambles as on a line, the short reply delimiter, address 0, command 0, and the whole
    // frame: delimiter, address, command, byte count (2 + 12 data bytes), check byte.
    return chunk.size() == 5 + 4 + 14 + 1 && chunk[4] == 0xFF && chunk[5] == 0x06 &&
           chunk[7] == 0x00 && chunk[8] == 14;
}

TEST_P(HartIpLink, ARequestGetsItsWholeReplyAsOneChunkAndTheSimulatorSeesTheFrame) {
    ASSERT_EQ(sim.port().rfind(GetParam().scheme, 0), 0u) << sim.port();
    TComm comm;
    open(comm);
    EXPECT_TRUE(isPollReply(poll(comm)));
    EXPECT_NE(sim.waitLine("RX").find("02 80 00 00 82"), std::string::npos);

    TComm second;  // another client at the same time
    second.setCommName(sim.port());
    testsupport::NoticeQueue secondNotices;
    second.setNoticeSink(&secondNotices);
    second.Open();
    const Bytes frame = {0xFF, 0xFF, 0x02, 0x80, 0x00, 0x00, 0x82};
    ASSERT_TRUE(second.WriteData(frame.data(), static_cast<uint16_t>(frame.size())));
    const auto reply = secondNotices.nextOf(Notice::Data);
    ASSERT_TRUE(reply);
    EXPECT_TRUE(isPollReply(reply->data));
    EXPECT_TRUE(isPollReply(poll(comm)));
}

// The device grants a shorter inactivity time than asked, with status 8: the session stands,
// and keep-alives by the granted time hold it over an idle several times as long.
TEST_P(HartIpLink, KeepAlivesHoldASessionOverAnIdleLongerThanItsGrantedInactivityTime) {
    ASSERT_TRUE(sim.command("grant 300"));
    TComm comm(makeHartIpBackend({.inactivityMs = 30000}));
    open(comm);
    EXPECT_NE(sim.waitLine("# session opened").find("300 ms (asked 30000)"), std::string::npos);
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(isPollReply(poll(comm)));
    EXPECT_FALSE(notices.nextOf(Notice::Hangup, 10ms));
    EXPECT_FALSE(sim.waitLine("# keep-alive", 10ms).empty());
    for (const std::string& l : sim.lines()) EXPECT_EQ(l.find("# session ended"), l.npos) << l;
}

// Each request its own sequence number, counting up; a reply to a request given up (more were
// sent since than the link awaits at once) is handed on to nobody.
TEST_P(HartIpLink, RequestsCountUpAndALateReplyToOneGivenUpIsNotDelivered) {
    TComm comm;
    open(comm);
    ASSERT_TRUE(sim.command("delay 1"));
    const Bytes frame = {0xFF, 0xFF, 0x02, 0x80, 0x00, 0x00, 0x82};
    constexpr int kRequests = 17;  // one more than the link awaits
    for (int i = 0; i < kRequests; ++i)
        ASSERT_TRUE(comm.WriteData(frame.data(), static_cast<uint16_t>(frame.size())));
    for (int i = 1; i < kRequests; ++i) ASSERT_TRUE(notices.nextOf(Notice::Data)) << i;
    EXPECT_FALSE(notices.nextOf(Notice::Data, 1500ms));
    std::vector<int> sequences;
    for (const std::string& l : sim.lines())
        if (l.starts_with("# request ")) sequences.push_back(std::stoi(l.substr(10)));
    ASSERT_EQ(sequences.size(), size_t{kRequests});
    for (size_t i = 1; i < sequences.size(); ++i) EXPECT_GT(sequences[i], sequences[i - 1]);
}

TEST_P(HartIpLink, ADroppedSessionHangsUpAndANewOneWorks) {
    TComm comm;
    open(comm);
    ASSERT_TRUE(sim.command("drop on"));
    const uint8_t frame[] = {0xFF, 0xFF, 0x02, 0x80, 0x00, 0x00, 0x82};
    ASSERT_TRUE(comm.WriteData(frame, sizeof frame));
    const auto first = notices.nextOf(Notice::Hangup);  // passes over any other notice
    ASSERT_TRUE(first);
    EXPECT_EQ(comm.lastError(), GetParam().dropped);
    comm.Close();

    ASSERT_TRUE(sim.command("drop off"));
    open(comm);
    EXPECT_TRUE(isPollReply(poll(comm)));
}

TEST_P(HartIpLink, ANakIsNoReplyWithItsTextAndASlowReplyStillComesWhole) {
    TComm comm;
    open(comm);
    ASSERT_TRUE(sim.command("nak on"));
    EXPECT_TRUE(poll(comm, 1s).empty());
    EXPECT_EQ(comm.lastError(), "the device refused the message (HART request)");
    ASSERT_TRUE(sim.command("nak off"));
    ASSERT_TRUE(sim.command("delay 1"));
    EXPECT_TRUE(isPollReply(poll(comm)));
    EXPECT_FALSE(notices.nextOf(Notice::Hangup, 10ms));
}

INSTANTIATE_TEST_SUITE_P(Transports, HartIpLink, ::testing::ValuesIn(kTransports),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HartIpOpen, ANameWithNothingBehindItFailsAtOnceWithItsReason) {
    struct Case {
        const char* name;
        const char* error;
    };
    const Case cases[] = {
        {"hartip://127.0.0.1:1", "cannot connect to 127.0.0.1:1: Connection refused"},
        {"hartip://host:0",
         "not a HART-IP address: hartip://host:0 (hartip://HOST[:PORT], "
         "hartip+udp://HOST[:PORT] or HOST:PORT)"},
        {"hartip+udp://127.0.0.1:1", "cannot connect to 127.0.0.1:1: Connection refused"},
    };
    for (const Case& c : cases) {
        TComm comm;
        comm.setCommName(c.name);
        EXPECT_THROW(comm.Open(), ECommsError);
        EXPECT_FALSE(comm.isOpen());
        EXPECT_EQ(comm.lastError(), c.error);
    }
}

// Over UDP only silence tells that the device is gone: once a session stands, and at the open.
TEST(HartIpUdp, ADeviceThatFallsSilentHangsUpAndASilentOneFailsTheOpen) {
    testsupport::SimProcess sim{{HART_SIM_PROGRAM, "--fast", "--hartip-udp", "0"}};
    testsupport::NoticeQueue notices;
    TComm comm(makeHartIpBackend({.inactivityMs = 300, .connectTimeoutMs = 300}));
    comm.setCommName(sim.port());
    comm.setNoticeSink(&notices);
    comm.Open();
    ASSERT_TRUE(sim.command("silent on"));
    ASSERT_TRUE(notices.nextOf(Notice::Hangup, 5s));
    EXPECT_EQ(comm.lastError(), "the device stopped answering");
    comm.Close();
    EXPECT_THROW(comm.Open(), ECommsError);
    EXPECT_EQ(comm.lastError(), "the device did not answer the session initiate");
}

}  // namespace
}  // namespace serial
