// End to end: the real window and serial link against the instrument simulator.
#include "ui/tests/e2e_fixture.h"

namespace ui {
namespace {

TEST_F(EndToEnd, PollShowsTheSimulatedTransmitter) {
    start();
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    expectDefaultIdentity();
    EXPECT_EQ(text("Edit3"), "5");
    EXPECT_TRUE(hasReceived("FF FF FF FF FF FF 02 80 00 00 82 "));
    EXPECT_EQ(window->session().identity.manufacturer, 0x26);
}

TEST_F(EndToEnd, AtTrue1200BaudPacingTheReplyIsOneChunk) {
    start({});
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    expectDefaultIdentity();
    const auto& log = sim->lines();
    const auto tx = std::find_if(log.begin(), log.end(),
                                 [](const std::string& l) { return l.rfind("TX ", 0) == 0; });
    ASSERT_NE(tx, log.end());
    // The receive log shows the last chunk: here the whole reply.
    EXPECT_EQ(text("Memo8").toStdString(), tx->substr(3));
    EXPECT_EQ(text("Label67").toInt(), static_cast<int>((tx->size() - 3) / 3));
}

TEST_F(EndToEnd, ConsoleShowsTheRawReply) {
    start();
    window->control<QLineEdit>("Edit8")->setText("02 80 00 00");
    click("Button17");
    ASSERT_TRUE(waitStatus("Upload successful!"));
    EXPECT_TRUE(text("Memo8").startsWith("FF FF FF FF FF 06 80 00 "));
    EXPECT_TRUE(hasReceived("FF FF FF FF FF FF 02 80 00 00 82 "));
    EXPECT_EQ(text("discomm"), "FF FF FF FF FF FF 02 80 00 00 82 ");
}

TEST_F(EndToEnd, ASplitReplyIsDecodedFromItsFirstChunkOnly) {
    start();
    ASSERT_TRUE(sim->command("split on"));
    click("Button3");
    // The identifier lies in the second chunk, so the first one is no usable reply.
    ASSERT_TRUE(waitStatus(kReadFailed));
    EXPECT_EQ(text("Edit4"), QString());
    ASSERT_FALSE(sim->waitLine("TX ").empty());
    const auto& log = sim->lines();
    const auto tx = std::find_if(log.begin(), log.end(),
                                 [](const std::string& l) { return l.rfind("TX ", 0) == 0; });
    const int replyBytes = static_cast<int>((tx->size() - 3) / 3);
    // Both chunks are counted; only the first was logged, since the decoder had run.
    EXPECT_TRUE(QTest::qWaitFor([&] { return text("Label67").toInt() == replyBytes; }, kWaitMs));
    EXPECT_LT(text("Memo8").size(), static_cast<qsizetype>(tx->size() - 3));
}

TEST_F(EndToEnd, ACorruptedCheckByteIsNoReply) {
    start();
    ASSERT_TRUE(sim->command("badcheck on"));
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadFailed));
    EXPECT_EQ(text("Edit1"), QString());
    ASSERT_TRUE(sim->command("badcheck off"));
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
}

TEST_F(EndToEnd, GarbageBeforeTheReplyIsSkipped) {
    start();
    ASSERT_TRUE(sim->command("garbage on"));
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    expectDefaultIdentity();
}

}  // namespace
}  // namespace ui
