#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include "engine/Edition.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryKeeper.h"
#include "history/HistoryReport.h"
#include "history/HistoryWriter.h"
#include "history/RunHistory.h"
#include "platform/fakes/FakePlatform.h"
#include "results/CellText.h"
#include "results/Journal.h"
#include "results/ReportData.h"
#include "results/RunJournal.h"
#include "results/RunWarnings.h"
#include "results/TestRun.h"
#include "support/FakeReportRenderer.h"
#include "support/FakeTime.h"
#include "support/HistorySamples.h"

using namespace norak;

namespace {

// A Futbol run on fake time with the history attached as the program attaches it: the writer's
// thread, the keeper, and the run's feature.
struct KeptRun {
    explicit KeptRun(const QString& path)
        : run(kEditionFutbol, fakes.platform()),
          time(fakes, run),
          writer(path),
          keeper(writer, [this](const QString& text) { history.tell(text); }),
          history(run, keeper, fakes.platform()) {
        history.setSoundOutputName([] { return QStringLiteral("Altavoces de prueba"); });
        run.activate();
    }
    void name(int rows) {
        for (int row = 1; row <= rows; ++row) {
            run.table().setCell(kColName, row, QStringLiteral("Jugador %1").arg(row));
            run.table().setCell(kColCode, row, QStringLiteral("C%1").arg(row));
        }
    }
    // "Test de esfuerzo" from period 3, two dropouts, Stop.
    void runATest() {
        run.chooseMode(TestMode::Esfuerzo);
        run.setStartPeriod(3);
        if (run.display().warmUpChecked)
            run.setWarmUp(false);
        run.start();
        startedAt = fakes.clock.now();
        ASSERT_GE(time.runUntil([&] { return fakes.sound.m_signals >= 9; }), 0);
        run.dropOut(2);
        ASSERT_GE(time.runUntil([&] { return fakes.sound.m_signals >= 16; }), 0);
        run.dropOut(4);
        time.runFor(1500);
        run.stop();
        stoppedAt = fakes.clock.now();
    }
    // Waits until the writer has stored everything handed over so far.
    void flush() {
        writer.flush();
        QCoreApplication::processEvents();
    }

    FakePlatform fakes;
    TestRun run;
    norak::testing::FakeTime<TestRun> time;
    HistoryWriter writer;
    HistoryKeeper keeper;
    RunHistory history;
    QDateTime startedAt;
    QDateTime stoppedAt;
};

QString dbPath(const QTemporaryDir& dir) {
    return dir.filePath(QStringLiteral("norak/historial.sqlite"));
}

StoredTest readBack(const QString& path, int expectedTests = 1) {
    HistoryDatabase db;
    EXPECT_EQ(db.open(path).status, HistoryOpening::Status::Ready);
    const QList<TestSummary> tests = db.tests();
    EXPECT_EQ(tests.size(), expectedTests);
    if (tests.isEmpty())
        return {};
    StoredTest test = db.test(tests.front().uuid).value_or(StoredTest());
    for (StoredRow& row : test.rows)
        row.playerUuid.clear();
    return test;
}

}  // namespace

// A whole test through the run ends in the history with every value the run knew, read back
// equal; a code corrected after Stop updates the stored test; a table cleared (or a squad loaded)
// after it, and what is typed then, leave it alone.
TEST(RunHistory, AWholeTestIsKeptWithEveryValueAndCorrectedAfterStop) {
    QTemporaryDir dir;
    KeptRun k(dbPath(dir));
    k.name(5);
    QSignalSpy stored(&k.writer, &HistoryWriter::storeFinished);
    k.runATest();
    EXPECT_EQ(stored.count(), 0) << "the store is queued, never made during the run's verbs";
    k.flush();
    ASSERT_EQ(stored.count(), 1);
    EXPECT_EQ(stored.at(0).at(1).value<StoreResult>().outcome, StoreResult::Outcome::Stored);

    const ReportData report =
        ReportData::compute(k.run.table(), k.run.session().timingRecord(), ReportSettings{});
    StoredTest expected;
    expected.edition = kEditionFutbol;
    expected.editionTitle = k.run.edition().editionTitle;
    expected.periodTableFingerprint = periodTableFingerprint(k.run.session().activeTable());
    expected.startedAt = k.startedAt;
    expected.stoppedAt = k.stoppedAt;
    expected.mode = int(TestMode::Esfuerzo);
    expected.startPeriod = 3;
    expected.startSpeedText = k.run.session().StartSpeedText();
    expected.warmUp = false;
    expected.soundOutput = QStringLiteral("Altavoces de prueba");
    expected.signalsGiven = int(k.run.session().timingRecord().signalsGiven.size());
    expected.latenessP50Ms = report.latenessP50Ms;
    expected.latenessP99Ms = report.latenessP99Ms;
    expected.latenessMaxMs = report.latenessMaxMs;
    expected.tableRows = k.run.table().dataRowCount();
    for (int row = 1; row <= 5; ++row) {
        StoredRow stored;
        stored.row = row;
        for (int column = 0; column < k.run.table().columnCount(); ++column)
            stored.cells << k.run.table().cell(column, row);
        stored.computeNumbers();
        expected.rows << stored;
    }
    ASSERT_TRUE(expected.latenessMaxMs.has_value());
    ASSERT_TRUE(expected.rows[1].metres.has_value());
    EXPECT_LT(*expected.rows[1].metres, *expected.rows[0].metres);  // row 2 dropped out first

    StoredTest back = readBack(dbPath(dir));
    expected.uuid = back.uuid;
    {
        HistoryDatabase db;  // the test is known by the laptop and its Start
        ASSERT_EQ(db.open(dbPath(dir)).status, HistoryOpening::Status::Ready);
        EXPECT_EQ(back.uuid, runTestUuid(db.laptopUuid(), kEditionFutbol, k.startedAt));
    }
    EXPECT_EQ(back, expected);

    // A code corrected after Stop: the same test, updated.
    // The model counts data rows from 0: this is row 3.
    ASSERT_TRUE(k.run.table().setData(k.run.table().index(2, kColCode), QStringLiteral("X9")));
    k.flush();
    ASSERT_EQ(stored.count(), 2);
    EXPECT_EQ(stored.at(1).at(1).value<StoreResult>().outcome, StoreResult::Outcome::Updated);
    expected.rows[2].cells[kColCode] = QStringLiteral("X9");
    EXPECT_EQ(readBack(dbPath(dir)), expected);

    // The table cleared after the test, then names typed for the next: the stored test stays.
    k.fakes.messages.m_answers = {true};
    ASSERT_TRUE(k.run.clearTable());
    k.name(2);
    k.flush();
    EXPECT_EQ(stored.count(), 2);
    EXPECT_EQ(readBack(dbPath(dir)), expected);
}

// A table brought back by the journal (the program died after Stop) is the same test: stored
// once, and what only the run knew (warm-up, sound output, timing figures) is kept.
// The warnings that stand at Stop are kept with their player's result, and whether the rule put
// the player out; a warning taken back is not.
TEST(RunHistory, TheWarningsThatStandAreKeptWithTheirPlayers) {
    QTemporaryDir dir;
    KeptRun k(dbPath(dir));
    RunWarnings warnings(k.run);
    k.history.setWarnings([&] { return warnings.warnings(); });
    k.name(4);
    k.run.chooseMode(TestMode::Esfuerzo);
    if (k.run.display().warmUpChecked)
        k.run.setWarmUp(false);
    k.run.start();
    ASSERT_GE(k.time.runUntil([&] { return k.fakes.sound.m_signals >= 3; }), 0);
    k.run.warnAthlete(1);
    k.run.warnAthlete(3);
    ASSERT_GE(k.time.runUntil([&] { return k.fakes.sound.m_signals >= 4; }), 0);
    k.run.warnAthlete(1);  // the second in a row: out by the default rule
    k.run.takeBackWarning(3);
    k.time.runFor(1500);
    k.run.stop();
    k.flush();

    const StoredTest back = readBack(dbPath(dir));
    ASSERT_EQ(back.rows.size(), 4);
    EXPECT_EQ(back.rows[0].warnings.size(), 2);
    EXPECT_TRUE(back.rows[0].outByWarnings);
    EXPECT_TRUE(back.rows[2].warnings.isEmpty()) << "taken back";
    EXPECT_FALSE(back.rows[2].outByWarnings);
    EXPECT_TRUE(back.rows[1].warnings.isEmpty());
}

TEST(RunHistory, ARestoredTableIsStoredOnce) {
    QTemporaryDir dir;
    QTemporaryDir journalDir;
    StoredTest first;
    {
        KeptRun k(dbPath(dir));
        RunJournal journal(k.run, k.fakes.platform(), journalDir.path());
        k.name(4);
        k.runATest();
        journal.flush();
        k.flush();
        first = readBack(dbPath(dir));
    }  // the program dies: no leave question, the journal stays
    ASSERT_TRUE(first.signalsGiven.has_value());

    KeptRun next(dbPath(dir));
    next.fakes.messages.m_answers = {true};  // bring the table back
    QSignalSpy restored(&next.run, &TestRun::restored);
    QSignalSpy stored(&next.writer, &HistoryWriter::storeFinished);
    RunJournal journal(next.run, next.fakes.platform(), journalDir.path());
    ASSERT_EQ(restored.count(), 1);
    next.flush();
    ASSERT_EQ(stored.count(), 1);
    EXPECT_EQ(stored.at(0).at(1).value<StoreResult>().outcome, StoreResult::Outcome::Updated);
    EXPECT_EQ(readBack(dbPath(dir)), first);

    // Corrected after it came back: still the one test.
    ASSERT_TRUE(next.run.table().setData(next.run.table().index(0, kColName), QStringLiteral("Ana")));
    next.flush();
    first.rows[0].cells[kColName] = QStringLiteral("Ana");
    EXPECT_EQ(readBack(dbPath(dir)), first);
}

// A history that cannot be kept is said once, after the window is up and never during a test;
// the test, its table and its export go on.
TEST(RunHistory, AHistoryNotKeptIsSaidOnceBetweenTests) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("norak")));  // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    KeptRun k(dbPath(dir));
    k.name(3);
    k.run.chooseMode(TestMode::Esfuerzo);
    k.run.start();
    k.flush();  // the opening's failure arrives during the test
    QCoreApplication::processEvents();
    auto historyMessages = [&] {
        return std::count_if(k.fakes.messages.m_shown.begin(), k.fakes.messages.m_shown.end(),
                             [](const auto& shown) { return shown.caption == QStringLiteral("Historial"); });
    };
    EXPECT_EQ(historyMessages(), 0);
    k.time.runFor(3000);
    k.run.stop();
    k.flush();
    QCoreApplication::processEvents();
    EXPECT_EQ(historyMessages(), 1);
    EXPECT_TRUE(k.run.tableButtonsEnabled());
    k.run.prepareNewTest();
    k.run.start();
    k.time.runFor(3000);
    k.run.stop();
    k.flush();
    QCoreApplication::processEvents();
    EXPECT_EQ(historyMessages(), 1);
}

// The report of a stored test goes through the report's flow with the test's own table, date
// and figures, and without a signal log: the history keeps none.
TEST(HistoryReport, APastTestsReportHasItsTableAndNoSignalLog) {
    StoredTest test = sampleTest(kEditionBasket, 6, 2, 3);  // the Basket's VO2max column too
    test.mode = int(TestMode::Repetir);
    test.warmUp = true;

    const ReportJob job = historyReportJob(test, QStringLiteral("/programa/"));
    EXPECT_EQ(job.data.start, test.startedAt);
    EXPECT_EQ(job.data.modeText, QStringLiteral("Repetir periodo"));
    EXPECT_TRUE(job.data.warmUp);
    EXPECT_EQ(job.data.soundOutput, test.soundOutput);
    EXPECT_EQ(job.data.signalsGiven, *test.signalsGiven);
    EXPECT_EQ(job.data.latenessMaxMs, test.latenessMaxMs);
    ASSERT_EQ(job.data.rows.size(), 3);
    EXPECT_EQ(job.data.rows[2], test.rows[2].cells);
    EXPECT_TRUE(job.signalLog.isEmpty());

    FakePlatform fakes;
    fakes.saveDialog.m_answer = QStringLiteral("/informes/pasado.pdf");
    fakes.messages.m_answers = {false};  // no printing
    norak::testing::FakeReportRenderer renderer;
    EXPECT_EQ(saveReport(job, fakes.platform(), renderer), ReportOutcome::Written);
    EXPECT_TRUE(fakes.files.m_files.contains(QStringLiteral("/informes/pasado.pdf")));
    EXPECT_EQ(fakes.files.m_files.size(), 1);  // no signal log beside it
    ASSERT_EQ(fakes.saveDialog.m_requests.size(), 1u);
    EXPECT_TRUE(fakes.saveDialog.m_requests[0].proposedPath.endsWith(
        test.startedAt.toString(QStringLiteral("_dd-MM-yy")) + QStringLiteral(".pdf")));

    test.mode.reset();  // an imported test: its mode is not known
    EXPECT_EQ(historyReportJob(test, QString()).data.modeText, QStringLiteral("–"));
}
