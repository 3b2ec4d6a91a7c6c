// hart-sim --hartip as a master's raw socket meets it: what it answers before and after a
// session starts, a session ended by its inactivity time, and burst frames published.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "link/hartip.h"
#include "testing/process.h"

namespace hartsim {
namespace {

namespace hip = serial::hartip;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// A TCP connection to the simulator's port, messages in and out.
class Master {
  public:
    explicit Master(const std::string& portName) {
        const auto where = hip::parseName(portName).where;
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(where ? where->port : 0);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~Master() { ::close(fd_); }
    bool connected() const { return connected_; }

    void send(const Bytes& m) {
        ASSERT_EQ(::send(fd_, m.data(), m.size(), MSG_NOSIGNAL), ssize_t(m.size()));
    }
    // The next message; nullopt when none comes in time or the connection ended (closed()).
    std::optional<hip::Message> next(std::chrono::milliseconds wait = 5s) {
        const auto until = std::chrono::steady_clock::now() + wait;
        for (;;) {
            if (auto m = reader_.next()) return m;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left <= 0ms || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) return {};
            std::uint8_t in[512];
            const ssize_t n = ::recv(fd_, in, sizeof in, 0);
            if (n <= 0) {
                closed_ = true;
                return {};
            }
            reader_.feed(std::span(in, static_cast<std::size_t>(n)));
        }
    }
    bool closed() const { return closed_; }

  private:
    int fd_ = -1;
    bool connected_ = false;
    bool closed_ = false;
    hip::MessageReader reader_;
};

const Bytes kPoll = {0xFF, 0xFF, 0x02, 0x80, 0x00, 0x00, 0x82};

TEST(HartIpServer, AnswersSessionRequestsAsTheyAreAndPdusOnlyInASession) {
    testsupport::SimProcess sim({HART_SIM_PROGRAM, "--fast", "--hartip", "0"});
    struct Case {
        Bytes request;
        hip::Type type;
        std::uint8_t status;
    };
    const Case cases[] = {
        {hip::pduRequest(1, kPoll), hip::Type::Nak, 0},  // no session yet
        {hip::encode(hip::Type::Request, hip::Id::SessionInitiate, 2, Bytes{1, 0}),
         hip::Type::Response, hip::kStatusTooFewBytes},
        {hip::sessionInitiate(3, 1000, 7), hip::Type::Response, hip::kStatusInvalidSelection},
    };
    for (const Case& c : cases) {
        Master m(sim.port());
        ASSERT_TRUE(m.connected());
        m.send(c.request);
        const auto answer = m.next();
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->header.type, c.type);
        EXPECT_EQ(answer->header.status, c.status);
        EXPECT_EQ(answer->header.sequence, hip::decodeHeader(c.request)->sequence);
    }

    Master m(sim.port());
    m.send(hip::sessionInitiate(10, 60000));
    ASSERT_TRUE(m.next());
    m.send(hip::pduRequest(11, kPoll));
    const auto reply = m.next();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->header.type, hip::Type::Response);
    EXPECT_EQ(reply->header.sequence, 11);
    EXPECT_EQ(reply->body.at(0), 0x06);  // the short reply's delimiter: no preambles carried
}

TEST(HartIpServer, EndsASilentSessionAfterItsInactivityTimeAndPublishesBursts) {
    testsupport::SimProcess sim({HART_SIM_PROGRAM, "--fast", "--hartip", "0"});
    Master quiet(sim.port());
    quiet.send(hip::sessionInitiate(1, 300));
    ASSERT_TRUE(quiet.next());

    EXPECT_FALSE(quiet.next(10s));
    EXPECT_TRUE(quiet.closed());
    EXPECT_FALSE(sim.waitLine("# session ended: no message within the inactivity time").empty());

    Master bursts(sim.port());
    bursts.send(hip::sessionInitiate(1, 60000));
    ASSERT_TRUE(bursts.next());
    // Burst mode on (command 109, long frame to the transmitter's address).
    Bytes frame = {0xFF, 0xFF, 0x82, 0xA6, 0x06, 0x00, 0x12, 0x34, 0x6D, 0x01, 0x01};
    std::uint8_t check = 0;
    for (std::size_t i = 2; i < frame.size(); ++i) check ^= frame[i];
    frame.push_back(check);
    bursts.send(hip::pduRequest(2, frame));
    const auto taken = bursts.next();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->body.at(8), 0);  // response code
    for (int i = 0; i < 2; ++i) {
        const auto published = bursts.next(10s);
        ASSERT_TRUE(published);
        EXPECT_EQ(published->header.type, hip::Type::Publish);
        EXPECT_EQ(published->body.at(0), 0x81);
    }
}

}  // namespace
}  // namespace hartsim
