// The trend against the simulator: rounds of reads through the window's request procedure,
// a click and a configuration drive that wait their turn, a burst plotted without polling, also
// beside a reply, which it leaves whole, a missed reply as a gap, and a port lost while it runs,
// its record whole.
#include <QDir>
#include <QDoubleSpinBox>
#include <fstream>
#include <set>

#include "hart/numbers.h"
#include "hart/reply.h"
#include "ui/config_files.h"
#include "ui/tests/e2e_fixture.h"
#include "ui/tests/e2e_steps.h"
#include "ui/trend_window.h"

namespace ui {
namespace {

TEST_F(EndToEnd, TrendTakesTurnsWithClicksShowsGapsAndEndsWithThePort) {
    start();
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    window->showTrend();
    TrendWindow& trend = *window->trend();
    // Drawn or not, the rounds run; undrawn, Qt's own image threads stay out of the race
    // checker's way (it cannot see their locks).
    trend.hide();
    auto latest = [&] { return trend.findChild<QLabel*>("TrendValue1")->text(); };
    auto interval = trend.findChild<QDoubleSpinBox*>("TrendInterval");
    interval->setValue(0.5);
    // Files of its own: other checkouts' runs on this machine write theirs beside them.
    const auto temp = [](const char* name) {
        return QDir::tempPath() +
               QStringLiteral("/hart-window-%1-").arg(QCoreApplication::applicationPid()) + name;
    };
    const QString csv = temp("trend.csv");
    trend.recordTo(csv);
    trend.findChild<QPushButton*>("TrendStart")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return trend.samples() >= 2; }, kWaitMs));
    EXPECT_NE(latest(), "-");

    // Clicked while a read of the trend is on the line, the range read goes out after it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->tracker().pending().tag == 103; }, kWaitMs));
    click("Button13");
    EXPECT_EQ(window->tracker().pending().tag, 103);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !text("Edit14").isEmpty(); }, kWaitMs));

    // A configuration drive takes turns too and hears only of its own requests.
    ConfigFiles& files = window->configFiles();
    const QString saved = temp("trending.json");
    for (auto command : {&ConfigFiles::save, &ConfigFiles::compare}) {
        (files.*command)(saved);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !files.busy(); }, 60000));
    }
    EXPECT_EQ(messages.back(), QStringLiteral("仪表与配置文件一致。"));

    // Bursting, the instrument's own frames are plotted and the trend sends no reads. The
    // simulator bursts only in a pause of the line's conversation.
    interval->setValue(5);
    click("Button19");
    ASSERT_TRUE(waitStatus(kWriteOk));
    const QString bursting = QStringLiteral("阵发模式: 显示仪表主动发送的数据");
    auto status = [&] { return trend.findChild<QLabel*>("TrendStatus")->text(); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return status() == bursting; }, 3 * kWaitMs));
    const std::size_t sent = sim->received().size();
    const std::size_t samples = trend.samples();
    ASSERT_TRUE(QTest::qWaitFor([&] { return trend.samples() >= samples + 2; }, 3 * kWaitMs));
    EXPECT_EQ(sim->received().size(), sent);
    EXPECT_NE(latest(), "-");
    // A burst frame in the chunk of a reply, before it and then after it, spoils neither.
    ASSERT_TRUE(sim->command("crowd on"));
    const std::size_t plotted = trend.samples();
    for (int i = 0; i < 2; ++i) {
        window->control<QLineEdit>("Edit14")->clear();
        click("Button13");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !text("Edit14").isEmpty(); }, kWaitMs));
        EXPECT_EQ(text("Label68"), kReadOk);
    }
    EXPECT_GE(trend.samples(), plotted + 2);
    ASSERT_TRUE(sim->command("crowd off"));
    click("Button9");
    ASSERT_TRUE(waitStatus(kWriteOk));
    interval->setValue(0.5);

    // Unanswered for ten intervals, the instrument is said to be lost, until it answers again.
    auto lost = [&] { return trend.findChild<QLabel*>("TrendLost")->text(); };
    ASSERT_TRUE(sim->command("silent on"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return latest() == "-"; }, 3 * kWaitMs));
    EXPECT_TRUE(lost().startsWith(QStringLiteral("仪表无应答")));
    ASSERT_TRUE(sim->command("silent off"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return latest() != "-"; }, 3 * kWaitMs));
    EXPECT_EQ(lost(), "");

    // Silenced first, so that the log holds every reply the instrument sent.
    ASSERT_TRUE(sim->command("silent on"));
    std::set<float> currents;  // the currents of its command 2 replies
    for (const std::string& line : sim->lines()) {
        hart::ReceiveBuffer b;
        b.store(testsupport::hexBytes(line.starts_with("TX ") ? line.substr(3) : ""));
        if (const auto r = hart::findReply(b, {.command = 2}); r && r->has(r->firstDataOffset(), 4))
            currents.insert(hart::decodeWireFloat(r->bytes(r->firstDataOffset(), 4).first<4>()));
    }
    sim.reset();  // the modem is pulled out
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->portOpen(); }, kWaitMs));
    EXPECT_FALSE(trend.polling());
    EXPECT_EQ(status(), QStringLiteral("串口已断开!"));
    int recorded = 0;  // rows with a current, each one the instrument sent
    std::ifstream record(csv.toStdString());
    for (std::string row; std::getline(record, row);) {
        const QStringList cells = QString::fromStdString(row).split(',');
        if (row.starts_with("time,") || cells.value(5).isEmpty()) continue;
        EXPECT_TRUE(currents.contains(cells[5].toFloat())) << row;
        ++recorded;
    }
    EXPECT_GE(recorded, 4);
}

TEST_F(EndToEnd, TrendFindsTheInstrumentAtTheChosenAddress) {
    start({"--fast", "--demo"});
    window->showTrend();
    TrendWindow& trend = *window->trend();
    trend.hide();
    const QString csv = QDir::tempPath() + "/hart-window-trend-found.csv";
    trend.recordTo(csv);
    window->control<QComboBox>("ComboBox9")->setCurrentIndex(13);
    trend.findChild<QPushButton*>("TrendStart")->click();
    ASSERT_TRUE(waitStatus(QStringLiteral("地址 13 无仪表应答")));
    EXPECT_EQ(trend.findChild<QLabel*>("TrendStatus")->text(), text("Label68"));
    window->control<QComboBox>("ComboBox9")->setCurrentIndex(2);
    trend.findChild<QPushButton*>("TrendStart")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return trend.samples() >= 2; }, kWaitMs));
    expectPolledFirst(13, 2);
    std::ifstream record(csv.toStdString());
    std::string header, row;
    ASSERT_TRUE(std::getline(record, header) && std::getline(record, row));
    EXPECT_FALSE(QString::fromStdString(row).split(',').value(1).isEmpty()) << row;
}

}  // namespace
}  // namespace ui
