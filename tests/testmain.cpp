#include <gtest/gtest.h>
#include <QApplication>
#include <QStandardPaths>

#include "shell/controls/Fonts.h"

// Every test program gets one QApplication (offscreen in ctest), so that widgets, timers and
// resources work exactly as in the program, with the program's own fonts.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    norak::installFontSubstitutions();
    // Settings kept in the user's configuration folder go to a test folder, never the real one.
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
