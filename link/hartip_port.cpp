// HART-IP over TCP or UDP behind the port interface: a session per open, the tool's frames as
// token-passing PDUs, keep-alives from the reader's timed wait, and a self-pipe for the close
// signal as on the serial port. The two transports differ only in the socket and in how
// messages are cut out: from a stream, or one per datagram.

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <mutex>

#include "hart/wire.h"
#include "link/hartip.h"
#include "link/net.h"
#include "link/port_backend.h"

namespace serial {

namespace {

using Clock = std::chrono::steady_clock;

// Replies awaited at once: a window may queue a few requests; older ones are given up.
constexpr std::size_t kOutstanding = 16;
// UDP has no connection to lose: a device that lets this many keep-alives go unanswered is gone.
constexpr int kUnansweredKeepAlives = 2;

int msLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
}

class HartIpPort final : public PortBackend {
  public:
    explicit HartIpPort(HartIpSettings settings) : settings_(settings) {}
    ~HartIpPort() override { close(); }

    OpenStatus open(const std::string& name) override {
        const hartip::NameKind kind = hartip::parseName(name);
        if (!kind.where) {
            setError("not a HART-IP address: " + name +
                     " (hartip://HOST[:PORT], hartip+udp://HOST[:PORT] or HOST:PORT)");
            return {OpenResult::CannotOpen, EINVAL};
        }
        setError({});
        udp_ = kind.transport == hartip::Transport::Udp;
        unanswered_ = 0;
        reader_.reset();
        {
            std::lock_guard lock(outstandingMutex_);
            outstanding_.clear();
        }
        const auto deadline = Clock::now() + std::chrono::milliseconds(settings_.connectTimeoutMs);
        for (std::size_t tried = 0;; ++tried) {
            const int error = connectTo(*kind.where, deadline, tried);
            if (error != 0) return {OpenResult::CannotOpen, error};
            const OpenStatus status = startSession(deadline);
            // A UDP connect takes any address; the refusal shows only now: try the next one.
            if (!udp_ || !net::refused(status.osError)) return status;
        }
    }

    void close() override {
        if (fd_ != net::kNone && session_) {
            // Best effort: the device frees the session at once instead of at its timeout.
            const auto bye = hartip::encode(hartip::Type::Request, hartip::Id::SessionClose,
                                            nextSequence_++, {});
            (void)net::send(fd_, bye.data(), bye.size(), true);
        }
        session_ = false;
        fd_ = net::close(fd_);
        wake_.close();
    }

    bool createCloseSignal() override { return wake_.open(); }

    void signalClose() override { wake_.signal(); }

    // Messages keep their boundaries, so there is nothing half-received to drop, and the
    // line settings and read timeouts of a serial line mean nothing here.
    void purge(PurgeWhat) override {}
    void applyLineSettings(const LineSettings&) override {}
    void applyTimeouts(const Timeouts&) override {}

    IoResult readChunk(uint8_t* buf, size_t capacity, size_t& got) override {
        got = 0;
        for (;;) {
            while (auto m = reader_.next()) {
                unanswered_ = 0;
                if (const auto r = take(*m, buf, capacity, got)) return *r;
            }
            if (const char* fault = unreadable()) return failWith(fault);

            pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_.handle(), POLLIN, 0}};
            const int ready = net::poll(fds, 2, msUntilKeepAlive());
            if (ready < 0) {
                const int error = net::lastError();
                if (net::interrupted(error)) continue;
                return failWith("waiting for the device: " + net::errorText(error));
            }
            if (fds[1].revents != 0) return IoResult::Closed;
            if (ready == 0) {
                if (udp_ && unanswered_ == kUnansweredKeepAlives)
                    return failWith("the device stopped answering");
                ++unanswered_;
                const auto alive = hartip::encode(hartip::Type::Request, hartip::Id::KeepAlive,
                                                  nextSequence_++, {});
                if (const IoResult r = sendMessage(alive); r != IoResult::Ok) return r;
                continue;
            }
            if (auto gone = receive()) return failWith(std::move(*gone));
        }
    }

    IoResult writeAll(const uint8_t* data, size_t length) override {
        const std::span frame(data, length);
        if (hart::withoutPreambles(frame).empty()) return IoResult::Ok;  // nothing to carry
        const uint16_t sequence = nextSequence_++;
        const auto message = hartip::pduRequest(sequence, frame);
        if (message.empty()) return failWith("the frame is too long for a HART-IP message");
        {
            std::lock_guard lock(outstandingMutex_);
            if (outstanding_.size() == kOutstanding) outstanding_.pop_front();
            outstanding_.push_back(sequence);
        }
        return sendMessage(message);
    }

    std::string lastError() const override {
        std::lock_guard lock(errorMutex_);
        return error_;
    }
    std::uint64_t errorCount() const override {
        std::lock_guard lock(errorMutex_);
        return errors_;
    }

  private:
    void setError(std::string text) {
        std::lock_guard lock(errorMutex_);
        if (!text.empty()) ++errors_;
        error_ = std::move(text);
    }

    IoResult failWith(std::string text) {
        setError(std::move(text));
        return IoResult::Failed;
    }

    // 0 once connected, else the system's error number; the first skip addresses are passed over.
    int connectTo(const hartip::Address& where, Clock::time_point deadline, std::size_t skip) {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = udp_ ? SOCK_DGRAM : SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV;
        addrinfo* found = nullptr;
        const std::string port = std::to_string(where.port);
        if (const int rc = ::getaddrinfo(where.host.c_str(), port.c_str(), &hints, &found);
            rc != 0) {
            setError("cannot find host " + where.host + ": " + ::gai_strerror(rc));
            return EHOSTUNREACH;
        }
        int error = ECONNREFUSED;
        std::size_t left = 0;  // addresses still to try
        for (addrinfo* a = found; a != nullptr; a = a->ai_next) ++left;
        left = left > skip ? left - skip : 0;
        for (addrinfo* a = found; a != nullptr && fd_ == net::kNone; a = a->ai_next) {
            if (skip > 0) {
                --skip;
                continue;
            }
            // Each address its share of the time left, so that a silent one leaves time for
            // the next (a name with an unreachable IPv6 address and a good IPv4 one).
            const auto attemptEnd =
                Clock::now() + (deadline - Clock::now()) / std::max<std::size_t>(left--, 1);
            const net::Socket fd = net::open(a->ai_family, a->ai_socktype, a->ai_protocol);
            if (fd == net::kNone) {
                error = net::lastError();
                continue;
            }
            if (::connect(fd, a->ai_addr, static_cast<int>(a->ai_addrlen)) != 0 &&
                !net::wouldBlock(error = net::lastError())) {
                net::close(fd);
                continue;
            }
            error = net::connected(fd, msLeft(attemptEnd));
            if (error != 0) {
                net::close(fd);
                continue;
            }
            if (!udp_) net::noDelay(fd);
            fd_ = fd;
        }
        ::freeaddrinfo(found);
        if (fd_ != net::kNone) return 0;
        setError("cannot connect to " + where.host + ":" + port + ": " + net::errorText(error));
        return error;
    }

    OpenStatus startSession(Clock::time_point deadline) {
        const uint16_t sequence = nextSequence_++;
        inactivityMs_ = settings_.inactivityMs;
        const auto fail = [&](std::string text, int error) {
            setError(std::move(text));
            fd_ = net::close(fd_);
            return OpenStatus{OpenResult::CannotOpen, error};
        };
        if (sendMessage(hartip::sessionInitiate(sequence, inactivityMs_)) != IoResult::Ok)
            return fail(lastError(), ECONNRESET);
        for (;;) {
            while (auto m = reader_.next()) {
                const hartip::Header& h = m->header;
                if (h.id != hartip::Id::SessionInitiate || h.sequence != sequence) continue;
                const bool granted =
                    h.type == hartip::Type::Response &&
                    (h.status == hartip::kStatusOk || h.status == hartip::kStatusNearestValue);
                if (!granted) {
                    const std::string why = hartip::statusText(h);
                    return fail(why.empty() ? "the device refused the session" : why, 0);
                }
                if (const auto t = hartip::inactivityOf(m->body); t && *t > 0) inactivityMs_ = *t;
                session_ = true;
                return {};
            }
            if (const char* fault = unreadable()) return fail(fault, EPROTO);
            pollfd p{fd_, POLLIN, 0};
            const int ready = net::poll(&p, 1, msLeft(deadline));
            if (ready < 0 && net::interrupted(net::lastError())) continue;
            if (ready <= 0)
                return fail("the device did not answer the session initiate", ETIMEDOUT);
            int error = ECONNRESET;
            if (auto gone = receive(&error)) return fail(*gone + " at the session initiate", error);
        }
    }

    // Takes in what the socket holds: more of the stream, or one datagram as one message.
    // Why the session is gone, or nullopt while it stands.
    std::optional<std::string> receive(int* error = nullptr) {
        uint8_t in[4096];
        const long n = net::receive(fd_, in, sizeof in);
        if (n > 0) {
            if (udp_) reader_.reset();  // a datagram holds one message, never part of the next
            reader_.feed(std::span(in, static_cast<size_t>(n)));
            return std::nullopt;
        }
        if (n == 0) {
            if (udp_) return std::nullopt;  // an empty datagram says nothing
            return "the device closed the connection";
        }
        const int why = net::lastError();
        if (net::wouldBlock(why) || net::interrupted(why)) return std::nullopt;
        if (error != nullptr) *error = why;
        return std::string(udp_ ? "the device cannot be reached: " : "connection lost: ") +
               net::errorText(why);
    }

    // Why the received bytes cannot be read on, or nullptr. A broken datagram is passed over:
    // the next one starts afresh, whereas a stream has lost its message boundaries.
    const char* unreadable() {
        const char* fault = reader_.fault();
        if (fault != nullptr && udp_) {
            reader_.reset();
            return nullptr;
        }
        return fault;
    }

    // A whole message or nothing: the reader's keep-alives and the writer's PDUs never mix.
    IoResult sendMessage(const std::vector<uint8_t>& message) {
        std::lock_guard lock(sendMutex_);
        size_t done = 0;
        while (done < message.size()) {
            const long n = net::send(fd_, message.data() + done, message.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
                continue;
            }
            const int error = n < 0 ? net::lastError() : 0;
            if (n < 0 && net::interrupted(error)) continue;
            if (n < 0 && net::wouldBlock(error)) {
                pollfd fds[2] = {{fd_, POLLOUT, 0}, {wake_.handle(), POLLIN, 0}};
                if (net::poll(fds, 2, static_cast<int>(settings_.connectTimeoutMs)) == 0)
                    return failWith("the device takes no more data");
                if (fds[1].revents != 0) return IoResult::Closed;
                continue;
            }
            return failWith("connection lost: " + net::errorText(error));
        }
        lastSent_.store(Clock::now().time_since_epoch().count());
        return IoResult::Ok;
    }

    // A third of the inactivity time after the last message out, so that a late keep-alive
    // still arrives in time.
    int msUntilKeepAlive() const {
        const auto due = Clock::time_point(Clock::duration(lastSent_.load())) +
                         std::chrono::milliseconds(std::max<uint32_t>(inactivityMs_ / 3, 1));
        return msLeft(due);
    }

    bool takeOutstanding(uint16_t sequence) {
        std::lock_guard lock(outstandingMutex_);
        const auto it = std::find(outstanding_.begin(), outstanding_.end(), sequence);
        if (it == outstanding_.end()) return false;
        outstanding_.erase(it);
        return true;
    }

    // What a received message means for the reader: a frame to hand on, the end of the
    // session, or nothing (nullopt).
    std::optional<IoResult> take(const hartip::Message& m, uint8_t* buf, size_t capacity,
                                 size_t& got) {
        const hartip::Header& h = m.header;
        if (h.type == hartip::Type::Error || h.type == hartip::Type::Nak) {
            if (h.id == hartip::Id::Pdu) takeOutstanding(h.sequence);
            setError(hartip::statusText(h));
            return std::nullopt;
        }
        if (h.type == hartip::Type::Request && h.id == hartip::Id::SessionClose)
            return failWith("the device closed the session");
        if (h.id != hartip::Id::Pdu) return std::nullopt;
        if (h.type == hartip::Type::Response) {
            // A reply to a request given up (or never sent) is nobody's.
            if (!takeOutstanding(h.sequence)) return std::nullopt;
            if (h.status != hartip::kStatusOk) setError(hartip::statusText(h));
        } else if (h.type != hartip::Type::Publish) {
            return std::nullopt;
        }
        if (m.body.empty()) return std::nullopt;
        const std::vector<uint8_t> frame = hartip::withPreambles(m.body);
        got = std::min(capacity, frame.size());
        std::copy_n(frame.begin(), got, buf);
        return IoResult::Ok;
    }

    const HartIpSettings settings_;
    net::Socket fd_ = net::kNone;
    net::Wake wake_;
    bool session_ = false;
    bool udp_ = false;           // set at open, before the workers start
    int unanswered_ = 0;         // keep-alives sent since the device was last heard; the reader's
    uint32_t inactivityMs_ = 0;  // as the device granted it; set before the workers start
    std::atomic<uint16_t> nextSequence_{0};
    std::atomic<Clock::rep> lastSent_{0};
    hartip::MessageReader reader_;  // the opener's, then the reader thread's
    std::mutex sendMutex_;
    std::mutex outstandingMutex_;
    std::deque<uint16_t> outstanding_;
    mutable std::mutex errorMutex_;
    std::string error_;
    std::uint64_t errors_ = 0;
};

// The serial port or HART-IP, chosen by the name at each open; the choice holds until the next.
class SelectingPort final : public PortBackend {
  public:
    OpenStatus open(const std::string& name) override {
        if (isHartIpName(name)) {
            if (!hartIp_) hartIp_ = makeHartIpBackend();
            active_ = hartIp_.get();
        } else {
            active_ = serial_.get();
        }
        return active_->open(name);
    }
    void close() override { active_->close(); }
    bool createCloseSignal() override { return active_->createCloseSignal(); }
    void signalClose() override { active_->signalClose(); }
    void purge(PurgeWhat what) override { active_->purge(what); }
    void applyLineSettings(const LineSettings& s) override { active_->applyLineSettings(s); }
    void applyTimeouts(const Timeouts& t) override { active_->applyTimeouts(t); }
    IoResult readChunk(uint8_t* buf, size_t capacity, size_t& got) override {
        return active_->readChunk(buf, capacity, got);
    }
    IoResult writeAll(const uint8_t* data, size_t length) override {
        return active_->writeAll(data, length);
    }
    std::string lastError() const override { return active_->lastError(); }
    std::uint64_t errorCount() const override { return active_->errorCount(); }

  private:
    std::unique_ptr<PortBackend> serial_ = makeSerialBackend();
    std::unique_ptr<PortBackend> hartIp_;
    PortBackend* active_ = serial_.get();
};

}  // namespace

std::unique_ptr<PortBackend> makeHartIpBackend(HartIpSettings settings) {
    return std::make_unique<HartIpPort>(settings);
}

std::unique_ptr<PortBackend> makePortBackend() {
    return std::make_unique<SelectingPort>();
}

bool isHartIpName(std::string_view name) {
    return hartip::parseName(name).hartIp;
}

}  // namespace serial
