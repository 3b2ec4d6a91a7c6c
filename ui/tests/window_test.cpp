#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cmath>

#include "hart/frame.h"
#include "hart/tests/reply_builder.h"
#include "testing/pty_pair.h"
#include "ui/click_label.h"
#include "ui/main_window.h"
#include "ui/messages.h"
#include "ui/tests/control_text.h"
#include "ui/trend_plot.h"

namespace ui {
namespace {

using hart::testing::Bytes;
using hart::testing::command0Data;
using hart::testing::longReply;
using hart::testing::shortReply;
using testsupport::PtyPair;

constexpr int kWaitMs = 8000;

std::string hex(const Bytes& b) {
    return hart::hexText(b);
}

struct WindowTest : ::testing::Test {
    void SetUp() override {
        setMessageSink([this](MessageKind kind, const QString& text) {
            messages.push_back({kind, text});
        });
        // Start-up arms the parse timer once; let that first tick pass as it would before
        // any user could click.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w.timer2().isActive(); }, kWaitMs));
    }
    void TearDown() override { setMessageSink({}); }

    QString text(const char* name) { return testing::controlText(w, name); }
    bool enabled(const char* name) { return w.control<QWidget>(name)->isEnabled(); }
    void click(const char* name) { w.control<QPushButton>(name)->click(); }
    bool waitStatus(const QString& status) {
        return QTest::qWaitFor([&] { return text("Label68") == status; }, kWaitMs);
    }
    // The next frame the tool sends, while the window's event loop keeps running.
    Bytes readFrame(int firstMs = kWaitMs) {
        Bytes frame;
        QElapsedTimer clock;
        clock.start();
        qint64 lastByte = -1;
        for (;;) {
            const Bytes more = peer.readAvailable();
            if (!more.empty()) {
                frame.insert(frame.end(), more.begin(), more.end());
                lastByte = clock.elapsed();
            }
            if (lastByte < 0 && clock.elapsed() > firstMs) return frame;
            if (lastByte >= 0 && clock.elapsed() - lastByte > 150) return frame;
            QTest::qWait(10);
        }
    }
    void openPort() {
        w.control<QComboBox>("SPREALCOM")->setEditText(QString::fromStdString(peer.path()));
        click("Button1");
        ASSERT_TRUE(w.portOpen());
    }

    PtyPair peer;
    TForm1 w;
    std::vector<std::pair<MessageKind, QString>> messages;
};

TEST_F(WindowTest, StartUpState) {
    TForm1 fresh;
    EXPECT_TRUE(fresh.timer2().isActive());  // armed once; its first tick finds nothing pending
    EXPECT_EQ(text("Button1"), QStringLiteral("打开串口"));
    for (const char* name : {"Button2", "Button3", "Button16", "Button17", "Button47"}) {
        EXPECT_FALSE(enabled(name)) << name;
    }
    for (const char* name : {"Button57", "Button60", "Button61", "Button62", "Button66"}) {
        EXPECT_FALSE(enabled(name)) << name;
    }
    for (const char* name : {"Button1", "Button48", "Button56", "Button58", "Button70"}) {
        EXPECT_TRUE(enabled(name)) << name;
    }
    EXPECT_TRUE(w.control<QRadioButton>("RadioButton1")->isChecked());
    EXPECT_EQ(w.control<QComboBox>("ComboBox9")->currentIndex(), 0);
    EXPECT_EQ(w.control<QComboBox>("ComboBox1")->currentIndex(), -1);
    EXPECT_EQ(w.control<QComboBox>("SPREALCOM")->currentText(), QStringLiteral("COM3"));
    EXPECT_EQ(text("Label56"), QString());
    EXPECT_FALSE(w.timer1().isActive());
    EXPECT_FALSE(w.timer3().isActive());
    EXPECT_FALSE(w.echoSwitch());
}

// The pages behind the first are built after the first frame, as they were at start.
TEST_F(WindowTest, HiddenPagesFollowTheFirstFrame) {
    TForm1 later;
    const QObject& plain = later;  // QObject's own search builds nothing
    const auto built = [&] { return plain.findChild<QPushButton*>("Button57") != nullptr; };
    EXPECT_NE(plain.findChild<QPushButton*>("Button3"), nullptr);
    EXPECT_FALSE(built());
    later.show();
    ASSERT_TRUE(QTest::qWaitFor(built, kWaitMs));
    auto* save = plain.findChild<QPushButton*>("Button57");
    EXPECT_FALSE(save->isEnabled());
    EXPECT_FALSE(plain.findChild<QPushButton*>("Button47")->isEnabled());
    EXPECT_FALSE(save->accessibleName().isEmpty());
    plain.findChild<QObject*>("PageControl2")->setProperty("currentIndex", 4);
    EXPECT_TRUE(save->isVisible());
    plain.findChild<QLineEdit*>("discomm")->setText("02");
    plain.findChild<QPushButton*>("Button58")->click();
    EXPECT_TRUE(plain.findChild<QLineEdit*>("discomm")->text().isEmpty());
}

TEST_F(WindowTest, OpenAndCloseToggleTheLinkGatedButtons) {
    openPort();
    EXPECT_EQ(text("Button1"), QStringLiteral("关闭串口"));
    EXPECT_TRUE(enabled("Button3"));
    EXPECT_TRUE(enabled("Button47"));
    EXPECT_FALSE(enabled("Button57"));  // the E+H save buttons are not link-gated

    w.control<QLineEdit>("Edit1")->setText("38");
    w.control<QLineEdit>("Edit17")->setText("1.5");
    click("Button3");
    EXPECT_EQ(text("Label56"), "11");

    click("Button1");
    EXPECT_FALSE(w.portOpen());
    EXPECT_EQ(text("Button1"), QStringLiteral("打开串口"));
    EXPECT_FALSE(enabled("Button3"));
    EXPECT_EQ(text("Edit1"), QString());
    EXPECT_EQ(text("Edit17"), "1.5");  // kept by close
    EXPECT_EQ(text("Label56"), QString());

    openPort();  // counters start again from zero
    click("Button3");
    EXPECT_EQ(text("Label56"), "11");
}

TEST_F(WindowTest, AFailedOpenReportsTheLinksMessageAndStaysClosed) {
    w.control<QComboBox>("SPREALCOM")->setEditText("/nonexistent/tty");
    click("Button1");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, MessageKind::Error);
    EXPECT_EQ(messages[0].second, "Error opening serial port");
    EXPECT_FALSE(w.portOpen());
    EXPECT_EQ(text("Button1"), QStringLiteral("打开串口"));
    EXPECT_FALSE(enabled("Button3"));
}

TEST_F(WindowTest, PollFindsTheInstrumentAndLaterFramesCarryItsIdentity) {
    openPort();
    w.control<QComboBox>("ComboBox9")->setCurrentIndex(2);
    click("Button3");
    EXPECT_EQ(hex(peer.read()), "FF FF FF FF FF FF 02 82 00 00 80 ");
    EXPECT_EQ(text("discomm"), "FF FF FF FF FF FF 02 82 00 00 80 ");
    EXPECT_EQ(text("Label68"), QStringLiteral("正在上传..!"));
    peer.write(shortReply(0x82, 0, command0Data(0x26, 0x06, {0x00, 0x12, 0x34})));
    ASSERT_TRUE(waitStatus(QStringLiteral("上传成功!")));
    EXPECT_EQ(text("Edit1"), "38");
    EXPECT_EQ(text("Edit2"), "6");
    EXPECT_EQ(text("Edit3"), "5");
    EXPECT_EQ(text("Edit4"), "4660");
    EXPECT_EQ(text("Edit28"), "4660");
    EXPECT_EQ(w.control<QComboBox>("ComboBox3")->currentIndex(), 2);
    EXPECT_EQ(w.session().identity.deviceIdNumber(), 0x1234u);
    EXPECT_FALSE(text("Memo8").isEmpty());
}

TEST_F(WindowTest, AReplyWithoutAShortReplyFails) {
    openPort();
    w.control<QLineEdit>("Edit1")->setText("1");
    click("Button3");
    peer.read();
    peer.write({0xFF, 0xFF, 0x86});  // 3 bytes: no reply start can be found
    ASSERT_TRUE(waitStatus(QStringLiteral("上传失败!")));
    EXPECT_EQ(text("Edit1"), QString());
    EXPECT_EQ(text("Label67"), "3");
}

TEST_F(WindowTest, ReadTimeoutThenALateReplyIsStillDecoded) {
    openPort();
    w.timer3().setInterval(300);
    click("Button3");
    peer.read();
    ASSERT_TRUE(waitStatus(QStringLiteral("上传数据超时!")));
    EXPECT_FALSE(w.timer3().isActive());
    peer.write(shortReply(0x80, 0, command0Data(0x11, 0x22, {0, 0, 7})));
    ASSERT_TRUE(waitStatus(QStringLiteral("上传成功!")));
    EXPECT_EQ(text("Edit4"), "7");
}

TEST_F(WindowTest, ScanFindsTheInstrumentAtAddressThree) {
    openPort();
    w.timer1().setInterval(1500);
    w.control<QComboBox>("ComboBox8")->setCurrentIndex(1);  // secondary: only address 0 uses it
    click("Button16");
    std::vector<std::string> sent;
    for (int address = 0; address <= 3; ++address) {
        const Bytes frame = readFrame();
        ASSERT_EQ(frame.size(), 11u) << address;
        sent.push_back(hex(frame));
        EXPECT_EQ(text("Label33"), QStringLiteral("#%1").arg(address));
    }
    EXPECT_EQ(sent[0], "FF FF FF FF FF FF 02 00 00 00 02 ");
    EXPECT_EQ(sent[3], "FF FF FF FF FF FF 02 83 00 00 81 ");
    peer.write(shortReply(0x83, 0, command0Data(0x26, 0x06, {0, 1, 2})));
    ASSERT_TRUE(waitStatus(QStringLiteral("上传成功!")));
    EXPECT_FALSE(w.timer1().isActive());
    EXPECT_EQ(w.control<QComboBox>("ComboBox9")->currentIndex(), 3);
    EXPECT_EQ(w.control<QComboBox>("ComboBox3")->currentIndex(), 3);
    EXPECT_EQ(text("Label33"), "#3");
    EXPECT_TRUE(readFrame(2000).empty());  // the scan has ended
}

TEST_F(WindowTest, ScanWithoutAnswerEndsWithTheNotFoundText) {
    openPort();
    w.timer1().setInterval(50);
    click("Button16");
    ASSERT_TRUE(
        waitStatus(QStringLiteral("找不到传感器,请检测传感器是否连接正确,电源是否已插上!")));
    EXPECT_FALSE(w.timer1().isActive());
    EXPECT_EQ(text("Label33"), "#15");
    EXPECT_EQ(text("Label56"), "176");  // 16 frames of 11 bytes
}

TEST_F(WindowTest, ConsoleSendsTypedFramesAndShowsEveryReply) {
    openPort();
    w.control<QLineEdit>("Edit8")->setText("76 89 FD AD");
    click("Button17");
    EXPECT_EQ(hex(peer.read()), "FF FF FF FF FF FF 76 89 FD AD AF ");
    EXPECT_EQ(text("Label56"), "11");
    peer.write({0xFF, 0x81, 0x01});
    ASSERT_TRUE(waitStatus("Upload successful!"));
    EXPECT_EQ(text("Memo8"), "FF 81 01 ");
    QTest::qWait(300);  // the parse timer does not take the console's reply
    peer.write({0x42});
    ASSERT_TRUE(QTest::qWaitFor([&] { return text("Memo8") == "42 "; }, kWaitMs));
    EXPECT_EQ(w.tracker().pending().tag, 104);
}

TEST_F(WindowTest, ConsoleRefusalsSendNothing) {
    openPort();
    for (const char* entry : {"02-80", "fd 00"}) {
        w.control<QLineEdit>("Edit8")->setText(entry);
        click("Button17");
    }
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].second, "NO SPACK");
    EXPECT_EQ(messages[1].second, "Data eeore!");
    EXPECT_EQ(messages[1].first, MessageKind::Information);
    EXPECT_EQ(text("Label68"), QStringLiteral("请稍后,正在下传...."));
    EXPECT_EQ(text("discomm"), QString());
    EXPECT_TRUE(peer.read(std::chrono::milliseconds(300)).empty());
    EXPECT_EQ(w.tracker().pending().tag, 0);
}

TEST_F(WindowTest, LongChunksAreCutTo255AndUnsolicitedOnesOnlyCounted) {
    openPort();
    peer.write(Bytes(20, 0x00));  // nothing pending
    ASSERT_TRUE(QTest::qWaitFor([&] { return text("Label67") == "20"; }, kWaitMs));
    EXPECT_EQ(text("Memo8"), QString());
    EXPECT_EQ(text("Label68"), QString());

    click("Button3");
    peer.read();
    peer.write(Bytes(300, 0x00));
    ASSERT_TRUE(QTest::qWaitFor([&] { return text("Label67") == "275"; }, kWaitMs));
    EXPECT_EQ(text("Memo8").size(), 255 * 3);

    click("Button58");
    EXPECT_EQ(text("Memo8"), QString());
    EXPECT_EQ(text("discomm"), QString());
    EXPECT_EQ(text("Label67"), "275");
    EXPECT_EQ(text("Label56"), "11");
}

TEST_F(WindowTest, KeyFiltersRefuseKeysAndDriveTheirButtons) {
    auto* year = w.control<QLineEdit>("Edit24");
    year->setText("2019");
    year->selectAll();
    QTest::keyClicks(year, "5");
    EXPECT_EQ(year->text(), "2019");  // a fifth digit, even over a selection
    QTest::keyClick(year, Qt::Key_End);
    QTest::keyClick(year, Qt::Key_Backspace);
    EXPECT_EQ(year->text(), "201");
    QTest::keyClicks(year, "x");
    EXPECT_EQ(year->text(), "201");

    auto* serial = w.control<QLineEdit>("Edit28");
    serial->setText("123456");
    QTest::keyClicks(serial, "7");
    EXPECT_TRUE(enabled("Button37"));  // six characters before the key
    QTest::keyClicks(serial, "8");
    EXPECT_FALSE(enabled("Button37"));
    EXPECT_EQ(serial->text(), "12345678");
}

TEST_F(WindowTest, FramesFollowingTheEchoSwitchShowOnlyOnceThePortLabelWasClicked) {
    openPort();
    ops::Request vendor;
    vendor.frame = hart::longFrame(hart::kPrimaryMaster, {}, 140);
    vendor.echo = ops::Echo::BySwitch;
    ops::Request standard = vendor;
    standard.echo = ops::Echo::Always;
    const QString hexFrame = QString::fromStdString(hart::hexText(vendor.frame.bytes()));
    w.send(vendor);
    EXPECT_EQ(text("discomm"), QString());
    w.send(standard);
    EXPECT_EQ(text("discomm"), hexFrame);

    emit w.control<ClickLabel>("Label4")->clicked();
    EXPECT_TRUE(w.echoSwitch());
    w.send(vendor);
    EXPECT_EQ(text("discomm"), hexFrame);
    EXPECT_EQ(text("Label56"), QString::number(3 * vendor.frame.size()));
}

TEST_F(WindowTest, AWriteTimesOutWithTheWriteText) {
    openPort();
    w.timer3().setInterval(200);
    w.control<QLineEdit>("Edit16")->setText("0.5");
    click("Button10");
    EXPECT_EQ(hex(peer.read()), "FF FF FF FF FF FF FF FF 82 80 00 00 00 00 22 04 3F 00 00 00 1B ");
    ASSERT_TRUE(waitStatus(QStringLiteral("写入传数据超时!")));
    EXPECT_EQ(w.tracker().pending().tag, 134);  // kept for a late reply
}

// Fills every control an operation reads with a value that converts.
void fillValidControls(TForm1& w) {
    for (const char* name :
         {"Edit7", "Edit9", "Edit10", "Edit13", "Edit14", "Edit15", "Edit16", "Edit19"}) {
        w.control<QLineEdit>(name)->setText("1");
    }
    const std::pair<const char*, const char*> texts[] = {
        {"Edit21", "MESSAGE"}, {"Edit22", "TAG"},  {"Edit23", "DESCRIPTOR"},
        {"Edit24", "2019"},    {"Edit25", "6"},    {"Edit29", "15"},
        {"Edit26", "1193046"}, {"Edit28", "4660"}, {"Edit8", "02 80 00 00"}};
    for (const auto& [name, value] : texts) w.control<QLineEdit>(name)->setText(value);
    // Every box on an item (the units' item 1 has a code to write).
    for (QComboBox* box : w.findChildren<QComboBox*>()) {
        if (box->currentIndex() < 0 && box->count() > 1) box->setCurrentIndex(1);
    }
}

TEST_F(WindowTest, EveryRowsButtonSendsTheFrameItsRowBuilds) {
    openPort();
    int sent = 0;
    for (const ops::Operation& op : ops::operations()) {
        if (!op.control.starts_with("Button")) continue;
        SCOPED_TRACE(std::string(op.control));
        fillValidControls(w);  // reads empty some of them
        ops::Session before = w.session();
        const ops::Request expected = ops::build(op, w.controls(), before);
        messages.clear();
        QElapsedTimer clock;
        clock.start();
        const std::string button(op.control);
        w.control<QWidget>(button.c_str())->setEnabled(true);  // the E+H saves wait for a read
        click(button.c_str());
        if (!expected.refusal.empty()) {  // a write that needs its read first
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].second, QString::fromStdString(expected.refusal));
            EXPECT_TRUE(peer.read(std::chrono::milliseconds(100)).empty());
            continue;
        }
        // The paused requests hold the window thread after their write.
        if (op.pause) {
            EXPECT_GE(clock.elapsed(), 195);
        }
        EXPECT_EQ(hex(peer.read()), hart::hexText(expected.frame.bytes()));
        EXPECT_EQ(w.tracker().pending().tag, op.tag);
        EXPECT_EQ(text("Label68"), QString::fromStdString(std::string(op.startText)));
        EXPECT_TRUE(messages.empty());
        w.timer1().stop();
        ++sent;
    }
    EXPECT_GE(sent, 33);  // every universal button
}

TEST_F(WindowTest, ARefusedWriteShowsWhyAndSendsNothing) {
    openPort();
    w.control<QComboBox>("ComboBox1")->setCurrentIndex(-1);
    click("Button8");
    w.control<QLineEdit>("Edit22")->setText(QStringLiteral("\u6807\u7b7e"));
    click("Button33");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].first, MessageKind::Error);
    EXPECT_EQ(messages[0].second, QStringLiteral("请选择量程单位!"));
    EXPECT_TRUE(messages[1].second.startsWith(QStringLiteral("字符'\u6807'不能写入仪表")));
    EXPECT_TRUE(peer.read(std::chrono::milliseconds(300)).empty());
    EXPECT_EQ(w.tracker().pending().tag, 0);
    EXPECT_FALSE(w.timer3().isActive());
}

TEST_F(WindowTest, EditingKeysWithTheirXTextPassTheKeyFilters) {
    auto* edit = w.control<QLineEdit>("Edit9");
    w.control<QWidget>("Button15")->setEnabled(false);
    edit->setText("12.345");
    edit->setCursorPosition(0);
    // Under X, Delete carries U+007F and Tab U+0009; neither is typing.
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7F)));
    QApplication::sendEvent(edit, &del);
    EXPECT_EQ(edit->text(), "2.345");
    EXPECT_FALSE(enabled("Button15"));  // a typed key at this length would have enabled it
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QString(QChar(0x09)));
    QApplication::sendEvent(edit, &tab);
    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QString(QChar(0x01)));
    QApplication::sendEvent(edit, &selectAll);
    EXPECT_EQ(edit->selectedText(), "2.345");
    EXPECT_FALSE(enabled("Button15"));
}

TEST_F(WindowTest, ALostPortIsReportedAndClosedAndOpensAgainOnceBack) {
#ifdef _WIN32
    GTEST_SKIP() << "one pair of COM ports, which only the caller can take away";
#endif
    for (const bool pending : {false, true}) {
        SCOPED_TRACE(pending ? "during a request" : "idle");
        PtyPair modem;
        messages.clear();
        w.control<QComboBox>("SPREALCOM")->setEditText(QString::fromStdString(modem.path()));
        click("Button1");
        ASSERT_TRUE(w.portOpen());
        if (pending) {
            click("Button3");
            modem.read();
        }
        modem.hangUp();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w.portOpen(); }, kWaitMs));
        EXPECT_EQ(text("Button1"), QStringLiteral("打开串口"));
        EXPECT_FALSE(enabled("Button3"));
        EXPECT_EQ(text("Label68"), QStringLiteral("串口已断开!"));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].first, MessageKind::Error);
        EXPECT_TRUE(messages[0].second.contains(QString::fromStdString(modem.path())));
        // No timeout text follows as if the instrument were silent.
        QTest::qWait(3300);
        EXPECT_EQ(text("Label68"), QStringLiteral("串口已断开!"));
    }
    openPort();  // another modem
    click("Button3");
    EXPECT_EQ(hex(peer.read()), "FF FF FF FF FF FF 02 80 00 00 82 ");
}

TEST_F(WindowTest, AFrameThatCannotBeWrittenIsSaidAtOnce) {
    // The vendor pages' read buttons work while the port is closed.
    click("Button48");
    EXPECT_EQ(text("Label68"), QStringLiteral("串口没有打开,数据没有发送!"));
    EXPECT_EQ(w.tracker().pending().tag, 0);
    EXPECT_FALSE(w.timer3().isActive());
    EXPECT_EQ(text("Label56"), QString());
}

// The curve passes through every sample's pixel, so each column covers the least and the
// greatest value that falls in it; missed replies over whole columns leave them blank.
TEST(TrendPlotTest, EveryColumnCoversItsSamplesAndMissedRepliesLeaveAGap) {
    TrendPlot plot;
    plot.resize(700, 400);
    std::vector<std::pair<double, double>> drawn;
    for (int i = 0; i < 5000; ++i) {
        const double ms = 1.7e12 + i * 997.0;
        std::vector<std::optional<double>> values(TrendPlot::kSeries);
        if (i < 2000 || i >= 2100) values[1] = std::sin(i / 37.0) * 50 + (i % 7) * 3;
        if (values[1]) drawn.emplace_back(ms, *values[1]);
        plot.add(ms, values);
    }
    const QImage image = plot.grab().toImage();
    const QColor colour = TrendPlot::kColours[1];
    for (const auto& [ms, v] : drawn)
        ASSERT_EQ(image.pixelColor(plot.pixelOf(1, ms, v)), colour) << ms << " " << v;
    const int gap = plot.pixelOf(1, 1.7e12 + 2050 * 997.0, 0).x();
    for (int y = plot.plotArea().top(); y <= plot.plotArea().bottom(); ++y)
        EXPECT_NE(image.pixelColor(gap, y), colour) << y;
}

}  // namespace
}  // namespace ui
