// End to end: the Rosemount, Yokogawa and E+H groups against the simulated instruments.
#include <QTabWidget>

#include "ui/tests/e2e_steps.h"

namespace ui {
namespace {

using Boxes = std::vector<std::pair<const char*, int>>;

class TemperatureEndToEnd : public EndToEnd {
  protected:
    void startWith(std::vector<std::string> specs) {
        std::vector<std::string> args = {"--fast"};
        for (auto& s : specs) args.insert(args.end(), {"--device-spec", std::move(s)});
        start(std::move(args));
    }
    void poll(int address) {
        window->control<QComboBox>("ComboBox9")->setCurrentIndex(address);
        click("Button3");
        ASSERT_TRUE(waitStatus(kReadOk));
    }
    void select(const Boxes& boxes) {
        for (const auto& [box, item] : boxes) {
            window->control<QComboBox>(box)->setCurrentIndex(item);
        }
    }
    int item(const char* box) { return window->control<QComboBox>(box)->currentIndex(); }
    // Clicks a button that must send nothing, and returns the message it showed.
    QString refusedClick(const char* button) {
        const std::size_t before = sim->received().size();
        messages.clear();
        click(button);
        QTest::qWait(600);
        EXPECT_EQ(sim->received().size(), before) << button << " sent a request";
        return messages.empty() ? QString() : messages.back();
    }
};

// Write a setting, disturb the boxes, read it back.
TEST_F(TemperatureEndToEnd, EachInstrumentKeepsWhatIsWrittenAndReadsItBack) {
    struct Trip {
        const char* model;
        const char* firstRead;  // a read the write needs first, if any
        const char* write;
        const char* read;
        Boxes set;
        Boxes disturb;
    };
    const Trip trips[] = {
        {"644",
         nullptr,
         "Button36",
         "Button35",
         {{"ComboBox17", 27}, {"ComboBox18", 2}},
         {{"ComboBox17", 0}, {"ComboBox18", 0}}},
        {"848t",
         nullptr,
         "Button40",
         "Button41",
         {{"ComboBox19", 2}, {"ComboBox21", 20}, {"ComboBox20", 0}},
         {{"ComboBox21", 0}, {"ComboBox20", 2}}},
        {"644rk",
         nullptr,
         "Button69",
         "Button70",
         {{"ComboBox36", 8}, {"ComboBox35", 2}},
         {{"ComboBox36", 0}, {"ComboBox35", 0}}},
        {"yokogawa",
         nullptr,
         "Button53",
         "Button52",
         {{"HengHeTX", 10}, {"HengHeFS", 2}},
         {{"HengHeTX", 0}, {"HengHeFS", 0}}},
        {"eh", "Button56", "Button57", "Button56", {{"EHTEMNX", 19}}, {{"EHTEMNX", 0}}},
    };
    for (const Trip& t : trips) {
        SCOPED_TRACE(t.model);
        startWith({std::string("0:") + t.model});
        poll(0);
        if (t.firstRead != nullptr) {
            click(t.firstRead);
            ASSERT_TRUE(waitStatus(kReadOk));
        }
        select(t.set);
        click(t.write);
        ASSERT_TRUE(waitStatus(kWriteOk)) << text("Label68").toStdString();
        select(t.disturb);
        click(t.read);
        ASSERT_TRUE(waitStatus(kReadOk));
        for (const auto& [box, expected] : t.set) EXPECT_EQ(item(box), expected) << box;
        TearDown();
    }
}

TEST_F(RoundTrip, RosemountYokogawaAndEhItemsMeanWhatTheySay) {
    start({"--fast", "--demo"});
    writeEachItem("#1", "ComboBox17", "Button36", "sensor", {{"ComboBox18", "#0"}});
    writeEachItem("#1", "ComboBox18", "Button36", "wiring", {{"ComboBox17", "#0"}});
    writeEachItem("#2", "ComboBox19", "Button43", "channel", {{"ComboBox22", "#0"}});
    writeEachItem("#2", "ComboBox22", "Button43", "unit", {{"ComboBox19", "#0"}});
    writeEachItem("#3", "ComboBox36", "Button69", "sensor", {{"ComboBox35", "#0"}});
    writeEachItem("#3", "ComboBox35", "Button69", "wiring", {{"ComboBox36", "#0"}});
    writeEachItem("#4", "HengHeTX", "Button53", "sensor", {{"HengHeFS", "#0"}});
    writeEachItem("#5", "EHTEMNX", "Button57", "sensor", {}, "Button56");
    writeEachItem("#5", "EHTEMFS", "Button60", "wiring", {}, "Button59");
}

// The demo loop as scripts/run starts it: the 644 at address 1, read on its page.
TEST_F(TemperatureEndToEnd, TheDemoLoopsRosemount644ReadsOnItsPage) {
    start({"--fast", "--demo"});
    poll(1);
    window->control<QTabWidget>("PageControl2")->setCurrentIndex(4);
    click("Button35");
    ASSERT_TRUE(waitStatus(kReadOk));
    EXPECT_GE(item("ComboBox17"), 0);
    EXPECT_GE(item("ComboBox18"), 0);
    // The README's picture of a vendor page after a read.
    if (const QByteArray path = qgetenv("HART_SCREENSHOT_VENDOR"); !path.isEmpty()) {
        window->grab().save(QString::fromLocal8Bit(path));
    }
}

TEST_F(TemperatureEndToEnd, RefusedWritesSendNothingAndTheInstrumentJudgesChannelZero) {
    startWith({"0:848t"});
    poll(0);
    window->control<QComboBox>("ComboBox22")->setCurrentIndex(-1);
    EXPECT_EQ(refusedClick("Button43"), QStringLiteral("请选择温度单位!"));
    click("Button41");
    ASSERT_TRUE(waitStatus(kReadOk));
    EXPECT_EQ(text("discomm"), QString());  // the echo switch is off

    window->Label4Click();
    window->control<QComboBox>("ComboBox22")->setCurrentIndex(3);
    // Text typed over a chosen channel is no item: channel 0.
    auto* channel = window->control<QComboBox>("ComboBox19");
    channel->setCurrentIndex(1);
    QTest::keyClick(channel->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(channel->lineEdit(), "x");
    click("Button43");
    ASSERT_TRUE(waitStatus(QStringLiteral("写入失败!通道被限制!")));
    EXPECT_TRUE(text("discomm").endsWith("35 02 00 23 31 "));
}

// A save sends back the prefix its read delivered, so only after a read of this instrument.
TEST_F(TemperatureEndToEnd, EhSavesWaitForAReadOfTheInstrumentNowAddressed) {
    startWith({"0:eh", "1:0x11:0x60:0x00E402:eh"});
    EXPECT_FALSE(window->control<QPushButton>("Button57")->isEnabled());
    poll(0);
    click("Button56");
    ASSERT_TRUE(waitStatus(kReadOk));
    EXPECT_TRUE(window->control<QPushButton>("Button57")->isEnabled());

    poll(1);
    EXPECT_TRUE(window->control<QPushButton>("Button57")->isEnabled());
    EXPECT_EQ(refusedClick("Button57"), QStringLiteral("请先上传传感类型!"));

    // Sensor 2: the prefix saves wait for its read, the coefficient saves open.
    auto* number = window->control<QComboBox>("TempBIAHO");
    number->setCurrentIndex(1);
    emit number->activated(1);
    EXPECT_FALSE(window->control<QPushButton>("Button57")->isEnabled());
    EXPECT_TRUE(window->control<QPushButton>("Button62")->isEnabled());
    window->control<QLineEdit>("CALL_ALP_XS")->setText("100.5");
    window->control<QComboBox>("CALL_ALP")->setEditText(QStringLiteral("系数"));  // no item
    EXPECT_EQ(refusedClick("Button62"), QStringLiteral("请选择callendar系数!"));

    click("Button59");
    ASSERT_TRUE(waitStatus(kReadOk));
    EXPECT_EQ(item("EHTEMFS"), 0);  // the simulated sensor 2 is two-wire
    window->control<QComboBox>("EHTEMFS")->setCurrentIndex(2);
    click("Button60");
    ASSERT_TRUE(waitStatus(kWriteOk));
    EXPECT_TRUE(hasReceived("FF FF FF FF FF FF FF FF 82 91 60 00 E4 02 91 03 41 FB 02 BF "));
}

}  // namespace
}  // namespace ui
