#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QStandardPaths>

// The tests of the non-widget libraries run on a QCoreApplication: timers and signals work as in
// the program, and nothing of the GUI modules is linked.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Settings kept in the user's configuration folder go to a test folder, never the real one.
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
