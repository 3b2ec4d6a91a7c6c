#include "hart/wire.h"

#include <gtest/gtest.h>

#include "hart/frame.h"

namespace hart {
namespace {

// Five preambles, a long frame of the delimiter to instrument 26 06 00 12 34, its check byte.
std::vector<std::uint8_t> frame(std::uint8_t delimiter, std::uint8_t command,
                                std::vector<std::uint8_t> data) {
    std::vector<std::uint8_t> f(5, 0xFF);
    for (std::uint8_t b :
         {delimiter, std::uint8_t{0xA6}, std::uint8_t{0x06}, std::uint8_t{0x00}, std::uint8_t{0x12},
          std::uint8_t{0x34}, command, static_cast<std::uint8_t>(data.size())})
        f.push_back(b);
    for (std::uint8_t b : data) f.push_back(b);
    f.push_back(checkByte(std::span(f).subspan(5)));
    return f;
}

std::vector<std::uint8_t> operator+(std::vector<std::uint8_t> a,
                                    const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Requests and their fields are read by the simulator's parser tests, burst frames by the
// trend's; here the cut that keeps a reply whole.
TEST(Wire, CutsOnlyWholeBurstFramesBesideAReply) {
    const auto reply = frame(kLongReplyDelimiter, 1, {0, 0, 12, 0x40, 0x20, 0, 0x95});  // check FF
    const auto burst = frame(0x81, 1, {0, 0, 12, 0x40, 0x20, 0, 0});
    auto broken = burst;
    broken.back() ^= 1;
    const std::vector<std::uint8_t> cut(burst.begin(), burst.end() - 1);
    const struct {
        std::vector<std::uint8_t> in, rest;
        std::size_t bursts;
    } cases[] = {
        {burst + reply, reply, 1},         {reply + burst, reply, 1},
        {burst + reply + burst, reply, 2}, {reply + broken, reply + broken, 0},
        {reply + cut, reply + cut, 0},     {reply, reply, 0},
    };
    for (const auto& c : cases) {
        auto rest = c.in;
        EXPECT_EQ(cutBursts(rest).size(), c.bursts) << hexText(c.in);
        EXPECT_EQ(rest, c.rest) << hexText(c.in);
    }
    EXPECT_EQ(reply.back(), 0xFF);
}

}  // namespace
}  // namespace hart
