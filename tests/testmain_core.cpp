#include <gtest/gtest.h>
#include <QCoreApplication>

// The tests of the non-widget libraries run on a QCoreApplication: timers and signals work as in
// the program, and nothing of the GUI modules is linked.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
