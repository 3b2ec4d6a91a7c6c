// A refused open, with the system's error numbers injected at the port boundary (the tests
// run as root, so permission errors cannot be provoked).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <cerrno>
#include <cstring>
#include <vector>

#include "link/port_backend.h"
#include "ui/main_window.h"
#include "ui/messages.h"

namespace ui {
namespace {

class RefusingPort final : public serial::PortBackend {
  public:
    explicit RefusingPort(int error) : error_(error) {}
    serial::OpenStatus open(const std::string&) override {
        return {serial::OpenResult::CannotOpen, error_};
    }
    void close() override {}
    bool createCloseSignal() override { return true; }
    void signalClose() override {}
    void purge(serial::PurgeWhat) override {}
    void applyLineSettings(const serial::LineSettings&) override {}
    void applyTimeouts(const serial::Timeouts&) override {}
    serial::IoResult readChunk(uint8_t*, size_t, size_t& got) override {
        got = 0;
        return serial::IoResult::Failed;
    }
    serial::IoResult writeAll(const uint8_t*, size_t) override { return serial::IoResult::Failed; }

  private:
    int error_;
};

TEST(OpenFailure, TheStatusLineSaysWhyBesideTheUnchangedMessage) {
    const struct {
        int error;
        const char* port;
        std::vector<QString> status;  // pieces the status line shows
        bool remedy;                  // the dialout group and logging in again
    } cases[] = {
        {ENOENT, "COM3", {"/dev/ttyS2", "没有这个设备"}, false},
        {ENODEV, "/dev/ttyUSB0", {"/dev/ttyUSB0", "没有这个设备"}, false},
        {EACCES, "/dev/ttyUSB0", {"/dev/ttyUSB0", "没有权限"}, true},
        {EPERM, "/dev/ttyACM0", {"/dev/ttyACM0", "没有权限"}, true},
        {EBUSY, "/dev/ttyACM0", {"/dev/ttyACM0", "其他程序占用"}, false},
        {EIO, "/dev/ttyS0", {"/dev/ttyS0", QString::fromLocal8Bit(std::strerror(EIO))}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port + std::string(" errno ") + std::to_string(c.error));
        std::vector<std::pair<MessageKind, QString>> messages;
        setMessageSink(
            [&](MessageKind kind, const QString& text) { messages.emplace_back(kind, text); });
        TForm1 w(std::make_unique<RefusingPort>(c.error));
        w.control<QComboBox>("SPREALCOM")->setEditText(c.port);
        w.control<QPushButton>("Button1")->click();
        setMessageSink({});

        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].first, MessageKind::Error);
        EXPECT_EQ(messages[0].second, "Error opening serial port");
        EXPECT_FALSE(w.portOpen());
        EXPECT_EQ(w.control<QPushButton>("Button1")->text(), QStringLiteral("打开串口"));

        const QString status = w.control<QLabel>("Label68")->text();
        for (const QString& piece : c.status)
            EXPECT_TRUE(status.contains(piece)) << status.toStdString();
        EXPECT_EQ(status.contains("dialout") && status.contains("重新登录"), c.remedy)
            << status.toStdString();
    }
}

}  // namespace
}  // namespace ui
