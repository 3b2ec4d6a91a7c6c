// The HART 7 page against the simulator: every write read back, the device-variable table by
// revision, finding by tag, the device reset only once confirmed, busy and delayed replies
// sent again, and configuration files with the page's settings.
#include <QDir>

#include "ops/hart7.h"
#include "ui/config_files.h"
#include "ui/tests/e2e_steps.h"

namespace ui {
namespace {

namespace h7 = ops::hart7;

// The page's names are literals.
const char* c(std::string_view name) {
    return name.data();
}

TEST_F(RoundTrip, Hart7PageWritesReadBack) {
    start({"--fast", "--hart-revision", "7"});
    window->ask = [](const QString&) { return true; };
    const char* tag = "Kessel 7 Zulauf \xC3\xA4\xC3\xB6\xC3\xBC";  // Latin-1 beyond ASCII
    run({
        pollAt("#0"),
        {{{c(h7::kLongTagEdit), tag}}, c(h7::kWriteLongTagButton), kWriteOk, {}},
        {{{c(h7::kLongTagEdit), ""}},
         c(h7::kReadLongTagButton),
         kReadOk,
         {{c(h7::kLongTagEdit), tag}}},
        {{{c(h7::kProcessUnitTagEdit), "UNIT 12"}},
         c(h7::kWriteProcessUnitTagButton),
         kWriteOk,
         {}},
        {{{c(h7::kProcessUnitTagEdit), ""}},
         c(h7::kReadProcessUnitTagButton),
         kReadOk,
         {{c(h7::kProcessUnitTagEdit), "UNIT 12"}}},
        {{{"MappingPvEdit", "1"},
          {"MappingSvEdit", "0"},
          {"MappingTvEdit", "2"},
          {"MappingQvEdit", "3"}},
         c(h7::kWriteMappingButton),
         kWriteOk,
         {}},
        {{{"MappingPvEdit", ""}},
         c(h7::kReadMappingButton),
         kReadOk,
         {{"MappingPvEdit", "1"}, {"MappingSvEdit", "0"}}},
        {{{c(h7::kVariableCodeEdit), "2"}, {c(h7::kVariableDampingEdit), "2.5"}},
         c(h7::kWriteVariableDampingButton),
         kWriteOk,
         {}},
        {{{c(h7::kVariableUnitBox), "#13"}},
         c(h7::kWriteVariableUnitButton),
         kWriteOk,
         {}},  // degF
        {{{c(h7::kVariableDampingEdit), ""}},
         c(h7::kReadVariableInfoButton),
         kReadOk,
         {{c(h7::kVariableDampingEdit), "2.5"}, {c(h7::kVariableUnitBox), "#13"}}},
        {{{c(h7::kPollingAddressEdit), "0"}, {c(h7::kLoopCurrentModeBox), "#0"}},
         c(h7::kWritePollingAddressButton),
         kWriteOk,
         {}},
        {{{c(h7::kLoopCurrentModeBox), "#1"}},
         c(h7::kReadLoopConfigButton),
         kReadOk,
         {{c(h7::kLoopCurrentModeBox), "#0"}}},
        {{{c(h7::kBurstMessageEdit), "1"}, {c(h7::kBurstCommandEdit), "9"}},
         c(h7::kWriteBurstCommandButton),
         kWriteOk,
         {}},
        {{{c(h7::kBurstVariablesEdit), "2 0"}}, c(h7::kWriteBurstVariablesButton), kWriteOk, {}},
        {{{c(h7::kBurstUpdatePeriodEdit), "4"}, {c(h7::kBurstMaxPeriodEdit), "30"}},
         c(h7::kWriteBurstPeriodButton),
         kWriteOk,
         {}},
        {{{c(h7::kBurstCommandEdit), ""}, {c(h7::kBurstVariablesEdit), ""}},
         c(h7::kReadBurstConfigButton),
         kReadOk,
         {{c(h7::kBurstCommandEdit), "9"},
          {c(h7::kBurstVariablesEdit), "2 0"},
          {c(h7::kBurstUpdatePeriodEdit), "4.000"},
          {c(h7::kBurstMaxPeriodEdit), "30.000"}}},
        {{}, c(h7::kSquawkButton), kWriteOk, {}},
        {{}, c(h7::kSelfTestButton), kWriteOk, {}},
        {{}, c(h7::kResetConfigChangedButton), kWriteOk, {}},
        {{}, c(h7::kDeviceResetButton), kWriteOk, {}},
    });
}

// Command 9 for HART 7, 33 before it; a failed sensor's variable reads bad.
TEST_F(RoundTrip, DeviceVariablesByRevision) {
    for (const char* revision : {"7", "5"}) {
        SCOPED_TRACE(revision);
        start({"--fast", "--hart-revision", revision});
        ASSERT_TRUE(sim->command("fault on"));
        run({pollAt("#0")});
        click(c(h7::kReadDeviceVariablesButton));
        ASSERT_TRUE(waitStatus(kReadOk));
        // Poll, then the refresh: its command follows the delimiter and the five address bytes.
        ASSERT_EQ(sim->received().size(), 2u);
        EXPECT_EQ(QString::fromStdString(body(sim->received().back())).split(' ').value(6),
                  QString::fromLatin1(revision) == "7" ? "09" : "21");
        EXPECT_EQ(text(h7::deviceVariableCell(1, h7::Column::Code).c_str()), "1");
        EXPECT_TRUE(text(h7::deviceVariableCell(1, h7::Column::Status).c_str()).contains("bad"));
        EXPECT_TRUE(text(h7::deviceVariableCell(0, h7::Column::Status).c_str()).contains("good"));
        TearDown();
    }
}

TEST_F(RoundTrip, FindByTagAndResetOnlyOnceConfirmed) {
    start({"--fast", "--hart-revision", "7"});
    bool confirm = false;
    window->ask = [&](const QString& q) {
        EXPECT_EQ(q, QString::fromUtf8(h7::kDeviceResetQuestion.data()));
        return confirm;
    };
    run({
        pollAt("#0"),
        {{{"Edit22", "FT-204"},
          {"Edit23", "X"},
          {"Edit24", "2024"},
          {"Edit25", "2"},
          {"Edit29", "2"}},
         "Button33",
         kWriteOk,
         {}},
        {{{c(h7::kFindTagEdit), "FT-204"}, {"Edit4", ""}},
         c(h7::kFindTagButton),
         "找到仪表!",
         {{"Edit4", "4660"}}},
        {{{c(h7::kFindLongTagEdit), "PT-101 FEED WATER PUMP DISCHARGE"}, {"Edit4", ""}},
         c(h7::kFindLongTagButton),
         "找到仪表!",
         {{"Edit4", "4660"}}},
    });
    const std::size_t sent = sim->received().size();
    click(c(h7::kDeviceResetButton));
    QTest::qWait(600);
    EXPECT_EQ(sim->received().size(), sent) << "a reset not confirmed went out";
}

// Busy and delayed replies: the same request again until the answer; a lasting busy gives up.
TEST_F(RoundTrip, BusyAndDelayedRepliesAreSentAgain) {
    start({"--fast", "--hart-revision", "7"});
    run({pollAt("#0")});
    ASSERT_TRUE(sim->command("dr on"));
    click(c(h7::kReadLongTagButton));
    ASSERT_TRUE(waitStatus(kReadOk));
    EXPECT_EQ(text(c(h7::kLongTagEdit)), "PT-101 FEED WATER PUMP DISCHARGE");
    const auto rx = sim->received();
    EXPECT_EQ(std::count(rx.begin(), rx.end(), rx.back()), 3);
    ASSERT_TRUE(sim->command("dr off"));
    ASSERT_TRUE(sim->command("busy on"));
    click(c(h7::kReadLongTagButton));
    ASSERT_TRUE(waitStatus(QString::fromStdString(h7::gaveUp(32)), 20000));
    EXPECT_EQ(sim->received().size(), rx.size() + h7::kResendLimit);
}

// The page's settings go into the file, are compared, and restored.
TEST_F(RoundTrip, ConfigurationFilesHoldThePageSettings) {
    start({"--fast", "--hart-revision", "7"});
    ConfigFiles& files = window->configFiles();
    files.ask = [](const QString&) { return true; };
    const auto ran = [&](void (ConfigFiles::*command)(const QString&), const QString& path) {
        messages.clear();
        (files.*command)(path);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !files.busy(); }, 60000));
        return messages.empty() ? QString() : messages.back();
    };
    const QString path = QDir::tempPath() + "/hart-window-hart7.json";
    EXPECT_EQ(ran(&ConfigFiles::save, path), "配置已保存到 " + path);
    const auto saved = ops::config::load(path.toStdString());
    ASSERT_TRUE(saved.record) << saved.error;
    EXPECT_EQ(saved.record->fields.at("long-tag"), "PT-101 FEED WATER PUMP DISCHARGE");
    EXPECT_EQ(saved.record->fields.at("variable-1-damping"), "2");
    EXPECT_EQ(saved.record->fields.at("burst-2-update-period"), "2.000");
    run({{{c(h7::kLongTagEdit), "OTHER"}}, c(h7::kWriteLongTagButton), kWriteOk, {}},
         {
        {{c(h7::kVariableCodeEdit), "1"}, {c(h7::kVariableDampingEdit), "7"}},
            c(h7::kWriteVariableDampingButton), kWriteOk, {}}
});
const QString diff = ran(&ConfigFiles::compare, path);
EXPECT_TRUE(diff.contains("long-tag") && diff.contains("variable-1-damping")) << diff.toStdString();
EXPECT_TRUE(ran(&ConfigFiles::restore, path).startsWith(QStringLiteral("已写入: ")));
EXPECT_EQ(ran(&ConfigFiles::compare, path), QStringLiteral("仪表与配置文件一致。"));
}

}  // namespace
}  // namespace ui
