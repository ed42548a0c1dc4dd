#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

// The tests of the non-widget libraries run on a QCoreApplication: timers and signals work as in
// the program, and nothing of the GUI modules is linked.
int main(int argc, char** argv) {
    // Every test runs in a process of its own, beside others (ctest -j): what one keeps in the
    // configuration folder (the warning rule, for one) must not reach a test running beside it.
    // Each process gets a home of its own, where the test mode below puts that folder.
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/norak-test-home-XXXXXX"));
    if (home.isValid())
        qputenv("HOME", QFile::encodeName(home.path()));
    QCoreApplication app(argc, argv);
    // Settings kept in the user's configuration folder go to a test folder, never the real one.
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
