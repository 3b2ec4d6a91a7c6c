// Many open/close cycles with traffic between them leave no descriptor, thread or memory
// behind.
#include <dirent.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "link/tcomm.h"
#include "testing/process.h"
#include "testing/pty_pair.h"

namespace serial {
namespace {

using namespace std::chrono_literals;
using testsupport::PtyPair;
using testsupport::residentKb;

std::size_t entries(const char* dir) {
    std::size_t n = 0;
    if (DIR* d = ::opendir(dir)) {
        while (const dirent* e = ::readdir(d)) n += e->d_name[0] != '.';
        ::closedir(d);
    }
    return n;
}

// A sanitizer keeps freed memory in quarantine, so resident memory says nothing there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kMemoryMeasurable = false;
#else
constexpr bool kMemoryMeasurable = true;
#endif

struct CountingSink : NoticeSink {
    std::atomic<int> chunks{0};
    void post(Notice n) override {
        if (n.kind == Notice::Data) ++chunks;
    }
};

bool waitFor(const std::atomic<int>& value, int target) {
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (value.load() < target) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(LinkLoad, AThousandOpenCloseCyclesWithTrafficLeaveNothingBehind) {
    PtyPair pty;
    ASSERT_FALSE(pty.path().empty());

    CountingSink sink;
    TComm comm;
    comm.setCommName(pty.path());
    comm.setReadIntervalTimeout(5);  // short chunks keep a thousand cycles quick
    // As the window opens it: the frames carry 0x11 and 0x13, which must not pause the line.
    comm.setOutxXonXoffFlow(false);
    comm.setInxXonXoffFlow(false);
    comm.setNoticeSink(&sink);

    auto cycle = [&](int i) {
        comm.Open();
        const std::uint8_t frame[] = {0xFF, 0x02, static_cast<std::uint8_t>(i)};
        ASSERT_TRUE(comm.WriteData(frame, sizeof frame));
        ASSERT_FALSE(pty.receive(1).empty()) << "cycle " << i << ": nothing written";
        const int before = sink.chunks.load();
        ASSERT_TRUE(pty.write({std::begin(frame), std::end(frame)}));
        ASSERT_TRUE(waitFor(sink.chunks, before + 1)) << "cycle " << i;
        comm.Close();
    };

    for (int i = 0; i < 50; ++i) cycle(i);  // warm-up: allocators and thread stacks settle
    const std::size_t fds = entries("/proc/self/fd");
    const std::size_t threads = entries("/proc/self/task");
    const long rss = residentKb();
    for (int i = 0; i < 1000; ++i) {
        cycle(i);
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(entries("/proc/self/fd"), fds);
    EXPECT_EQ(entries("/proc/self/task"), threads);
    if (kMemoryMeasurable) {
        EXPECT_LT(residentKb(), rss + rss / 20 + 512)
            << "resident memory grew from " << rss << " kB";
    }
}

}  // namespace
}  // namespace serial
