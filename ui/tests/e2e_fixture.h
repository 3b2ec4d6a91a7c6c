// The end-to-end fixture: the real window and serial link against the simulator as a
// child process on a pseudo-terminal.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdlib>

#include "testing/process.h"
#include "ui/main_window.h"
#include "ui/messages.h"
#include "ui/tests/control_text.h"

namespace ui {

using testsupport::SimProcess;

constexpr int kWaitMs = 10000;
const QString kReadOk = QStringLiteral("上传成功!");
const QString kReadFailed = QStringLiteral("上传失败!");
const QString kReadTimeout = QStringLiteral("上传数据超时!");

// The simulator's default transmitter: manufacturer 0x26, type 6, identifier 0x001234.
class EndToEnd : public ::testing::Test {
  protected:
    void start(std::vector<std::string> simArgs = {"--fast"}) {
        startSim(std::move(simArgs));
        if (HasFatalFailure()) return;
        window = std::make_unique<TForm1>();
        setMessageSink([this](MessageKind, const QString& text) { messages.push_back(text); });
        // Let the start-up tick of the parse timer pass.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->timer2().isActive(); }, kWaitMs));
        window->control<QComboBox>("SPREALCOM")->setEditText(QString::fromStdString(sim->port()));
        click("Button1");
        ASSERT_TRUE(window->portOpen()) << (messages.empty() ? "" : messages.back().toStdString());
    }
    void startSim(std::vector<std::string> args = {"--fast"}) {
        args.insert(args.begin(), HART_SIM_PROGRAM);
        // The same tests again with the instruments behind HART-IP instead of a line.
        if (std::getenv("HART_E2E_HARTIP") != nullptr) args.insert(args.end(), {"--hartip", "0"});
        sim = std::make_unique<SimProcess>(std::move(args));
        ASSERT_FALSE(sim->port().empty()) << "the simulator did not start";
        sim->whileWaiting([] { QTest::qWait(10); });
    }
    void TearDown() override {
        window.reset();
        sim.reset();
        setMessageSink({});
    }

    void click(const char* name) { window->control<QPushButton>(name)->click(); }
    QString text(const char* name) { return testing::controlText(*window, name); }
    bool waitStatus(const QString& status, int ms = kWaitMs) {
        return QTest::qWaitFor([&] { return text("Label68") == status; }, ms);
    }
    // A frame's hex text from its delimiter on: over HART-IP the preambles do not travel.
    static std::string body(std::string hex) {
        while (hex.starts_with("FF ")) hex.erase(0, 3);
        return hex;
    }
    // Waits for it: over HART-IP the reply can be in before the simulator's log line of it.
    bool hasReceived(const std::string& frame) {
        return QTest::qWaitFor(
            [&] {
                const auto rx = sim->received();
                return std::any_of(rx.begin(), rx.end(),
                                   [&](const std::string& r) { return body(r) == body(frame); });
            },
            kWaitMs);
    }
    // On the line: polls of an empty address and of one answering, then only frames to it.
    void expectPolledFirst(std::uint8_t empty, std::uint8_t found) {
        const auto rx = sim->received();
        EXPECT_EQ(body(rx.at(0)), body(hart::hexText(hart::shortFrame(0x80, empty).bytes())));
        EXPECT_EQ(body(rx.at(1)), body(hart::hexText(hart::shortFrame(0x80, found).bytes())));
        const std::string to = "82 " + hart::hexText(window->session().identity.longAddress(0x80));
        for (std::size_t i = 2; i < rx.size(); ++i)
            EXPECT_TRUE(body(rx[i]).starts_with(to) || body(rx[i]) == body(rx[1])) << rx[i];
    }
    void expectDefaultIdentity() {
        EXPECT_EQ(text("Edit1"), "38");
        EXPECT_EQ(text("Edit2"), "6");
        EXPECT_EQ(text("Edit4"), "4660");
        EXPECT_EQ(text("Edit28"), "4660");
    }

    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<TForm1> window;
    std::vector<QString> messages;
};

}  // namespace ui
