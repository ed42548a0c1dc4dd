#include <gtest/gtest.h>
#include <QApplication>

// Every test program gets one QApplication (offscreen in ctest), so that widgets, timers and
// resources work exactly as in the program.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
