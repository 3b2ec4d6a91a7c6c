// HART field instrument configuration tool.
#include <QApplication>
#include <QComboBox>
#include <QProcess>
#include <QStringList>
#include <cstdio>
#include <cstring>

#include "ui/language.h"
#include "ui/main_window.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr const char* kUsage =
    "usage: hart-config [--port NAME | --demo] [--lang zh|en] [--help] [--version]\n"
    "Configures HART field instruments through a HART modem on a serial port\n"
    "(1200 baud, 8 data bits, odd parity, 1 stop bit).\n"
    "  --port NAME  put NAME in the port box; COMn opens /dev/ttyS(n-1), any other\n"
    "               text is a device path, e.g. /dev/ttyUSB0 or /dev/ttyACM0\n"
    "  --lang zh|en the window in Chinese or English (default: the language last\n"
    "               chosen in the menu, else the system's)\n"
    "  --demo       start the simulated demo loop (hart-sim beside this program, over\n"
    "               HART-IP on 127.0.0.1) and put its address in the port box\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "Qt's own options (e.g. -platform offscreen) are accepted too.\n";

// Starts the simulator found beside this program on the demo loop and returns its HART-IP
// address, or empty when it did not start. It ends with `sim`, when the window closes.
QString startDemo(QProcess& sim) {
    sim.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/hart-sim"));
    sim.setArguments({QStringLiteral("--demo"), QStringLiteral("--hartip"), QStringLiteral("0")});
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start();
    while (sim.waitForReadyRead(10000)) {
        while (sim.canReadLine()) {
            const QString line = QString::fromUtf8(sim.readLine()).trimmed();
            if (!line.startsWith(QLatin1String("PORT "))) continue;
            // Its log is not shown: unread, it would only pile up here.
            sim.closeReadChannel(QProcess::StandardOutput);
            return line.mid(5);
        }
    }
    std::fprintf(stderr, "hart-config: the simulator %s did not start\n",
                 qPrintable(sim.program()));
    return {};
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // A window program has no console of its own: started from one, it answers --help,
    // --version and its usage there. Redirected output keeps the handles it was given.
    if (GetStdHandle(STD_OUTPUT_HANDLE) == nullptr && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
#endif
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
    // Where QSettings keeps the language chosen.
    QCoreApplication::setOrganizationName(QStringLiteral("hart-config"));
    QCoreApplication::setApplicationName(QStringLiteral("hart-config"));
    QString port;
    QString lang;
    bool demo = false;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--port") && i + 1 < args.size()) {
            port = args[++i];
        } else if (args[i].startsWith(QLatin1String("--port="))) {
            port = args[i].mid(7);
        } else if (args[i] == QLatin1String("--lang") && i + 1 < args.size() &&
                   hart::parseLanguage(args[i + 1].toStdString())) {
            lang = args[++i];
        } else if (args[i] == QLatin1String("--demo")) {
            demo = true;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    QProcess sim;
    if (demo && (port = startDemo(sim)).isEmpty()) return 1;
    ui::TForm1 window;
    if (!port.isEmpty()) window.control<QComboBox>("SPREALCOM")->setEditText(port);
    // The form is built in Chinese and turned to the language once it stands.
    ui::setLanguage(ui::startLanguage(lang));
    window.show();
    return app.exec();
}
