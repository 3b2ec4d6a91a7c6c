// hart-sim: HART field devices on a pseudo-terminal (or a serial device), for trying and
// testing the configuration tool without a modem and a transmitter.
#ifndef _WIN32
#include <poll.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "link/net.h"
#include "sim/hartip_server.h"
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
#ifdef _WIN32
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
}
#else
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}
#endif

std::vector<hartsim::Device> buildDevices(const hartsim::Options& options) {
    std::vector<hartsim::Device> devices;
    std::vector<hartsim::DeviceSpec> specs = options.devices;
    if (specs.empty()) specs.emplace_back();
    for (hartsim::DeviceSpec spec : specs) {
        spec.preambles = static_cast<std::uint8_t>(options.preambles);
        spec.universalRevision = static_cast<std::uint8_t>(options.hartRevision);
        devices.push_back(hartsim::buildDevice(spec));
    }
    return devices;
}

// The serial line: a pseudo-terminal or a serial device, POSIX only.
#ifndef _WIN32
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

// The devices the options name; the universal transmitter alone when they name none.
// The pseudo-terminal or the serial device, with its link if asked for; says why not.
bool openLine(const hartsim::Options& options, hartsim::Port& port) {
    std::string error;
    const bool opened = options.device.empty()
                            ? hartsim::openPseudoTerminal(port, error)
                            : hartsim::openSerialDevice(options.device, port, error);
    if (opened && (options.link.empty() || hartsim::makeLink(options.link, port.path, error)))
        return true;
    std::fprintf(stderr, "hart-sim: %s\n", error.c_str());
    if (opened) hartsim::closePort(port);
    return false;
}

// Operator commands, a line at a time, from standard input while it stays open.
class OperatorInput {
  public:
    int fd() const { return open_ ? STDIN_FILENO : -1; }  // poll skips a negative fd

    void read(hartsim::Loop& loop) {
        char in[256];
        const ssize_t n = ::read(STDIN_FILENO, in, sizeof in);
        if (n <= 0) {
            open_ = false;  // the simulator runs on without operator commands
            return;
        }
        pending_.append(in, static_cast<std::size_t>(n));
        for (std::size_t eol; (eol = pending_.find('\n')) != std::string::npos;) {
            std::string line = pending_.substr(0, eol);
            pending_.erase(0, eol + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find_first_not_of(" \t") == std::string::npos) continue;
            printLine(loop.command(line));
            if (loop.quitRequested()) return;
        }
    }

  private:
    bool open_ = true;
    std::string pending_;
};

// Everything the tool sent into the loop; whether the line is hung up after it.
bool receive(const hartsim::Port& port, hartsim::Loop& loop, double now, bool hungUp) {
    std::uint8_t buf[512];
    for (;;) {
        const ssize_t n = read(port.fd, buf, sizeof buf);
        if (n <= 0) return hungUp || (n < 0 && errno == EIO);
        hungUp = false;
        loop.receive(std::span(buf, static_cast<std::size_t>(n)), now);
    }
}

// Serves the line until a signal or the operator's quit.
void serve(hartsim::Port& port, hartsim::Loop& loop, hartsim::Pacer& pacer) {
    const auto start = std::chrono::steady_clock::now();
    OperatorInput input;
    while (!gStop && !loop.quitRequested()) {
        double now = secondsSince(start);
        int timeoutMs = 50;
        if (const auto next = pacer.nextAt()) {
            timeoutMs = std::clamp(static_cast<int>(std::ceil((*next - now) * 1000.0)), 0, 50);
        }
        pollfd fds[3] = {{port.fd, POLLIN, 0}, {port.watchFd, POLLIN, 0}, {input.fd(), POLLIN, 0}};
        const int ready = poll(fds, 3, timeoutMs);
        now = secondsSince(start);
        if (ready < 0 && errno != EINTR) break;

        // Operator commands first: a fault switched on just before a request applies to it.
        if (ready > 0 && (fds[2].revents & (POLLIN | POLLHUP))) input.read(loop);

        bool hungUp = ready > 0 && (fds[0].revents & (POLLHUP | POLLERR));
        if (ready > 0 && (fds[0].revents & POLLIN)) hungUp = receive(port, loop, now, hungUp);
        // Nobody on the other side: poll would wake at once, so wait a little instead.
        if (hungUp) usleep(20000);
        if (ready > 0 && (fds[1].revents & POLLIN)) serviceWatch(port);
        loop.tick(now, pacer.idle());
        for (const hartsim::Transmission& t : loop.takeOutbox()) pacer.queue(t, now);
        for (const hartsim::Pacer::Write& w : pacer.takeDue(now)) {
            if (peerOpen(port)) writeAll(port.fd, w.bytes);
            if (w.logLine) printLine(*w.logLine);
        }
    }
}

#endif

// Serves HART-IP sessions until a signal or the operator's quit.
void serveHartIp(hartsim::HartIpServer& server, hartsim::Loop& loop) {
    const auto start = std::chrono::steady_clock::now();
#ifndef _WIN32
    OperatorInput input;
#endif
    while (!gStop && !loop.quitRequested()) {
        double now = secondsSince(start);
        int timeoutMs = 50;
        if (const auto next = server.nextAt()) {
            timeoutMs = std::clamp(static_cast<int>(std::ceil((*next - now) * 1000.0)), 0, 50);
        }
        std::vector<pollfd> fds = server.pollFds();
#ifndef _WIN32
        fds.push_back({input.fd(), POLLIN, 0});
#endif
        // Winsock waits on sockets alone: on Windows no operator commands come in.
        const int ready =
            serial::net::poll(fds.data(), static_cast<unsigned>(fds.size()), timeoutMs);
        now = secondsSince(start);
        if (ready < 0 && !serial::net::interrupted(serial::net::lastError())) break;
#ifndef _WIN32
        if (ready > 0 && (fds.back().revents & (POLLIN | POLLHUP))) input.read(loop);
        fds.pop_back();
#endif
        server.service(fds, loop, now);
        // The loop is never busy sending here: every message goes out whole.
        loop.tick(now, true);
        server.publish(loop.takeOutbox());
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

    std::vector<Device> devices = buildDevices(options);
    if (options.hartIpPort >= 0) {
        const auto transport =
            options.hartIpUdp ? serial::hartip::Transport::Udp : serial::hartip::Transport::Tcp;
        HartIpServer server(printLine, transport);
        std::string error;
        if (!server.listen(static_cast<std::uint16_t>(options.hartIpPort), error)) {
            std::fprintf(stderr, "hart-sim: %s\n", error.c_str());
            return 1;
        }
        printLine(std::string("PORT ") + (options.hartIpUdp ? "hartip+udp" : "hartip") +
                  "://127.0.0.1:" + std::to_string(server.port()));
        installSignals();
        Loop loop(std::move(devices), options.preambles, printLine);
        serveHartIp(server, loop);
        return 0;
    }
#ifdef _WIN32
    std::fputs("hart-sim: on Windows the simulator serves HART-IP only (--hartip PORT)\n", stderr);
    return 2;
#else
    Port port;
    if (!openLine(options, port)) return 1;
    printLine("PORT " + port.path);
    installSignals();

    Loop loop(std::move(devices), options.preambles, printLine);
    Pacer pacer(options.fast);
    serve(port, loop, pacer);

    if (!options.link.empty()) removeLink(options.link, port.path);
    closePort(port);
    return 0;
#endif
}
