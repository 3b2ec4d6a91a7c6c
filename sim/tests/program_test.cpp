// Runs the real program on a pseudo-terminal, as the tool would meet it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "sim_test_util.h"

namespace hartsim {
namespace {

using namespace std::chrono_literals;
using simtest::bytesOf;
using simtest::seeReply;

class Program {
  public:
    explicit Program(std::vector<std::string> args) {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            close(in[1]);
            close(out[0]);
            std::vector<char*> argv{const_cast<char*>(HART_SIM_PROGRAM)};
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(HART_SIM_PROGRAM, argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
    }

    ~Program() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (stdin_ >= 0) close(stdin_);
        if (stdout_ >= 0) close(stdout_);
    }

    // The next line of the program's output, or "" when none comes in time.
    std::string line(std::chrono::milliseconds wait = 10s) {
        const auto until = std::chrono::steady_clock::now() + wait;
        for (;;) {
            if (const auto eol = pending_.find('\n'); eol != std::string::npos) {
                std::string l = pending_.substr(0, eol);
                pending_.erase(0, eol + 1);
                return l;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd p{stdout_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) return "";
            char buf[512];
            const ssize_t n = read(stdout_, buf, sizeof buf);
            if (n <= 0) return "";
            pending_.append(buf, static_cast<std::size_t>(n));
        }
    }

    // The first line starting with `prefix`, skipping others.
    std::string lineStarting(const std::string& prefix) {
        for (std::string l; !(l = line()).empty();) {
            if (l.rfind(prefix, 0) == 0) return l;
        }
        return "";
    }

    void say(const std::string& text) { ASSERT_GT(write(stdin_, text.data(), text.size()), 0); }

    // Exit status once it ends by itself, or -1.
    int waitExit() {
        for (int i = 0; i < 100; ++i) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(50000);
        }
        return -1;
    }

  private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    std::string pending_;
};

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
    Program sim({"--fast"});
    const std::string port = sim.line();
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

    EXPECT_EQ(sim.lineStarting("RX "), "RX FF FF FF FF FF FF 02 80 00 00 82 ");
    EXPECT_EQ(sim.lineStarting("TX "), "TX " + hart::hexText(bytes));

    sim.say("busy on\n");
    EXPECT_EQ(sim.lineStarting("OK "), "OK busy on");
    sim.say("quit\n");
    EXPECT_EQ(sim.lineStarting("OK "), "OK quit");
    EXPECT_EQ(sim.waitExit(), 0);
}

TEST(Program, PortCanBeOpenedAgainAfterTheToolMarkedItExclusive) {
    // The tool's port asks for exclusive use; a pseudo-terminal would keep that flag after
    // the tool closes it and refuse every later open but root's.
    Program sim({"--fast"});
    const std::string port = sim.line().substr(5);
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
    Program sim({"--fast"});
    const std::string port = sim.line().substr(5);
    const auto request = bytesOf(hart::shortFrame(0x80, 0));
    for (int session = 0; session < 2; ++session) {
        SCOPED_TRACE(session);
        const int fd = open(port.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
        ASSERT_NE(sim.lineStarting("TX "), "");
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
        Program sim({c.option});
        EXPECT_EQ(sim.line(), c.firstLine) << c.option;
        EXPECT_EQ(sim.waitExit(), 0) << c.option;
    }
}

TEST(Program, RefusesABadCommandLine) {
    Program sim({"--device-spec", "16:1:2:3"});
    EXPECT_EQ(sim.line(), "");
    EXPECT_EQ(sim.waitExit(), 2);
}

}  // namespace
}  // namespace hartsim
