// The far end of a pseudo-terminal, standing in for modem and instrument in window tests.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace testpeer {

class PtyPeer {
  public:
    PtyPeer() {
        char name[128] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
            path_ = name;
            termios t{};
            tcgetattr(master_, &t);
            cfmakeraw(&t);
            tcsetattr(master_, TCSANOW, &t);
        }
    }
    ~PtyPeer() {
        if (master_ >= 0) ::close(master_);
        if (slave_ >= 0) ::close(slave_);
    }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& path() const { return path_; }
    // The modem goes away: the tool's side of the terminal hangs up.
    void hangUp() {
        ::close(master_);
        master_ = -1;
    }

    void write(const std::vector<std::uint8_t>& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
        }
    }

    // Bytes the tool sent: waits up to `first` for a byte, then until 150 ms of silence.
    std::vector<std::uint8_t> read(
        std::chrono::milliseconds first = std::chrono::seconds(5)) const {
        std::vector<std::uint8_t> out;
        int wait = static_cast<int>(first.count());
        for (;;) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, wait) <= 0 || !(p.revents & POLLIN)) return out;
            std::uint8_t buf[512];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) return out;
            out.insert(out.end(), buf, buf + n);
            wait = 150;
        }
    }

    // Whatever has arrived, without waiting.
    std::vector<std::uint8_t> readAvailable() const {
        std::vector<std::uint8_t> out;
        for (;;) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN)) return out;
            std::uint8_t buf[512];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) return out;
            out.insert(out.end(), buf, buf + n);
        }
    }

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

}  // namespace testpeer
