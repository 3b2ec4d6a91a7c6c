// The HART 7 page against the simulator, its settings in configuration files.
#include <QDir>

#include "ops/hart7.h"
#include "ui/config_files.h"
#include "ui/language.h"
#include "ui/tests/e2e_steps.h"

namespace ui {
namespace {

const char* kLongTag = "PT-101 FEED WATER PUMP DISCHARGE";  // the simulator's
const QString kFound = QStringLiteral("找到仪表!");

class Hart7 : public RoundTrip {
  protected:
    void startHart7(const char* revision = "7") {
        start({"--fast", "--hart-revision", revision});
        window->ask = [this](const QString&) { return confirm; };
        run({pollAt("#0")});
    }
    bool confirm = true;
};

TEST_F(Hart7, EveryWriteReadsBack) {
    startHart7();
    // clang-format off
    run({
        {{{"LongTagEdit", "Kessel 7 \xC3\xA4\xC3\xB6"}}, "WriteLongTagButton", kWriteOk, {}},
        {{{"LongTagEdit", ""}}, "ReadLongTagButton", kReadOk, {{"LongTagEdit", "Kessel 7 \xC3\xA4\xC3\xB6"}}},
        {{{"MappingPvEdit", "1"}, {"MappingSvEdit", "0"}, {"MappingTvEdit", "2"}, {"MappingQvEdit", "3"}}, "WriteMappingButton", kWriteOk, {}},
        {{{"MappingPvEdit", ""}}, "ReadMappingButton", kReadOk, {{"MappingPvEdit", "1"}, {"MappingSvEdit", "0"}}},
        {{{"VariableCodeEdit", "2"}, {"VariableDampingEdit", "2.5"}}, "WriteVariableDampingButton", kWriteOk, {}},
        {{{"VariableUnitBox", "#13"}}, "WriteVariableUnitButton", kWriteOk, {}},  // degF
        {{{"VariableDampingEdit", ""}}, "ReadVariableInfoButton", kReadOk, {{"VariableDampingEdit", "2.5"}, {"VariableUnitBox", "#13"}}},
        {{{"PollingAddress63Edit", "0"}, {"LoopCurrentModeBox", "#0"}}, "WritePollingAddressModeButton", kWriteOk, {}},
        {{{"LoopCurrentModeBox", "#1"}}, "ReadLoopConfigButton", kReadOk, {{"LoopCurrentModeBox", "#0"}}},
        {{{"BurstMessageEdit", "1"}, {"BurstCommandEdit", "9"}}, "WriteBurstCommandButton", kWriteOk, {}},
        {{{"BurstVariablesEdit", "2 0"}}, "WriteBurstVariablesButton", kWriteOk, {}},
        {{{"BurstUpdatePeriodEdit", "4"}, {"BurstMaxPeriodEdit", "30"}}, "WriteBurstPeriodButton", kWriteOk, {}},
        {{{"BurstCommandEdit", ""}}, "ReadBurstConfigButton", kReadOk, {{"BurstCommandEdit", "9"}, {"BurstVariablesEdit", "2 0"}, {"BurstUpdatePeriodEdit", "4.000"}}},
        {{}, "SquawkButton", kWriteOk, {}},
        {{}, "ResetConfigChangedButton", kWriteOk, {}},
        {{}, "DeviceResetButton", kWriteOk, {}},
    });
    // clang-format on
}

// Command 9 for HART 7, 33 before it; under command 9 the failed sensor's variable reads bad,
// in the window's language.
TEST_F(Hart7, DeviceVariablesByRevision) {
    for (const char* revision : {"7", "5"}) {
        startHart7(revision);
        ASSERT_TRUE(sim->command("fault on"));
        click("ReadDeviceVariablesButton");
        ASSERT_TRUE(waitStatus(kReadOk)) << revision;
        const bool hart7 = *revision == '7';
        const QStringList frame = QString::fromStdString(body(sim->received().back())).split(' ');
        EXPECT_EQ(frame.value(6), hart7 ? "09" : "21");
        EXPECT_EQ(text("DeviceVariable.1.status").left(1), hart7 ? "坏" : "");
        EXPECT_EQ(text("DeviceVariable.0.status"), hart7 ? "良好" : "");
        setLanguage(hart::Language::English);
        EXPECT_EQ(text("DeviceVariable.1.status"), hart7 ? "bad, more status" : "");
        EXPECT_EQ(text("DeviceVariable.0.status"), hart7 ? "good" : "");
        setLanguage(hart::Language::Chinese);
        TearDown();
    }
}

TEST_F(Hart7, FindByTagAndResetOnlyOnceConfirmed) {
    startHart7();
    run({{{{"FindTagEdit", "PT-101"}, {"Edit4", ""}}, "FindTagButton", kFound, {{"Edit4", "4660"}}},
         {{{"FindLongTagEdit", kLongTag}, {"Edit4", ""}, {"ComboBox9", "#5"}},
          "FindLongTagButton",
          kFound,
          {{"ComboBox9", "#0"}}}});
    // The broadcast's answer told no polling address; the loop configuration did.
    run({{{{"Edit4", ""}}, "Button3", kReadOk, {{"Edit4", "4660"}}}});
    const std::size_t sent = sim->received().size();
    confirm = false;
    click("DeviceResetButton");
    QTest::qWait(600);
    EXPECT_EQ(sim->received().size(), sent) << "a reset not confirmed went out";
}

// The table shows every message the instrument keeps, each as configured.
TEST_F(Hart7, BurstTableShowsEveryMessage) {
    startHart7();
    run({{{{"BurstMessageEdit", "1"}, {"BurstCommandEdit", "9"}},
          "WriteBurstCommandButton",
          kWriteOk,
          {}},
         {{{"BurstMessageEdit", "2"}, {"BurstCommandEdit", "33"}},
          "WriteBurstCommandButton",
          kWriteOk,
          {}},
         {{{"BurstMessageEdit", "2"}, {"BurstControlBox", "#1"}},
          "WriteBurstControlButton",
          kWriteOk,
          {}}});
    click("RefreshBurstTableButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !text("BurstTable.2.mode").isEmpty(); }, kWaitMs));
    QStringList rows;
    for (int row = 0; row < 4; ++row)
        rows << text(("BurstTable." + std::to_string(row) + ".command").c_str()) + " " +
                    text(("BurstTable." + std::to_string(row) + ".mode").c_str());
    EXPECT_EQ(rows.join(", "), "1 OFF, 9 OFF, 33 ON,  ");
}

// Nobody answers the broadcast: the window polls address after address and reads each tag, then
// talks to the instrument found as if its address had been chosen. The sweep stops on a click.
TEST_F(Hart7, FindByTagSweepsTheLoopAndKeepsWhatItFound) {
    start({"--fast", "--device-spec", "1:644", "--device-spec", "3:0x26:6:0x1234"});
    ASSERT_TRUE(sim->command("broadcast off"));
    put({"FindTagEdit", "pt-103"});  // the simulator names its tags by address
    click("FindTagButton");
    ASSERT_TRUE(waitStatus(kFound, 40000)) << text("Label68").toStdString();
    EXPECT_EQ(shown("ComboBox9"), "#3");
    EXPECT_EQ(text("Edit22").trimmed(), "PT-103");
    const std::size_t sent = sim->received().size();
    click("ReadDeviceVariablesButton");
    ASSERT_TRUE(waitStatus(kReadOk));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim->received().size() > sent; }, kWaitMs));
    const std::string to = "82 " + hart::hexText(window->session().identity.longAddress(0x80));
    EXPECT_EQ(to, "82 A6 06 00 12 34 ");
    for (std::size_t i = sent; i < sim->received().size(); ++i)
        EXPECT_TRUE(body(sim->received()[i]).starts_with(to)) << sim->received()[i];

    put({"FindTagEdit", "NOBODY"});
    click("FindTagButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return text("Label68").contains("Esc"); }, kWaitMs));
    EXPECT_NE(text("FindTagButton"), "按标记查找");
    click("FindTagButton");
    EXPECT_EQ(text("Label68"), "已停止查找。");
    EXPECT_EQ(text("FindTagButton"), "按标记查找");
    const std::size_t stopped = sim->received().size();
    QTest::qWait(2500);
    EXPECT_LE(sim->received().size(), stopped + 1) << "the sweep went on";  // one in flight
}

// Delayed replies (33, then 34) until the answer; a lasting busy (32) gives up at the limit.
TEST_F(Hart7, BusyAndDelayedRepliesAreSentAgain) {
    startHart7();
    ASSERT_TRUE(sim->command("dr on"));
    click("ReadLongTagButton");
    ASSERT_TRUE(waitStatus(kReadOk));
    const auto rx = sim->received();
    EXPECT_EQ(std::count(rx.begin(), rx.end(), rx.back()), 3);
    ASSERT_TRUE(sim->command("dr off") && sim->command("busy on"));
    click("ReadLongTagButton");
    ASSERT_TRUE(waitStatus(QString::fromStdString(ops::hart7::gaveUp(32)), 20000));
    EXPECT_EQ(sim->received().size(), rx.size() + ops::hart7::kResendLimit);
}

TEST_F(Hart7, ConfigurationFilesHoldThePageSettings) {
    startHart7();
    ConfigFiles& files = window->configFiles();
    files.ask = [](const QString&) { return true; };
    const QString path = QDir::tempPath() + "/hart-window-hart7.json";
    const auto ran = [&](void (ConfigFiles::*command)(const QString&)) {
        messages.clear();
        (files.*command)(path);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !files.busy(); }, 60000));
        return messages.empty() ? QString() : messages.back();
    };
    ran(&ConfigFiles::save);
    const auto saved = ops::config::load(path.toStdString());
    ASSERT_TRUE(saved.record) << saved.error;
    EXPECT_EQ(saved.record->fields.at("long-tag"), kLongTag);
    EXPECT_EQ(saved.record->fields.at("variable-1-damping"), "2");
    EXPECT_EQ(saved.record->fields.at("burst-2-trigger-unit"), "KPa");
    run({{{{"LongTagEdit", "OTHER"}}, "WriteLongTagButton", kWriteOk, {}},
         {{{"VariableCodeEdit", "1"}, {"VariableDampingEdit", "7"}},
          "WriteVariableDampingButton",
          kWriteOk,
          {}}});
    const QString diff = ran(&ConfigFiles::compare);
    EXPECT_TRUE(diff.contains("long-tag") && diff.contains("variable-1-damping"));
    EXPECT_TRUE(ran(&ConfigFiles::restore).startsWith(QStringLiteral("已写入: ")));
    EXPECT_EQ(ran(&ConfigFiles::compare), QStringLiteral("仪表与配置文件一致。"));
}

}  // namespace
}  // namespace ui
