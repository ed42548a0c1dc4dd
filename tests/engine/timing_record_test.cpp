#include <gtest/gtest.h>

#include "support/SessionHarness.h"

using namespace norak;
using norak::testing::SessionHarness;
using Kind = TimingRecord::SignalKind;
using Phase = TimingRecord::Phase;

TEST(TimingRecord, EverySignalKeepsItsDueAndGivenTick) {
    SessionHarness h(kEditionFutbol);
    const qint64 start = h.fakes.ticks.ticks();
    h.start(TestMode::Esfuerzo, 1, false);
    const TimingRecord& record = h.session.timingRecord();
    ASSERT_EQ(record.signalsGiven.size(), 1u);
    EXPECT_EQ(record.startTick, start);
    EXPECT_EQ(record.start, h.session.ClockStart());
    EXPECT_EQ(record.signalsGiven[0].kind, Kind::Start);
    EXPECT_EQ(record.signalsGiven[0].latenessMs(), 0);

    // Period 1 of the football table: 7843 ms a leg. On 1 ms steps the signal is on time.
    for (int t = 1; t <= 7844; ++t)
        h.step(1);
    ASSERT_EQ(record.signalsGiven.size(), 2u);
    const TimingRecord::Signal& first = record.signalsGiven[1];
    EXPECT_EQ(first.kind, Kind::Leg);
    EXPECT_EQ(first.dueTick, start + 7844);
    EXPECT_EQ(first.givenTick, start + 7844);
    EXPECT_EQ(first.givenNs, first.givenTick * 1'000'000);
    EXPECT_EQ(first.signal, 1);
    EXPECT_EQ(first.station, 2);
    EXPECT_EQ(first.period, 1u);
    EXPECT_EQ(first.phase, Phase::Effort);

    // A late tick is recorded as late, and the next interval begins where it was given.
    h.fakes.ticks.advance(7844 + 37);
    h.session.effortTick();
    ASSERT_EQ(record.signalsGiven.size(), 3u);
    EXPECT_EQ(record.signalsGiven[2].latenessMs(), 37);
    EXPECT_EQ(*h.session.nextDueTick(), h.fakes.ticks.ticks() + 7844);
}

TEST(TimingRecord, RecoveriesAndTheWarmUp) {
    SessionHarness h(kEditionZevez);
    h.start(TestMode::Esfuerzo, 2, true);
    const TimingRecord& record = h.session.timingRecord();
    EXPECT_EQ(record.signalsGiven.front().phase, Phase::WarmUp);
    // The warm-up period, its 180 s recovery, one effort period and its 30 s recovery.
    while (record.recoveries.size() < 2 || !record.recoveries.back().ended()) {
        h.step();
        ASSERT_LT(h.time.elapsed(), 3600000) << "the test never reached its second recovery's end";
    }
    ASSERT_EQ(record.recoveries.size(), 2u);
    const TimingRecord::Recovery& warmUpRest = record.recoveries[0];
    const TimingRecord::Recovery& rest = record.recoveries[1];
    EXPECT_TRUE(warmUpRest.afterWarmUp);
    EXPECT_EQ(warmUpRest.nominalMs, 180000);
    EXPECT_FALSE(rest.afterWarmUp);
    EXPECT_EQ(rest.nominalMs, 30000);
    EXPECT_EQ(rest.period, 2u);
    // On 10 ms steps a recovery lasts more than its length, by less than a step.
    EXPECT_GT(rest.measuredMs(), 30000);
    EXPECT_LE(rest.measuredMs(), 30010);

    int legs = 0;
    int departures = 0;
    for (const TimingRecord::Signal& s : record.signalsGiven) {
        legs += s.kind == Kind::Leg ? 1 : 0;
        if (s.kind == Kind::Departure) {
            ++departures;
            EXPECT_EQ(s.phase, Phase::Effort);
            EXPECT_EQ(s.signal, 0);
        }
        EXPECT_GE(s.latenessMs(), 0);
        EXPECT_LT(s.latenessMs(), 10);
    }
    EXPECT_EQ(legs, 72);
    EXPECT_EQ(departures, 2);
    EXPECT_EQ(int(record.signalsGiven.size()), h.fakes.sound.m_signals);
    // Each recovery ends at the tick of the departure that follows it.
    EXPECT_EQ(record.signalsGiven.back().givenTick, rest.endTick);
    // The warm-up's legs are of the warm-up, the next period's of the effort.
    EXPECT_EQ(record.signalsGiven[1].phase, Phase::WarmUp);
    EXPECT_EQ(record.signalsGiven[40].phase, Phase::Effort);

    // A new Start begins a new record.
    h.session.stop();
    h.session.prepareNewTest();
    h.session.start();
    EXPECT_EQ(record.signalsGiven.size(), 1u);
    EXPECT_TRUE(record.recoveries.empty());
}
