// The window on a real COM port: the instrument is the simulator on the port's other end,
// started by whoever runs this (scripts/windows: the Linux simulator on a pseudo-terminal
// that the wine prefix calls HART_TEST_COM).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include "ui/main_window.h"
#include "ui/messages.h"
#include "ui/tests/control_text.h"

namespace ui {
namespace {

constexpr int kWaitMs = 15000;

TEST(ComPort, PollsTheInstrumentAndReadsItsLiveValues) {
    const QString port = qEnvironmentVariable("HART_TEST_COM");
    if (port.isEmpty()) GTEST_SKIP() << "HART_TEST_COM names no port with an instrument behind it";
    std::vector<QString> messages;
    setMessageSink([&](MessageKind, const QString& text) { messages.push_back(text); });
    TForm1 window;
    window.show();
    const auto text = [&](const char* name) { return testing::controlText(window, name); };
    const auto clickAndWait = [&](const char* button) {
        window.control<QPushButton>(button)->click();
        return QTest::qWaitFor([&] { return text("Label68") == QStringLiteral("上传成功!"); },
                               kWaitMs);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.timer2().isActive(); }, kWaitMs));
    window.control<QComboBox>("SPREALCOM")->setEditText(port);
    window.control<QPushButton>("Button1")->click();
    ASSERT_TRUE(window.portOpen()) << (messages.empty() ? "" : messages.back().toStdString());

    ASSERT_TRUE(clickAndWait("Button3")) << text("Label68").toStdString();
    EXPECT_EQ(text("Edit1"), "38");    // manufacturer 0x26
    EXPECT_EQ(text("Edit4"), "4660");  // identifier 0x001234
    window.control<QLabel>("Label68")->clear();
    ASSERT_TRUE(clickAndWait("Button34"));
    window.control<QLabel>("Label68")->clear();
    ASSERT_TRUE(clickAndWait("Button4"));
    // Loop current and percent of range agree: 4 mA plus 16 mA per 100 %.
    EXPECT_NEAR(text("Edit6").toDouble(), 4.0 + 0.16 * text("Edit20").toDouble(), 0.2);

    // A picture of the window: the caller takes it while the marker file exists.
    if (const QString marker = qEnvironmentVariable("HART_SCREENSHOT_MARKER"); !marker.isEmpty()) {
        window.raise();
        window.activateWindow();
        QTest::qWait(500);
        EXPECT_TRUE(QFile(marker).open(QIODevice::WriteOnly));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(marker); }, 60000));
    }
    window.control<QPushButton>("Button1")->click();
    EXPECT_FALSE(window.portOpen());
    setMessageSink({});
}

}  // namespace
}  // namespace ui
