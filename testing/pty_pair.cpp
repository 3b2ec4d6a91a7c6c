#include "testing/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>

namespace testsupport {

using namespace std::chrono_literals;

PtyPair::PtyPair(bool raw) {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return;
    }
    path_ = name;
    if (raw) {
        termios t{};
        ::tcgetattr(master_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master_, TCSANOW, &t);
    }
    ::fcntl(master_, F_SETFL, O_NONBLOCK);
}

PtyPair::~PtyPair() {
    hangUp();
    if (slave_ >= 0) ::close(slave_);
}

termios PtyPair::slaveSettings() const {
    termios t{};
    ::tcgetattr(slave_, &t);
    return t;
}

void PtyPair::hangUp() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

bool PtyPair::write(const Bytes& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        // The terminal's buffer is full until the link reads.
        pollfd p{master_, POLLOUT, 0};
        if (n == 0 || errno != EAGAIN || ::poll(&p, 1, 5000) <= 0) return false;
    }
    return true;
}

PtyPair::Bytes PtyPair::receive(std::size_t count, std::chrono::milliseconds wait) const {
    return collect(count, wait, wait);
}

PtyPair::Bytes PtyPair::read(std::chrono::milliseconds first) const {
    return collect(std::numeric_limits<std::size_t>::max(), first, 150ms);
}

PtyPair::Bytes PtyPair::readAvailable() const {
    return collect(std::numeric_limits<std::size_t>::max(), 0ms, 0ms);
}

// Reads whole buffers, so that bytes beyond `count` show up in the comparison that follows.
PtyPair::Bytes PtyPair::collect(std::size_t count, std::chrono::milliseconds first,
                                std::chrono::milliseconds gap) const {
    Bytes out;
    auto until = std::chrono::steady_clock::now() + first;
    while (out.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(std::max(left, 0ms).count())) <= 0 ||
            !(p.revents & POLLIN)) {
            break;
        }
        std::uint8_t buf[4096];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n < 0 && errno == EAGAIN) continue;
        if (n <= 0) break;
        out.insert(out.end(), buf, buf + n);
        until = std::chrono::steady_clock::now() + gap;
    }
    return out;
}

}  // namespace testsupport
