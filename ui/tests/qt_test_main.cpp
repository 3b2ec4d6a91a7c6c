// Test entry point for window tests: one QApplication for the whole binary.
#include <gtest/gtest.h>

#include <QApplication>
#include <csignal>

int main(int argc, char** argv) {
    // Test discovery runs the binary without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // A child process that has gone must not take the test binary with it.
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
