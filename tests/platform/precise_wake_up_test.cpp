#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include "platform/qt/PreciseWakeUp.h"

using namespace norak;

// How close to the moment the wake-up comes is measured by bench/pacing; these tests check that
// it comes once, never early, and that a restart or a stop takes effect.

TEST(PreciseWakeUp, FiresOnceNoEarlierThanAsked) {
    PreciseWakeUp wakeUp;
#ifdef Q_OS_LINUX
    EXPECT_TRUE(wakeUp.isPrecise());
#endif
    QElapsedTimer clock;
    qint64 firedAt = -1;
    int fired = 0;
    QObject::connect(&wakeUp, &PreciseWakeUp::fired, [&] {
        firedAt = clock.nsecsElapsed();
        ++fired;
    });
    clock.start();
    wakeUp.start(40'500'000);  // 40.5 ms: not a whole number of milliseconds
    EXPECT_TRUE(wakeUp.isActive());
    QTest::qWait(400);
    EXPECT_EQ(fired, 1);
    EXPECT_GE(firedAt, 40'500'000);
    EXPECT_LT(firedAt, 300'000'000);
    EXPECT_FALSE(wakeUp.isActive());
}

TEST(PreciseWakeUp, RestartReplacesStopCancelsAndAPastMomentFiresAtOnce) {
    PreciseWakeUp wakeUp;
    QSignalSpy spy(&wakeUp, &PreciseWakeUp::fired);

    wakeUp.start(5'000'000'000);
    wakeUp.start(30'000'000);  // replaces the 5 s wake-up
    QTest::qWait(300);
    EXPECT_EQ(spy.count(), 1);

    wakeUp.start(20'000'000);
    wakeUp.stop();
    EXPECT_FALSE(wakeUp.isActive());
    QTest::qWait(150);
    EXPECT_EQ(spy.count(), 1);

    // Stopped after it expired but before the loop saw it: still nothing.
    wakeUp.start(1);
    QThread::msleep(5);
    wakeUp.stop();
    QTest::qWait(50);
    EXPECT_EQ(spy.count(), 1);

    wakeUp.start(-3);
    QTest::qWait(50);
    EXPECT_EQ(spy.count(), 2);
}
