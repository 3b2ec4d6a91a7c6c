// The simulator's request stream: chunks into the frame parser, with quiet spells between,
// and every good request answered by a transmitter.
//
// Input: chunks, each a header byte (low 7 bits the length, the top bit a quiet spell after
// it) and its bytes.
#include <cstdlib>
#include <vector>

#include "fuzz/input.h"
#include "sim/device.h"
#include "sim/loop.h"
#include "sim/parser.h"

namespace {

void take(std::vector<hartsim::Incoming> incoming, std::vector<std::uint8_t>& seen,
          hartsim::Device& device) {
    for (auto& in : incoming) {
        if (in.bytes.empty()) std::abort();
        seen.insert(seen.end(), in.bytes.begin(), in.bytes.end());
        if (in.kind == hartsim::Incoming::Kind::Frame && hartsim::addressedTo(device, in.request)) {
            const auto reply = hartsim::handle(device, in.request);
            (void)hartsim::replyFrame(device, in.request, reply, 5);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    hartsim::FrameParser parser;
    hartsim::Device device = hartsim::makeDevice(hartsim::Identity{});
    std::vector<std::uint8_t> sent;
    std::vector<std::uint8_t> seen;
    while (!in.empty()) {
        const std::uint8_t header = in.byte();
        const auto chunk = in.bytes(header & 0x7F);
        sent.insert(sent.end(), chunk.begin(), chunk.end());
        take(parser.feed(chunk), seen, device);
        if (header & 0x80) take(parser.idle(), seen, device);
    }
    take(parser.idle(), seen, device);
    // Every byte comes out once, in order, as a frame or as noise.
    if (parser.holdsBytes() || seen != sent) std::abort();
    return 0;
}
