#include "testing/pty_pair.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>

#ifdef _WIN32
#include <windows.h>

#include <stdexcept>
#include <thread>
#else
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>
#endif

namespace testsupport {

using namespace std::chrono_literals;

#ifdef _WIN32
PtyPair::PtyPair(bool) {
    const char* com = std::getenv("HART_TEST_COM");
    const char* peer = std::getenv("HART_TEST_PEER");
    if (com == nullptr || peer == nullptr) throw std::runtime_error("no joined COM ports named");
    path_ = com;
    peer_ = ::CreateFileA((std::string("\\\\.\\") + peer).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                          nullptr, OPEN_EXISTING, 0, nullptr);
    if (peer_ == INVALID_HANDLE_VALUE) throw std::runtime_error(std::string("cannot open ") + peer);
    COMMTIMEOUTS t{MAXDWORD, 0, 0, 0, 0};  // reads return at once: the waits are ours
    ::SetCommTimeouts(peer_, &t);
    readAvailable();  // the pair outlives each test: what an earlier one left is not this one's
}

PtyPair::~PtyPair() {
    hangUp();
}

// Closes the test's end only: socat keeps the link's end open, so the link sees no hang-up.
void PtyPair::hangUp() {
    if (peer_ != nullptr) ::CloseHandle(peer_);
    peer_ = nullptr;
}

bool PtyPair::write(const Bytes& bytes) const {
    DWORD n = 0;
    return ::WriteFile(peer_, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) &&
           n == bytes.size();
}

PtyPair::Bytes PtyPair::collect(std::size_t count, std::chrono::milliseconds first,
                                std::chrono::milliseconds gap) const {
    Bytes out;
    auto until = std::chrono::steady_clock::now() + first;
    std::uint8_t buf[4096];
    for (DWORD n = 0; out.size() < count && ::ReadFile(peer_, buf, sizeof buf, &n, nullptr);) {
        if (n > 0) until = std::chrono::steady_clock::now() + gap;
        if (n == 0 && std::chrono::steady_clock::now() >= until) break;
        if (n == 0) std::this_thread::sleep_for(5ms);
        out.insert(out.end(), buf, buf + n);
    }
    return out;
}
#else
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
#endif

PtyPair::Bytes PtyPair::receive(std::size_t count, std::chrono::milliseconds wait) const {
    return collect(count, wait, wait);
}

PtyPair::Bytes PtyPair::read(std::chrono::milliseconds first) const {
    return collect(std::numeric_limits<std::size_t>::max(), first, 150ms);
}

PtyPair::Bytes PtyPair::readAvailable() const {
    return collect(std::numeric_limits<std::size_t>::max(), 0ms, 0ms);
}

#ifndef _WIN32
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

#endif

}  // namespace testsupport
