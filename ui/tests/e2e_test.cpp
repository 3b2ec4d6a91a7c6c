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

TEST_F(EndToEnd, ScanFindsTheTransmitterAtAddressThree) {
    start({"--fast", "--device-spec", "3:0x26:0x06:0x001234"});
    window->timer1().setInterval(1500);
    click("Button16");
    ASSERT_TRUE(waitStatus(kReadOk, 20000));
    EXPECT_EQ(text("Label33"), "#3");
    EXPECT_EQ(window->control<QComboBox>("ComboBox9")->currentIndex(), 3);
    EXPECT_EQ(window->control<QComboBox>("ComboBox3")->currentIndex(), 3);
    EXPECT_FALSE(window->timer1().isActive());
    expectDefaultIdentity();
    for (const char* frame :
         {"FF FF FF FF FF FF 02 80 00 00 82 ", "FF FF FF FF FF FF 02 81 00 00 83 ",
          "FF FF FF FF FF FF 02 82 00 00 80 ", "FF FF FF FF FF FF 02 83 00 00 81 "}) {
        EXPECT_TRUE(hasReceived(frame)) << frame;
    }
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

TEST_F(EndToEnd, ASilentDeviceTimesOut) {
    start();
    ASSERT_TRUE(sim->command("silent on"));
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadTimeout));
    EXPECT_EQ(text("Edit1"), QString());
}

TEST_F(EndToEnd, ALateReplyIsDecodedAfterTheTimeoutText) {
    start();
    ASSERT_TRUE(sim->command("delay 4"));
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadTimeout));
    ASSERT_TRUE(waitStatus(kReadOk));
    expectDefaultIdentity();
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

TEST_F(EndToEnd, ClosingAndReopeningThePortWorks) {
    start();
    click("Button1");
    EXPECT_FALSE(window->portOpen());
    click("Button1");
    ASSERT_TRUE(window->portOpen());
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
}

TEST_F(EndToEnd, AnInstrumentLinkThatGoesAwayClosesThePortAndOpensAgainOnceBack) {
    start();
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    sim.reset();  // the modem is pulled out
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->portOpen(); }, kWaitMs));
    EXPECT_EQ(text("Label68"), QStringLiteral("串口已断开!"));
    ASSERT_EQ(messages.size(), 1u);

    startSim();
    window->control<QComboBox>("SPREALCOM")->setEditText(QString::fromStdString(sim->port()));
    click("Button1");
    ASSERT_TRUE(window->portOpen());
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
}

}  // namespace
}  // namespace ui
