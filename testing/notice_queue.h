// The link's notices collected for a test to wait on, in the order the workers posted them.
// Header only: a test that uses it links the link library itself.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "link/tcomm.h"

namespace testsupport {

class NoticeQueue : public serial::NoticeSink {
  public:
    void post(serial::Notice n) override {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(n));
        }
        cv_.notify_all();
    }

    std::optional<serial::Notice> next(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        if (!cv_.wait_for(lock, timeout, [this] { return !queue_.empty(); })) return std::nullopt;
        serial::Notice n = std::move(queue_.front());
        queue_.pop_front();
        return n;
    }

    // Skips notices of other kinds.
    std::optional<serial::Notice> nextOf(
        serial::Notice::Kind kind, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto until = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            if (left <= std::chrono::milliseconds(0)) return std::nullopt;
            auto n = next(left);
            if (!n) return std::nullopt;
            if (n->kind == kind) return n;
        }
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<serial::Notice> queue_;
};

}  // namespace testsupport
