#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "engine/Edition.h"
#include "engine/SoundCheck.h"
#include "platform/fakes/FakePlatform.h"
#include "platform/fakes/FakeSleepInhibitor.h"
#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/Journal.h"
#include "results/ResultsTable.h"
#include "results/RunJournal.h"
#include "results/SleepKeeper.h"
#include "results/SoundCheckGate.h"
#include "results/SquadLoader.h"
#include "results/TestRun.h"
#include "support/FakeTime.h"

using namespace norak;

namespace {

const QString kLeaveCaption = QStringLiteral("Salir de NORAK-Zevez");

// A Zevez test run on fake time and fake platform services, with no widget at all, and the
// features that the program attaches to it.
struct Pitch {
    Pitch() : run(kEditionZevez, fakes.platform()), time(fakes, run) { run.activate(); }

    void enableJournal(const QString& folder) {
        journal = std::make_unique<RunJournal>(run, fakes.platform(), folder);
    }

    void type(int row, int column, const QString& text) {
        ASSERT_TRUE(run.table().setData(run.table().index(row - 1, column), text));
    }
    // "Test de esfuerzo" from `period`, no warm-up, started.
    void start(int period = 1) {
        run.chooseMode(TestMode::Esfuerzo);
        run.setStartPeriod(period);
        if (run.display().warmUpChecked)
            run.setWarmUp(false);
        run.start();
    }
    // Runs until the sound has given `count` signals since the test began.
    void runToSignal(int count) {
        ASSERT_GE(time.runUntil([&] { return fakes.sound.m_signals >= count; }), 0);
    }
    QString cell(int column, int row) const { return run.table().cell(column, row); }
    QStringList row(int r) const {
        QStringList cells;
        for (int column = kColNumber; column <= kColSpeed; ++column)
            cells << cell(column, r);
        return cells;
    }
    std::vector<QString> questions() const {
        std::vector<QString> captions;
        for (const FakeMessages::Shown& shown : fakes.messages.m_shown)
            captions.push_back(shown.caption);
        return captions;
    }

    FakePlatform fakes;
    TestRun run;
    norak::testing::FakeTime<TestRun> time;
    SoundCheckGate gate{run, fakes.platform()};
    SquadLoader squad{run, fakes.platform()};
    std::unique_ptr<RunJournal> journal;
};

}  // namespace

// The whole of a test as the test master works it: names, Start, a dropout in an effort period
// and one in the recovery, a re-activation, Stop, the export, and the next test.
TEST(TestRun, AWholeTestFromNamesToExport) {
    Pitch r;
    r.type(1, kColName, QStringLiteral("Ana"));
    r.type(1, kColCode, QStringLiteral("V01"));
    r.type(2, kColName, QStringLiteral("Lucía"));
    r.type(3, kColName, QStringLiteral("Marta"));
    QSignalSpy changes(&r.run, &TestRun::changed);

    r.start();
    EXPECT_FALSE(changes.isEmpty());
    EXPECT_EQ(r.fakes.sound.m_signals, 1);  // the departure
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(r.run.roster().isShown(i), i <= 3) << i;
    EXPECT_FALSE(r.run.tableButtonsEnabled());

    // Marta drops out at the 6th signal of period 1, with the values the display shows.
    r.runToSignal(6);
    const LiveValues atDropout = r.run.liveValues();
    r.run.dropOut(3);
    EXPECT_FALSE(r.run.roster().isShown(3));
    EXPECT_EQ(r.row(3),
              (QStringList{QStringLiteral("3"), QStringLiteral("Marta"), QString(), atDropout.clockText,
                           QStringLiteral("0"), atDropout.distanceText, QStringLiteral("4,2")}));

    // Lucía drops out during the recovery after period 1: that period counts as completed.
    ASSERT_GE(r.time.runUntil([&] { return r.run.isTimerOn(TestSession::Timer::Recovery); }), 0);
    r.time.runFor(5000);
    r.run.dropOut(2);
    EXPECT_EQ(r.cell(kColPeriods, 2), QStringLiteral("1"));

    // A dropout pressed by mistake is undone from the row's menu while the test runs.
    r.run.table().setCurrentRow(2);
    EXPECT_TRUE(r.run.canReactivateCurrentRow());
    r.run.reactivateCurrentRow();
    EXPECT_TRUE(r.run.roster().isShown(2));
    EXPECT_TRUE(r.cell(kColPeriods, 2).isEmpty());
    r.run.table().setCurrentRow(1);  // still running: nothing to undo
    EXPECT_FALSE(r.run.canReactivateCurrentRow());

    // Stop, well into period 2: the two runners get the same values.
    ASSERT_GE(r.time.runUntil([&] { return r.run.isTimerOn(TestSession::Timer::Effort); }), 0);
    r.time.runFor(20000);
    r.run.stop();
    EXPECT_EQ(r.row(1).mid(3), r.row(2).mid(3));
    EXPECT_EQ(r.cell(kColPeriods, 1), QStringLiteral("1"));
    EXPECT_FALSE(r.run.table().resultsExported());
    EXPECT_TRUE(r.run.tableButtonsEnabled());

    // The export: the file chosen in the dialog, byte for byte.
    r.fakes.saveDialog.m_answer = QStringLiteral("/home/coach/Export/prueba.txt");
    EXPECT_EQ(r.run.exportResults(), ResultsActions::ExportOutcome::Written);
    ASSERT_EQ(r.fakes.saveDialog.m_requests.size(), 1u);
    EXPECT_EQ(r.fakes.saveDialog.m_requests[0].proposedPath,
              QStringLiteral("/home/coach/Export/NORAK-Zevez_06-12-26.txt"));
    const QString runners =
        QStringLiteral(";%1;%2;%3;%4;")
            .arg(r.cell(kColTime, 1), r.cell(kColPeriods, 1), r.cell(kColDistance, 1), r.cell(kColSpeed, 1));
    QByteArray expected = "NORAK-Zevez\r\n;Fecha;Hora;Periodo Inicial;Velocidad Inicial (Km/h);\r\n";
    expected +=
        ";06/12/2026;" + r.fakes.clock.now().toString(QStringLiteral("HH:mm")).toLatin1() + ";1;4,2;\r\n";
    expected += ";N\xBA;Sujeto;Cod.;Tiempo (mm:ss);Periodos complet.;Distancia (m);Vel. M\xE1x. (Km/h);\r\n";
    expected += ";1;Ana;V01" + runners.toLatin1() + "\r\n";
    expected +=
        ";2;Luc\xED"
        "a;" +
        runners.toLatin1() + "\r\n";
    expected += ";3;Marta;;" + atDropout.clockText.toLatin1() + ";0;" + atDropout.distanceText.toLatin1() +
                ";4,2;\r\n";
    for (int i = 4; i <= 12; ++i)
        expected += ";;;;;;;;\r\n";
    EXPECT_EQ(r.fakes.files.m_files.value(QStringLiteral("/home/coach/Export/prueba.txt")).toStdString(),
              expected.toStdString());
    EXPECT_TRUE(r.run.table().resultsExported());

    // The next test: exported results are cleared without a question; names stay.
    r.fakes.messages.m_shown.clear();
    r.run.prepareNewTest();
    EXPECT_TRUE(r.questions().empty());
    EXPECT_TRUE(r.cell(kColPeriods, 1).isEmpty());
    EXPECT_EQ(r.cell(kColName, 2), QStringLiteral("Lucía"));
}

// New test offers to save results that were never exported: yes exports them first, no drops
// them; either way the table is ready for the next test.
TEST(TestRun, NewTestAsksAboutUnexportedResults) {
    for (const bool save : {true, false}) {
        Pitch r;
        r.type(1, kColName, QStringLiteral("Ana"));
        r.start();
        r.runToSignal(4);
        r.run.stop();
        r.fakes.saveDialog.m_answer = QStringLiteral("/tmp/x.txt");
        r.fakes.messages.m_answers = {save};
        r.run.prepareNewTest();
        EXPECT_EQ(r.questions(), std::vector<QString>{QStringLiteral("Guardar datos")});
        EXPECT_EQ(r.fakes.files.m_files.contains(QStringLiteral("/tmp/x.txt")), save);
        EXPECT_TRUE(r.cell(kColPeriods, 1).isEmpty());
        EXPECT_EQ(r.cell(kColName, 1), QStringLiteral("Ana"));
        EXPECT_TRUE(r.run.display().startEnabled);
    }
}

// The export flag describes the table as it stands: a result written after the export makes
// the table unexported again, and the next test asks before erasing it.
TEST(TestRun, ResultsRecordedAfterAnExportAreNotLostSilently) {
    Pitch r;
    r.type(1, kColName, QStringLiteral("Ana"));
    r.type(2, kColName, QStringLiteral("Eva"));
    r.start();
    r.runToSignal(4);
    r.run.dropOut(1);
    r.fakes.saveDialog.m_answer = QStringLiteral("/tmp/x.txt");
    // The export buttons are off during a test; an export there is refused.
    EXPECT_EQ(r.run.exportResults(), ResultsActions::ExportOutcome::NothingToExport);
    r.run.stop();
    ASSERT_EQ(r.run.exportResults(), ResultsActions::ExportOutcome::Written);
    r.run.table().setCell(kColTime, 2, QStringLiteral("09:59"));
    EXPECT_FALSE(r.run.table().resultsExported());
    r.fakes.messages.m_answers = {false};
    r.run.prepareNewTest();
    EXPECT_EQ(r.questions(), std::vector<QString>{QStringLiteral("Guardar datos")});
}

// Leaving between tests: the save question for unexported results, then the leave question.
// Leaving during a test: the leave question first; Cancel lets the test go on untouched, OK ends
// it as "Fin de la prueba" does and then offers the results for saving.
TEST(TestRun, LeavingLosesNothing) {
    {
        Pitch r;
        r.type(1, kColName, QStringLiteral("Ana"));
        r.start();
        r.runToSignal(3);
        r.run.stop();
        r.fakes.messages.m_answers = {false, true};
        EXPECT_TRUE(r.run.confirmLeave());
        EXPECT_EQ(r.questions(), (std::vector<QString>{QStringLiteral("Guardar datos"), kLeaveCaption}));
    }
    Pitch r;
    r.type(1, kColName, QStringLiteral("Ana"));
    r.type(2, kColName, QStringLiteral("Eva"));
    r.start();
    r.runToSignal(3);
    r.run.dropOut(2);
    const QString evasDistance = r.cell(kColDistance, 2);

    r.fakes.messages.m_answers = {false};
    EXPECT_FALSE(r.run.confirmLeave());
    EXPECT_EQ(r.questions(), std::vector<QString>{kLeaveCaption});
    EXPECT_TRUE(r.run.session().isRunning());
    EXPECT_TRUE(r.run.roster().isShown(1));
    r.runToSignal(8);  // the test goes on, the runner is still recorded later

    r.fakes.messages.m_shown.clear();
    r.fakes.messages.m_answers = {true, true};
    r.fakes.saveDialog.m_answer = QStringLiteral("/tmp/leave.txt");
    EXPECT_TRUE(r.run.confirmLeave());
    EXPECT_EQ(r.questions(), (std::vector<QString>{kLeaveCaption, QStringLiteral("Guardar datos")}));
    EXPECT_FALSE(r.run.session().isRunning());
    EXPECT_FALSE(r.run.roster().isShown(1));
    EXPECT_EQ(r.cell(kColPeriods, 1), QStringLiteral("0"));
    EXPECT_NE(r.cell(kColDistance, 1), evasDistance);
    const QByteArray saved = r.fakes.files.m_files.value(QStringLiteral("/tmp/leave.txt"));
    EXPECT_TRUE(saved.contains(";1;Ana;;" + r.cell(kColTime, 1).toLatin1()));
    EXPECT_TRUE(saved.contains(";2;Eva;;"));
}

// Basket writes the estimated VO2max with the user's decimal separator.
TEST(TestRun, BasketDropoutWritesTheEstimate) {
    FakePlatform fakes;
    fakes.clock.m_decimalSeparator = QLatin1Char('.');
    TestRun run(kEditionBasket, fakes.platform());
    run.activate();
    run.table().setCell(kColName, 12, QStringLiteral("Pau"));
    run.chooseMode(TestMode::Esfuerzo);
    run.setWarmUp(false);
    run.start();
    norak::testing::FakeTime<TestRun> time(fakes, run);
    ASSERT_GE(time.runUntil([&] { return fakes.sound.m_signals >= 5; }), 0);
    run.stop();
    const double distance = run.table().cell(kColDistance, 12).toDouble();
    EXPECT_GT(distance, 0);
    EXPECT_EQ(run.table().cell(kColVo2max, 12), QString::number(distance * 0.013 + 2.5951, 'f', 3));
}

// The desktop stays awake from Start to Stop, and on leaving during a test; the sound check
// plays between tests only, and a Start drops its pending alert.
TEST(TestRun, SleepInhibitorAndSoundCheckFollowTheTest) {
    FakeSleepInhibitor inhibitor;  // outlives the run, as the program's does
    Pitch r;
    SleepKeeper keeper(r.run, &inhibitor);
    r.type(1, kColName, QStringLiteral("Ana"));

    r.gate.checkSound();
    EXPECT_EQ(r.fakes.sound.m_signals, 1);
    EXPECT_TRUE(r.gate.soundCheck().isPending());
    r.start();
    EXPECT_FALSE(r.gate.soundCheck().isPending());
    EXPECT_TRUE(inhibitor.m_held);
    const int signalsAtStart = r.fakes.sound.m_signals;
    r.gate.checkSound();
    EXPECT_EQ(r.fakes.sound.m_signals, signalsAtStart);

    r.run.stop();
    EXPECT_FALSE(inhibitor.m_held);
    r.run.prepareNewTest();
    r.start();
    EXPECT_TRUE(inhibitor.m_held);
    r.fakes.messages.m_answers = {true, false};
    EXPECT_TRUE(r.run.confirmLeave());
    EXPECT_FALSE(inhibitor.m_held);
    EXPECT_EQ(inhibitor.m_takes, 2);
}

// The journal follows the table; after a run that did not end cleanly the next start offers
// it back ("Sí" puts back every cell and the export flag; the test comes back stopped), a clean
// end removes it, and a journal that cannot be trusted is set aside and reported.
TEST(TestRun, AJournalBringsBackTheTableOfARunThatDidNotEnd) {
    QTemporaryDir state;
    QStringList cellsBefore;
    {
        Pitch r;  // dies during its test: never asked to leave
        r.enableJournal(state.path());
        r.type(1, kColName, QStringLiteral("Ana"));
        r.type(2, kColName, QStringLiteral("Íñigo"));
        r.type(2, kColCode, QStringLiteral("V02"));
        r.start();
        r.runToSignal(5);
        r.run.dropOut(2);
        r.journal->flush();
        cellsBefore = r.row(1) + r.row(2);
    }
    {
        Pitch r;
        r.fakes.messages.m_answers = {true};
        TestRun restored(kEditionZevez, r.fakes.platform());
        RunJournal journal(restored, r.fakes.platform(), state.path());
        restored.activate();
        ASSERT_EQ(r.questions(), std::vector<QString>{QStringLiteral("Recuperar datos")});
        QStringList cells;
        for (int row = 1; row <= 2; ++row)
            for (int column = kColNumber; column <= kColSpeed; ++column)
                cells << restored.table().cell(column, row);
        EXPECT_EQ(cells, cellsBefore);
        EXPECT_FALSE(restored.session().isRunning());
        EXPECT_TRUE(restored.table().cell(kColPeriods, 1).isEmpty());  // Ana was still running
        EXPECT_TRUE(restored.tableButtonsEnabled());                   // so it can be exported now
        r.fakes.messages.m_answers = {false, true};                    // not saved, leave
        EXPECT_TRUE(restored.confirmLeave());
    }
    EXPECT_TRUE(QDir(state.path()).entryList(QDir::Files).isEmpty());

    // A broken journal is set aside, said once, and the table starts empty.
    QFile broken(Journal(kEditionZevez, state.path()).filePath());
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a journal\n");
    broken.close();
    Pitch r;
    TestRun next(kEditionZevez, r.fakes.platform());
    RunJournal journal(next, r.fakes.platform(), state.path());
    next.activate();
    ASSERT_EQ(r.fakes.messages.m_shown.size(), 1u);
    EXPECT_EQ(r.fakes.messages.m_shown[0].kind, QStringLiteral("warning"));
    EXPECT_FALSE(QFile::exists(broken.fileName()));
    EXPECT_EQ(QDir(state.path()).entryList(QDir::Files).size(), 1);
}

// Leaving during a test, answered yes and the results not saved, is a clean end too: the journal
// goes, and the next start asks nothing.
TEST(TestRun, LeavingDuringATestRemovesTheJournal) {
    QTemporaryDir state;
    {
        Pitch r;
        r.enableJournal(state.path());
        r.type(1, kColName, QStringLiteral("Ana"));
        r.start();
        r.runToSignal(3);
        r.journal->flush();
        ASSERT_FALSE(QDir(state.path()).entryList(QDir::Files).isEmpty());
        r.fakes.messages.m_answers = {true, false};  // leave; do not save
        ASSERT_TRUE(r.run.confirmLeave());
        EXPECT_EQ(r.questions(), (std::vector<QString>{kLeaveCaption, QStringLiteral("Guardar datos")}));
    }
    EXPECT_TRUE(QDir(state.path()).entryList(QDir::Files).isEmpty());
    Pitch next;
    next.enableJournal(state.path());
    EXPECT_TRUE(next.fakes.messages.m_shown.empty());
    EXPECT_TRUE(next.cell(kColName, 1).isEmpty());
}

// Two copies of the program at once: the second neither offers back nor removes the journal of
// the first, and says that its own results are not kept; once the first has ended, the next
// copy keeps the journal again.
TEST(TestRun, ASecondCopyOfTheProgramLeavesTheJournalOfTheFirstAlone) {
    QTemporaryDir state;
    const QString journal = Journal(kEditionZevez, state.path()).filePath();
    {
        Pitch first;
        first.enableJournal(state.path());
        first.type(1, kColName, QStringLiteral("Ana"));
        first.journal->flush();
        ASSERT_TRUE(QFile::exists(journal));
        {
            Pitch second;
            second.enableJournal(state.path());
            ASSERT_EQ(second.fakes.messages.m_shown.size(), 1u);  // said at once, no restore question
            EXPECT_EQ(second.fakes.messages.m_shown[0].text, Journal::heldElsewhereMessage());
            second.type(1, kColName, QStringLiteral("Íñigo"));
            second.fakes.messages.m_answers = {true};  // leave (no results to save)
            EXPECT_TRUE(second.run.confirmLeave());
        }
        first.journal->flush();
        const Journal::LoadResult kept = Journal(kEditionZevez, state.path()).load();
        ASSERT_EQ(kept.status, Journal::LoadStatus::Loaded);
        EXPECT_EQ(kept.state.cells.at(0).at(kColName), QStringLiteral("Ana"));
    }
    Pitch next;  // the first died without a clean end: its table is offered back
    next.fakes.messages.m_answers = {true};
    next.enableJournal(state.path());
    EXPECT_EQ(next.questions(), std::vector<QString>{QStringLiteral("Recuperar datos")});
    EXPECT_EQ(next.cell(kColName, 1), QStringLiteral("Ana"));
}

// "Cargar" fills the table from a squad file between tests: it asks before replacing names,
// offers unexported results for saving first, and tells what was cut or left out.
TEST(TestRun, LoadingASquadReplacesTheNamesAfterAsking) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plantilla.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray text = "Nombre,Codigo\r\n\"Ana María\",V01\r\nLucía,V02\r\n";
    for (int i = 3; i <= 13; ++i)
        text += "J" + QByteArray::number(i) + ",X\r\n";
    file.write(text);
    file.close();

    Pitch r;
    r.type(1, kColName, QStringLiteral("Eva"));
    r.start();
    r.runToSignal(3);
    r.fakes.saveDialog.m_openAnswer = path;
    EXPECT_FALSE(r.squad.loadSquad());  // not while a test runs
    EXPECT_TRUE(r.fakes.saveDialog.m_openRequests.empty());
    r.run.stop();

    r.fakes.messages.m_answers = {false};  // keep the names
    EXPECT_FALSE(r.squad.loadSquad());
    EXPECT_EQ(r.cell(kColName, 1), QStringLiteral("Eva"));
    EXPECT_EQ(r.fakes.saveDialog.m_openRequests.back().filter,
              QStringLiteral("Archivos de deportistas (*.txt *.csv)"));

    r.fakes.messages.m_shown.clear();
    r.fakes.messages.m_answers = {true, false};  // replace; do not save the results
    EXPECT_TRUE(r.squad.loadSquad());
    EXPECT_EQ(r.questions(),
              (std::vector<QString>{QStringLiteral("Cargar deportistas"), QStringLiteral("Guardar datos"),
                                    QStringLiteral("Cargar deportistas")}));
    EXPECT_EQ(r.cell(kColName, 1), QStringLiteral("Ana María"));
    EXPECT_EQ(r.cell(kColCode, 2), QStringLiteral("V02"));
    EXPECT_EQ(r.cell(kColName, 12), QStringLiteral("J12"));
    EXPECT_TRUE(r.cell(kColPeriods, 1).isEmpty());
    EXPECT_TRUE(r.fakes.messages.m_shown.back().text.contains(QStringLiteral("J13")));

    // A file that is not text leaves the table as it is, with a message.
    QFile binary(path);
    ASSERT_TRUE(binary.open(QIODevice::WriteOnly));
    binary.write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    binary.close();
    r.fakes.messages.m_shown.clear();
    EXPECT_FALSE(r.squad.loadSquad());
    ASSERT_EQ(r.fakes.messages.m_shown.size(), 1u);
    EXPECT_EQ(r.fakes.messages.m_shown[0].kind, QStringLiteral("warning"));
    EXPECT_EQ(r.cell(kColName, 1), QStringLiteral("Ana María"));
}

// "Cargar" asks before replacing names that were only typed (no test, no results): "No" keeps
// them, "Sí" replaces them.
TEST(TestRun, LoadingAsksBeforeReplacingTypedNames) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plantilla.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Nombre,Codigo\r\nLucía,V02\r\n");
    file.close();

    Pitch r;
    r.type(1, kColName, QStringLiteral("Eva"));
    r.type(1, kColCode, QStringLiteral("E1"));
    r.fakes.saveDialog.m_openAnswer = path;
    r.fakes.messages.m_answers = {false};
    EXPECT_FALSE(r.squad.loadSquad());
    EXPECT_EQ(r.questions(), std::vector<QString>{QStringLiteral("Cargar deportistas")});
    EXPECT_EQ(r.row(1).mid(kColName, 2), (QStringList{QStringLiteral("Eva"), QStringLiteral("E1")}));

    r.fakes.messages.m_answers = {true};
    EXPECT_TRUE(r.squad.loadSquad());
    EXPECT_EQ(r.row(1).mid(kColName, 2), (QStringList{QStringLiteral("Lucía"), QStringLiteral("V02")}));
}
