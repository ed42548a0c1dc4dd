#include <gtest/gtest.h>

#include <algorithm>

#include "support/SessionHarness.h"

using namespace norak;
using norak::testing::SessionHarness;
using Timer = TestSession::Timer;

TEST(Scheduler, SignalFallsOnTheFirstTickPastTheRunTime) {
    SessionHarness h(kEditionFutbol);
    h.start(TestMode::Esfuerzo, 1, false);
    EXPECT_EQ(h.fakes.sound.m_signals, 1);  // departure
    // 1 ms steps: nothing at 7843 ms, the signal at 7844.
    for (int t = 1; t <= 7843; ++t)
        ASSERT_EQ(h.step(1), 0) << t;
    EXPECT_EQ(h.step(1), 1);
    // A late tick: the next interval starts at the tick that gave the signal, not at the due time.
    h.fakes.ticks.advance(7850);
    h.session.effortTick();
    EXPECT_EQ(h.session.BeepCount(), 2);
    EXPECT_EQ(*h.session.nextDueTick(), h.fakes.ticks.ticks() + 7844);
}

TEST(Scheduler, StartShowsTheEffortLookAndLocksTheConfiguration) {
    SessionHarness h(kEditionZevez);
    h.start(TestMode::Esfuerzo, 3, false);
    const DisplayState& d = h.session.display();
    EXPECT_TRUE(h.session.isTimerOn(Timer::Effort));
    EXPECT_TRUE(h.session.isTimerOn(Timer::Clock));
    EXPECT_FALSE(h.session.isTimerOn(Timer::Recovery));
    EXPECT_EQ(h.hooks.activations, 1);
    EXPECT_EQ(h.hooks.rowSelections, 1);
    EXPECT_EQ(d.periodText, QStringLiteral("3"));
    EXPECT_EQ(d.speedText, QStringLiteral("5,4"));
    EXPECT_EQ(h.session.StartSpeedText(), QStringLiteral("5,4"));
    EXPECT_EQ(d.bannerText, QStringLiteral("Periodo de ESFUERZO"));
    EXPECT_TRUE(d.bannerVisible && d.gauge.visible && d.lapVisible && d.startSignVisible);
    EXPECT_EQ(d.gauge.text(), QStringLiteral("Estación Nº: 0"));
    EXPECT_EQ(d.frontPicture, 2);
    EXPECT_FALSE(d.restMarkerVisible);
    EXPECT_TRUE(d.cones[0].visible && d.cones[0].solid && !d.cones[0].red);
    EXPECT_FALSE(d.startEnabled || d.exitEnabled || d.helpEnabled || d.aboutEnabled);
    EXPECT_FALSE(d.configEnabled || d.exportEnabled || d.clearEnabled || d.configVisible);
    EXPECT_TRUE(d.stopEnabled);
    // Start cannot run twice.
    h.session.start();
    EXPECT_EQ(h.fakes.sound.m_signals, 1);
}

TEST(Scheduler, AWholeZevezPeriodThenItsRecovery) {
    SessionHarness h(kEditionZevez);
    h.start(TestMode::Esfuerzo, 1, false);
    const DisplayState& d = h.session.display();
    for (int signal = 1; signal <= 35; ++signal) {
        ASSERT_GT(h.runToNextSignal(), 0);
        EXPECT_EQ(h.session.BeepCount(), signal);
        EXPECT_EQ(d.lapText, QString::number((signal - 1) / 12 + 1));
        EXPECT_TRUE(d.cones[std::size_t(signal % 12)].visible) << signal;  // always station order
        EXPECT_EQ(d.gauge.position, signal);
    }
    EXPECT_EQ(d.distanceText, QStringLiteral("172"));  // 35 * 4.91 = 171.85
    ASSERT_GT(h.runToNextSignal(), 0);                 // the 36th ends the period
    EXPECT_TRUE(h.session.isTimerOn(Timer::Recovery));
    EXPECT_FALSE(h.session.isTimerOn(Timer::Effort));
    EXPECT_EQ(h.session.CurrentPeriod(), 2u);
    EXPECT_EQ(h.session.BeepCount(), 0);
    EXPECT_EQ(d.completedText, QStringLiteral("1"));
    EXPECT_EQ(d.distanceText, QStringLiteral("177"));
    EXPECT_EQ(d.speedText, QStringLiteral("4,8"));
    EXPECT_EQ(d.bannerText, QStringLiteral("Periodo de RECUPERACIÓN"));
    EXPECT_EQ(d.bannerLook, PhaseLook::Recovery);
    EXPECT_FALSE(d.lapVisible);
    EXPECT_EQ(d.gauge.maximum, 30);
    EXPECT_EQ(d.gauge.text(), QStringLiteral("0 seg."));
    EXPECT_TRUE(d.restMarkerVisible);
    EXPECT_EQ(d.frontPicture, 3);
    EXPECT_TRUE(d.stopSignInFront);
    EXPECT_TRUE(d.cones[0].visible);
    // The recovery is timed from here: its alert second, then its end, are the moments to wake up.
    const qint64 recoveryStart = h.fakes.ticks.ticks();
    EXPECT_EQ(*h.session.nextDueTick(), recoveryStart + 27000);

    // The alert on every tick of the second that begins 3 s before the end, and nowhere else.
    h.fakes.sound.m_alerts.clear();
    qint64 firstAlert = -1;
    qint64 lastAlert = -1;
    for (qint64 t = 10; t <= 30000; t += 10) {
        const std::size_t before = h.fakes.sound.m_alerts.size();
        ASSERT_EQ(h.step(), 0) << t;
        if (h.fakes.sound.m_alerts.size() > before) {
            if (firstAlert < 0) {
                firstAlert = t;
            }
            lastAlert = t;
        }
        if (t == 17000) {
            EXPECT_EQ(d.gauge.text(), QStringLiteral("17 seg."));
        }
        if (t == 26990 || t == 27000) {
            EXPECT_EQ(*h.session.nextDueTick(), recoveryStart + (t == 26990 ? 27000 : 30001));
        }
    }
    EXPECT_EQ(firstAlert, 27000);
    EXPECT_EQ(lastAlert, 27990);
    EXPECT_EQ(h.fakes.sound.m_alerts.size(), 100u);
    EXPECT_EQ(h.step(), 1);  // departure on the first tick after 30000 ms
    EXPECT_TRUE(h.session.isTimerOn(Timer::Effort));
    EXPECT_EQ(d.bannerText, QStringLiteral("Periodo de ESFUERZO"));
    EXPECT_EQ(d.gauge.text(), QStringLiteral("Estación Nº: 0"));
    EXPECT_EQ(d.frontPicture, 2);
    EXPECT_FALSE(d.restMarkerVisible);
    EXPECT_EQ(d.lapText, QStringLiteral("1"));
    EXPECT_EQ(h.hooks.activations, 1);  // buttons only when the timed test began
}

TEST(Scheduler, FootballRunsTheCourseBackwardsInOddPeriods) {
    SessionHarness h(kEditionFutbol);
    h.start(TestMode::Esfuerzo, 25, false);  // short run times
    for (int i = 0; i < 28; ++i)
        ASSERT_GT(h.runToNextSignal(), 0);
    EXPECT_EQ(h.session.display().frontPicture, 3);  // after a period in station order
    ASSERT_GT(h.runToNextSignal(), 0);               // departure of period 26
    EXPECT_EQ(h.session.display().frontPicture, 4);
    ASSERT_GT(h.runToNextSignal(), 0);
    EXPECT_TRUE(h.session.display().cones[13].visible);  // station 14 after the first signal
    for (int i = 0; i < 27; ++i)
        ASSERT_GT(h.runToNextSignal(), 0);
    EXPECT_EQ(h.session.display().completedText, QStringLiteral("2"));
    EXPECT_EQ(h.session.display().frontPicture, 5);
}

TEST(Scheduler, WarmUpThenTheTestProperFromTheSamePeriod) {
    SessionHarness h(kEditionZevez);
    h.session.chooseMode(TestMode::Esfuerzo);
    h.session.setStartPeriod(20);
    h.session.start();
    const DisplayState& d = h.session.display();
    EXPECT_EQ(h.session.WarmUpPhase(), 1);
    EXPECT_EQ(d.bannerText, QStringLiteral("CALENTAMIENTO"));
    EXPECT_EQ(h.hooks.activations, 0);
    for (int i = 0; i < 36; ++i)
        ASSERT_GT(h.runToNextSignal(), 0);
    EXPECT_EQ(d.clockText, QStringLiteral("00:00"));  // frozen
    EXPECT_EQ(d.distanceText, QStringLiteral("0"));
    EXPECT_EQ(h.session.CurrentPeriod(), 20u);
    EXPECT_EQ(d.completedText, QStringLiteral("0"));
    EXPECT_EQ(d.bannerText, QStringLiteral("RECUPERACIÓN previa al Test"));
    EXPECT_EQ(d.gauge.maximum, 180);
    EXPECT_EQ(d.frontPicture, 1);

    h.fakes.sound.m_alerts.clear();
    const qint64 t = h.runToNextSignal();
    EXPECT_EQ(t, 180010);
    EXPECT_EQ(h.fakes.sound.m_alerts.size(), 100u);  // 177 s up to 178 s
    EXPECT_EQ(h.session.WarmUpPhase(), 0);
    EXPECT_EQ(h.hooks.activations, 1);
    EXPECT_EQ(h.session.CurrentPeriod(), 20u);
    EXPECT_EQ(d.bannerText, QStringLiteral("Periodo de ESFUERZO"));
    h.runFor(1100);
    EXPECT_EQ(d.clockText, QStringLiteral("00:01"));
    ASSERT_GT(h.runToNextSignal(), 0);
    EXPECT_EQ(d.distanceText, QStringLiteral("5"));  // 4.91 m from zero
}

TEST(Scheduler, RepeatModeNeverEndsAPeriod) {
    SessionHarness h(kEditionFutbol);
    h.start(TestMode::Repetir, 30, false);
    for (int i = 0; i < 60; ++i)
        ASSERT_GT(h.runToNextSignal(), 0);
    const DisplayState& d = h.session.display();
    EXPECT_EQ(h.session.BeepCount(), 60);
    EXPECT_TRUE(h.session.isTimerOn(Timer::Effort));
    EXPECT_EQ(d.lapText, QStringLiteral("5"));
    EXPECT_EQ(d.gauge.position, 28);  // stays full
    EXPECT_EQ(d.periodText, QStringLiteral("30"));
    EXPECT_EQ(d.completedText, QStringLiteral("0"));
}

TEST(Scheduler, RepeatModeWithTheHiddenWarmUpTickIsAWarmUpThroughout) {
    SessionHarness h(kEditionZevez);
    h.session.chooseMode(TestMode::Repetir);
    h.session.start();
    for (int i = 0; i < 40; ++i)
        ASSERT_GT(h.runToNextSignal(), 0);
    EXPECT_EQ(h.hooks.activations, 0);
    EXPECT_EQ(h.session.display().clockText, QStringLiteral("00:00"));
    EXPECT_EQ(h.session.display().bannerText, QStringLiteral("CALENTAMIENTO"));
}

TEST(Scheduler, NoSignalBeyondTheLastPeriod) {
    SessionHarness h(kEditionZevez);
    h.start(TestMode::Esfuerzo, 25, false);
    for (int i = 0; i < 36; ++i)
        ASSERT_GT(h.runToNextSignal(), 0);
    EXPECT_EQ(h.session.CurrentPeriod(), 26u);
    EXPECT_EQ(h.session.display().speedText, QStringLiteral("19,2"));  // period 26's speed
    EXPECT_EQ(h.runToNextSignal(), 30010);                             // departure
    EXPECT_EQ(h.runToNextSignal(120000), -1);
    EXPECT_TRUE(h.session.isTimerOn(Timer::Effort));
    EXPECT_FALSE(h.session.nextDueTick().has_value());
}

TEST(Scheduler, ABadTableLineGivesNoSignalAndIsReportedOnce) {
    SessionHarness h(kEditionZevez);
    h.start(TestMode::Esfuerzo, 1, false);
    QStringList table = h.session.activeTable();
    table[0] = QStringLiteral("4x14");
    h.session.setActiveTable(table);
    EXPECT_EQ(h.runToNextSignal(20000), -1);
    EXPECT_EQ(h.hooks.badLines, QStringList{QStringLiteral("1:4x14")});
    // Further keys into the still bad line say nothing more.
    for (const char* text : {"4x1", "-5", "abc"}) {
        table[0] = QString::fromLatin1(text);
        h.session.setActiveTable(table);
        h.runFor(1000);
    }
    EXPECT_EQ(h.hooks.badLines.size(), 1);
    table[0] = QStringLiteral("1000");  // mended: pacing resumes at the next reading
    h.session.setActiveTable(table);
    EXPECT_GT(h.runToNextSignal(), 0);
    EXPECT_TRUE(h.session.isRunning());
    // Broken again, even with a text seen before: told again.
    table[0] = QStringLiteral("4x14");
    h.session.setActiveTable(table);
    h.runFor(1000);
    EXPECT_EQ(h.hooks.badLines, (QStringList{QStringLiteral("1:4x14"), QStringLiteral("1:4x14")}));
}

// A line edited to zero is a bad line like any other: no signal at all, told once.
TEST(Scheduler, AZeroTableLineGivesNoSignalAndIsReportedOnce) {
    SessionHarness h(kEditionZevez);
    h.start(TestMode::Esfuerzo, 1, false);
    QStringList table = h.session.activeTable();
    table[0] = QStringLiteral("0");
    h.session.setActiveTable(table);
    int signalsGiven = 0;
    for (int i = 0; i < 200; ++i)
        signalsGiven += h.step();
    EXPECT_EQ(signalsGiven, 0);
    EXPECT_EQ(h.hooks.badLines, QStringList{QStringLiteral("1:0")});
}

TEST(Scheduler, ClockGoesOnPastAnHour) {
    SessionHarness h(kEditionZevez);
    h.start(TestMode::Repetir, 25, false);
    h.runFor(61 * 60000 + 5000);
    EXPECT_EQ(h.session.display().clockText, QStringLiteral("61:05"));
    h.session.stop();
    EXPECT_EQ(h.session.display().clockText, QStringLiteral("61:05"));
}

TEST(Scheduler, SimulatedHourLongTestKeepsItsPace) {
    SessionHarness h(kEditionZevez);
    h.start(TestMode::Esfuerzo, 1, false);
    h.runFor(60 * 60000);
    // Every period of the table is run within the hour; the test goes on past the table.
    EXPECT_EQ(h.session.CurrentPeriod(), 26u);
    EXPECT_EQ(h.session.display().completedText, QStringLiteral("25"));
    EXPECT_EQ(h.session.display().distanceText, QStringLiteral("4419"));  // 25 * 176.76
}

TEST(Scheduler, StopAndNewTestSetTheButtons) {
    SessionHarness h(kEditionZevez);
    h.start(TestMode::Esfuerzo, 1, false);
    for (int i = 0; i < 36; ++i)
        ASSERT_GT(h.runToNextSignal(), 0);
    h.runFor(5000);  // in the recovery
    h.session.stop();
    const DisplayState& d = h.session.display();
    for (Timer t : {Timer::Effort, Timer::Recovery, Timer::Clock})
        EXPECT_FALSE(h.session.isTimerOn(t));
    EXPECT_EQ(h.hooks.recordings, 1);
    EXPECT_TRUE(d.newTestEnabled && d.exitEnabled && d.helpEnabled && d.aboutEnabled && d.configEnabled);
    EXPECT_FALSE(d.startEnabled || d.stopEnabled);
    EXPECT_TRUE(d.exportEnabled && d.clearEnabled);
    EXPECT_FALSE(d.bannerVisible || d.gauge.visible || d.startSignVisible || d.stopSignVisible);
    EXPECT_EQ(d.completedText, QStringLiteral("1"));  // kept for the operator
    EXPECT_EQ(d.distanceText, QStringLiteral("177"));

    h.session.prepareNewTest();
    EXPECT_TRUE(d.startEnabled);
    EXPECT_FALSE(d.newTestEnabled);
    EXPECT_EQ(d.clockText, QStringLiteral("00:00"));
    EXPECT_EQ(d.completedText, QStringLiteral("0"));
    EXPECT_EQ(d.distanceText, QStringLiteral("0"));
    EXPECT_EQ(d.frontPicture, 1);
    EXPECT_TRUE(d.restMarkerVisible && d.configVisible && d.configInFront);
    EXPECT_FALSE(d.lapVisible);
    EXPECT_EQ(d.gauge.text(), QStringLiteral("Estación Nº: 0"));
    EXPECT_TRUE(d.cones[0].visible && d.cones[0].red && !d.cones[0].solid);
    EXPECT_EQ(std::count_if(d.cones.begin(), d.cones.end(), [](const ConeState& c) { return c.visible; }), 1);
    EXPECT_EQ(h.hooks.preparations, 2);
}

TEST(Scheduler, NoSoundOutputIsToldOnceAndTestsRunSilent) {
    FakePlatform fakes;
    fakes.sound.m_devices = 0;
    norak::testing::RecordingHooks hooks;
    TestSession session(kEditionZevez, fakes.ticks, fakes.clock, fakes.sound, fakes.messages, hooks);
    session.activate();
    session.activate();
    ASSERT_EQ(fakes.messages.m_shown.size(), 1u);
    EXPECT_EQ(fakes.messages.m_shown[0].text,
              QStringLiteral("No se ha encontrado ninguna tarjeta de sonido instalada en su sistema."));
    EXPECT_EQ(session.SoundCardPresent(), 0);
    session.chooseMode(TestMode::Esfuerzo);
    session.setWarmUp(false);
    session.start();
    fakes.ticks.advance(5000);
    session.effortTick();
    EXPECT_EQ(session.BeepCount(), 1);
    EXPECT_EQ(fakes.sound.m_signals, 0);
}

TEST(Scheduler, AnOutputNotCountedYetIsNoMissingOutput) {
    FakePlatform fakes;
    fakes.sound.m_devices = -1;  // the audio thread has not counted the devices yet
    norak::testing::RecordingHooks hooks;
    TestSession session(kEditionZevez, fakes.ticks, fakes.clock, fakes.sound, fakes.messages, hooks);
    session.activate();
    EXPECT_TRUE(fakes.messages.m_shown.empty());
    EXPECT_EQ(session.SoundCardPresent(), 1);
}
