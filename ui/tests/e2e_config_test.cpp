// The "配置文件" menu against the simulator: save, change two fields, compare, restore,
// compare again; another model's file; a file that is none; cancelling.
#include <QDir>
#include <QFile>

#include "ui/config_files.h"
#include "ui/tests/e2e_fixture.h"
#include "ui/tests/e2e_steps.h"

namespace ui {
namespace {

class ConfigMenu : public EndToEnd {
  protected:
    ConfigFiles& files() { return window->configFiles(); }
    // Runs one command to its end; its message.
    QString ran(void (ConfigFiles::*command)(const QString&), const QString& path) {
        messages.clear();
        (files().*command)(path);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !files().busy(); }, 30000));
        return messages.empty() ? QString() : messages.back();
    }
    void write(const char* edit, const char* value, const char* button) {
        window->control<QLineEdit>(edit)->setText(QString::fromUtf8(value));
        click(button);
        ASSERT_TRUE(waitStatus(kWriteOk));
    }
    QString path(const char* name) { return QDir::tempPath() + "/hart-window-" + name; }
    std::vector<QString> questions;
    bool answer = true;
};

TEST_F(ConfigMenu, SaveChangeCompareRestoreCompare) {
    start({"--fast", "--demo"});
    files().ask = [this](const QString& q) {
        questions.push_back(q);
        return answer;
    };
    const QString saved = path("universal.json");
    EXPECT_EQ(ran(&ConfigFiles::save, saved), "配置已保存到 " + saved);
    write("Edit22", "NEW-TAG", "Button33");
    write("Edit16", "2.5", "Button10");

    const QString diff = QStringLiteral(
        "以下字段不同:\n标记 (tag): 文件 \"PT-101\", 仪表 \"NEW-TAG\"\n"
        "阻尼时间 (variable-0-damping): 文件 \"0.5\", 仪表 \"2.5\"\n"  // the PV's
        "阻尼时间 (damping): 文件 \"0.5\", 仪表 \"2.5\"\n");
    EXPECT_EQ(ran(&ConfigFiles::compare, saved), diff);
    EXPECT_EQ(
        ran(&ConfigFiles::restore, saved),
        QStringLiteral("已写入: 标记 (tag), 阻尼时间 (variable-0-damping), 阻尼时间 (damping)"));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].startsWith(diff)) << questions[0].toStdString();
    EXPECT_EQ(ran(&ConfigFiles::compare, saved), QStringLiteral("仪表与配置文件一致。"));
    EXPECT_EQ(ran(&ConfigFiles::report, path("report.pdf")), "报告已生成: " + path("report.pdf"));

    // Another model, not confirmed as a replacement: nothing is written.
    window->control<QComboBox>("ComboBox9")->setCurrentIndex(1);
    answer = false;
    EXPECT_EQ(ran(&ConfigFiles::restore, saved), QStringLiteral("未写入任何字段。"));
    EXPECT_TRUE(questions.back().contains(QStringLiteral("另一型号")));
    EXPECT_TRUE(ran(&ConfigFiles::compare, saved).contains(QStringLiteral("\"TT-644\"")));

    // The 644's own settings, in a file of that model.
    const QString own = path("644.json");
    files().saveModel(own, "644");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !files().busy(); }, 30000));
    window->control<QComboBox>("ComboBox18")->setCurrentIndex(2);
    click("Button36");
    ASSERT_TRUE(waitStatus(kWriteOk));
    answer = true;
    EXPECT_EQ(ran(&ConfigFiles::restore, own), QStringLiteral("已写入: 接线方式 (644-wiring)"));
    EXPECT_EQ(ran(&ConfigFiles::compare, own), QStringLiteral("仪表与配置文件一致。"));

    // A truncated file sends nothing.
    QFile cut(path("cut.json"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write("{\"format\": \"hart-configuration\", \"version\": 1, \"identity\": {");
    cut.close();
    const std::size_t sent = sim->received().size();
    EXPECT_TRUE(ran(&ConfigFiles::restore, cut.fileName()).contains("ends early"));
    EXPECT_EQ(sim->received().size(), sent);

    // Cancelled while the first reply is awaited: the drive ends with it, no file.
    QFile::remove(path("cancelled.json"));
    messages.clear();
    files().save(path("cancelled.json"));
    files().cancel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !files().busy(); }, 10000));
    EXPECT_EQ(messages.back(), QStringLiteral("已取消。"));
    EXPECT_FALSE(QFile::exists(path("cancelled.json")));
}

TEST_F(ConfigMenu, SaveFindsTheInstrumentAtTheChosenAddress) {
    start({"--fast", "--demo"});
    window->control<QComboBox>("ComboBox9")->setCurrentIndex(13);
    EXPECT_EQ(ran(&ConfigFiles::save, path("none.json")), QStringLiteral("地址 13 无仪表应答"));
    window->control<QComboBox>("ComboBox9")->setCurrentIndex(2);
    EXPECT_EQ(ran(&ConfigFiles::save, path("found.json")), "配置已保存到 " + path("found.json"));
    expectPolledFirst(13, 2);
}

}  // namespace
}  // namespace ui
