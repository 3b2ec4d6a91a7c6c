// The window over HART-IP against the simulator: the poll's HART 7 facts, a short frame it will
// never answer, a device's refusal
// as the reason of a timeout, and a dropped session like a lost port, then a new one.
#include "ui/tests/e2e_fixture.h"

namespace ui {
namespace {

TEST_F(EndToEnd, HartIpShowsFactsExplainsRefusalsAndReopensAfterADrop) {
    start({"--fast", "--hartip", "0", "--hart-revision", "7"});
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    EXPECT_TRUE(text("HartFactsLabel").startsWith("HART 7  "))
        << text("HartFactsLabel").toStdString();
    EXPECT_EQ(text("Edit1"), "38");
    window->control<QLineEdit>("Edit8")->setText("02 80 01 00");  // short, command 1: no answer
    click("Button17");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return text("Label68").endsWith(QStringLiteral("其他命令请用长帧)")); }, kWaitMs));

    ASSERT_TRUE(sim->command("nak on"));
    for (int refusal = 0; refusal < 2; ++refusal) {  // the same reason, told each time
        click("Button4");
        ASSERT_FALSE(text("Label68").startsWith(kReadTimeout));
        ASSERT_TRUE(QTest::qWaitFor([&] { return text("Label68").startsWith(kReadTimeout + " ("); },
                                    kWaitMs));
    }
    ASSERT_TRUE(sim->command("nak off"));

    ASSERT_TRUE(sim->command("drop on"));
    click("Button4");
    ASSERT_TRUE(waitStatus(QStringLiteral("HART-IP 连接已断开!")));
    EXPECT_FALSE(window->portOpen());
    EXPECT_TRUE(messages.back().startsWith(QStringLiteral("HART-IP 连接 hartip://127.0.0.1:")));
    ASSERT_TRUE(sim->command("drop off"));
    click("Button1");
    ASSERT_TRUE(window->portOpen());
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    click("Button4");
    ASSERT_TRUE(waitStatus(kReadOk));
    EXPECT_FALSE(text("Edit5").isEmpty());
}

}  // namespace
}  // namespace ui
