#include <gtest/gtest.h>

#include "support/SessionHarness.h"

using namespace norak;
using norak::testing::SessionHarness;

// The tests of a session after the first: New test must leave nothing of the test before in the
// values the next one starts from.
namespace {

// Runs the whole first test of `h` through its warm-up into the test proper, then stops it and
// prepares the next one, as the operator does between two groups.
void runAFirstTestAndPrepareTheNext(SessionHarness& h, TestMode mode, int startPeriod, bool warmUp) {
    h.start(mode, startPeriod, warmUp);
    const int periods = warmUp ? 2 : 1;
    for (int i = 0; i < 36 * periods; ++i)
        ASSERT_GT(h.runToNextSignal(), 0);
    h.runFor(5000);
    h.session.stop();
    h.session.prepareNewTest();
}

}  // namespace

TEST(NextTest, StartsFromTheStartPeriodsSpeed) {
    SessionHarness h(kEditionZevez);
    runAFirstTestAndPrepareTheNext(h, TestMode::Esfuerzo, 25, false);
    const DisplayState& d = h.session.display();
    // Before the start the panel already shows the speed the next test begins with.
    EXPECT_EQ(h.session.CurrentPeriod(), 25u);
    EXPECT_EQ(d.speedText, QStringLiteral("18,6"));
    EXPECT_EQ(d.speedLabel, QStringLiteral("18,6 Km/h"));
    h.session.start();
    EXPECT_EQ(h.session.StartSpeedText(), QStringLiteral("18,6"));
}

TEST(NextTest, RunsItsWarmUpWhileTheBoxIsStillTicked) {
    SessionHarness h(kEditionZevez);
    runAFirstTestAndPrepareTheNext(h, TestMode::Esfuerzo, 3, true);
    ASSERT_TRUE(h.session.display().warmUpChecked);
    const int activationsBefore = h.hooks.activations;
    h.session.start();
    EXPECT_EQ(h.session.WarmUpPhase(), 1);
    EXPECT_EQ(h.session.display().bannerText, QStringLiteral("CALENTAMIENTO"));
    EXPECT_EQ(h.hooks.activations, activationsBefore);  // no athlete button during a warm-up
    for (int i = 0; i < 36; ++i)
        ASSERT_GT(h.runToNextSignal(), 0);
    EXPECT_EQ(h.session.display().gauge.maximum, 180);  // the warm-up's long recovery
}
