#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <vector>

#include "platform/TickSource.h"
#include "platform/qt/PacingTimer.h"
#include "platform/qt/QtTickSource.h"

using namespace norak;

// Timing precision is measured by bench/; these tests check that the wake-up comes on its own,
// not before the due moment and long before the regular tick would have come.

namespace {

// A tick source read to the nanosecond that moves only when the test moves it.
class SetNanoTicks : public TickSource {
  public:
    qint64 ticks() const override { return ns / 1'000'000; }
    qint64 ticksNs() const override { return ns; }
    qint64 ns = 0;
};

}  // namespace

TEST(PacingTimer, ArmedWakeUpComesJustAfterTheDueMoment) {
    QtTickSource ticks;
    PacingTimer timer;
    std::vector<qint64> seen;
    QObject::connect(&timer, &PacingTimer::timeout, [&] { seen.push_back(ticks.ticks()); });
    timer.start(2000);  // regular ticks far away: only the wake-up can come early
    ASSERT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 2000);

    const qint64 due = ticks.ticks() + 60;
    timer.armAt(due, ticks);
    EXPECT_TRUE(timer.isArmed());
    QTest::qWait(600);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_GE(seen[0], due + 1);  // "more than the run time has passed" holds when it comes
    EXPECT_LT(seen[0], due + 400);
    EXPECT_FALSE(timer.isArmed());
    timer.stop();
}

TEST(PacingTimer, RegularTicksComeWithoutArming) {
    PacingTimer timer;
    QSignalSpy spy(&timer, &PacingTimer::timeout);
    timer.start(10);
    QTest::qWait(300);
    timer.stop();
    EXPECT_GE(spy.count(), 5);
    EXPECT_FALSE(timer.isActive());
}

TEST(PacingTimer, ArmingIsReplacedCancelledAndIgnoredWhenPointless) {
    QtTickSource ticks;
    PacingTimer timer;
    QSignalSpy spy(&timer, &PacingTimer::timeout);

    // Stopped: arming does nothing.
    timer.armAt(ticks.ticks() + 20, ticks);
    EXPECT_FALSE(timer.isArmed());

    timer.start(5000);
    // A moment already past: the next regular tick decides, no wake-up.
    timer.armAt(ticks.ticks() - 5, ticks);
    EXPECT_FALSE(timer.isArmed());

    // A later arming replaces the earlier one: one wake-up, at the later moment.
    timer.armAt(ticks.ticks() + 30, ticks);
    const qint64 later = ticks.ticks() + 150;
    timer.armAt(later, ticks);
    QTest::qWait(80);
    EXPECT_EQ(spy.count(), 0);
    QTest::qWait(500);
    EXPECT_EQ(spy.count(), 1);

    // Stop cancels an armed wake-up; so does a restart.
    timer.armAt(ticks.ticks() + 40, ticks);
    timer.stop();
    EXPECT_FALSE(timer.isArmed());
    timer.start(5000);
    EXPECT_FALSE(timer.isArmed());
    QTest::qWait(200);
    EXPECT_EQ(spy.count(), 1);
    timer.stop();
}

// Armed for the millisecond already running (about one signal in fifty), the wake-up still comes
// as the next millisecond begins, not at the regular tick.
TEST(PacingTimer, ArmedForTheRunningMillisecondFiresAsTheNextBegins) {
    SetNanoTicks ticks;
    ticks.ns = 5'000'300'000;  // 0.3 ms into millisecond 5000
    PacingTimer timer;
    QSignalSpy spy(&timer, &PacingTimer::timeout);
    timer.start(600000);
    timer.armAt(5000, ticks);
    ASSERT_TRUE(timer.isArmed());
    EXPECT_EQ(timer.wakeUpTick(), 5001);
    ticks.ns = 5'001'000'000;
    ASSERT_TRUE(spy.wait(10000));
    EXPECT_EQ(spy.count(), 1);
    timer.stop();
}
