// Received chunks through the request tracker into the decoder of the pending row, as the
// window's receive event and parse tick do it.
//
// Input: device identity (manufacturer, type, three identifier bytes), then requests until
// the input ends: row (two bytes, modulo the table), chunk count (1 .. 4), each chunk as a
// length byte and its bytes; the parse tick follows the last chunk. The session carries over
// from request to request, so a read can feed a later decoder.
#include <cstdlib>

#include "fuzz/input.h"
#include "hart/tracker.h"
#include "ops/operation.h"

namespace {

class FakeTimer final : public hart::Timer {
  public:
    void enable() override { on_ = true; }
    void disable() override { on_ = false; }
    bool enabled() const override { return on_; }

  private:
    bool on_ = false;
};

void check(const hart::Outcome& out) {
    // A status text always comes back, and every update names a control.
    for (const auto& u : out.updates) {
        if (u.control.empty()) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const auto rows = ops::operations();
    ops::Session session;
    session.identity.manufacturer = in.byte();
    session.identity.deviceType = in.byte();
    for (auto& b : session.identity.deviceId) b = in.byte();

    FakeTimer parse;
    FakeTimer response;
    hart::RequestTracker tracker(parse, response);
    do {
        const ops::Operation& op = rows[in.word() % rows.size()];
        const hart::Pending pending = op.pending();
        tracker.requestSent(pending, ops::timesResponse(op.procedure));
        const int chunks = in.byte() % 4 + 1;
        for (int i = 0; i < chunks; ++i) {
            const auto r = tracker.chunkReceived(in.bytes(in.byte()));
            if (r.kept > hart::kReceiveCapacity) std::abort();
        }
        if (tracker.buffer().length() > hart::kReceiveCapacity) std::abort();
        if (const auto due = tracker.parseTick()) {
            check(ops::decode(*due, tracker.buffer(), session));
        }
        (void)tracker.responseTick();
    } while (!in.empty());
    return 0;
}
