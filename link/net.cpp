#include "link/net.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <mutex>
#else
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <unistd.h>
#endif

namespace serial::net {

#ifdef _WIN32

bool start() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

int lastError() {
    return ::WSAGetLastError();
}

std::string errorText(int error) {
    if (error < WSABASEERR) return std::strerror(error);  // one of the backend's own
    char text[256] = {};
    const DWORD n =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         static_cast<DWORD>(error), 0, text, sizeof text, nullptr);
    std::string s(text, n);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == '.')) s.pop_back();
    return s.empty() ? "Winsock error " + std::to_string(error) : s;
}

bool interrupted(int error) {
    return error == WSAEINTR;
}

bool wouldBlock(int error) {
    return error == WSAEWOULDBLOCK || error == WSAEINPROGRESS;
}

bool refused(int error) {
    return error == WSAECONNREFUSED || error == ECONNREFUSED || error == WSAECONNRESET;
}

Socket open(int family, int type, int protocol) {
    if (!start()) return kNone;
    const Socket s = ::WSASocketW(family, type, protocol, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    u_long on = 1;
    if (s != kNone && ::ioctlsocket(s, FIONBIO, &on) != 0) return close(s);
    return s;
}

Socket close(Socket s) {
    if (s != kNone) ::closesocket(s);
    return kNone;
}

void noDelay(Socket s) {
    const BOOL on = TRUE;
    (void)::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

int connected(Socket s, int timeoutMs) {
    // select, not WSAPoll: older Windows never report a refused connect through WSAPoll.
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int ready = ::select(0, nullptr, &writable, &failed, &limit);
    if (ready < 0) return lastError();
    if (ready == 0) return WSAETIMEDOUT;
    int error = 0;
    int length = sizeof error;
    if (::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
        return lastError();
    return error;
}

long send(Socket s, const std::uint8_t* data, std::size_t length, bool) {
    // The socket is non-blocking already, and Winsock raises no SIGPIPE.
    return ::send(s, reinterpret_cast<const char*>(data), static_cast<int>(length), 0);
}

long receive(Socket s, std::uint8_t* buf, std::size_t capacity) {
    return ::recv(s, reinterpret_cast<char*>(buf), static_cast<int>(capacity), 0);
}

int poll(pollfd* fds, unsigned count, int timeoutMs) {
    return ::WSAPoll(fds, count, timeoutMs);
}

Socket accept(Socket listening) {
    // An accepted socket takes the listening one's non-blocking mode.
    const Socket s = ::accept(listening, nullptr, nullptr);
    if (s != kNone) ::SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    return s;
}

long sendTo(Socket s, const std::uint8_t* data, std::size_t length, const sockaddr_in& to) {
    return ::sendto(s, reinterpret_cast<const char*>(data), static_cast<int>(length), 0,
                    reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

long receiveFrom(Socket s, std::uint8_t* buf, std::size_t capacity, sockaddr_in& from) {
    int length = sizeof from;
    return ::recvfrom(s, reinterpret_cast<char*>(buf), static_cast<int>(capacity), 0,
                      reinterpret_cast<sockaddr*>(&from), &length);
}

// Only sockets can be polled beside a socket: a UDP socket on loopback that sends itself one
// datagram, never read, so it stays readable.
bool Wake::open() {
    read_ = net::open(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in self{};
    self.sin_family = AF_INET;
    self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof self;
    if (read_ == kNone || ::bind(read_, reinterpret_cast<sockaddr*>(&self), sizeof self) != 0 ||
        ::getsockname(read_, reinterpret_cast<sockaddr*>(&self), &length) != 0 ||
        ::connect(read_, reinterpret_cast<sockaddr*>(&self), sizeof self) != 0) {
        read_ = net::close(read_);
        return false;
    }
    write_ = read_;
    return true;
}

void Wake::signal() {
    const char byte = 1;
    if (write_ != kNone) (void)::send(write_, &byte, 1, 0);
}

void Wake::close() {
    read_ = net::close(read_);
    write_ = kNone;
}

#else

bool start() {
    return true;
}

int lastError() {
    return errno;
}

std::string errorText(int error) {
    return std::strerror(error);
}

bool interrupted(int error) {
    return error == EINTR;
}

bool wouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINPROGRESS;
}

bool refused(int error) {
    return error == ECONNREFUSED;
}

Socket open(int family, int type, int protocol) {
    return ::socket(family, type | SOCK_CLOEXEC | SOCK_NONBLOCK, protocol);
}

Socket close(Socket s) {
    if (s >= 0) ::close(s);
    return kNone;
}

void noDelay(Socket s) {
    const int on = 1;
    (void)::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

int connected(Socket s, int timeoutMs) {
    pollfd p{s, POLLOUT, 0};
    int rc;
    while ((rc = ::poll(&p, 1, timeoutMs)) < 0 && errno == EINTR) {
    }
    if (rc == 0) return ETIMEDOUT;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
    return error;
}

long send(Socket s, const std::uint8_t* data, std::size_t length, bool dontWait) {
    return ::send(s, data, length, MSG_NOSIGNAL | (dontWait ? MSG_DONTWAIT : 0));
}

long receive(Socket s, std::uint8_t* buf, std::size_t capacity) {
    return ::recv(s, buf, capacity, 0);
}

int poll(pollfd* fds, unsigned count, int timeoutMs) {
    return ::poll(fds, count, timeoutMs);
}

Socket accept(Socket listening) {
    return ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
}

long sendTo(Socket s, const std::uint8_t* data, std::size_t length, const sockaddr_in& to) {
    return ::sendto(s, data, length, MSG_NOSIGNAL | MSG_DONTWAIT,
                    reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

long receiveFrom(Socket s, std::uint8_t* buf, std::size_t capacity, sockaddr_in& from) {
    socklen_t length = sizeof from;
    return ::recvfrom(s, buf, capacity, 0, reinterpret_cast<sockaddr*>(&from), &length);
}

bool Wake::open() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    read_ = fds[0];
    write_ = fds[1];
    return true;
}

void Wake::signal() {
    const char byte = 1;
    if (write_ >= 0) (void)!::write(write_, &byte, 1);
}

void Wake::close() {
    read_ = net::close(read_);
    write_ = net::close(write_);
}

#endif

Socket listenLoopback(int type, std::uint16_t port) {
    Socket s = open(AF_INET, type, 0);
    if (s == kNone) return kNone;
#ifndef _WIN32
    // A restarted server has its port back at once. (On Windows this option would let another
    // program take a port in use.)
    const int on = 1;
    (void)::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
#endif
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never reachable from another machine
    if (::bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 ||
        (type == SOCK_STREAM && ::listen(s, 64) != 0)) {
        const int error = lastError();
        close(s);
#ifdef _WIN32
        ::WSASetLastError(error);
#else
        errno = error;
#endif
        return kNone;
    }
    return s;
}

std::uint16_t localPort(Socket s) {
    sockaddr_in a{};
    socklen_t length = sizeof a;
    if (::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) != 0) return 0;
    return ntohs(a.sin_port);
}

}  // namespace serial::net
