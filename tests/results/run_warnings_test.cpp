#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <map>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "results/CellText.h"
#include "results/ExportWriter.h"
#include "results/Journal.h"
#include "results/ResultsTable.h"
#include "results/RunJournal.h"
#include "results/RunRecord.h"
#include "results/RunWarnings.h"
#include "results/TestRun.h"
#include "results/WarningRuleStore.h"
#include "support/FakeReportRenderer.h"
#include "support/FakeTime.h"

using namespace norak;

namespace {

// A Zevez run on fake time with 8 named runners and the warnings' keeping attached, no widget.
struct Field {
    explicit Field(WarningRule rule = {}) : run(kEditionZevez, fakes.platform()), time(fakes, run) {
        warnings.setRule(rule);
        run.activate();
        for (int row = 1; row <= 8; ++row)
            run.table().setCell(kColName, row, QStringLiteral("J%1").arg(row));
    }
    void start(bool warmUp = false) {
        run.chooseMode(TestMode::Esfuerzo);
        run.setStartPeriod(3);
        if (run.display().warmUpChecked != warmUp)
            run.setWarmUp(warmUp);
        run.start();
    }
    int legsGiven() const {
        int legs = 0;
        for (const TimingRecord::Signal& s : run.session().timingRecord().signalsGiven)
            legs += s.kind == TimingRecord::SignalKind::Leg && s.phase == TimingRecord::Phase::Effort ? 1 : 0;
        return legs;
    }
    // Steps until leg `n` of the test proper has been signalled, noting what the display showed
    // in the step before each leg's signal.
    void runToLeg(int n) {
        for (int steps = 0; legsGiven() < n; ++steps) {
            ASSERT_LT(steps, 200000);
            const LiveValues before = run.liveValues();
            const int legs = legsGiven();
            time.step();
            if (legsGiven() > legs)
                shownBefore[legsGiven()] = before;
        }
    }
    QStringList row(int r) const {
        QStringList cells;
        for (int column = kColTime; column <= kColSpeed; ++column)
            cells << run.table().cell(column, r);
        return cells;
    }
    QStringList valuesRow(int leg) const {
        const LiveValues& v = shownBefore.at(leg);
        return {v.clockText, QString::number(v.periodText.toInt() - v.startPeriod), v.distanceText,
                v.speedText};
    }
    int perPeriod() const { return run.edition().signalsPerPeriod; }

    FakePlatform fakes;
    TestRun run;
    norak::testing::FakeTime<TestRun> time;
    RunWarnings warnings{run};
    std::map<int, LiveValues> shownBefore;
};

WarningRule rule(int outAfter, bool consecutive, bool cleared) {
    return WarningRule{outAfter, consecutive, cleared};
}

}  // namespace

// The series a rule counts: consecutive legs, legs apart, across a recovery that clears or not.
TEST(WarningRule, SeriesAndLapse) {
    using M = WarningRule::Miss;
    const WarningRule byDefault;
    EXPECT_EQ(byDefault, rule(2, true, false));
    EXPECT_EQ(byDefault.seriesStart({M{4, 0}, M{5, 0}}), 0u);
    EXPECT_EQ(byDefault.seriesStart({M{4, 0}, M{6, 0}}), 1u);
    EXPECT_EQ(byDefault.seriesStart({M{4, 0}, M{5, 1}}), 0u);  // a recovery that does not clear
    EXPECT_EQ(rule(2, true, true).seriesStart({M{4, 0}, M{5, 1}}), 1u);
    EXPECT_EQ(rule(3, false, false).seriesStart({M{1, 0}, M{9, 2}, M{30, 5}}), 0u);
    EXPECT_EQ(rule(3, false, true).seriesStart({M{1, 0}, M{9, 2}, M{10, 2}}), 1u);
    EXPECT_TRUE(byDefault.stillCounts(M{4, 0}, M{5, 0}));  // the next leg may still be pressed
    EXPECT_FALSE(byDefault.stillCounts(M{4, 0}, M{6, 0}));
    EXPECT_TRUE(rule(2, false, false).stillCounts(M{4, 0}, M{60, 3}));
    EXPECT_FALSE(rule(2, false, true).stillCounts(M{4, 0}, M{5, 1}));
    EXPECT_FALSE(rule(WarningRule::kOnlyWarnings, true, false).putsOut(9));
    EXPECT_TRUE(rule(1, true, false).putsOut(1));
    EXPECT_EQ(rule(7, true, false).normalized().outAfter, 2);
    EXPECT_EQ(
        byDefault.text(),
        QStringLiteral("Retirada tras 2 avisos consecutivos; los avisos no se borran en la recuperación"));
    EXPECT_EQ(
        rule(0, false, true).text(),
        QStringLiteral("Sólo avisos (sin retirada automática); los avisos se borran en la recuperación"));
}

// Two consecutive: warnings at legs k and k+1 put the player out with the values shown before
// signal k, as one dropout by warnings; warnings at k and k+2 do not.
TEST(RunWarnings, TwoConsecutiveWarningsPutAPlayerOutWithTheLastGoodLeg) {
    Field f;
    QSignalSpy dropouts(&f.run, &TestRun::droppedOut);
    QSignalSpy changed(&f.run, &TestRun::changed);
    f.start();
    f.runToLeg(4);
    f.run.warnAthlete(2);
    f.run.warnAthlete(5);
    f.run.warnAthlete(5);  // the same cone twice: one warning
    EXPECT_EQ(f.warnings.count(5), 1);
    EXPECT_EQ(f.warnings.counting(2), 1);
    f.time.runFor(1500);  // the clock moves on: the values of the out are not these
    f.runToLeg(5);
    changed.clear();
    f.run.warnAthlete(2);
    EXPECT_EQ(changed.size(), 1);  // the warning and the out it brings are one change
    ASSERT_EQ(dropouts.size(), 1);
    const Dropout out = dropouts[0][0].value<Dropout>();
    EXPECT_EQ(out.athlete, 2);
    EXPECT_TRUE(out.byWarnings);
    EXPECT_FALSE(f.run.roster().isShown(2));
    EXPECT_EQ(f.row(2), f.valuesRow(4));
    EXPECT_NE(f.row(2)[0], f.run.liveValues().clockText);
    ASSERT_EQ(f.warnings.warnings().size(), 3);
    EXPECT_TRUE(f.warnings.warnings().back().putOut);
    EXPECT_EQ(f.warnings.warnings().back().leg, 5);
    EXPECT_EQ(f.warnings.warnings().back().period, 3u);
    EXPECT_EQ(f.warnings.warnings().back().signal, 5);

    // Player 5: k and k+2, not out; the first warning lapsed once leg k+1 passed without one.
    EXPECT_EQ(f.warnings.counting(5), 1);
    f.runToLeg(6);
    EXPECT_EQ(f.warnings.counting(5), 0);
    f.run.warnAthlete(5);
    EXPECT_TRUE(f.run.roster().isShown(5));
    EXPECT_EQ(f.warnings.count(5), 2);
    EXPECT_EQ(f.warnings.counting(5), 1);
    // An arrow pressed by the test master records the values of that moment, as before.
    f.run.dropOut(5);
    EXPECT_EQ(f.run.table().cell(kColTime, 5), f.run.liveValues().clockText);
    EXPECT_FALSE(dropouts.back()[0].value<Dropout>().byWarnings);
}

// Three, not consecutive: the third warning puts out with the values before the first; "Sólo
// avisos" never puts anyone out.
TEST(RunWarnings, ThreeAnywhereAndOnlyWarnings) {
    Field f(rule(3, false, false));
    f.start();
    f.runToLeg(2);
    f.run.warnAthlete(1);
    f.runToLeg(5);
    f.run.warnAthlete(1);
    f.runToLeg(f.perPeriod() + 2);  // across a recovery, which does not clear
    EXPECT_EQ(f.warnings.counting(1), 2);
    f.run.warnAthlete(1);
    EXPECT_FALSE(f.run.roster().isShown(1));
    EXPECT_EQ(f.row(1), f.valuesRow(2));

    Field only(rule(WarningRule::kOnlyWarnings, true, false));
    only.start();
    for (int leg = 1; leg <= 5; ++leg) {
        only.runToLeg(leg);
        only.run.warnAthlete(3);
    }
    EXPECT_TRUE(only.run.roster().isShown(3));
    EXPECT_EQ(only.warnings.count(3), 5);
    EXPECT_EQ(only.warnings.counting(3), 5);
    EXPECT_EQ(only.warnings.total(), 5);
}

// A recovery between two consecutive warnings: with clearing on, the second begins a new series;
// with it off, the player is out. The warning for the period's last leg is pressed late, during
// the recovery, and still belongs to that leg.
TEST(RunWarnings, ARecoveryBetweenTwoWarnings) {
    for (const bool cleared : {true, false}) {
        SCOPED_TRACE(cleared);
        Field f(rule(2, true, cleared));
        f.start();
        const int last = f.perPeriod();
        f.runToLeg(last);
        f.time.runFor(2000);
        ASSERT_TRUE(f.run.isTimerOn(TestSession::Timer::Recovery));
        f.run.warnAthlete(4);
        EXPECT_EQ(f.warnings.warnings().back().leg, last);
        EXPECT_EQ(f.warnings.counting(4), cleared ? 0 : 1);
        f.runToLeg(last + 1);
        f.run.warnAthlete(4);
        EXPECT_EQ(f.run.roster().isShown(4), cleared);
        if (!cleared) {
            EXPECT_EQ(f.row(4), f.valuesRow(last));
        }
    }
}

// A warning taken back no longer counts; "Volver a activar..." on a player put out by the rule
// takes back the out and the warning that completed it.
TEST(RunWarnings, TakeBackAndReactivation) {
    Field f;
    QSignalSpy changes(&f.warnings, &RunWarnings::warningsChanged);
    f.start();
    f.runToLeg(3);
    f.run.warnAthlete(6);
    EXPECT_TRUE(f.warnings.canTakeBack(6));
    f.run.takeBackWarning(6);
    EXPECT_EQ(f.warnings.count(6), 0);
    EXPECT_FALSE(f.warnings.canTakeBack(6));
    f.runToLeg(4);
    f.run.warnAthlete(6);
    EXPECT_TRUE(f.run.roster().isShown(6));  // the warning at 3 was a mistake

    f.runToLeg(5);
    f.run.warnAthlete(6);
    ASSERT_FALSE(f.run.roster().isShown(6));
    EXPECT_FALSE(f.warnings.canTakeBack(6));
    f.run.takeBackWarning(6);  // not running: nothing
    EXPECT_EQ(f.warnings.count(6), 2);
    changes.clear();
    f.run.table().setCurrentRow(6);
    ASSERT_TRUE(f.run.canReactivateCurrentRow());
    f.run.reactivateCurrentRow();
    EXPECT_TRUE(f.run.roster().isShown(6));
    EXPECT_TRUE(f.run.table().cell(kColTime, 6).isEmpty());
    EXPECT_EQ(changes.size(), 1);
    ASSERT_EQ(f.warnings.count(6), 1);
    EXPECT_FALSE(f.warnings.warnings().back().putOut);
    EXPECT_EQ(f.warnings.counting(6), 1);  // leg 4's still stands with the leg after it
    f.runToLeg(7);
    f.run.warnAthlete(6);
    EXPECT_TRUE(f.run.roster().isShown(6));
}

// Before Start, before the first leg, in the warm-up, for a player out or not named, after Stop:
// a warning does nothing.
TEST(RunWarnings, AWarningOutsideARunningTestDoesNothing) {
    Field f;
    QSignalSpy warned(&f.run, &TestRun::warned);
    f.run.warnAthlete(1);
    f.start(true);
    f.run.warnAthlete(1);
    ASSERT_GE(f.time.runUntil([&] { return f.run.session().timingRecord().signalsGiven.size() > 3; }), 0);
    ASSERT_EQ(f.run.session().WarmUpPhase(), 1);
    f.run.warnAthlete(1);
    ASSERT_GE(f.time.runUntil([&] { return f.run.session().WarmUpPhase() == 0; }), 0);
    f.run.warnAthlete(1);  // the departure: no cone missed yet
    EXPECT_TRUE(warned.isEmpty());
    f.runToLeg(1);
    f.run.warnAthlete(9);  // no name: no runner
    f.run.dropOut(2);
    f.run.warnAthlete(2);
    EXPECT_TRUE(warned.isEmpty());
    f.run.warnAthlete(1);
    EXPECT_EQ(warned.size(), 1);
    EXPECT_EQ(warned[0][0].value<Warning>().leg, 1);  // the warm-up's legs are not counted
    f.run.stop();
    f.run.warnAthlete(1);
    f.run.takeBackWarning(1);
    EXPECT_EQ(warned.size(), 1);
    EXPECT_EQ(f.warnings.count(1), 1);  // kept for the report until the next Start
    EXPECT_EQ(f.warnings.counting(1), 0);
    f.run.prepareNewTest();
    f.start();
    EXPECT_EQ(f.warnings.total(), 0);
}

// The rule of a test is the one it started with; a change between tests is for the next.
TEST(RunWarnings, TheRuleInForceIsTheOneAtStart) {
    Field f;
    f.start();
    f.warnings.setRule(rule(1, true, false));
    f.runToLeg(1);
    f.run.warnAthlete(1);
    EXPECT_TRUE(f.run.roster().isShown(1));
    EXPECT_EQ(f.warnings.ruleInForce(), WarningRule{});
    f.run.stop();
    f.run.prepareNewTest();
    f.start();
    f.runToLeg(1);
    f.run.warnAthlete(1);
    EXPECT_FALSE(f.run.roster().isShown(1));
}

// The journal keeps the warnings and the rule, and brings them back with the table; the export of
// a test with warnings has the same bytes as that of the same test without them.
TEST(RunWarnings, JournalRestoreAndTheExportUnchanged) {
    QTemporaryDir folder;
    QStringList withWarnings;
    std::vector<Warning> kept;
    {
        Field f(rule(3, false, true));
        RunJournal journal(f.run, f.fakes.platform(), folder.path(), &f.warnings);
        f.start();
        f.runToLeg(3);
        f.run.warnAthlete(7);
        f.run.warnAthlete(8);
        f.runToLeg(6);
        f.run.warnAthlete(7);
        f.time.runFor(800);
        f.run.stop();
        journal.flush();
        kept.assign(f.warnings.warnings().cbegin(), f.warnings.warnings().cend());
        withWarnings = ExportWriter::lines(f.run.table(), ExportHeader{});
    }
    {
        Field plain;
        plain.start();
        plain.runToLeg(6);
        plain.time.runFor(800);
        plain.run.stop();
        EXPECT_EQ(ExportWriter::lines(plain.run.table(), ExportHeader{}), withWarnings);
        EXPECT_EQ(ExportWriter::encode(withWarnings),
                  ExportWriter::encode(ExportWriter::lines(plain.run.table(), {})));
    }
    Field next;
    next.fakes.messages.m_answers = {true};
    next.run.table().clearAll();
    RunJournal journal(next.run, next.fakes.platform(), folder.path(), &next.warnings);
    journal.flush();
    // Written again as it was brought back: the warnings stay in the journal.
    EXPECT_EQ(Journal(kEditionZevez, folder.path()).load().state.warnings.size(), 3);
    ASSERT_EQ(next.warnings.warnings().size(), 3);
    EXPECT_EQ(std::vector<Warning>(next.warnings.warnings().cbegin(), next.warnings.warnings().cend()), kept);
    EXPECT_EQ(next.warnings.ruleInForce(), rule(3, false, true));
    EXPECT_EQ(next.warnings.count(7), 2);
    EXPECT_EQ(next.warnings.counting(7), 0);  // the test came back stopped
}

// A journal written before warnings existed loads with none and the default rule; a warning of
// a row the table does not have makes the journal untrustworthy.
TEST(RunWarnings, JournalWithoutWarningsAndWithAForeignOne) {
    JournalState state;
    state.edition = kEditionZevez;
    ResultsTable table(kEditionZevez);
    table.setCell(kColName, 1, QStringLiteral("Ana"));
    state.takeTable(table);
    QByteArray bytes = Journal::encode(state);
    const Journal::LoadResult plain = Journal::decode(bytes, kEditionZevez);
    ASSERT_EQ(plain.status, Journal::LoadStatus::Loaded);
    EXPECT_TRUE(plain.state.warnings.isEmpty());
    EXPECT_EQ(plain.state.warningRule, WarningRule{});

    state.warnings = {Warning{13, QStringLiteral("X"), 10, 1, 1, 1, 1, false}};
    EXPECT_EQ(Journal::decode(Journal::encode(state), kEditionZevez).status, Journal::LoadStatus::Corrupt);
    state.warnings = {Warning{1, QStringLiteral("Ana"), 1234, 9, 4, 3, 3, true}};
    state.warningRule = rule(WarningRule::kOnlyWarnings, false, true);
    const Journal::LoadResult back = Journal::decode(Journal::encode(state), kEditionZevez);
    ASSERT_EQ(back.status, Journal::LoadStatus::Loaded);
    EXPECT_EQ(back.state, state);
}

// The report prints each warned player's warnings with their legs and the rule in force; the
// signal log has an `aviso` line per warning, at the moment it was pressed.
TEST(RunWarnings, TheReportAndTheSignalLog) {
    Field f;
    RunRecord record(f.run, f.fakes.platform());
    norak::testing::FakeReportRenderer renderer;
    record.setRenderer(&renderer);
    record.setWarnings(&f.warnings);
    f.start();
    f.runToLeg(2);
    f.time.runFor(300);
    f.run.warnAthlete(3);
    const qint64 pressed = f.fakes.ticks.ticks() - f.run.session().timingRecord().startTick;
    f.runToLeg(3);
    f.run.warnAthlete(3);
    f.run.warnAthlete(1);
    f.time.runFor(500);
    f.run.stop();

    const QString folder = f.run.programDir() + QStringLiteral("Export/");
    f.fakes.saveDialog.m_answer = folder + QStringLiteral("informe.pdf");
    f.fakes.messages.m_answers = {false};  // not printed
    ASSERT_EQ(record.saveReport(), ReportOutcome::Written);
    ASSERT_EQ(renderer.m_made.size(), 1u);
    const ReportData& data = renderer.m_made[0];
    EXPECT_EQ(data.warningRuleText, WarningRule{}.text());
    const QList<ReportFigure> figures = data.warningFigures();
    ASSERT_EQ(figures.size(), 2);
    EXPECT_EQ(figures[0].label, QStringLiteral("1 J1"));
    EXPECT_EQ(figures[0].value, QStringLiteral("1: P3·3"));
    EXPECT_EQ(figures[1].label, QStringLiteral("3 J3"));
    EXPECT_EQ(figures[1].value, QStringLiteral("2: P3·2, P3·3 (retirado)"));

    const QStringList log =
        QString::fromLatin1(f.fakes.files.m_files.value(folder + QStringLiteral("informe_senales.txt")))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const TimingRecord::Signal& second = f.run.session().timingRecord().signalsGiven[2];
    ASSERT_EQ(second.signal, 2);
    const QString first = QStringLiteral(";%1,000;3;2;%2;aviso;3;J3;").arg(pressed).arg(second.station);
    EXPECT_EQ(log.filter(QStringLiteral(";aviso;")).size(), 3);
    const qsizetype at = log.indexOf(first);
    ASSERT_GT(at, 0);
    EXPECT_TRUE(log[at - 1].endsWith(QStringLiteral(";esfuerzo;")));  // after leg 2's signal
    // The warning that put J3 out, then the dropout it brought, at the same moment.
    const qsizetype out = log.indexOf(QRegularExpression(QStringLiteral(".*;abandono;3;J3;")));
    ASSERT_GT(out, 0);
    EXPECT_TRUE(log[out - 1].endsWith(QStringLiteral(";aviso;3;J3;")));
    EXPECT_EQ(log[out - 1].section(QLatin1Char(';'), 1, 1), log[out].section(QLatin1Char(';'), 1, 1));
}

// The rule chosen is remembered for the next start; a missing file or a value out of range gives
// the default, and the file's other choices stay.
TEST(WarningRuleStore, RemembersTheRule) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("norak/norak.ini"));
    const WarningRuleStore store(file);
    EXPECT_EQ(store.load(), WarningRule{});
    ASSERT_TRUE(store.save(rule(WarningRule::kOnlyWarnings, false, true)));
    EXPECT_EQ(WarningRuleStore(file).load(), rule(WarningRule::kOnlyWarnings, false, true));
    QFile ini(file);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write("[Voz]\nactivada=true\n[Avisos]\nretirarTras=9\nconsecutivos=false\n");
    ini.close();
    EXPECT_EQ(store.load(), rule(2, false, false));
    ASSERT_TRUE(store.save(rule(3, true, true)));
    QFile back(file);
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_TRUE(back.readAll().contains("activada=true"));
}
