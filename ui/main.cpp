// HART field instrument configuration tool.
#include <QApplication>
#include <QComboBox>
#include <QStringList>
#include <cstdio>
#include <cstring>

#include "ui/main_window.h"

namespace {

constexpr const char* kUsage =
    "usage: hart-config [--port NAME] [--help] [--version]\n"
    "Configures HART field instruments through a HART modem on a serial port\n"
    "(1200 baud, 8 data bits, odd parity, 1 stop bit).\n"
    "  --port NAME  put NAME in the port box; COMn opens /dev/ttyS(n-1), any other\n"
    "               text is a device path, e.g. /dev/ttyUSB0 or /dev/ttyACM0\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "Qt's own options (e.g. -platform offscreen) are accepted too.\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window system is needed, so they work over a plain terminal.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("hart-config " HART_VERSION);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QString port;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--port") && i + 1 < args.size()) {
            port = args[++i];
        } else if (args[i].startsWith(QLatin1String("--port="))) {
            port = args[i].mid(7);
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    ui::TForm1 window;
    if (!port.isEmpty()) window.control<QComboBox>("SPREALCOM")->setEditText(port);
    window.show();
    return app.exec();
}
