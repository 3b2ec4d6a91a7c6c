// Figures, not checks: each case prints "RESULT <name> <value>" lines that scripts/bench
// gathers into one table. Built only with HART_BENCH and never run by CTest.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "hart/tracker.h"
#include "ops/operation.h"
#include "ops/tests/op_test_util.h"
#include "ops/trend.h"
#include "sim/loop.h"
#include "sim/models.h"
#include "ui/tests/e2e_fixture.h"
#include "ui/trend_window.h"

namespace ui {
namespace {

using Clock = std::chrono::steady_clock;
const QString kWriteOk = QStringLiteral("写入成功!");

void result(const char* name, double value) {
    std::printf("RESULT %s %.3f\n", name, value);
    std::fflush(stdout);
}

double cpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double residentMb() {
    return static_cast<double>(testsupport::residentKb()) / 1024.0;
}

class Bench : public EndToEnd {
  protected:
    // Clicks and returns the milliseconds until the status shows the read's success; the
    // window is woken by its own events only, so the time is the event's, not a poll's.
    double transaction(const char* button) {
        const auto t0 = Clock::now();
        click(button);
        const auto deadline = t0 + std::chrono::seconds(10);
        while (text("Label68") != kReadOk && Clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        }
        const auto t1 = Clock::now();
        EXPECT_EQ(text("Label68"), kReadOk);
        return std::chrono::duration<double, std::milli>(t1 - t0).count();
    }
    // Runs the event loop for `seconds` and gives this process's CPU share of one core in %.
    double cpuShareOver(double seconds) {
        const double c0 = cpuSeconds();
        const auto t0 = Clock::now();
        // An event loop that sleeps until its events: QTest::qWait wakes every 10 ms itself.
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
        loop.exec();
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        return 100.0 * (cpuSeconds() - c0) / wall;
    }
};

// Command 3 at true 1200-baud pacing. What the line must take: the simulator's turnaround and
// the reply's bytes at 11 bits each (the pseudo-terminal hands each byte over at the start of
// its slot, so the last arrives one byte time early), then the link's 300 ms quiet and the
// 100 ms parse tick.
TEST_F(Bench, ClickToDecodedFields) {
    start({});
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    transaction("Button4");  // warm-up
    const std::string tx = sim->lines().back();
    ASSERT_EQ(tx.rfind("TX ", 0), 0u) << tx;
    const double replyBytes = static_cast<double>((tx.size() - 3 + 1) / 3);
    const double floorMs =
        1000.0 * (hartsim::Pacer::kTurnaroundS + (replyBytes - 1) * hartsim::Pacer::kByteTimeS) +
        300.0 + 100.0;
    std::vector<double> overhead;
    for (int i = 0; i < 50; ++i) overhead.push_back(transaction("Button4") - floorMs);
    std::sort(overhead.begin(), overhead.end());
    result("click_floor_ms", floorMs);
    result("click_overhead_median_ms", (overhead[24] + overhead[25]) / 2);
    result("click_overhead_max_ms", overhead.back());
}

// The same over HART-IP on loopback: a reply comes whole, so the transaction ends as it
// arrives, without the line's quiet or the parse tick.
TEST_F(Bench, ClickToDecodedOverHartIp) {
    start({"--hartip", "0"});
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    std::vector<double> ms;
    for (int i = 0; i < 51; ++i) ms.push_back(transaction("Button4"));
    std::sort(ms.begin(), ms.end());
    result("hartip_click_median_ms", ms[25]);
    result("hartip_click_max_ms", ms.back());
}

// Two minutes idle, twice the inactivity time the session asked for: the keep-alives hold
// it, and the next click is answered on the same session.
TEST_F(Bench, HartIpSessionOverATwoMinuteIdle) {
    start({"--hartip", "0"});
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    result("hartip_idle_cpu_percent", cpuShareOver(120.0));
    transaction("Button4");
    const auto log = sim->lines();
    const auto count = [&](const char* what) {
        return std::count_if(log.begin(), log.end(), [&](auto& l) { return l.starts_with(what); });
    };
    result("hartip_idle_held", count("# session opened") == 1 && count("# session ended") == 0);
}

TEST_F(Bench, IdleCpuWithPortOpen) {
    start({});
    QTest::qWait(1000);
    result("idle_cpu_percent", cpuShareOver(60.0));
}

TEST_F(Bench, CpuDuringBurstTraffic) {
    start({});
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    click("Button19");
    ASSERT_TRUE(waitStatus(kWriteOk));
    QTest::qWait(2000);
    result("burst_cpu_percent", cpuShareOver(30.0));
    click("Button9");
    waitStatus(kWriteOk);
}

TEST_F(Bench, MemoryAfterThousandTransactions) {
    start();
    // A short quiet interval: memory, not pacing, is measured here.
    window->comm().setReadIntervalTimeout(10);
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    result("rss_after_open_mb", residentMb());
    for (int i = 0; i < 1000; ++i) transaction(i % 2 ? "Button4" : "Button34");
    result("rss_after_1000_mb", residentMb());
}

// A day of samples at 1 s: the memory it takes and the redraw of its whole span.
TEST(TrendBench, DayAtOneSecond) {
    TrendWindow trend([] { return false; });
    const double before = residentMb();
    ops::trend::Sample s;
    s.units = {"kPa", "degC", "degC", "%", "mA", "%"};
    const auto start = ops::trend::Clock::now() - std::chrono::hours(24);
    for (int i = 0; i < 86400; ++i) {
        s.at = start + std::chrono::seconds(i);
        for (std::size_t k = 0; k < 6; ++k)
            s.values[k] = std::sin(i / 600.0 + static_cast<double>(k)) * 10.0 + 20.0;
        if (i % 3600 < 60) s.values[0].reset();  // a minute's gap every hour
        trend.add(s);
    }
    // Shown only now: a shown trend redraws at each sample.
    trend.show();
    QTest::qWait(200);
    result("trend_day_mb", residentMb() - before);
    std::vector<double> ms;
    for (int i = 0; i < 11; ++i) {
        const auto t0 = Clock::now();
        trend.redraw();
        trend.repaint();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    result("trend_redraw_ms", ms[ms.size() / 2]);
}

TEST_F(Bench, CpuWhileTrending) {
    start({});
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    window->showTrend();
    window->trend()->findChild<QPushButton*>("TrendStart")->click();
    QTest::qWait(2000);
    result("trend_cpu_percent", cpuShareOver(30.0));
}

// The reply path of the parse tick without the window: every row's simulator reply through
// the tracker and its decoder, round and round.
TEST(DecoderBench, RepliesPerSecond) {
    class NoTimer final : public hart::Timer {
      public:
        void enable() override {}
        void disable() override {}
        bool enabled() const override { return false; }
    };
    struct Case {
        hart::Pending pending;
        std::vector<std::uint8_t> reply;
        ops::Session session;
    };
    std::vector<Case> cases;
    hartsim::Device device = hartsim::makeDevice(hartsim::Identity{});
    for (const ops::Operation& op : ops::operations()) {
        ops::Session session;
        session.identity = {0x26, 0x06, {0x00, 0x12, 0x34}, 0};
        const ops::Request r = ops::build(op, ops::testing::validControls(), session);
        if (!r.refusal.empty() || !r.pending.decodes) continue;
        hartsim::FrameParser parser;
        const auto frame = r.frame.bytes();
        for (const auto& in : parser.feed(frame)) {
            if (in.kind != hartsim::Incoming::Kind::Frame) continue;
            const auto reply = hartsim::handle(device, in.request);
            cases.push_back(
                {r.pending, hartsim::replyFrame(device, in.request, reply, 5), session});
        }
    }
    ASSERT_FALSE(cases.empty());
    NoTimer parse;
    NoTimer response;
    hart::RequestTracker tracker(parse, response);
    std::size_t decoded = 0;
    std::size_t statusBytes = 0;
    const auto t0 = Clock::now();
    while (Clock::now() - t0 < std::chrono::seconds(3)) {
        for (auto& c : cases) {
            tracker.requestSent(c.pending, true);
            tracker.chunkReceived(c.reply);
            if (const auto due = tracker.parseTick()) {
                statusBytes += ops::decode(*due, tracker.buffer(), c.session).status.size();
                ++decoded;
            }
        }
    }
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    EXPECT_GT(statusBytes, 0u);
    result("decoder_replies_per_s", static_cast<double>(decoded) / s);
}

}  // namespace
}  // namespace ui
