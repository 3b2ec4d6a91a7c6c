#include "cli/line.h"

#include <cstdio>
#include <thread>

#include "hart/frame.h"
#include "hart/wire.h"
#include "link/port_backend.h"
#include "ops/device_status.h"
#include "ops/discovery.h"
#include "ops/operation.h"

namespace cli {

// Receives the link's notices on its worker threads and wakes the waiting caller.
class Line::Queue final : public serial::NoticeSink {
  public:
    void post(serial::Notice n) override {
        {
            std::lock_guard lock(mutex);
            if (n.kind == serial::Notice::Data) {
                bytes.insert(bytes.end(), n.data.begin(), n.data.end());
            } else if (n.kind == serial::Notice::Hangup) {
                hungUp = true;
            } else {
                return;  // line errors and modem lines change nothing here
            }
        }
        changed.notify_one();
    }

    // Whole burst frames, nobody's reply, are cut out of the bytes and kept apart for a
    // listener, the latest few. Called with the mutex held.
    void sift(std::vector<std::uint8_t>& from) {
        for (auto& frame : hart::cutBursts(from)) {
            if (published.size() == kPublishedKept) published.pop_front();
            published.push_back(std::move(frame));
        }
    }
    static constexpr std::size_t kPublishedKept = 16;

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::uint8_t> bytes;
    std::deque<std::vector<std::uint8_t>> published;
    bool hungUp = false;
};

Line::Line(std::function<void(const std::string&)> log)
    : log_(std::move(log)), queue_(std::make_unique<Queue>()) {}

Line::~Line() {
    comm_.setNoticeSink(nullptr);
    comm_.Close();
}

void Line::open(const std::string& port) {
    // The window's line, DTR and RTS on.
    comm_.setCommName(port);
    wholeChunks_ = serial::isHartIpName(port);
    serial::useHartLine(comm_);
    // Bytes are handed over as they come; this class tells where a reply ends.
    comm_.setReadIntervalTimeout(0xFFFFFFFF);
    comm_.setNoticeSink(queue_.get());
    comm_.Open();
    comm_.setRtsControl(serial::RtsControl::RtsEnable);
    comm_.setDtrControl(serial::DtrControl::DtrEnable);
}

void Line::log(const char* what, std::span<const std::uint8_t> bytes) {
    if (!log_) return;
    const double s = std::chrono::duration<double>(Clock::now() - started_).count();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%10.3f ", s);
    log_(std::string(stamp) + what + " " + hart::hexText(bytes));
}

namespace {

// A complete frame the pending request's reply scan accepts: nothing more will belong to it.
bool replyComplete(std::span<const std::uint8_t> bytes, const hart::Pending& pending) {
    hart::ReceiveBuffer buffer;
    buffer.store(bytes);
    auto complete = [&](const hart::ReplyScan& scan) {
        const auto reply = hart::findReply(buffer, scan);
        return reply && reply->complete();
    };
    if (!pending.decodes) {
        // The console's frame may be long or short and any command.
        return complete({hart::kLongReplyDelimiter, hart::ScanWindow::Standard, -1}) ||
               complete({hart::kShortReplyDelimiter, hart::ScanWindow::Standard, -1});
    }
    return complete(ops::replyScan(pending));
}

}  // namespace

Line::Wait Line::collect(const Whole& whole, Clock::time_point deadline) {
    Wait w;
    Clock::time_point lastByte{};
    std::unique_lock lock(queue_->mutex);
    for (;;) {
        if (!queue_->bytes.empty()) {
            w.bytes.insert(w.bytes.end(), queue_->bytes.begin(), queue_->bytes.end());
            queue_->bytes.clear();
            queue_->sift(w.bytes);
            lastByte = Clock::now();
            if (!w.bytes.empty() && (wholeChunks_ || whole(w.bytes) ||
                                     w.bytes.size() >= serial::TComm::kReadBufferSize))
                return w;
        }
        if (queue_->hungUp) {
            w.hungUp = true;
            return w;
        }
        // Once bytes came, only idle line ends the chunk, as the window's port has it.
        const auto until = w.bytes.empty() ? deadline : lastByte + kIdleEnd;
        if (queue_->changed.wait_until(lock, until) == std::cv_status::timeout &&
            queue_->bytes.empty() && !queue_->hungUp) {
            if (w.bytes.empty()) w.timedOut = true;
            return w;
        }
    }
}

Line::Wait Line::listen(Clock::time_point until) {
    Wait w;
    std::unique_lock lock(queue_->mutex);
    queue_->changed.wait_until(lock, until, [&] {
        queue_->sift(queue_->bytes);
        return !queue_->published.empty() || queue_->hungUp;
    });
    w.hungUp = queue_->hungUp;
    w.timedOut = queue_->published.empty();
    if (!w.timedOut) {
        w.bytes = std::move(queue_->published.front());
        queue_->published.pop_front();
        log("RX", w.bytes);
    }
    return w;
}

Exchange Line::exchange(const ops::Request& r, ops::Session& session,
                        std::chrono::milliseconds responseTime) {
    Exchange x;
    {
        // Whatever came while nothing was pending is nobody's reply.
        std::lock_guard lock(queue_->mutex);
        queue_->sift(queue_->bytes);
        queue_->bytes.clear();
    }
    log("TX", r.frame.bytes());
    if (!comm_.WriteData(r.frame.data(), static_cast<std::uint16_t>(r.frame.size()))) {
        x.end = Exchange::End::WriteFailed;
        return x;
    }
    if (r.counted) tracker_.addSent(r.frame.size());
    if (r.pause) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    tracker_.requestSent(r.pending, ops::timesResponse(r.procedure));

    const Wait w = collect([&](auto bytes) { return replyComplete(bytes, r.pending); },
                           Clock::now() + responseTime);
    if (w.hungUp) {
        x.end = Exchange::End::PortLost;
        return x;
    }
    if (w.timedOut) {
        x.end = Exchange::End::Timeout;
        x.outcome.result = hart::Result::TimedOut;
        if (const auto text = tracker_.responseTick())
            x.outcome.status =
                std::string(*text) + std::string(ops::noReplyHint(r.frame.bytes(), session));
        return x;
    }
    log("RX", w.bytes);
    x.reply = w.bytes;
    tracker_.chunkReceived(w.bytes);
    if (r.pending.tag == hart::kConsoleTag) {
        x.end = Exchange::End::Shown;
        x.outcome.done(hart::text::kChunkReceived);
    } else if (const auto due = tracker_.parseTick()) {
        x.end = Exchange::End::Decoded;
        x.outcome = ops::decode(*due, tracker_.buffer(), session);
    } else {
        x.end = Exchange::End::Timeout;
        x.outcome.result = hart::Result::TimedOut;
        return x;
    }
    // The console's reply is not decoded, but its status bytes are the instrument's as much as
    // any reply's.
    if (const auto status = ops::replyStatus(r.pending, tracker_.buffer())) {
        x.responseCode = status->first;
        x.deviceStatus = status->second;
    }
    return x;
}

}  // namespace cli
