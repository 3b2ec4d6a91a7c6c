// Child processes for the tests: a program run to its end, and the instrument simulator kept
// running beside a test, with its fault switches on standard input and its log on standard
// output.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

struct Ran {
    int exit = -1;  // -1: did not start, or ended by a signal
    std::string out;
    std::string err;
};

// Runs `args` (the program first) to its end, collecting both outputs.
Ran run(std::vector<std::string> args);

// The bytes of a log's hex text ("FF 02 80 ...").
std::vector<std::uint8_t> hexBytes(const std::string& text);

// This process's resident memory in kB, 0 where the system does not tell.
long residentKb();

class SimProcess {
  public:
    // `args` start with the program. Returns once the simulator named its port or ended.
    explicit SimProcess(std::vector<std::string> args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The pseudo-terminal it serves; empty when it named none.
    const std::string& port() const { return port_; }

    // Runs `pump` while waiting instead of sleeping, so that a window's event loop keeps turning.
    void whileWaiting(std::function<void()> pump) { pump_ = std::move(pump); }

    bool send(const std::string& line);
    // Sends a fault switch and waits for the simulator to confirm it.
    bool command(const std::string& line);
    // The next log line starting with `prefix` after the last one waited for; empty when none
    // comes in time or the log ended.
    std::string waitLine(const std::string& prefix = "",
                         std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Exit status once it ends by itself, or -1.
    int waitExit(std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // Every log line so far, and the frames among them it received (hex text).
    std::vector<std::string> lines() const;
    std::vector<std::string> received() const;

  private:
    std::string waitFor(const std::function<bool(const std::string&)>& match,
                        std::chrono::milliseconds timeout);
    void readLog();

    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    std::string port_;
    std::function<void()> pump_;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::string> lines_;  // guarded by mutex_, as is ended_
    bool ended_ = false;
    std::size_t next_ = 0;  // the first line a wait looks at
};

}  // namespace testsupport
