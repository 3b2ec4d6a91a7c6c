// Start-up figure: run as a child by scripts/bench. Prints the milliseconds from process start
// (the kernel's start time of this process) to the window's first expose, and the resident
// memory then. Built twice: the tool's window, and a bare QLabel (HART_BARE) linked with Qt
// Widgets alone, the least any Qt Widgets program takes to come up.
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "testing/process.h"
#ifndef HART_BARE
#include "ui/main_window.h"
#endif

namespace {

// Milliseconds since this process started, on the boot-time clock the kernel records it in.
double sinceStartMs() {
    std::ifstream stat("/proc/self/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream rest(all.substr(all.rfind(')') + 2));
    std::string field;
    for (int i = 3; i < 22; ++i) rest >> field;
    unsigned long long startTicks = 0;
    rest >> startTicks;
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs =
        static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    return nowMs -
           1e3 * static_cast<double>(startTicks) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

#ifdef HART_BARE
constexpr const char* kName = "bare_startup";
#else
constexpr const char* kName = "startup";
#endif

class FirstExpose : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Expose && !done_) {
            done_ = true;
            // After this event the first frame is painted; measure once it is.
            QTimer::singleShot(0, [] {
                std::printf("RESULT %s_ms %.3f\nRESULT rss_after_%s_mb %.3f\n", kName,
                            sinceStartMs(), kName,
                            static_cast<double>(testsupport::residentKb()) / 1024.0);
                QCoreApplication::quit();
            });
        }
        return false;
    }

  private:
    bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
#ifdef HART_BARE
    QLabel window(QStringLiteral("HART"));
#else
    ui::TForm1 window;
#endif
    FirstExpose watch;
    // Expose goes to the native window, not to the widget.
    window.winId();
    window.windowHandle()->installEventFilter(&watch);
    window.show();
    return QApplication::exec();
}
