#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "platform/fakes/FakePlatform.h"
#include "results/CellText.h"
#include "results/ReportFlow.h"
#include "results/ResultsTable.h"
#include "results/TestRun.h"
#include "support/FakeReportRenderer.h"
#include "support/FakeTime.h"

using namespace norak;
using norak::testing::FakeReportRenderer;

namespace {

// A Zevez test run on fake time with a fake report renderer, its program folder a scratch folder
// (so that the cases on the real file system stay inside it).
struct Pitch {
    Pitch() : run(kEditionZevez, fakes.platform()), time(fakes, run) {
        fakes.files.m_currentFolder = scratch.path();
        run.setReportRenderer(&renderer);
        run.setSoundOutputName([] { return QStringLiteral("Salida de prueba"); });
        run.FormActivate();
    }
    QString exportFolder() const { return scratch.path() + QStringLiteral("/Export/"); }
    // "Test de esfuerzo" from period 1, no warm-up, started; the start tick noted.
    void start() {
        run.FlatRadioButton1Click(TestMode::Esfuerzo);
        run.SpinEdit1Change(1);
        if (run.display().warmUpChecked)
            run.CheckBox_CalentamientoClick(false);
        startTick = fakes.ticks.ticks();
        run.BitBtnStartClick();
    }
    void runToSignal(int count) {
        ASSERT_GE(time.runUntil([&] { return fakes.sound.m_signals >= count; }), 0);
    }
    void runUntilRecovery(bool recovery) {
        ASSERT_GE(time.runUntil([&] { return run.isTimerOn(TestSession::Timer::Recovery) == recovery; }), 0);
    }
    // The dropout of `athlete` now; the line the signal log must give it.
    QString dropout(int athlete) {
        run.B01Click(athlete);
        return QStringLiteral(";%1,000;;;;abandono;%2;%3;")
            .arg(fakes.ticks.ticks() - startTick)
            .arg(athlete)
            .arg(run.table().cell(kColName, athlete));
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
    std::vector<QString> shown() const {
        std::vector<QString> all;
        for (const FakeMessages::Shown& s : fakes.messages.m_shown)
            all.push_back(s.kind + QLatin1Char(' ') + s.caption + QLatin1Char(' ') + s.text);
        return all;
    }
    // The lines of a file written through the fake file system.
    QStringList fileLines(const QString& path) const {
        QStringList lines =
            QString::fromLatin1(fakes.files.m_files.value(path)).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.removeLast();
        return lines;
    }

    QTemporaryDir scratch;
    FakePlatform fakes;
    FakeReportRenderer renderer;
    TestRun run;
    norak::testing::FakeTime<TestRun> time;
    qint64 startTick = 0;
};

const QString kPrintQuestion = QStringLiteral("yesno Informe ") + kReportPrintText;

}  // namespace

// A whole test with dropouts, then "Informe": the PDF from the renderer in the chosen file, the
// signal log beside it with one line per signal, recovery and dropout (one undone by
// re-activation left out), the print question after saving, and the table as it was.
TEST(ReportFlow, AWholeTestGivesTheReportItsSignalLogAndThePrintQuestion) {
    Pitch r;
    const QStringList names = {QStringLiteral("Ana"), QStringLiteral("Lucía"), QStringLiteral("Marta"),
                               QStringLiteral("Irene")};
    for (int row = 1; row <= names.size(); ++row)
        r.run.table().setCell(kColName, row, names[row - 1]);
    r.start();
    r.runToSignal(6);
    const QString marta = r.dropout(3);
    r.runUntilRecovery(true);
    r.time.runFor(5000);
    r.dropout(2);
    r.run.table().setCurrentRow(2);
    r.run.Volveraactivar1Click();  // pressed by mistake
    r.runUntilRecovery(false);
    r.time.runFor(8000);
    const QString lucia = r.dropout(2);
    r.fakes.saveDialog.m_answer = r.exportFolder() + QStringLiteral("informe.pdf");
    EXPECT_EQ(r.run.BtnInformeClick(), ReportOutcome::NothingToReport);  // not during the test
    EXPECT_TRUE(r.fakes.saveDialog.m_requests.empty());
    r.time.runFor(4000);
    r.run.BitBtnStopClick();

    const QList<QStringList> before = r.cells();
    r.fakes.messages.m_answers = {false};  // no printing
    EXPECT_EQ(r.run.BtnInformeClick(), ReportOutcome::Written);
    ASSERT_EQ(r.fakes.saveDialog.m_requests.size(), 1u);
    const SaveRequest& request = r.fakes.saveDialog.m_requests[0];
    EXPECT_EQ(request.title, kReportDialogTitle);
    EXPECT_EQ(request.filter, kReportDialogFilter);
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("pdf"));
    EXPECT_EQ(request.proposedPath, r.exportFolder() + QStringLiteral("NORAK-Zevez_06-12-26.pdf"));

    ASSERT_EQ(r.renderer.m_made.size(), 1u);
    const ReportData& data = r.renderer.m_made[0];
    EXPECT_EQ(data.rows.size(), 4);
    EXPECT_EQ(data.bars.back().name, QStringLiteral("Marta"));
    EXPECT_EQ(data.modeText, QStringLiteral("Test de esfuerzo"));
    EXPECT_FALSE(data.warmUp);
    EXPECT_EQ(data.soundOutput, QStringLiteral("Salida de prueba"));
    EXPECT_EQ(data.signalsGiven, r.fakes.sound.m_signals);
    EXPECT_EQ(r.fakes.files.m_files.value(*r.fakes.saveDialog.m_answer), r.renderer.m_pdf);

    const QStringList log = r.fileLines(r.exportFolder() + QStringLiteral("informe_senales.txt"));
    ASSERT_FALSE(log.isEmpty());
    EXPECT_TRUE(log[0].startsWith(QStringLiteral(";ms desde Inicio 06/12/2026 ")));
    EXPECT_EQ(log.filter(QStringLiteral(";esfuerzo;")).size(), r.fakes.sound.m_signals);
    EXPECT_EQ(log.filter(QStringLiteral(";recuperacion;")).size(), 1);
    EXPECT_EQ(log.filter(QStringLiteral(";abandono;")), (QStringList{marta, lucia}));
    EXPECT_EQ(log.size(), 1 + r.fakes.sound.m_signals + 1 + 2);

    // Asked once the files are written; No prints nothing, Yes prints the same report.
    EXPECT_EQ(r.shown(), std::vector<QString>{kPrintQuestion});
    EXPECT_EQ(r.fakes.sound.m_alerts.back(), kAlertQuestion);
    EXPECT_TRUE(r.renderer.m_printed.empty());
    r.fakes.messages.m_answers = {true};
    EXPECT_EQ(r.run.BtnInformeClick(), ReportOutcome::Written);
    ASSERT_EQ(r.renderer.m_printed.size(), 1u);
    EXPECT_EQ(r.renderer.m_printed[0].rows, data.rows);
    EXPECT_EQ(r.cells(), before);
    EXPECT_FALSE(r.run.table().resultsExported());

    // The next test's log holds its own dropouts only.
    r.fakes.messages.m_answers = {false};  // the results are not exported
    r.run.BitBtnNuevoClick();
    r.start();
    r.runToSignal(r.fakes.sound.m_signals + 4);
    const QString ana = r.dropout(1);
    r.run.BitBtnStopClick();
    EXPECT_EQ(r.run.BtnInformeClick(), ReportOutcome::Written);
    EXPECT_EQ(r.fileLines(r.exportFolder() + QStringLiteral("informe_senales.txt"))
                  .filter(QStringLiteral(";abandono;")),
              QStringList{ana});
}

// A cancelled dialog, a document that could not be made and a folder that cannot be written
// leave the table, the export flag and the disk as they were, and only a failure is told; a
// signal log or a print that fails is told after the report was saved.
TEST(ReportFlow, WhatFailsIsToldAndChangesNothing) {
    Pitch r;
    r.run.table().setCell(kColName, 1, QStringLiteral("Ana"));
    r.run.table().setCell(kColName, 2, QStringLiteral("Eva"));
    r.start();
    r.runToSignal(5);
    r.dropout(2);
    r.run.BitBtnStopClick();
    r.fakes.saveDialog.m_answer = QStringLiteral("/home/coach/x.txt");
    ASSERT_EQ(r.run.BtnExportDatosClick(), ResultsActions::ExportOutcome::Written);
    const QList<QStringList> before = r.cells();
    const auto filesBefore = r.fakes.files.m_files;
    const QString failed =
        QStringLiteral("warning Información ") + reportFailedText(QStringLiteral("NORAK-Zevez"));

    // A regular file where the chosen folder should be: nothing can be written under it.
    QFile notAFolder(r.scratch.filePath(QStringLiteral("archivo")));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    struct Case {
        const char* what;
        std::function<void()> arrange;
        ReportOutcome outcome;
        std::vector<QString> shown;
    };
    const std::vector<Case> cases = {
        {"cancelled", [&] { r.fakes.saveDialog.m_answer.reset(); }, ReportOutcome::Cancelled, {}},
        {"no document", [&] { r.renderer.m_pdf.clear(); }, ReportOutcome::Failed, {failed}},
        {"writes fail", [&] { r.fakes.files.m_failWrites = true; }, ReportOutcome::Failed, {failed}},
        {"unwritable folder",
         [&] {
             r.fakes.files.m_useRealFiles = true;
             r.fakes.saveDialog.m_answer = notAFolder.fileName() + QStringLiteral("/informe.pdf");
         },
         ReportOutcome::Failed,
         {failed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        r.fakes.messages.m_shown.clear();
        r.fakes.saveDialog.m_answer = r.exportFolder() + QStringLiteral("informe.pdf");
        r.renderer.m_pdf = "%PDF";
        c.arrange();
        EXPECT_EQ(r.run.BtnInformeClick(), c.outcome);
        EXPECT_EQ(r.shown(), c.shown);
        EXPECT_TRUE(r.renderer.m_printed.empty());
        EXPECT_EQ(r.cells(), before);
        EXPECT_TRUE(r.run.table().resultsExported());
        EXPECT_EQ(r.fakes.files.m_files, filesBefore);
        EXPECT_EQ(QDir(r.exportFolder()).entryList(QDir::Files), QStringList());
        r.fakes.files.m_failWrites = false;
        r.fakes.files.m_useRealFiles = false;
    }
    EXPECT_EQ(r.fakes.sound.m_alerts.back(), kAlertWarning);

    // The report is saved but a folder stands where its signal log goes; then printing fails.
    r.fakes.messages.m_shown.clear();
    r.fakes.files.m_useRealFiles = true;
    ASSERT_TRUE(QDir(r.scratch.path()).mkdir(QStringLiteral("informe_senales.txt")));
    r.fakes.saveDialog.m_answer = r.scratch.filePath(QStringLiteral("informe.pdf"));
    r.renderer.m_printWorks = false;
    r.fakes.messages.m_answers = {true};
    EXPECT_EQ(r.run.BtnInformeClick(), ReportOutcome::WrittenWithoutLog);
    EXPECT_TRUE(QFile::exists(r.scratch.filePath(QStringLiteral("informe.pdf"))));
    EXPECT_EQ(r.shown(),
              (std::vector<QString>{QStringLiteral("warning Información ") +
                                        signalLogFailedText(QStringLiteral("informe_senales.txt")),
                                    kPrintQuestion,
                                    QStringLiteral("warning Información ") + kReportPrintFailedText}));
    EXPECT_EQ(r.cells(), before);
    EXPECT_TRUE(r.run.table().resultsExported());
}
