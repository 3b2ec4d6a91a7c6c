#include "link/tcomm.h"

#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "link/port_backend.h"
#include "testing/notice_queue.h"
#include "testing/pty_pair.h"

namespace serial {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;
using testsupport::PtyPair;
using QueueSink = testsupport::NoticeQueue;

// Generous: the machine is shared and the assertions are about order and outcome only.
constexpr auto kWait = 5s;

Bytes pattern(size_t n, uint8_t seed) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 7);
    return b;
}

// The line settings the window uses for its HART modem.
void configureForHart(TComm& comm) {
    comm.setBaudRate(1200);
    comm.setParity(Parity::Odd);
    comm.setOutxXonXoffFlow(false);
    comm.setInxXonXoffFlow(false);
    comm.setReadIntervalTimeout(300);
}

class LinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        comm.setCommName(pty.path());
        configureForHart(comm);
        comm.setNoticeSink(&sink);
        comm.OnReceiveData = [this](TComm& sender, const uint8_t* data, uint16_t n) {
            EXPECT_EQ(&sender, &comm);
            chunks.emplace_back(data, data + n);
        };
    }

    // Waits for one data notice and passes it through the component's dispatch.
    bool dispatchChunk(std::chrono::milliseconds timeout = kWait) {
        auto n = sink.nextOf(Notice::Data, timeout);
        if (n) comm.dispatch(*n);
        return n.has_value();
    }

    PtyPair pty{false};  // the component must make the line raw itself
    QueueSink sink;
    std::vector<Bytes> chunks;
    TComm comm;  // last: closed before the pty and the sink go away
};

struct ChunkCase {
    const char* name;
    std::vector<std::pair<Bytes, std::chrono::milliseconds>> pieces;  // bytes, then a pause
    std::vector<size_t> chunkSizes;
};

TEST_F(LinkTest, ReceivedBytesAreCutIntoChunksByIdleTimeAndBufferSize) {
    const ChunkCase cases[] = {
        {"short gaps join",
         {{pattern(3, 1), 100ms}, {pattern(4, 2), 100ms}, {pattern(5, 3), 0ms}},
         {12}},
        {"long gap splits", {{pattern(3, 4), 800ms}, {pattern(4, 5), 0ms}}, {3, 4}},
        {"buffer size caps", {{pattern(3000, 6), 0ms}}, {2048, 952}},
    };
    comm.Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chunks.clear();
        Bytes sent;
        for (const auto& [bytes, pause] : c.pieces) {
            ASSERT_TRUE(pty.write(bytes));
            sent.insert(sent.end(), bytes.begin(), bytes.end());
            std::this_thread::sleep_for(pause);
        }
        for (size_t i = 0; i < c.chunkSizes.size(); ++i) ASSERT_TRUE(dispatchChunk());
        EXPECT_FALSE(dispatchChunk(700ms)) << "an extra chunk arrived";

        Bytes joined;
        std::vector<size_t> sizes;
        for (const auto& chunk : chunks) {
            sizes.push_back(chunk.size());
            joined.insert(joined.end(), chunk.begin(), chunk.end());
        }
        EXPECT_EQ(sizes, c.chunkSizes);
        EXPECT_EQ(joined, sent);
    }
}

TEST_F(LinkTest, QueuedWritesGoOutInOrderThenReportEmptyOnce) {
    int emptyEvents = 0;
    comm.OnSendDataEmpty = [&](TComm&) { ++emptyEvents; };
    comm.Open();
    // A fresh writer reports its empty queue once.
    auto first = sink.nextOf(Notice::SendEmpty);
    ASSERT_TRUE(first);
    comm.dispatch(*first);

    // The first frame exceeds what the pty buffers, so the second is queued behind it while
    // the first is still being written in parts.
    const Bytes a = pattern(40000, 11);
    const Bytes b = pattern(30000, 99);
    ASSERT_TRUE(comm.WriteData(a.data(), static_cast<uint16_t>(a.size())));
    ASSERT_TRUE(comm.WriteData(b.data(), static_cast<uint16_t>(b.size())));
    EXPECT_FALSE(comm.sendDataEmpty());

    Bytes expected = a;
    expected.insert(expected.end(), b.begin(), b.end());
    EXPECT_EQ(pty.receive(expected.size()), expected);

    auto after = sink.nextOf(Notice::SendEmpty);
    ASSERT_TRUE(after);
    comm.dispatch(*after);
    EXPECT_FALSE(sink.nextOf(Notice::SendEmpty, 500ms));
    EXPECT_EQ(emptyEvents, 2);
    EXPECT_TRUE(comm.sendDataEmpty());
}

TEST_F(LinkTest, WritesAreRefusedWhenClosedOrEmpty) {
    const uint8_t byte = 0x42;
    EXPECT_FALSE(comm.WriteData(&byte, 1));
    comm.Open();
    EXPECT_FALSE(comm.WriteData(&byte, 0));
    EXPECT_TRUE(comm.WriteData(&byte, 1));
    EXPECT_EQ(pty.receive(1), Bytes{byte});
    comm.Close();
    comm.Close();
    EXPECT_FALSE(comm.isOpen());
    EXPECT_FALSE(comm.WriteData(&byte, 1));
}

TEST_F(LinkTest, OpeningTwiceKeepsThePortOpen) {
    comm.Open();
    try {
        comm.Open();
        FAIL() << "second Open succeeded";
    } catch (const ECommsError& e) {
        EXPECT_STREQ(e.what(), "This serial port already opened");
    }
    EXPECT_TRUE(comm.isOpen());
    ASSERT_TRUE(pty.write({0x01, 0x02}));
    ASSERT_TRUE(dispatchChunk());
    EXPECT_EQ(chunks.back(), (Bytes{0x01, 0x02}));
}

TEST_F(LinkTest, OpenFailuresLeaveTheComponentClosed) {
    comm.Open();
    TComm other;
    configureForHart(other);

    char file[] = "/tmp/tcomm_test_XXXXXX";
    const int fd = ::mkstemp(file);
    ASSERT_GE(fd, 0);
    ::close(fd);

    // The system's reason travels with the unchanged message, for the window to explain.
    const struct {
        std::string name;
        const char* message;
        int osError;
    } cases[] = {
        {pty.path(), "Error opening serial port", EBUSY},  // held exclusively by comm
        {file, "File handle is not a comm handle ", 0},
        {"/dev/null", "File handle is not a comm handle ", 0},
        {"/dev/tcomm-test-no-such-port", "Error opening serial port", ENOENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        other.setCommName(c.name);
        try {
            other.Open();
            ADD_FAILURE() << "Open succeeded";
        } catch (const ECommsError& e) {
            EXPECT_STREQ(e.what(), c.message);
            EXPECT_EQ(e.osError(), c.osError);
        }
        EXPECT_FALSE(other.isOpen());
        const uint8_t byte = 0;
        EXPECT_FALSE(other.WriteData(&byte, 1));
    }
    ::unlink(file);

    // Released by Close, the port can be taken by the other component.
    comm.Close();
    other.setCommName(pty.path());
    EXPECT_NO_THROW(other.Open());
}

TEST(CommDevicePath, MapsComNamesToSerialDevices) {
    const struct {
        const char* name;
        const char* path;
    } cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"COM3", "/dev/ttyS2"},
        {"com12", "/dev/ttyS11"},
        {"COM0", "COM0"},
        {"COM", "COM"},
        {"COM1x", "COM1x"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"/dev/pts/7", "/dev/pts/7"},
    };
    for (const auto& c : cases) EXPECT_EQ(commDevicePath(c.name), c.path) << c.name;
}

TEST_F(LinkTest, PeerHangupIsReportedAndTheComponentRecovers) {
    bool hungUp = false;
    comm.OnRequestHangup = [&](TComm&) { hungUp = true; };
    comm.Open();
    pty.hangUp();
    auto n = sink.nextOf(Notice::Hangup);
    ASSERT_TRUE(n);
    comm.dispatch(*n);
    EXPECT_TRUE(hungUp);

    // The writer finds out on its next write; after that, writes are refused, not lost silently.
    const uint8_t byte = 0x33;
    EXPECT_TRUE(comm.WriteData(&byte, 1));
    ASSERT_TRUE(sink.nextOf(Notice::Hangup));
    EXPECT_FALSE(comm.WriteData(&byte, 1));
    comm.Close();

    PtyPair fresh{false};
    comm.setCommName(fresh.path());
    comm.Open();
    ASSERT_TRUE(fresh.write({0x7E}));
    ASSERT_TRUE(dispatchChunk());
    EXPECT_EQ(chunks.back(), Bytes{0x7E});
}

TEST_F(LinkTest, LineSettingsApplyAtOpenAndAgainWhenChangedWhileOpen) {
    comm.Open();
    termios t = pty.slaveSettings();
    // Raw mode holds even where the pty refuses the parity request.
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B1200));

    // Ptys force 8 data bits and no parity, so those are not observable here.
    comm.setStopBits(StopBits::_2);
    comm.setOutxXonXoffFlow(true);
    comm.setBaudRate(9600);
    t = pty.slaveSettings();
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
    EXPECT_NE(t.c_iflag & IXON, 0u);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));

    // The pty refuses modem-line requests; that must not disturb the open port.
    EXPECT_NO_THROW(comm.setDtrControl(DtrControl::DtrDisable));
    EXPECT_NO_THROW(comm.setDtrControl(DtrControl::DtrEnable));
    EXPECT_NO_THROW(comm.setRtsControl(RtsControl::RtsDisable));
    EXPECT_TRUE(comm.isOpen());
    const uint8_t byte = 0x55;
    EXPECT_TRUE(comm.WriteData(&byte, 1));
    EXPECT_EQ(pty.receive(1), Bytes{byte});
}

TEST_F(LinkTest, ReadIntervalChangedWhileOpenTakesEffect) {
    comm.Open();
    comm.setReadIntervalTimeout(2000);
    ASSERT_TRUE(pty.write({0x01}));
    std::this_thread::sleep_for(800ms);
    ASSERT_TRUE(pty.write({0x02}));
    ASSERT_TRUE(dispatchChunk());
    EXPECT_EQ(chunks.back(), (Bytes{0x01, 0x02}));
}

TEST_F(LinkTest, NullBytesAreDroppedWhenAskedTo) {
    comm.setIgnoreNullChar(true);
    comm.Open();
    ASSERT_TRUE(pty.write({0x00, 0x01, 0x00, 0x02, 0x00}));
    ASSERT_TRUE(dispatchChunk());
    EXPECT_EQ(chunks.back(), (Bytes{0x01, 0x02}));
}

TEST(TCommDispatch, UnassignedEventsAndStaleNoticesAreHarmless) {
    TComm comm;
    comm.dispatch(Notice{Notice::Data, {1, 2, 3}, 0});
    comm.dispatch(Notice{Notice::Hangup, {}, 0});
    uint32_t modem = 0, errors = 0;
    comm.OnModemStateChange = [&](TComm&, uint32_t v) { modem = v; };
    comm.OnReceiveError = [&](TComm&, uint32_t v) { errors = v; };
    comm.dispatch(Notice{Notice::Modem, {}, 8 | 4});
    comm.dispatch(Notice{Notice::Error, {}, 0x10});
    EXPECT_EQ(modem, 12u);
    EXPECT_EQ(errors, 0x10u);
}

}  // namespace
}  // namespace serial

namespace serial {
namespace {

double processCpuSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Both workers must sleep in the kernel while the line is quiet: a polling loop would burn
// most of a core over the second measured here.
TEST_F(LinkTest, AnIdleLineCostsNoCpu) {
    comm.Open();
    ASSERT_TRUE(sink.nextOf(Notice::SendEmpty));  // the writer has started and gone idle
    ASSERT_TRUE(pty.write({0x01}));
    ASSERT_TRUE(dispatchChunk());  // the reader is back waiting for the first byte
    const double before = processCpuSeconds();
    std::this_thread::sleep_for(1s);
    EXPECT_LT(processCpuSeconds() - before, 0.2);
    comm.Close();
}

}  // namespace
}  // namespace serial
