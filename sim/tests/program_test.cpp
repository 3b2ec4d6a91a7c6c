// Runs the real program on a pseudo-terminal, as the tool would meet it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "sim_test_util.h"
#include "testing/process.h"

namespace hartsim {
namespace {

using namespace std::chrono_literals;
using simtest::bytesOf;
using simtest::seeReply;
using testsupport::SimProcess;

// Reads until `want` bytes came or the wait is over.
std::vector<std::uint8_t> readReply(int fd, std::size_t want,
                                    std::chrono::milliseconds wait = 10s) {
    std::vector<std::uint8_t> got;
    const auto until = std::chrono::steady_clock::now() + wait;
    while (got.size() < want && std::chrono::steady_clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 200) <= 0) continue;
        std::uint8_t buf[256];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) got.insert(got.end(), buf, buf + n);
    }
    return got;
}

TEST(Program, AnswersCommandZeroOnItsPseudoTerminalAndLogsBothFrames) {
    SimProcess sim({HART_SIM_PROGRAM, "--fast"});
    const std::string port = sim.waitLine();
    ASSERT_EQ(port.rfind("PORT /dev/", 0), 0u) << port;

    const int fd = open(port.substr(5).c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);

    const auto request = bytesOf(hart::shortFrame(0x80, 0));
    ASSERT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    // 5 preambles, delimiter, address, command, count, 2 status bytes, 12 data, check byte.
    const auto bytes = readReply(fd, 24);
    close(fd);

    const auto reply = seeReply(bytes);
    ASSERT_TRUE(reply.found) << hart::hexText(bytes);
    EXPECT_TRUE(reply.checkOk);
    EXPECT_EQ(reply.delimiter, 0x06);
    EXPECT_EQ(reply.address, (std::vector<std::uint8_t>{0x80}));
    ASSERT_EQ(reply.data.size(), 12u);
    EXPECT_EQ(reply.data[1], 0x26);  // manufacturer
    EXPECT_EQ(reply.data[2], 0x06);  // device type
    EXPECT_EQ(reply.data[3], 5);     // preambles
    EXPECT_EQ(std::vector<std::uint8_t>(reply.data.begin() + 9, reply.data.end()),
              (std::vector<std::uint8_t>{0x00, 0x12, 0x34}));

    EXPECT_EQ(sim.waitLine("RX "), "RX FF FF FF FF FF FF 02 80 00 00 82 ");
    EXPECT_EQ(sim.waitLine("TX "), "TX " + hart::hexText(bytes));

    ASSERT_TRUE(sim.send("busy on"));
    EXPECT_EQ(sim.waitLine("OK "), "OK busy on");
    ASSERT_TRUE(sim.send("quit"));
    EXPECT_EQ(sim.waitLine("OK "), "OK quit");
    EXPECT_EQ(sim.waitExit(), 0);
}

TEST(Program, PortCanBeOpenedAgainAfterTheToolMarkedItExclusive) {
    // The tool's port asks for exclusive use; a pseudo-terminal would keep that flag after
    // the tool closes it and refuse every later open but root's.
    SimProcess sim({HART_SIM_PROGRAM, "--fast"});
    const std::string port = sim.port();
    int fd = open(port.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ioctl(fd, TIOCEXCL), 0);
    close(fd);
    int exclusive = 1;
    for (int i = 0; i < 100 && exclusive; ++i) {
        usleep(20000);
        fd = open(port.c_str(), O_RDWR | O_NOCTTY);  // root passes the flag, so look at it
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
        close(fd);
    }
    EXPECT_EQ(exclusive, 0);
}

TEST(Program, WhatTheToolLeftUnreadIsGoneWhenItOpensAgain) {
    SimProcess sim({HART_SIM_PROGRAM, "--fast"});
    const std::string port = sim.port();
    const auto request = bytesOf(hart::shortFrame(0x80, 0));
    for (int session = 0; session < 2; ++session) {
        SCOPED_TRACE(session);
        const int fd = open(port.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
        ASSERT_NE(sim.waitLine("TX "), "");
        if (session == 1) {
            EXPECT_EQ(readReply(fd, 100, 1s).size(), 24u);  // one reply, not two
        }
        close(fd);
        usleep(200000);
    }
}

TEST(Program, HelpAndVersionAnswerAndExit) {
    const struct {
        const char* option;
        std::string firstLine;
    } cases[] = {
        {"--help", "usage: hart-sim [--link PATH] [--device PATH] [--fast] [--preambles N]"},
        {"--version", "hart-sim " HART_VERSION},
    };
    for (const auto& c : cases) {
        SimProcess sim({HART_SIM_PROGRAM, c.option});
        EXPECT_EQ(sim.waitLine(), c.firstLine) << c.option;
        EXPECT_EQ(sim.waitExit(), 0) << c.option;
    }
}

TEST(Program, RefusesABadCommandLine) {
    SimProcess sim({HART_SIM_PROGRAM, "--device-spec", "16:1:2:3"});
    EXPECT_EQ(sim.waitLine(), "");
    EXPECT_EQ(sim.waitExit(), 2);
}

}  // namespace
}  // namespace hartsim
