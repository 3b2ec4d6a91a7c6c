// The loop check end to end against the simulator with an output error: failing as found,
// the trims, passing as left; stopped half-way; the port pulled during the check.
#include "ops/loop_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <future>

#include "cli/app.h"
#include "testing/process.h"

namespace cli {
namespace {

namespace lc = ops::loopcheck;
using testsupport::Ran;

// With dac-error 1.01 0.03 the output drives 4 + (I - 4) * 1.01 + 0.03 mA: what the meter reads.
constexpr const char* kAsFound = "4.03 8.07 12.11 16.15 20.19\n";

struct Sim : testsupport::SimProcess {
    Sim() : SimProcess({HART_SIM_PROGRAM, "--fast"}) {
        ::setenv("XDG_STATE_HOME", (::testing::TempDir() + "loop-check-state").c_str(), 1);
        EXPECT_TRUE(command("dac-error 1.01 0.03"));
    }
    // The frames of command 40 it received, by their four data bytes.
    std::vector<std::string> fixedCurrents() const {
        std::vector<std::string> out;
        for (const std::string& rx : received()) {
            const auto at = rx.find(" 28 04 ");
            if (at != std::string::npos) out.push_back(rx.substr(at + 7, 11));
        }
        return out;
    }
};

std::string file(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + "loop-check-" + name;
    std::ofstream(path) << text;
    return path;
}

Ran check(const Sim& sim, std::vector<std::string> args) {
    args.insert(args.begin(), {HART_CLI_PROGRAM, "--port", sim.port(), "loop-check"});
    return testsupport::run(args);
}

TEST(LoopCheck, FailsAsFoundTrimsAndPassesAsLeft) {
    Sim sim;
    const std::string saved = ::testing::TempDir() + "loop-check.json";
    const Ran r =
        check(sim, {"--readings",
                    file("trim", std::string(kAsFound) + "4.03 20.19\n" + "4 8 12 16 20.01\n"),
                    "--yes", "--save", saved});
    EXPECT_EQ(r.exit, kOk) << r.err;
    std::ifstream in(saved);
    const lc::Parsed p = lc::fromJson(std::string(std::istreambuf_iterator<char>(in), {}));
    ASSERT_TRUE(p.record) << p.error;
    const lc::Record& rec = *p.record;
    EXPECT_EQ(rec.outcome, lc::Outcome::Passed);
    ASSERT_EQ(rec.asFound.size(), 5u);
    EXPECT_FALSE(rec.asFound[0].pass);
    EXPECT_DOUBLE_EQ(rec.asFound[4].errorPercentOfSpan, 1.1875);
    ASSERT_TRUE(rec.trim);
    EXPECT_DOUBLE_EQ(rec.trim->gainMeteredMa, 20.19);
    ASSERT_EQ(rec.asLeft.size(), 5u);
    EXPECT_TRUE(lc::allPass(rec.asLeft));
    EXPECT_DOUBLE_EQ(rec.asLeft[4].errorMa, 0.01);
    EXPECT_EQ(rec.instrument.at("tag"), "PT-101");
    EXPECT_EQ(rec.range->unit, "KPa");
    EXPECT_EQ(lc::toJson(rec), lc::toJson(*lc::fromJson(lc::toJson(rec)).record));
    // The meter reads true after the trims, and the output follows the process again.
    EXPECT_EQ(sim.fixedCurrents().back(), "00 00 00 00");
    EXPECT_EQ(sim.fixedCurrents().size(), 5u + 2u + 5u + 1u);
}

TEST(LoopCheck, WithoutAgreementNoTrimAndTheCheckFails) {
    Sim sim;
    const Ran r = check(sim, {"--readings", file("no-trim", kAsFound), "--json"});
    EXPECT_EQ(r.exit, kDifferent) << r.err;
    const lc::Parsed p = lc::fromJson(r.out);
    ASSERT_TRUE(p.record) << p.error;
    EXPECT_EQ(p.record->outcome, lc::Outcome::Failed);
    EXPECT_FALSE(p.record->trim);
    EXPECT_TRUE(p.record->asLeft.empty());
    EXPECT_EQ(sim.fixedCurrents().back(), "00 00 00 00");
}

TEST(LoopCheck, RefusedTrimFailsTheCheckAndLeavesFixedCurrentMode) {
    Sim sim;
    ASSERT_TRUE(sim.command("protect on"));
    const Ran r = check(sim, {"--readings", file("protected", std::string(kAsFound) + "4.03\n"),
                              "--yes", "--json"});
    EXPECT_EQ(r.exit, kFailureCode);
    const lc::Parsed p = lc::fromJson(r.out);
    ASSERT_TRUE(p.record) << p.error;
    EXPECT_EQ(p.record->outcome, lc::Outcome::Failed);
    EXPECT_FALSE(p.record->trim);
    EXPECT_NE(p.record->note.find("trimming the 4 mA output"), std::string::npos) << r.err;
    EXPECT_EQ(sim.fixedCurrents().back(), "00 00 00 00");
}

TEST(LoopCheck, StoppedHalfWayLeavesFixedCurrentMode) {
    Sim sim;
    const Ran r = check(sim, {"--readings", file("half", "4.03 8.07\n"), "--json"});
    EXPECT_EQ(r.exit, kRefused);
    const lc::Parsed p = lc::fromJson(r.out);
    ASSERT_TRUE(p.record) << p.error;
    EXPECT_EQ(p.record->outcome, lc::Outcome::Cancelled);
    EXPECT_EQ(p.record->asFound.size(), 2u);
    // 4, 8 and 12 mA were fixed; the last command 40 ends the mode.
    EXPECT_EQ(sim.fixedCurrents().size(), 4u);
    EXPECT_EQ(sim.fixedCurrents().back(), "00 00 00 00");
}

TEST(LoopCheck, PulledPortEndsWithTheWarningAndTheNextCheckEndsTheFixedCurrentFirst) {
    const std::string fifo = ::testing::TempDir() + "loop-check-readings";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string port;
    {
        Sim sim;
        port = sim.port();
        auto ran = std::async(std::launch::async, [&] {
            return check(sim, {"--readings", fifo, "--json"});
        });
        std::ofstream readings(fifo);
        readings << "4.03" << std::endl;
        // 8 mA fixed, its reading awaited: the port goes.
        for (int i = 0; i < 200 && sim.fixedCurrents().size() < 2; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_EQ(sim.fixedCurrents().size(), 2u);
        ASSERT_TRUE(sim.command("quit"));
        EXPECT_EQ(sim.waitExit(), 0);
        readings << "8.07" << std::endl;
        readings.close();
        const Ran r = ran.get();
        EXPECT_EQ(r.exit, kPortFailed);
        EXPECT_NE(r.err.find("the instrument may still hold a fixed current"), std::string::npos)
            << r.err;
        const lc::Parsed p = lc::fromJson(r.out);
        ASSERT_TRUE(p.record) << p.error;
        EXPECT_EQ(p.record->outcome, lc::Outcome::PortLost);
        EXPECT_GE(p.record->asFound.size(), 1u);
        EXPECT_TRUE(lc::fixedCurrentNoted(port));
    }
    lc::noteFixedCurrent(port, false);
    // The next check on a port so noted ends the fixed current first.
    Sim sim;
    lc::noteFixedCurrent(sim.port(), true);
    const Ran r = check(sim, {"--readings", file("after-loss", "4\n"), "--yes", "--points", "4"});
    EXPECT_NE(r.err.find("may still hold a fixed current"), std::string::npos) << r.err;
    EXPECT_EQ(sim.fixedCurrents().front(), "00 00 00 00");
    EXPECT_FALSE(lc::fixedCurrentNoted(sim.port()));
}

}  // namespace
}  // namespace cli
