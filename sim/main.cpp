// hart-sim: HART field devices on a pseudo-terminal (or a serial device), for trying and
// testing the configuration tool without a modem and a transmitter.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/loop.h"
#include "sim/options.h"
#include "sim/port.h"

namespace {

volatile std::sig_atomic_t gStop = 0;

void onSignal(int) {
    gStop = 1;
}

void printLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void installSignals() {
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

// Nobody reading the line (the tool's port closed) fills the buffer: the rest is dropped,
// as it would be on a wire.
void writeAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace hartsim;
    const Options options = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (options.help) {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("hart-sim " HART_VERSION);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "hart-sim: %s\n%s", options.error.c_str(), usage().c_str());
        return 2;
    }

    std::vector<Device> devices;
    std::vector<DeviceSpec> specs = options.devices;
    if (specs.empty()) specs.emplace_back();
    for (DeviceSpec spec : specs) {
        spec.preambles = static_cast<std::uint8_t>(options.preambles);
        devices.push_back(buildDevice(spec));
    }

    Port port;
    std::string error;
    const bool opened = options.device.empty() ? openPseudoTerminal(port, error)
                                               : openSerialDevice(options.device, port, error);
    if (!opened) {
        std::fprintf(stderr, "hart-sim: %s\n", error.c_str());
        return 1;
    }
    if (!options.link.empty() && !makeLink(options.link, port.path, error)) {
        std::fprintf(stderr, "hart-sim: %s\n", error.c_str());
        closePort(port);
        return 1;
    }
    printLine("PORT " + port.path);
    installSignals();

    const auto start = std::chrono::steady_clock::now();
    Loop loop(std::move(devices), options.preambles, printLine);
    Pacer pacer(options.fast);
    bool stdinOpen = true;
    std::string pendingInput;
    std::vector<std::uint8_t> buf(512);

    while (!gStop && !loop.quitRequested()) {
        double now = secondsSince(start);
        int timeoutMs = 50;
        if (const auto next = pacer.nextAt()) {
            timeoutMs = std::clamp(static_cast<int>(std::ceil((*next - now) * 1000.0)), 0, 50);
        }
        pollfd fds[3] = {{port.fd, POLLIN, 0}, {port.watchFd, POLLIN, 0}, {-1, POLLIN, 0}};
        if (stdinOpen) fds[2].fd = STDIN_FILENO;  // a negative fd is skipped
        const int ready = poll(fds, 3, timeoutMs);
        now = secondsSince(start);
        if (ready < 0 && errno != EINTR) break;

        // Operator commands first: a fault switched on just before a request applies to it.
        if (stdinOpen && ready > 0 && (fds[2].revents & (POLLIN | POLLHUP))) {
            char in[256];
            const ssize_t n = read(STDIN_FILENO, in, sizeof in);
            if (n <= 0) {
                stdinOpen = false;  // keeps running without operator commands
            } else {
                pendingInput.append(in, static_cast<std::size_t>(n));
                for (std::size_t eol; (eol = pendingInput.find('\n')) != std::string::npos;) {
                    std::string line = pendingInput.substr(0, eol);
                    pendingInput.erase(0, eol + 1);
                    if (!line.empty() && line.back() == '\r') line.pop_back();
                    if (line.find_first_not_of(" \t") == std::string::npos) continue;
                    printLine(loop.command(line));
                    if (loop.quitRequested()) break;
                }
            }
        }

        bool hungUp = ready > 0 && (fds[0].revents & (POLLHUP | POLLERR));
        if (ready > 0 && (fds[0].revents & POLLIN)) {
            for (;;) {
                const ssize_t n = read(port.fd, buf.data(), buf.size());
                if (n > 0) {
                    hungUp = false;
                    loop.receive(std::span(buf.data(), static_cast<std::size_t>(n)), now);
                    continue;
                }
                if (n < 0 && errno == EIO) hungUp = true;
                break;
            }
        }
        // Nobody on the other side: poll would wake at once, so wait a little instead.
        if (hungUp) usleep(20000);
        if (ready > 0 && (fds[1].revents & POLLIN)) serviceWatch(port);
        loop.tick(now, pacer.idle());
        for (const Transmission& t : loop.takeOutbox()) pacer.queue(t, now);
        for (const Pacer::Write& w : pacer.takeDue(now)) {
            if (peerOpen(port)) writeAll(port.fd, w.bytes);
            if (w.logLine) printLine(*w.logLine);
        }
    }

    if (!options.link.empty()) removeLink(options.link, port.path);
    closePort(port);
    return 0;
}
