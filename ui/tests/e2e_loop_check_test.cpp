// The loop-check wizard against the simulator with an output error, the readings taken from
// its reference meter: trims and a passing as-left, a stop half-way, a port pulled mid-check.
#include <QDir>
#include <fstream>

#include "ops/loop_check.h"
#include "ui/config_files.h"
#include "ui/loop_check_wizard.h"
#include "ui/tests/e2e_fixture.h"

namespace ui {
namespace {

namespace lc = ops::loopcheck;

class LoopCheck : public EndToEnd {
  protected:
    LoopCheckWizard& wizard() { return window->loopCheck(); }
    bool enabled(const char* name) { return wizard().findChild<QWidget*>(name)->isEnabled(); }
    // Waits for a question, true for a reading, false for the trim; nothing once it ended.
    std::optional<bool> question() {
        if (!QTest::qWaitFor(
                [&] {
                    return !wizard().running() || enabled("LoopAnswer") || enabled("LoopTrimYes");
                },
                kWaitMs))
            ADD_FAILURE() << "no question came";
        if (!wizard().running() || HasFailure()) return std::nullopt;
        return enabled("LoopAnswer");
    }
    // What the meter in the loop reads now, typed as the reading.
    void typeMeter() {
        sim->send("meter");
        const std::string line = sim->waitLine("OK meter ");
        wizard()
            .findChild<QLineEdit*>("LoopReading")
            ->setText(QString::fromStdString(line.substr(9)));
        wizard().answer();
    }
    // Fixed-current frames the simulator received, by their four data bytes.
    std::vector<std::string> fixedCurrents() {
        std::vector<std::string> out;
        for (const std::string& rx : sim->received()) {
            const auto at = rx.find(" 28 04 ");
            if (at != std::string::npos) out.push_back(rx.substr(at + 7, 11));
        }
        return out;
    }
};

TEST_F(LoopCheck, MeterReadingsFailAsFoundTheTrimsPassAsLeftAndTheRecordIsSaved) {
    start();
    ASSERT_TRUE(sim->command("dac-error 1.01 0.03"));
    ASSERT_TRUE(wizard().start());
    while (const auto q = question()) *q ? typeMeter() : wizard().agree(true);
    const lc::Record& r = *wizard().record();
    EXPECT_EQ(r.outcome, lc::Outcome::Passed) << r.note;
    EXPECT_FALSE(lc::allPass(r.asFound));
    EXPECT_NEAR(r.asFound.back().readMa, 20.19, 1e-4);
    ASSERT_TRUE(r.trim);
    EXPECT_NEAR(r.trim->zeroMeteredMa, 4.03, 1e-4);
    EXPECT_EQ(r.asLeft.size(), 5u);
    EXPECT_TRUE(lc::allPass(r.asLeft));
    EXPECT_EQ(fixedCurrents().back(), "00 00 00 00");
    // The report of the configuration menu holds it.
    EXPECT_EQ(lc::toJson(*window->configFiles().lastLoopCheck), lc::toJson(r));
    const QString path = QDir::tempPath() + "/hart-loop-check-window.json";
    ASSERT_TRUE(wizard().save(path));
    std::ifstream in(path.toStdString());
    const auto p = lc::fromJson(std::string(std::istreambuf_iterator<char>(in), {}));
    ASSERT_TRUE(p.record) << p.error;
    EXPECT_EQ(lc::toJson(*p.record), lc::toJson(r));
}

TEST_F(LoopCheck, StopHalfWayLeavesFixedCurrentMode) {
    start();
    ASSERT_TRUE(wizard().start());
    ASSERT_EQ(question(), true);
    typeMeter();
    ASSERT_EQ(question(), true);
    wizard().stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard().running(); }, kWaitMs));
    EXPECT_EQ(wizard().record()->outcome, lc::Outcome::Cancelled);
    EXPECT_EQ(wizard().record()->asFound.size(), 1u);
    EXPECT_EQ(fixedCurrents(),
              (std::vector<std::string>{"40 80 00 00", "41 00 00 00", "00 00 00 00"}));
}

TEST_F(LoopCheck, PulledPortEndsTheCheckWithTheWarningAndNotesTheFixedCurrent) {
    start();
    const std::string port = sim->port();
    ASSERT_TRUE(wizard().start());
    ASSERT_EQ(question(), true);
    typeMeter();
    ASSERT_EQ(question(), true);
    ASSERT_TRUE(sim->command("quit"));
    sim->waitExit();
    wizard().findChild<QLineEdit*>("LoopReading")->setText("8.07");
    wizard().answer();  // the 12 mA request finds the port gone
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard().running(); }, kWaitMs));
    EXPECT_EQ(wizard().record()->outcome, lc::Outcome::PortLost);
    EXPECT_EQ(wizard().record()->asFound.size(), 2u);
    EXPECT_TRUE(std::any_of(messages.begin(), messages.end(), [](const QString& m) {
        return m.contains(QStringLiteral("仪表可能仍处于固定电流模式"));
    }));
    EXPECT_TRUE(lc::fixedCurrentNoted(port));
    lc::noteFixedCurrent(port, false);
}

TEST_F(LoopCheck, TheNextOpenOfThePortOffersToEndALostChecksFixedCurrent) {
    start();
    lc::noteFixedCurrent(sim->port(), true);
    QString asked;
    wizard().ask = [&](const QString& q) {
        asked = q;
        return true;
    };
    click("Button1");
    click("Button1");
    EXPECT_TRUE(asked.contains(QStringLiteral("固定电流"))) << asked.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !lc::fixedCurrentNoted(sim->port()); }, kWaitMs));
    EXPECT_EQ(fixedCurrents(), std::vector<std::string>{"00 00 00 00"});
}

}  // namespace
}  // namespace ui
