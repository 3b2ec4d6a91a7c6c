// Test entry point for window tests: one QApplication for the whole binary.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <csignal>

int main(int argc, char** argv) {
    // Test discovery runs the binary without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef SIGPIPE
    // A child process that has gone must not take the test binary with it.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // Fixed currents noted by loop checks that lost their port: the tests' own, never the user's.
    qputenv("XDG_STATE_HOME", (QDir::tempPath() + "/hart-window-tests-state").toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
