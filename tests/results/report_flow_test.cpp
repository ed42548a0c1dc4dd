#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "platform/fakes/FakePlatform.h"
#include "results/CellText.h"
#include "results/ReportFlow.h"
#include "results/ResultsTable.h"
#include "results/RunRecord.h"
#include "results/TestRun.h"
#include "support/FakeReportRenderer.h"
#include "support/FakeTime.h"

using namespace norak;

namespace {

// A Zevez test run on fake time with its report's record and a fake report renderer; its program folder is a
// scratch folder, so that the cases on the real file system stay inside it.
struct Pitch {
    Pitch() : run(kEditionZevez, fakes.platform()), time(fakes, run) {
        fakes.files.m_currentFolder = scratch.path();
        record.setRenderer(&renderer);
        record.setSoundOutputName([] { return QStringLiteral("Salida de prueba"); });
        run.activate();
        const QStringList names = {QStringLiteral("Ana"), QStringLiteral("Lucía"), QStringLiteral("Marta")};
        for (int row = 1; row <= names.size(); ++row)
            run.table().setCell(kColName, row, names[row - 1]);
    }
    // "Test de esfuerzo" from period 1, no warm-up, started.
    void start() {
        run.chooseMode(TestMode::Esfuerzo);
        if (run.display().warmUpChecked)
            run.setWarmUp(false);
        startTick = fakes.ticks.ticks();
        run.start();
    }
    void runUntil(const std::function<bool()>& done) { ASSERT_GE(time.runUntil(done), 0); }
    // The dropout of `athlete` now, and the line the signal log must give it.
    QString dropout(int athlete) {
        run.dropOut(athlete);
        return QStringLiteral(";%1,000;;;;abandono;%2;%3;")
            .arg(fakes.ticks.ticks() - startTick)
            .arg(athlete)
            .arg(run.table().cell(kColName, athlete));
    }
    QStringList cells() const {
        QStringList all;
        for (int row = 1; row <= run.table().dataRowCount(); ++row)
            for (int column = 0; column < run.table().columnCount(); ++column)
                all << run.table().cell(column, row);
        return all;
    }
    QStringList shown() const {
        QStringList all;
        for (const FakeMessages::Shown& s : fakes.messages.m_shown)
            all << s.kind + QLatin1Char(' ') + s.caption + QLatin1Char(' ') + s.text;
        return all;
    }
    QStringList logLines() const {
        const QByteArray log = fakes.files.m_files.value(folder() + QStringLiteral("informe_senales.txt"));
        return QString::fromLatin1(log).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    QString folder() const { return scratch.path() + QStringLiteral("/Export/"); }

    QTemporaryDir scratch;
    FakePlatform fakes;
    norak::testing::FakeReportRenderer renderer;
    TestRun run;
    norak::testing::FakeTime<TestRun> time;
    RunRecord record{run, fakes.platform()};
    qint64 startTick = 0;
};

const QString kPrintQuestion = QStringLiteral("yesno Informe ") + kReportPrintText;
const QString kError = QStringLiteral("warning Información ");

}  // namespace

// A whole test with dropouts, then "Informe": the renderer's PDF in the chosen file, the signal
// log beside it with one line per signal, recovery and dropout (one undone by re-activation left
// out), the print question after saving, and the table as it was.
TEST(ReportFlow, AWholeTestGivesTheReportItsSignalLogAndThePrintQuestion) {
    Pitch r;
    r.start();
    r.runUntil([&] { return r.fakes.sound.m_signals >= 6; });
    const QString marta = r.dropout(3);
    r.runUntil([&] { return r.run.isTimerOn(TestSession::Timer::Recovery); });
    r.dropout(2);
    r.run.table().setCurrentRow(2);
    r.run.reactivateCurrentRow();  // pressed by mistake
    r.runUntil([&] { return r.run.isTimerOn(TestSession::Timer::Effort); });
    r.time.runFor(8000);
    const QString lucia = r.dropout(2);
    r.fakes.saveDialog.m_answer = r.folder() + QStringLiteral("informe.pdf");
    EXPECT_EQ(r.record.saveReport(), ReportOutcome::NothingToReport);  // not during the test
    r.run.stop();

    const QStringList before = r.cells();
    r.fakes.messages.m_answers = {false, true};  // print: no, then yes
    EXPECT_EQ(r.record.saveReport(), ReportOutcome::Written);
    ASSERT_EQ(r.fakes.saveDialog.m_requests.size(), 1u);
    EXPECT_EQ(r.fakes.saveDialog.m_requests[0].title, kReportDialogTitle);
    EXPECT_EQ(r.fakes.saveDialog.m_requests[0].proposedPath,
              r.folder() + QStringLiteral("NORAK-Zevez_06-12-26.pdf"));
    ASSERT_EQ(r.renderer.m_made.size(), 1u);
    const ReportData data = r.renderer.m_made[0];  // a copy: the next report grows the list
    EXPECT_EQ(data.rows.size(), 3);
    EXPECT_EQ(data.modeText, QStringLiteral("Test de esfuerzo"));
    EXPECT_EQ(data.soundOutput, QStringLiteral("Salida de prueba"));
    EXPECT_EQ(data.signalsGiven, r.fakes.sound.m_signals);
    EXPECT_EQ(r.fakes.files.m_files.value(*r.fakes.saveDialog.m_answer), r.renderer.m_pdf);

    const QStringList log = r.logLines();
    ASSERT_EQ(log.size(), 1 + r.fakes.sound.m_signals + 1 + 2);
    EXPECT_TRUE(log[0].startsWith(QStringLiteral(";ms desde Inicio 06/12/2026 ")));
    EXPECT_EQ(log.filter(QStringLiteral(";esfuerzo;")).size(), r.fakes.sound.m_signals);
    EXPECT_EQ(log.filter(QStringLiteral(";recuperacion;")).size(), 1);
    EXPECT_EQ(log.filter(QStringLiteral(";abandono;")), (QStringList{marta, lucia}));

    // Asked once the files are written; No prints nothing, Yes prints the same report.
    EXPECT_EQ(r.shown(), QStringList{kPrintQuestion});
    EXPECT_TRUE(r.renderer.m_printed.empty());
    EXPECT_EQ(r.record.saveReport(), ReportOutcome::Written);
    ASSERT_EQ(r.renderer.m_printed.size(), 1u);
    EXPECT_EQ(r.renderer.m_printed[0].rows, data.rows);
    EXPECT_EQ(r.cells(), before);
    EXPECT_FALSE(r.run.table().resultsExported());

    // The next test's log holds its own dropouts only.
    r.fakes.messages.m_answers = {false};  // New test: the results are not exported
    r.run.prepareNewTest();
    r.start();
    r.runUntil([&] { return r.run.session().BeepCount() >= 4; });
    const QString ana = r.dropout(1);
    r.run.stop();
    EXPECT_EQ(r.record.saveReport(), ReportOutcome::Written);
    EXPECT_EQ(r.logLines().filter(QStringLiteral(";abandono;")), QStringList{ana});
}

// A cancelled dialog, a document that could not be made and a folder that cannot be written
// leave the table, the export flag and the disk as they were; a signal log or a print that
// fails is told after the report was saved.
TEST(ReportFlow, WhatFailsIsToldAndChangesNothing) {
    Pitch r;
    r.start();
    r.runUntil([&] { return r.fakes.sound.m_signals >= 5; });
    r.dropout(2);
    r.run.stop();
    r.fakes.saveDialog.m_answer = QStringLiteral("/home/coach/x.txt");
    ASSERT_EQ(r.run.exportResults(), ResultsActions::ExportOutcome::Written);
    const QStringList before = r.cells();
    const auto filesBefore = r.fakes.files.m_files;
    const QString failed = kError + reportFailedText(QStringLiteral("NORAK-Zevez"));
    QFile notAFolder(r.scratch.filePath(QStringLiteral("archivo")));  // nothing can be written under it
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();

    for (const int fault : {0, 1, 2}) {
        SCOPED_TRACE(fault);
        r.fakes.messages.m_shown.clear();
        r.fakes.saveDialog.m_answer = r.folder() + QStringLiteral("informe.pdf");
        if (fault == 0)
            r.fakes.saveDialog.m_answer.reset();
        r.renderer.m_pdf = fault == 1 ? QByteArray() : QByteArray("%PDF");
        r.fakes.files.m_useRealFiles = fault == 2;
        if (fault == 2)
            r.fakes.saveDialog.m_answer = notAFolder.fileName() + QStringLiteral("/informe.pdf");
        EXPECT_EQ(r.record.saveReport(), fault == 0 ? ReportOutcome::Cancelled : ReportOutcome::Failed);
        EXPECT_EQ(r.shown(), fault == 0 ? QStringList() : QStringList{failed});
        EXPECT_EQ(r.cells(), before);
        EXPECT_TRUE(r.run.table().resultsExported());
        EXPECT_EQ(r.fakes.files.m_files, filesBefore);
        EXPECT_TRUE(QDir(r.folder()).entryList(QDir::Files).isEmpty());
    }
    EXPECT_TRUE(r.renderer.m_printed.empty());

    // The report is saved but a folder stands where its signal log goes; then printing fails.
    r.fakes.messages.m_shown.clear();
    ASSERT_TRUE(QDir(r.scratch.path()).mkdir(QStringLiteral("informe_senales.txt")));
    r.fakes.saveDialog.m_answer = r.scratch.filePath(QStringLiteral("informe.pdf"));
    r.renderer.m_printWorks = false;
    r.fakes.messages.m_answers = {true};
    EXPECT_EQ(r.record.saveReport(), ReportOutcome::WrittenWithoutLog);
    EXPECT_TRUE(QFile::exists(*r.fakes.saveDialog.m_answer));
    EXPECT_EQ(r.shown(), (QStringList{kError + signalLogFailedText(QStringLiteral("informe_senales.txt")),
                                      kPrintQuestion, kError + kReportPrintFailedText}));
    EXPECT_EQ(r.cells(), before);
}
