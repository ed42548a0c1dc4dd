#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "platform/fakes/FakeSleepInhibitor.h"
#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/Journal.h"
#include "results/ResultsTable.h"
#include "results/RunJournal.h"
#include "results/RunRecord.h"
#include "results/SleepKeeper.h"
#include "results/SoundCheckGate.h"
#include "results/TestRun.h"
#include "support/FakeTime.h"

using namespace norak;

namespace {

// A Zevez run on fake time with 11 named runners (of its 12 rows), driven with no widget.
struct Squad {
    Squad() : run(kEditionZevez, fakes.platform()), time(fakes, run) {
        run.activate();
        for (int row = 1; row <= 11; ++row)
            run.table().setCell(kColName, row, QStringLiteral("J%1").arg(row));
    }
    // "Test de esfuerzo" from `period`, with or without the warm-up, started.
    void start(int period = 1, bool warmUp = false) {
        run.chooseMode(TestMode::Esfuerzo);
        run.setStartPeriod(period);
        if (run.display().warmUpChecked != warmUp)
            run.setWarmUp(warmUp);
        run.start();
    }
    void runToSignal(int count) {
        ASSERT_GE(time.runUntil([&] { return fakes.sound.m_signals >= count; }), 0);
    }
    QList<QStringList> cells() const {
        QList<QStringList> all;
        for (int row = 1; row <= run.table().dataRowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < run.table().columnCount(); ++column)
                cells << run.table().cell(column, row);
            all << cells;
        }
        return all;
    }

    FakePlatform fakes;
    TestRun run;
    norak::testing::FakeTime<TestRun> time;
};

}  // namespace

// The views are told once per action: a dropout, Stop's sweep of the ten runners left, a name
// typed; and a pacing tick that changes nothing shown tells nothing.
TEST(RunFeatures, ChangedOncePerActionAndTick) {
    Squad s;
    s.start();
    s.runToSignal(4);
    QSignalSpy changed(&s.run, &TestRun::changed);
    QSignalSpy table(&s.run, &TestRun::tableChanged);
    QSignalSpy dropouts(&s.run, &TestRun::droppedOut);
    s.run.dropOut(3);
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(table.size(), 1);
    ASSERT_EQ(dropouts.size(), 1);
    const Dropout dropout = dropouts[0][0].value<Dropout>();
    EXPECT_EQ(dropout.athlete, 3);
    EXPECT_EQ(dropout.name, QStringLiteral("J3"));
    EXPECT_EQ(dropout.tick, s.fakes.ticks.ticks());
    EXPECT_EQ(dropout.values.clockText, s.run.table().cell(kColTime, 3));

    changed.clear();
    s.run.dropOut(3);    // already out: nothing happens, nothing is said
    s.run.effortTick();  // the time has not moved: nothing shown changes
    EXPECT_EQ(changed.size(), 0);

    table.clear();
    QSignalSpy stopped(&s.run, &TestRun::stopped);
    s.run.stop();
    EXPECT_LE(changed.size(), 2);
    EXPECT_GE(changed.size(), 1);
    EXPECT_EQ(table.size(), 1);
    ASSERT_EQ(stopped.size(), 1);
    EXPECT_FALSE(stopped[0][0].value<RunStopped>().byLeaving);
    EXPECT_EQ(s.run.table().cell(kColTime, 11), s.run.table().cell(kColTime, 1));

    changed.clear();
    table.clear();
    ASSERT_TRUE(s.run.table().setData(s.run.table().index(11, kColName), QStringLiteral("Eva")));
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(table.size(), 1);
}

// The pacing announces each signal as it is given, and each recovery with the coming period,
// its speed and the ticks at which its alert and its departure fall due.
TEST(RunFeatures, PacingEventsCarryTheNextSignalAndAlert) {
    Squad s;
    QSignalSpy signalsGiven(&s.run, &TestRun::signalGiven);
    QSignalSpy recoveries(&s.run, &TestRun::recoveryBegan);
    QSignalSpy started(&s.run, &TestRun::started);
    s.start(3);
    ASSERT_EQ(started.size(), 1);
    const RunStarted start = started[0][0].value<RunStarted>();
    EXPECT_EQ(start.mode, TestMode::Esfuerzo);
    EXPECT_EQ(start.startPeriod, 3);
    EXPECT_FALSE(start.warmUp);
    EXPECT_EQ(start.startSpeedText, s.run.session().StartSpeedText());
    EXPECT_EQ(start.at, s.fakes.clock.now());

    ASSERT_GE(s.time.runUntil([&] { return !recoveries.isEmpty(); }), 0);
    EXPECT_EQ(signalsGiven.size(), s.fakes.sound.m_signals);
    const RecoveryBegan recovery = recoveries[0][0].value<RecoveryBegan>();
    EXPECT_EQ(recovery.nextPeriod, 4u);
    EXPECT_EQ(recovery.speedText, s.run.display().speedText);
    const std::size_t alertsBefore = s.fakes.sound.m_alerts.size();
    ASSERT_GE(s.time.runUntil([&] { return s.fakes.sound.m_alerts.size() > alertsBefore; }), 0);
    EXPECT_GE(s.fakes.ticks.ticks(), recovery.alertTick);
    EXPECT_LT(s.fakes.ticks.ticks(), recovery.alertTick + 1000);
    const int signalsBefore = s.fakes.sound.m_signals;
    ASSERT_GE(s.time.runUntil([&] { return s.fakes.sound.m_signals > signalsBefore; }), 0);
    const auto departure = signalsGiven.back()[0].value<TimingRecord::Signal>();
    EXPECT_EQ(departure.kind, TimingRecord::SignalKind::Departure);
    EXPECT_EQ(departure.dueTick, recovery.departureTick);
    EXPECT_EQ(departure.givenTick, s.fakes.ticks.ticks());
}

// The journal is written once per action that changed the table or the test, not per cell, and
// what it keeps brings back every cell of a run that did not end cleanly.
TEST(RunFeatures, TheJournalIsWrittenOncePerActionAndRestoresEveryCell) {
    QTemporaryDir folder;
    QList<QStringList> before;
    {
        Squad s;
        RunJournal journal(s.run, s.fakes.platform(), folder.path());
        QSignalSpy posted(&journal, &RunJournal::statePosted);
        s.run.chooseMode(TestMode::Esfuerzo);  // a new test prepared: one write
        EXPECT_EQ(posted.size(), 1);
        s.run.setWarmUp(false);  // the table and the test's facts as they were: none
        EXPECT_EQ(posted.size(), 1);
        s.run.start();  // the runners' numbers written and the test's start: one write
        EXPECT_EQ(posted.size(), 2);
        s.runToSignal(5);
        posted.clear();
        s.run.dropOut(2);
        EXPECT_EQ(posted.size(), 1);
        s.time.runFor(3000);  // ticks that change only the display write nothing
        EXPECT_EQ(posted.size(), 1);
        posted.clear();
        s.run.stop();  // ten runners recorded at once
        EXPECT_GE(posted.size(), 1);
        EXPECT_LE(posted.size(), 2);
        journal.flush();
        before = s.cells();
    }  // the program dies: no leave question
    Squad next;
    next.fakes.messages.m_answers = {true};
    next.run.table().clearAll();
    QSignalSpy restored(&next.run, &TestRun::restored);
    RunJournal journal(next.run, next.fakes.platform(), folder.path());
    ASSERT_EQ(restored.size(), 1);
    EXPECT_EQ(next.cells(), before);
    EXPECT_TRUE(next.run.tableButtonsEnabled());
    next.fakes.messages.m_answers = {false, true};  // not saved, leave
    EXPECT_TRUE(next.run.confirmLeave());
    journal.flush();
    EXPECT_EQ(Journal(kEditionZevez, folder.path()).load().status, Journal::LoadStatus::Missing);
}

// The desktop is kept awake from start to stop, and released when the program is left during
// a test and when the keeper goes.
TEST(RunFeatures, TheSleepKeeperHoldsTheDesktopAwakeDuringATest) {
    FakeSleepInhibitor inhibitor;
    {
        Squad s;
        SleepKeeper keeper(s.run, &inhibitor);
        EXPECT_FALSE(inhibitor.m_held);
        s.start();
        EXPECT_TRUE(inhibitor.m_held);
        EXPECT_EQ(inhibitor.m_reason, QStringLiteral("Prueba de esfuerzo en curso"));
        s.runToSignal(3);
        s.run.stop();
        EXPECT_FALSE(inhibitor.m_held);
        s.run.prepareNewTest();
        s.start();
        EXPECT_TRUE(inhibitor.m_held);
        s.fakes.messages.m_answers = {true, false};  // leave; do not save
        EXPECT_TRUE(s.run.confirmLeave());
        EXPECT_FALSE(inhibitor.m_held);
        s.run.prepareNewTest();
        s.start();
        EXPECT_TRUE(inhibitor.m_held);
    }
    EXPECT_FALSE(inhibitor.m_held);
    EXPECT_EQ(inhibitor.m_takes, 3);
}

// The report's record: the settings as the test was started, its start and stop, and the dropouts that stand
// (an undone one is left out).
TEST(RunFeatures, TheReportsRecordKeepsHowTheLastTestRan) {
    Squad s;
    RunRecord record(s.run, s.fakes.platform());
    record.setSoundOutputName([] { return QStringLiteral("Salida de prueba"); });
    s.start(2, true);
    const QDateTime startedAt = s.fakes.clock.now();
    EXPECT_EQ(record.settings().mode, TestMode::Esfuerzo);
    EXPECT_EQ(record.settings().startPeriod, 2);
    EXPECT_TRUE(record.settings().warmUp);
    EXPECT_EQ(record.settings().soundOutput, QStringLiteral("Salida de prueba"));
    EXPECT_EQ(record.settings().startSpeedText, s.run.session().StartSpeedText());
    EXPECT_EQ(record.startedAt(), startedAt);
    EXPECT_FALSE(record.stoppedAt().isValid());

    ASSERT_GE(s.time.runUntil([&] { return s.run.session().WarmUpPhase() == 0; }), 0);
    s.runToSignal(s.fakes.sound.m_signals + 3);
    s.run.dropOut(4);
    const qint64 fourOut = s.fakes.ticks.ticks();
    s.run.dropOut(7);
    s.run.table().setCurrentRow(7);
    s.run.reactivateCurrentRow();
    ASSERT_EQ(record.dropoutMarks().size(), 1);
    EXPECT_EQ(record.dropoutMarks()[0].athlete, 4);
    EXPECT_EQ(record.dropoutMarks()[0].tick, fourOut);
    EXPECT_EQ(record.dropoutMarks()[0].name, QStringLiteral("J4"));

    s.time.runFor(2000);
    s.run.stop();
    EXPECT_EQ(record.stoppedAt(), s.fakes.clock.now());
    EXPECT_EQ(record.dropoutMarks().size(), 1);  // Stop's sweep is no dropout of the log
    s.run.prepareNewTest();
    s.start();
    EXPECT_TRUE(record.dropoutMarks().isEmpty());
    EXPECT_FALSE(record.settings().warmUp);
    EXPECT_EQ(record.saveReport(), ReportOutcome::NothingToReport);  // no renderer
}

// "Probar sonido" plays between tests only, and a start drops the alert still to come.
TEST(RunFeatures, TheSoundCheckIsCancelledByAStart) {
    Squad s;
    SoundCheckGate gate(s.run, s.fakes.platform());
    gate.checkSound();
    EXPECT_EQ(s.fakes.sound.m_signals, 1);
    EXPECT_TRUE(gate.soundCheck().isPending());
    s.start();
    EXPECT_FALSE(gate.soundCheck().isPending());
    const std::size_t alerts = s.fakes.sound.m_alerts.size();
    s.time.runFor(1500);
    QTest::qWait(3 * SoundCheck::kLookMs);  // its look would have played the alert by now
    EXPECT_EQ(s.fakes.sound.m_alerts.size(), alerts);
    const int signals = s.fakes.sound.m_signals;
    gate.checkSound();
    EXPECT_EQ(s.fakes.sound.m_signals, signals);
    EXPECT_FALSE(gate.soundCheck().isPending());
}
