// The loop behind a HART-IP gateway: sessions on a loopback TCP or UDP port, each PDU answered
// by the same devices as on the serial line, burst frames published to every session. Over UDP
// a session is the master's address and port, and each datagram carries one message.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/hartip.h"
#include "link/net.h"
#include "sim/loop.h"

namespace hartsim {

inline constexpr std::size_t kMaxSessions = 64;

class HartIpServer {
  public:
    using Log = std::function<void(const std::string&)>;

    explicit HartIpServer(Log log, serial::hartip::Transport transport = {})
        : log_(std::move(log)), udp_(transport == serial::hartip::Transport::Udp) {}
    ~HartIpServer();
    HartIpServer(const HartIpServer&) = delete;
    HartIpServer& operator=(const HartIpServer&) = delete;

    // Listens on 127.0.0.1 only (port 0: one the system picks). False with the reason.
    bool listen(std::uint16_t port, std::string& error);
    std::uint16_t port() const { return port_; }

    // The descriptors to wait on, the listening (over UDP: the only) one first.
    std::vector<pollfd> pollFds() const;
    // After the wait on pollFds(): new connections, received messages answered through the
    // loop, sessions ended, replies that are due sent.
    void service(const std::vector<pollfd>& ready, Loop& loop, double now);
    // Burst frames the loop made on its tick, to every session.
    void publish(const std::vector<Transmission>& bursts);
    // When the next held-back reply (delay fault) is due.
    std::optional<double> nextAt() const;

  private:
    struct Due {
        double at;
        std::vector<std::uint8_t> message;
    };
    struct Client {
        serial::net::Socket fd = serial::net::kNone;  // over UDP the server's socket, not the
                                                      // client's to close
        sockaddr_in peer{};
        serial::hartip::MessageReader reader;
        bool session = false;
        std::uint32_t inactivityMs = 0;
        double lastHeard = 0.0;
        std::deque<Due> due;
        std::vector<std::uint8_t> unsent;  // what the socket did not take yet
        bool closing = false;              // ends once unsent is out
    };

    void accept(double now);
    void receive(Loop& loop, double now);
    void read(Client& c, Loop& loop, double now);
    void answer(Client& c, const serial::hartip::Message& m, Loop& loop, double now);
    void queue(Client& c, double at, std::vector<std::uint8_t> message);
    void flush(Client& c, double now);
    void end(Client& c, const std::string& why);

    Log log_;
    bool udp_ = false;
    serial::net::Socket listenFd_ = serial::net::kNone;
    std::uint16_t port_ = 0;
    std::uint16_t publishSequence_ = 0;
    std::vector<Client> clients_;
};

}  // namespace hartsim
