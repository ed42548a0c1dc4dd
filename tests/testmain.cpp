#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "shell/controls/Fonts.h"

// Every test program gets one QApplication (offscreen in ctest), so that widgets, timers and
// resources work exactly as in the program, with the program's own fonts.
int main(int argc, char** argv) {
    // Every test runs in a process of its own, beside others (ctest -j): what one keeps in the
    // configuration folder (the warning rule, for one) must not reach a test running beside it.
    // Each process gets a home of its own, where the test mode below puts that folder.
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/norak-test-home-XXXXXX"));
    if (home.isValid())
        qputenv("HOME", QFile::encodeName(home.path()));
    QApplication app(argc, argv);
    norak::installFontSubstitutions();
    // Settings kept in the user's configuration folder go to a test folder, never the real one.
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
