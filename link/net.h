#pragma once

// The little of BSD sockets and Winsock that HART-IP needs, under one set of names, so that the
// backend reads the same on both. Error numbers are the system's own (errno, or a Winsock
// code); ask the helpers below what one means.

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#endif

#include <cstddef>
#include <cstdint>
#include <string>

namespace serial::net {

#ifdef _WIN32
using Socket = SOCKET;
#else
using Socket = int;
#endif
inline constexpr Socket kNone = static_cast<Socket>(-1);

// Sockets usable in this process (Winsock started once); false when they are not.
bool start();
int lastError();
std::string errorText(int error);
bool interrupted(int error);
bool wouldBlock(int error);  // also a connect still under way
bool refused(int error);     // also ECONNREFUSED itself, which the backend reports

// A non-blocking socket not inherited by child programs, or kNone (see lastError()).
Socket open(int family, int type, int protocol);
Socket close(Socket s);  // kNone, to assign
void noDelay(Socket s);
// 0 once a connect under way succeeded, else why it failed (a timeout too).
int connected(Socket s, int timeoutMs);
long send(Socket s, const std::uint8_t* data, std::size_t length, bool dontWait = false);
long receive(Socket s, std::uint8_t* buf, std::size_t capacity);
int poll(pollfd* fds, unsigned count, int timeoutMs);

// The server's side, on 127.0.0.1 only: a non-blocking socket bound to `port` (0: one the
// system picks) and, for a stream, listening; kNone on failure (see lastError()).
Socket listenLoopback(int type, std::uint16_t port);
std::uint16_t localPort(Socket s);
// A connection waiting on a listening socket, non-blocking and not inherited, or kNone.
Socket accept(Socket listening);
long sendTo(Socket s, const std::uint8_t* data, std::size_t length, const sockaddr_in& to);
long receiveFrom(Socket s, std::uint8_t* buf, std::size_t capacity, sockaddr_in& from);

// The close signal a poll waits on beside its socket: once set it stays set until closed.
class Wake {
  public:
    ~Wake() { close(); }
    bool open();
    void signal();
    void close();
    Socket handle() const { return read_; }

  private:
    Socket read_ = kNone;
    Socket write_ = kNone;
};

}  // namespace serial::net
