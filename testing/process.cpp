#include "testing/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <sstream>

extern char** environ;

namespace testsupport {
namespace {

struct Child {
    pid_t pid = -1;
    int in = -1;  // our ends of the pipes, or -1
    int out = -1;
    int err = -1;
};

// Starts args[0] with a pipe on standard output and, where asked, on standard input and error.
// Our pipe ends close on exec, so that no later child holds them open past this one's end.
Child spawn(std::vector<std::string>& args, bool withStdin, bool withStderr) {
    int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
    Child c;
    if (::pipe2(out, O_CLOEXEC) != 0 || (withStdin && ::pipe2(in, O_CLOEXEC) != 0) ||
        (withStderr && ::pipe2(err, O_CLOEXEC) != 0)) {
        return c;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    if (withStdin) posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    if (withStderr) posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    // The tests ignore SIGPIPE; the child gets the default back.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    posix_spawnattr_setsigdefault(&attr, &pipeSignal);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&c.pid, argv[0], &actions, &attr, argv.data(), environ) != 0) c.pid = -1;
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    for (const int fd : {out[1], in[0], err[1]}) {
        if (fd >= 0) ::close(fd);
    }
    c.out = out[0];
    c.in = in[1];
    c.err = err[0];
    return c;
}

}  // namespace

Ran run(std::vector<std::string> args) {
    const Child c = spawn(args, false, true);
    Ran r;
    pollfd fds[2] = {{c.out, POLLIN, 0}, {c.err, POLLIN, 0}};
    int open = 2;
    while (c.pid > 0 && open > 0 && ::poll(fds, 2, 60000) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buf[4096];
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n <= 0) {
                fds[i].fd = -1;
                --open;
            } else {
                (i == 0 ? r.out : r.err).append(buf, static_cast<std::size_t>(n));
            }
        }
    }
    ::close(c.out);
    ::close(c.err);
    int status = 0;
    if (c.pid > 0 && ::waitpid(c.pid, &status, 0) == c.pid && WIFEXITED(status)) {
        r.exit = WEXITSTATUS(status);
    }
    return r;
}

std::vector<std::uint8_t> hexBytes(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::uint8_t> bytes;
    for (unsigned b = 0; in >> std::hex >> b;) bytes.push_back(static_cast<std::uint8_t>(b));
    return bytes;
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

SimProcess::SimProcess(std::vector<std::string> args) {
    // A simulator that has already ended must not take the test process with it on a write.
    std::signal(SIGPIPE, SIG_IGN);
    const Child c = spawn(args, true, false);
    pid_ = c.pid;
    stdin_ = c.in;
    stdout_ = c.out;
    reader_ = std::thread([this] { readLog(); });
    std::unique_lock lock(mutex_);
    const auto named = [&] {
        for (const auto& l : lines_) {
            if (l.rfind("PORT ", 0) == 0) return port_ = l.substr(5), true;
        }
        return false;
    };
    arrived_.wait_for(lock, std::chrono::seconds(10), [&] { return named() || ended_; });
}

SimProcess::~SimProcess() {
    if (stdin_ >= 0) {
        send("quit");
        ::close(stdin_);
    }
    if (pid_ > 0 && waitExit(std::chrono::seconds(2)) < 0 && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (reader_.joinable()) reader_.join();
    if (stdout_ >= 0) ::close(stdout_);
}

bool SimProcess::send(const std::string& line) {
    const std::string text = line + "\n";
    return ::write(stdin_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

bool SimProcess::command(const std::string& line) {
    const std::string ok = "OK " + line;
    return send(line) &&
           !waitFor([&](const std::string& l) { return l == ok; }, std::chrono::seconds(10))
                .empty();
}

std::string SimProcess::waitLine(const std::string& prefix, std::chrono::milliseconds timeout) {
    return waitFor([&](const std::string& l) { return l.rfind(prefix, 0) == 0; }, timeout);
}

std::string SimProcess::waitFor(const std::function<bool(const std::string&)>& match,
                                std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(mutex_);
    for (std::size_t seen = next_;;) {
        for (; seen < lines_.size(); ++seen) {
            if (match(lines_[seen])) {
                next_ = seen + 1;
                return lines_[seen];
            }
        }
        if (ended_ || std::chrono::steady_clock::now() >= until) return "";
        if (pump_) {
            lock.unlock();
            pump_();
            lock.lock();
        } else {
            arrived_.wait_until(lock, until);
        }
    }
}

int SimProcess::waitExit(std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (pid_ > 0) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (std::chrono::steady_clock::now() >= until) break;
        ::usleep(20000);
    }
    return -1;
}

std::vector<std::string> SimProcess::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> SimProcess::received() const {
    std::vector<std::string> rx;
    for (const auto& l : lines()) {
        if (l.rfind("RX ", 0) == 0) rx.push_back(l.substr(3));
    }
    return rx;
}

void SimProcess::readLog() {
    std::string partial;
    for (;;) {
        char buf[4096];
        const ssize_t n = stdout_ >= 0 ? ::read(stdout_, buf, sizeof buf) : 0;
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        partial.append(buf, static_cast<std::size_t>(n));
        std::lock_guard lock(mutex_);
        for (std::size_t nl; (nl = partial.find('\n')) != std::string::npos;) {
            lines_.push_back(partial.substr(0, nl));
            partial.erase(0, nl + 1);
        }
        arrived_.notify_all();
    }
    std::lock_guard lock(mutex_);
    ended_ = true;
    arrived_.notify_all();
}

}  // namespace testsupport
