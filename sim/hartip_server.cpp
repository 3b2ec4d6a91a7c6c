#include "sim/hartip_server.h"

#include <algorithm>

#include "hart/wire.h"

namespace hartsim {

namespace hip = serial::hartip;
namespace net = serial::net;

namespace {

// A connection that starts no session within this time is dropped.
constexpr double kInitiateWithinS = 10.0;
// Over UDP anyone may send: masters beyond these, without a session yet, are not heard.
constexpr std::size_t kMaxPeers = 2 * kMaxSessions;

void sendDatagram(net::Socket fd, const sockaddr_in& to, std::span<const std::uint8_t> message) {
    (void)net::sendTo(fd, message.data(), message.size(), to);
}

bool again(int error) {
    return net::wouldBlock(error) || net::interrupted(error);
}

bool samePeer(const sockaddr_in& a, const sockaddr_in& b) {
    return a.sin_addr.s_addr == b.sin_addr.s_addr && a.sin_port == b.sin_port;
}

std::vector<std::uint8_t> answerTo(const hip::Header& h, std::span<const std::uint8_t> body,
                                   std::uint8_t status = hip::kStatusOk,
                                   hip::Type type = hip::Type::Response) {
    return hip::encode(type, h.id, h.sequence, body, status);
}

}  // namespace

HartIpServer::~HartIpServer() {
    if (!udp_)
        for (Client& c : clients_) net::close(c.fd);
    net::close(listenFd_);
}

bool HartIpServer::listen(std::uint16_t port, std::string& error) {
    listenFd_ = net::listenLoopback(udp_ ? SOCK_DGRAM : SOCK_STREAM, port);
    if (listenFd_ == net::kNone) {
        error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " +
                net::errorText(net::lastError());
        return false;
    }
    port_ = net::localPort(listenFd_);
    return true;
}

std::vector<pollfd> HartIpServer::pollFds() const {
    std::vector<pollfd> fds{{listenFd_, POLLIN, 0}};
    if (udp_) return fds;  // what a datagram socket does not take is lost, as on any network
    for (const Client& c : clients_) {
        const short events = static_cast<short>(POLLIN | (c.unsent.empty() ? 0 : POLLOUT));
        fds.push_back({c.fd, events, 0});
    }
    return fds;
}

void HartIpServer::service(const std::vector<pollfd>& ready, Loop& loop, double now) {
    const bool incoming = !ready.empty() && (ready[0].revents & POLLIN);
    if (udp_ && incoming) receive(loop, now);
    for (std::size_t i = 0; i < clients_.size(); ++i) {
        Client& c = clients_[i];
        if (!udp_ && i + 1 < ready.size() && (ready[i + 1].revents & (POLLIN | POLLHUP | POLLERR)))
            read(c, loop, now);
        const double quiet = now - c.lastHeard;
        if (c.fd != net::kNone && !c.closing && c.session && quiet * 1000.0 > c.inactivityMs)
            end(c, "no message within the inactivity time");
        if (c.fd != net::kNone && !c.session && quiet > kInitiateWithinS)
            end(c, "no session initiate");
        if (c.fd != net::kNone) flush(c, now);
    }
    std::erase_if(clients_, [](const Client& c) { return c.fd == net::kNone; });
    if (!udp_ && incoming) accept(now);
}

void HartIpServer::receive(Loop& loop, double now) {
    for (;;) {
        std::uint8_t in[4096];
        sockaddr_in from{};
        const long n = net::receiveFrom(listenFd_, in, sizeof in, from);
        if (n < 0 && net::interrupted(net::lastError())) continue;
        if (n < 0) return;  // nothing more in (or an error the next datagram will tell)
        auto c = std::find_if(clients_.begin(), clients_.end(), [&](const Client& k) {
            return k.fd != net::kNone && samePeer(k.peer, from);
        });
        if (c == clients_.end()) {
            if (clients_.size() >= kMaxPeers) continue;
            Client fresh;
            fresh.fd = listenFd_;
            fresh.peer = from;
            clients_.push_back(std::move(fresh));
            c = clients_.end() - 1;
        }
        // One message per datagram: whatever came before does not run on into this one.
        c->reader.reset();
        c->reader.feed(std::span(in, static_cast<std::size_t>(n)));
        const auto m = c->reader.next();
        if (!m) continue;  // a broken datagram is passed over; the next one starts afresh
        c->lastHeard = now;
        if (!c->closing) answer(*c, *m, loop, now);
    }
}

void HartIpServer::accept(double now) {
    for (;;) {
        const net::Socket fd = net::accept(listenFd_);
        if (fd == net::kNone) return;
        net::noDelay(fd);
        Client c;
        c.fd = fd;
        c.lastHeard = now;
        clients_.push_back(std::move(c));
    }
}

void HartIpServer::read(Client& c, Loop& loop, double now) {
    std::uint8_t in[4096];
    const long n = net::receive(c.fd, in, sizeof in);
    if (n < 0 && again(net::lastError())) return;
    if (n <= 0) {
        end(c, "the master closed the connection");
        return;
    }
    c.lastHeard = now;
    c.reader.feed(std::span(in, static_cast<std::size_t>(n)));
    while (c.fd != net::kNone && !c.closing) {
        const auto m = c.reader.next();
        if (!m) break;
        answer(c, *m, loop, now);
    }
    if (c.fd != net::kNone && c.reader.fault() != nullptr) end(c, c.reader.fault());
}

void HartIpServer::answer(Client& c, const hip::Message& m, Loop& loop, double now) {
    const hip::Header& h = m.header;
    if (h.type != hip::Type::Request) return;  // masters send only requests
    if (loop.faults().silent) return;          // nothing is sent, not even the session's answers
    switch (h.id) {
        case hip::Id::SessionInitiate: {
            std::uint8_t status = hip::kStatusOk;
            if (m.body.size() < 5) {
                status = hip::kStatusTooFewBytes;
            } else if (m.body[0] > hip::kPrimaryMaster) {
                status = hip::kStatusInvalidSelection;
            } else if (clients_.size() > kMaxSessions) {
                status = hip::kStatusAllSessionsInUse;
            }
            if (status != hip::kStatusOk) {
                queue(c, now, answerTo(h, m.body, status));
                c.closing = true;
                return;
            }
            const std::uint32_t asked = *hip::inactivityOf(m.body);
            const std::uint32_t granted =
                loop.faults().grantMs != 0 ? loop.faults().grantMs : asked;
            // Another time than asked is told with status 8: the session stands, kept alive by it.
            const auto body = hip::sessionInitiate(h.sequence, granted, m.body[0]);
            queue(c, now,
                  answerTo(h, std::span(body).subspan(hip::kHeaderSize),
                           granted == asked ? hip::kStatusOk : hip::kStatusNearestValue));
            c.session = true;
            c.inactivityMs = granted;
            log_("# session opened, inactivity " + std::to_string(granted) + " ms" +
                 (granted == asked ? "" : " (asked " + std::to_string(asked) + ")"));
            return;
        }
        case hip::Id::SessionClose:
            queue(c, now, answerTo(h, {}));
            c.closing = true;
            log_("# session closed by the master");
            return;
        case hip::Id::KeepAlive:
            log_("# keep-alive");
            queue(c, now, answerTo(h, {}));
            return;
        case hip::Id::Pdu:
            break;
        default:
            queue(c, now, answerTo(h, {}, 0, hip::Type::Nak));
            return;
    }
    if (!c.session || loop.faults().nak) {
        log_(c.session ? "# nak: request refused" : "# refused: no session");
        queue(c, now, answerTo(h, {}, 0, hip::Type::Nak));
        return;
    }
    if (loop.faults().drop) {
        log_("# drop: session ended");
        end(c, "dropped");
        return;
    }
    log_("# request " + std::to_string(h.sequence));
    loop.receiveWhole(hip::withPreambles(m.body), now);
    for (const Transmission& t : loop.takeOutbox()) {
        double at = now;
        for (const Transmission::Piece& p : t.pieces) at += p.pauseBeforeS;
        queue(c, at, answerTo(h, hart::withoutPreambles(t.allBytes())));
    }
}

void HartIpServer::publish(const std::vector<Transmission>& bursts) {
    for (const Transmission& t : bursts) {
        const auto message = hip::encode(hip::Type::Publish, hip::Id::Pdu, publishSequence_++,
                                         hart::withoutPreambles(t.allBytes()));
        log_(logLine("TX", t.allBytes()));
        for (Client& c : clients_) {
            if (c.session && !c.closing) queue(c, 0.0, message);
        }
    }
}

void HartIpServer::queue(Client& c, double at, std::vector<std::uint8_t> message) {
    // Replies keep their order even when a later one is due sooner.
    if (!c.due.empty()) at = std::max(at, c.due.back().at);
    c.due.push_back({at, std::move(message)});
}

void HartIpServer::flush(Client& c, double now) {
    while (!c.due.empty() && c.due.front().at <= now) {
        std::vector<std::uint8_t>& m = c.due.front().message;
        const auto h = hip::decodeHeader(m);
        if (h && h->id == hip::Id::Pdu && h->type == hip::Type::Response)
            log_(logLine("TX", hip::withPreambles(std::span(m).subspan(hip::kHeaderSize))));
        if (udp_) {
            sendDatagram(c.fd, c.peer, m);
        } else {
            c.unsent.insert(c.unsent.end(), m.begin(), m.end());
        }
        c.due.pop_front();
    }
    while (!c.unsent.empty()) {
        const long n = net::send(c.fd, c.unsent.data(), c.unsent.size());
        if (n > 0) {
            c.unsent.erase(c.unsent.begin(), c.unsent.begin() + n);
        } else if (n < 0 && again(net::lastError())) {
            return;
        } else {
            end(c, "the master is gone");
            return;
        }
    }
    if (c.closing && c.due.empty()) end(c, "closed");
}

void HartIpServer::end(Client& c, const std::string& why) {
    if (c.fd == net::kNone) return;
    if (c.session) log_("# session ended: " + why);
    if (!udp_) {
        net::close(c.fd);
    } else if (c.session && !c.closing) {
        // Without a connection to close, the master learns of the end only when told.
        sendDatagram(
            c.fd, c.peer,
            hip::encode(hip::Type::Request, hip::Id::SessionClose, publishSequence_++, {}));
    }
    c.fd = net::kNone;
}

std::optional<double> HartIpServer::nextAt() const {
    std::optional<double> next;
    for (const Client& c : clients_) {
        if (!c.due.empty() && (!next || c.due.front().at < *next)) next = c.due.front().at;
    }
    return next;
}

}  // namespace hartsim
