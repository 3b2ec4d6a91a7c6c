// The instrument's own status from polls, reads, writes and the console, and command 48.
#include "ui/tests/e2e_fixture.h"

namespace ui {
namespace {

TEST_F(EndToEnd, EveryReplyShowsTheInstrumentsStatusAndMoreStatusIsReadWhenOffered) {
    start();
    window->control<QLineEdit>("Edit8")->setText("02 80 00 00");
    auto* label = window->control<QLabel>("DeviceStatusLabel");
    // Switch, button, status shown, red, more status offered (after protection changed it).
    const std::tuple<const char*, const char*, const char*, bool, bool> steps[] = {
        {"", "Button3", "冷启动", false, false},
        {"protect on", "Button34", "更多状态可用", false, true},
        {"", "ReadMoreStatusButton", "设备状态正常", false, false},
        {"status 0x81", "Button25", "设备故障、主变量超限", true, false},
        {"status 0", "Button17", "设备状态正常", false, false},
    };
    for (const auto& [simSwitch, button, shown, red, offered] : steps) {
        SCOPED_TRACE(button);
        ASSERT_TRUE(*simSwitch == '\0' || sim->command(simSwitch));
        click(button);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !window->timer2().isActive() && label->text() == shown; }, kWaitMs))
            << label->text().toStdString();
        EXPECT_EQ(label->palette().color(QPalette::WindowText) == QColor(Qt::red), red);
        EXPECT_EQ(!window->control<QPushButton>("ReadMoreStatusButton")->isHidden(), offered);
    }
    EXPECT_EQ(text("MoreStatusLabel"), "01 00 00 00 00 00");
    EXPECT_TRUE(hasReceived("FF FF FF FF FF FF FF FF 82 A6 06 00 12 34 30 00 34 "));
    click("Button1");
    EXPECT_EQ(label->text() + text("MoreStatusLabel"), "");
}

}  // namespace
}  // namespace ui
