// The Windows serial port against COM ports that scripts/windows links to pseudo-terminal pairs
// in the wine prefix: HART_TEST_COM and HART_TEST_PEER are the two ends of one pair,
// HART_TEST_PULL_COM a port whose pair the script takes away and brings back while
// HART_TEST_PULL_FILE exists.
#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "link/port_backend.h"
#include "link/ports.h"
#include "link/tcomm.h"
#include "testing/notice_queue.h"

namespace serial {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// A HART-line port with its notices queued; chunks collected on request.
struct Port {
    explicit Port(const std::string& name) {
        comm.setCommName(name);
        useHartLine(comm);
        comm.setReadIntervalTimeout(300);
        comm.setNoticeSink(&notices);
    }
    Bytes chunk(std::chrono::milliseconds wait = 10s) {
        const auto n = notices.nextOf(Notice::Data, wait);
        return n ? n->data : Bytes{};
    }
    testsupport::NoticeQueue notices;
    TComm comm;
};

class Win32Port : public ::testing::Test {
  protected:
    void SetUp() override {
        if (env("HART_TEST_COM").empty()) GTEST_SKIP() << "no COM port pair (scripts/windows)";
    }
};

TEST_F(Win32Port, OpensAndClosesAThousandTimesAndStillCarriesBytes) {
    Port a(env("HART_TEST_COM")), b(env("HART_TEST_PEER"));
    for (int i = 0; i < 1000; ++i) {
        ASSERT_NO_THROW(a.comm.Open()) << i;
        a.comm.Close();
    }
    a.comm.Open();
    b.comm.Open();
    const Bytes frame = {0xFF, 0xFF, 0x02, 0x80, 0x00, 0x00, 0x82};
    ASSERT_TRUE(a.comm.WriteData(frame.data(), static_cast<uint16_t>(frame.size())));
    EXPECT_EQ(b.chunk(), frame);
}

// Frames both ways arrive whole and in order, one chunk each, up to the read buffer's size.
TEST_F(Win32Port, RoundTripsArriveWholeOneChunkEach) {
    Port a(env("HART_TEST_COM")), b(env("HART_TEST_PEER"));
    a.comm.Open();
    b.comm.Open();
    for (size_t size : {1u, 25u, 300u, 2048u}) {
        Bytes frame(size);
        for (size_t i = 0; i < size; ++i) frame[i] = static_cast<uint8_t>(i * 7 + size);
        ASSERT_TRUE(a.comm.WriteData(frame.data(), static_cast<uint16_t>(size)));
        EXPECT_EQ(b.chunk(), frame) << size;
        ASSERT_TRUE(b.comm.WriteData(frame.data(), static_cast<uint16_t>(size)));
        EXPECT_EQ(a.chunk(), frame) << size;
    }
}

// Bytes with short gaps make one chunk; a second of silence ends it.
TEST_F(Win32Port, LineSilenceEndsAChunk) {
    Port a(env("HART_TEST_COM")), b(env("HART_TEST_PEER"));
    a.comm.Open();
    b.comm.Open();
    for (uint8_t byte : {0x10, 0x11, 0x12}) {
        b.comm.WriteData(&byte, 1);
        std::this_thread::sleep_for(50ms);
    }
    std::this_thread::sleep_for(1s);
    const uint8_t last = 0x13;
    b.comm.WriteData(&last, 1);
    EXPECT_EQ(a.chunk(), (Bytes{0x10, 0x11, 0x12}));
    EXPECT_EQ(a.chunk(), Bytes{0x13});
}

TEST_F(Win32Port, RefusalsSayWhy) {
    const auto refusal = [](const std::string& name) -> std::pair<std::string, int> {
        TComm comm;
        comm.setCommName(name);
        try {
            comm.Open();
        } catch (const ECommsError& e) {
            EXPECT_FALSE(comm.isOpen());
            return {e.what(), e.osError()};
        }
        return {"opened", 0};
    };
    EXPECT_EQ(refusal("COM199"), std::make_pair(std::string("Error opening serial port"), ENOENT));
    const std::string file = (std::filesystem::temp_directory_path() / "not-a-port").string();
    std::ofstream(file) << "x";
    EXPECT_EQ(refusal(file).first, "File handle is not a comm handle ");
    // Wine lets a second opener in where Windows' drivers refuse it.
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) return;
    Port held(env("HART_TEST_COM"));
    held.comm.Open();
    EXPECT_EQ(refusal(env("HART_TEST_COM")),
              std::make_pair(std::string("Error opening serial port"), EBUSY));
}

// The other end going away is reported as a hang-up, and the port opens again once it is back.
TEST_F(Win32Port, APulledPortIsReportedAndOpensAgain) {
    const std::string marker = env("HART_TEST_PULL_FILE");
    if (marker.empty()) GTEST_SKIP() << "nobody to pull the port";
    Port p(env("HART_TEST_PULL_COM"));
    p.comm.Open();
    std::ofstream(marker) << "pull";
    EXPECT_TRUE(p.notices.nextOf(Notice::Hangup, 30s).has_value());
    p.comm.Close();
    for (int i = 0; i < 300 && std::filesystem::exists(marker); ++i)
        std::this_thread::sleep_for(100ms);
    ASSERT_FALSE(std::filesystem::exists(marker)) << "the port did not come back";
    EXPECT_NO_THROW(p.comm.Open());
}

TEST(Win32PortNames, ComNamesOpenInTheDeviceNamespace) {
    EXPECT_EQ(commDevicePath("COM3"), "\\\\.\\COM3");
    EXPECT_EQ(commDevicePath("com12"), "\\\\.\\COM12");
    EXPECT_EQ(commDevicePath("\\\\.\\CNCA0"), "\\\\.\\CNCA0");
    EXPECT_EQ(commDevicePath("COM0"), "COM0");
}

// Wine lists only the ports it made itself (COM1 for /dev/ttyS0), not those the script links.
TEST(Win32PortList, ListsComPortsInNumberOrderWithTheirDevices) {
    unsigned last = 0;
    for (const PortInfo& p : listPorts()) {
        const auto n = comNumber(p.name);
        ASSERT_TRUE(n.has_value()) << p.name;
        EXPECT_GT(*n, last);
        EXPECT_FALSE(p.description.empty()) << p.name;
        last = *n;
    }
}

}  // namespace
}  // namespace serial
