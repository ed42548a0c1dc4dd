#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <utility>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "results/TestRun.h"
#include "support/FakeTime.h"
#include "voice/VoiceClips.h"
#include "voice/VoiceCues.h"
#include "voice/VoiceOnRun.h"

using namespace norak;

// The words as the program speaks them: VoiceCues attached to a test run, the run driven on fake
// time, the words and the sounds read back from the fake sound.
namespace {

qint64 signalMs() {
    QFile file(QStringLiteral(":/sound/sonido.wav"));
    return file.open(QIODevice::ReadOnly) ? VoiceClips::wavLengthMs(file.readAll()) : -1;
}
constexpr qint64 kAlertMs = 150;

struct SpokenRun {
    explicit SpokenRun(int edition, bool voice)
        : run(edition, fakes.platform()),
          time(fakes, run),
          cues(fakes.sound, fakes.ticks, VoiceSchedule(lengths, signalMs(), kAlertMs),
               int(run.session().activeTable().size())) {
        cues.setEnabled(voice);
        attachVoiceToRun(cues, run);
        QObject::connect(&run, &TestRun::signalGiven,
                         [this](const TimingRecord::Signal& s) { signalTicks.push_back(s.givenTick); });
        QObject::connect(&run, &TestRun::recoveryBegan, [this](const RecoveryBegan& r) {
            recoveries.push_back(r);
            alerted = false;
        });
        run.activate();
    }

    void start(bool warmUp) {
        run.chooseMode(TestMode::Esfuerzo);
        run.setStartPeriod(1);
        if (run.display().warmUpChecked != warmUp)
            run.setWarmUp(warmUp);
        run.start();
        ASSERT_TRUE(run.isRunning());
        cancelsAtStart = fakes.sound.m_cancels;  // choosing the mode prepared a new test
    }
    // One 10 ms step. The alert is asked for on every look of its second and sounds once: the
    // tick of the first request of each recovery is noted.
    void step() {
        const std::size_t alerts = fakes.sound.m_alerts.size();
        time.step();
        if (fakes.sound.m_alerts.size() > alerts && !std::exchange(alerted, true))
            alertTicks.push_back(fakes.ticks.ticks());
    }
    // Until the departure after the last period's recovery, or a limit.
    void runWholeTest() {
        const int periods = run.session().periodCount();
        while (
            !(int(run.session().CurrentPeriod()) > periods && !run.isTimerOn(TestSession::Timer::Recovery)) &&
            time.elapsed() < 4 * 3600 * 1000)
            step();
    }

    // The first signal or alert that begins after `tick`, or -1.
    qint64 nextSoundAfter(qint64 tick) const {
        qint64 next = -1;
        for (const std::vector<qint64>* ticks : {&signalTicks, &alertTicks}) {
            const auto it = std::upper_bound(ticks->begin(), ticks->end(), tick);
            if (it != ticks->end() && (next < 0 || *it < next))
                next = *it;
        }
        return next;
    }

    // Every word heard lies inside a recovery, after its first signal has sounded out, and ends
    // at least 250 ms before the next signal or alert that came.
    void expectEveryWordInARecoveryAndClear() const {
        const ClipLengths& lengths = cues.schedule().lengths();
        for (const FakeSound::PlayedClip& clip : fakes.sound.heardClips()) {
            const qint64 end = clip.startTick() + lengths.value(clip.clip);
            const bool inside =
                std::any_of(recoveries.begin(), recoveries.end(), [&](const RecoveryBegan& r) {
                    return clip.startTick() >= r.startTick + signalMs() && end < r.departureTick;
                });
            EXPECT_TRUE(inside) << clip.clip.toStdString() << " at " << clip.startTick();
            const qint64 next = nextSoundAfter(clip.startTick() - 1);
            if (next >= 0) {
                EXPECT_GE(next - end, VoiceSchedule::kClearMs)
                    << clip.clip.toStdString() << " at " << clip.startTick();
            }
        }
    }

    QStringList heardNames() const {
        QStringList names;
        for (const FakeSound::PlayedClip& clip : fakes.sound.heardClips())
            names.push_back(clip.clip);
        return names;
    }

    const ClipLengths lengths = VoiceClips::lengthsIn();
    FakePlatform fakes;
    TestRun run;
    norak::testing::FakeTime<TestRun> time;
    VoiceCues cues;
    std::vector<qint64> signalTicks;
    std::vector<qint64> alertTicks;
    std::vector<RecoveryBegan> recoveries;
    bool alerted = true;
    int cancelsAtStart = 0;
};

}  // namespace

TEST(VoiceOnRun, AWholeTestWithItsWarmUpIsSpokenInsideTheRecoveriesOnly) {
    for (int edition : {int(kEditionFutbol), int(kEditionZevez)}) {
        SCOPED_TRACE(edition);
        SpokenRun r(edition, true);
        r.start(true);
        r.runWholeTest();
        const int periods = r.run.session().periodCount();
        ASSERT_EQ(int(r.recoveries.size()), periods + 1);  // the warm-up's and one after each period
        EXPECT_EQ(int(r.heardNames().count(QStringLiteral("recuperacion"))), periods + 1);
        EXPECT_EQ(int(r.heardNames().count(QStringLiteral("periodo"))), periods);  // none after the last
        EXPECT_EQ(r.fakes.sound.m_cancels, r.cancelsAtStart);
        r.expectEveryWordInARecoveryAndClear();

        // The warm-up's 3-minute recovery: the start period, then "tres, dos, uno" before its
        // departure, "uno" ending 250 ms before it at the latest.
        const RecoveryBegan& warmUp = r.recoveries.front();
        EXPECT_EQ(warmUp.departureTick - warmUp.startTick, editionRecord(edition).warmUpRestDurationMs + 1);
        std::vector<FakeSound::PlayedClip> inWarmUp;
        for (const FakeSound::PlayedClip& clip : r.fakes.sound.heardClips()) {
            if (clip.startTick() < warmUp.departureTick)
                inWarmUp.push_back(clip);
        }
        ASSERT_GE(inWarmUp.size(), 5u);
        EXPECT_EQ(inWarmUp[1].clip, QStringLiteral("periodo"));
        EXPECT_EQ(inWarmUp[2].clip, QStringLiteral("n01"));
        QStringList countdown;
        for (std::size_t i = inWarmUp.size() - 3; i < inWarmUp.size(); ++i)
            countdown.push_back(inWarmUp[i].clip);
        EXPECT_EQ(countdown, VoiceSchedule::countdownWords());
        const FakeSound::PlayedClip& one = inWarmUp.back();
        const qint64 departure =
            *std::upper_bound(r.signalTicks.begin(), r.signalTicks.end(), one.startTick());
        EXPECT_GE(departure - (one.startTick() + r.lengths.value(one.clip)), VoiceSchedule::kClearMs);
        EXPECT_LE(departure - one.startTick(), VoiceSchedule::kCountdownBeatMs + 10);
    }
}

TEST(VoiceOnRun, NothingIsSaidWithTheVoiceOff) {
    SpokenRun r(kEditionZevez, false);
    r.start(true);
    r.runWholeTest();
    EXPECT_GT(r.recoveries.size(), 2u);
    EXPECT_TRUE(r.fakes.sound.m_clips.empty());
}

// Stop, a new test, leaving and the box cleared in the middle of a recovery: the words placed for
// later are never heard; the signals are not touched.
TEST(VoiceOnRun, NoWordIsHeardAfterStopNewTestLeavingOrTheBoxCleared) {
    const auto intoSecondRecovery = [](SpokenRun& r) {
        r.start(false);
        while (r.recoveries.size() < 2)
            r.step();
        for (int i = 0; i < 500; ++i)  // 5 s in: "Recuperación" said, the rest to come
            r.step();
        ASSERT_EQ(r.heardNames().count(QStringLiteral("recuperacion")), 2);
        const auto toCome = [&r](const FakeSound::PlayedClip& c) {
            return c.startTick() > r.fakes.ticks.ticks();
        };
        ASSERT_GE(std::count_if(r.fakes.sound.m_clips.begin(), r.fakes.sound.m_clips.end(), toCome), 9);
    };
    const auto nothingAfter = [](const SpokenRun& r, qint64 tick) {
        for (const FakeSound::PlayedClip& clip : r.fakes.sound.heardClips())
            EXPECT_LT(clip.startTick(), tick) << clip.clip.toStdString();
    };
    {
        SpokenRun r(kEditionZevez, true);
        intoSecondRecovery(r);
        const qint64 stoppedAt = r.fakes.ticks.ticks();
        const std::size_t asked = r.fakes.sound.m_clips.size();
        r.run.stop();
        EXPECT_EQ(r.fakes.sound.m_cancels, r.cancelsAtStart + 1);
        nothingAfter(r, stoppedAt);
        EXPECT_LT(r.heardNames().size(), asked);  // the period and the countdown were called off
        for (int i = 0; i < 6000; ++i)
            r.step();
        EXPECT_EQ(r.fakes.sound.m_clips.size(), asked);  // and nothing new is asked for
        r.expectEveryWordInARecoveryAndClear();
        // "Nuevo Test" then: nothing was left to call off, and it stays so.
        r.run.prepareNewTest();
        EXPECT_EQ(r.fakes.sound.m_cancels, r.cancelsAtStart + 2);
        nothingAfter(r, stoppedAt);
    }
    {
        // Leaving during the test: it ends as Stop ends it.
        SpokenRun r(kEditionZevez, true);
        intoSecondRecovery(r);
        const qint64 leftAt = r.fakes.ticks.ticks();
        r.fakes.messages.m_defaultAnswer = true;
        ASSERT_TRUE(r.run.confirmLeave());
        EXPECT_GE(r.fakes.sound.m_cancels, r.cancelsAtStart + 1);
        nothingAfter(r, leftAt);
    }
    {
        // Another mode chosen between tests prepares a new test.
        SpokenRun r(kEditionZevez, true);
        const int before = r.fakes.sound.m_cancels;
        r.run.chooseMode(r.run.display().mode == TestMode::Esfuerzo ? TestMode::Repetir : TestMode::Esfuerzo);
        EXPECT_EQ(r.fakes.sound.m_cancels, before + 1);
    }
    {
        SpokenRun r(kEditionZevez, true);
        intoSecondRecovery(r);
        const qint64 clearedAt = r.fakes.ticks.ticks();
        const int signalsBefore = r.fakes.sound.m_signals;
        r.cues.setEnabled(false);
        nothingAfter(r, clearedAt);
        r.runWholeTest();
        nothingAfter(r, clearedAt);
        EXPECT_GT(r.fakes.sound.m_signals, signalsBefore);  // the test goes on, its signals too
    }
}
