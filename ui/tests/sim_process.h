// Runs the instrument simulator as a child process on a pseudo-terminal of its own, with
// its standard input for fault switches and its log on standard output.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace testpeer {

class SimProcess {
  public:
    explicit SimProcess(std::vector<std::string> args) {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        args.insert(args.begin(), HART_SIM_PROGRAM);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, HART_SIM_PROGRAM, &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
        ::fcntl(stdout_, F_SETFL, O_NONBLOCK);
        if (waitLine([](const std::string& l) { return l.rfind("PORT ", 0) == 0; })) {
            port_ = lines_.back().substr(5);
        }
    }

    ~SimProcess() {
        if (stdin_ >= 0) {
            send("quit");
            ::close(stdin_);
        }
        if (pid_ > 0) {
            for (int i = 0; i < 100 && ::waitpid(pid_, nullptr, WNOHANG) == 0; ++i) ::usleep(20000);
            if (::kill(pid_, 0) == 0) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, nullptr, 0);
            }
        }
        if (stdout_ >= 0) ::close(stdout_);
    }

    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& port() const { return port_; }

    // Sends a fault switch and waits for the simulator to confirm it.
    bool command(const std::string& line) {
        send(line);
        return waitLine([&](const std::string& l) { return l == "OK " + line; });
    }

    // Waits, with the Qt event loop running, for a log line that satisfies `match`.
    bool waitLine(const std::function<bool(const std::string&)>& match, int timeoutMs = 10000) {
        std::size_t seen = checked_;
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            pump();
            for (; seen < lines_.size(); ++seen) {
                if (match(lines_[seen])) {
                    checked_ = seen + 1;
                    return true;
                }
            }
            if (clock.elapsed() > timeoutMs) return false;
            QTest::qWait(10);
        }
    }

    // Every log line so far.
    const std::vector<std::string>& lines() {
        pump();
        return lines_;
    }
    std::vector<std::string> received() {
        std::vector<std::string> rx;
        for (const auto& l : lines()) {
            if (l.rfind("RX ", 0) == 0) rx.push_back(l.substr(3));
        }
        return rx;
    }

  private:
    void send(const std::string& line) {
        const std::string text = line + "\n";
        [[maybe_unused]] const ssize_t n = ::write(stdin_, text.data(), text.size());
    }

    void pump() {
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(stdout_, buf, sizeof buf);
            if (n <= 0) break;
            partial_.append(buf, static_cast<std::size_t>(n));
        }
        std::size_t nl;
        while ((nl = partial_.find('\n')) != std::string::npos) {
            lines_.push_back(partial_.substr(0, nl));
            partial_.erase(0, nl + 1);
        }
    }

    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    std::string port_;
    std::string partial_;
    std::vector<std::string> lines_;
    std::size_t checked_ = 0;
};

}  // namespace testpeer
