#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/ExportWriter.h"
#include "results/ResultsActions.h"
#include "results/ResultsTable.h"

using namespace norak;

namespace {

const QString kFailureText =
    QStringLiteral("No se ha podido exportar el archivo de Registros de NORAK-Zevez.");

// A Zevez table with its slots and flows on fake platform services.
struct Fixture {
    FakePlatform fakes;
    ExportFacts facts{1, QStringLiteral("4,2"), QStringLiteral("/opt/norak/")};
    ResultsTable table{kEditionZevez};
    AthleteRoster roster{table};
    ResultsActions actions{QStringLiteral("NORAK-Zevez"), table, roster, fakes.platform()};

    void nameAndRecord(int row, const QString& name, const QString& periods) {
        table.setCell(kColName, row, name);
        table.setCell(kColNumber, row, QString::number(row));
        table.setCell(kColTime, row, QStringLiteral("05:00"));
        table.setCell(kColPeriods, row, periods);
    }
    QStringList kinds() const {
        QStringList out;
        for (const auto& shown : fakes.messages.m_shown)
            out << shown.kind;
        return out;
    }
};

}  // namespace

TEST(ResultsExport, WritesTheFileChosenInTheDialog) {
    Fixture f;
    f.nameAndRecord(1, QStringLiteral("Begoña"), QStringLiteral("8"));
    f.facts.startPeriod = 4;
    f.facts.startSpeedText = QStringLiteral("5,9");
    f.fakes.saveDialog.m_answer = QStringLiteral("/tmp/out/tabla.txt");

    EXPECT_EQ(f.actions.exportResults(f.facts), ResultsActions::ExportOutcome::Written);
    ASSERT_EQ(f.fakes.saveDialog.m_requests.size(), 1u);
    const SaveRequest& request = f.fakes.saveDialog.m_requests.front();
    EXPECT_EQ(request.title, QStringLiteral("Exportación de Registros de ZIRKO..."));
    EXPECT_EQ(request.filter, QStringLiteral("Archivo de exportación de Registros (*.txt)"));
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("txt"));
    EXPECT_EQ(request.folder, QStringLiteral("/opt/norak/Export/"));
    EXPECT_EQ(request.proposedPath, QStringLiteral("/opt/norak/Export/NORAK-Zevez_06-12-26.txt"));
    EXPECT_TRUE(f.fakes.files.m_folders.contains(QStringLiteral("/opt/norak/Export")));

    const QByteArray written = f.fakes.files.m_files.value(QStringLiteral("/tmp/out/tabla.txt"));
    EXPECT_TRUE(
        written.startsWith("NORAK-Zevez\r\n;Fecha;Hora;Periodo Inicial;Velocidad Inicial (Km/h);\r\n"
                           ";06/12/2026;19:45;4;5,9;\r\n"));
    EXPECT_TRUE(
        written.contains("\r\n;1;Bego\xF1"
                         "a;;05:00;8;;;\r\n"));
    EXPECT_EQ(f.table.resultsExported(), 1);
    EXPECT_TRUE(f.fakes.messages.m_shown.empty());
    EXPECT_TRUE(f.fakes.sound.m_alerts.empty());
}

TEST(ResultsExport, NothingWithoutANamedRowCancelAndFailureKeepTheFlag) {
    Fixture f;
    f.table.setCell(kColPeriods, 2, QStringLiteral("3"));  // results, but no name
    f.fakes.saveDialog.m_answer = QStringLiteral("/tmp/x.txt");
    EXPECT_EQ(f.actions.exportResults(f.facts), ResultsActions::ExportOutcome::NothingToExport);
    EXPECT_TRUE(f.fakes.saveDialog.m_requests.empty());

    f.table.setCell(kColName, 2, QStringLiteral("Ana"));
    f.fakes.saveDialog.m_answer.reset();
    EXPECT_EQ(f.actions.exportResults(f.facts), ResultsActions::ExportOutcome::Cancelled);
    EXPECT_EQ(f.table.resultsExported(), 0);
    EXPECT_TRUE(f.fakes.files.m_files.isEmpty());

    f.fakes.saveDialog.m_answer = QStringLiteral("/tmp/x.txt");
    f.fakes.files.m_failWrites = true;
    EXPECT_EQ(f.actions.exportResults(f.facts), ResultsActions::ExportOutcome::Failed);
    EXPECT_EQ(f.table.resultsExported(), 0);
    EXPECT_EQ(f.fakes.sound.m_alerts, std::vector<int>{kAlertWarning});
    ASSERT_EQ(f.fakes.messages.m_shown.size(), 1u);
    EXPECT_EQ(f.fakes.messages.m_shown[0].kind, QStringLiteral("warning"));
    EXPECT_EQ(f.fakes.messages.m_shown[0].caption, QStringLiteral("Información"));
    EXPECT_EQ(f.fakes.messages.m_shown[0].text, kFailureText);

    // After one success, a cancelled or failed export leaves the flag at 1.
    f.fakes.files.m_failWrites = false;
    EXPECT_EQ(f.actions.exportResults(f.facts), ResultsActions::ExportOutcome::Written);
    f.fakes.files.m_failWrites = true;
    EXPECT_EQ(f.actions.exportResults(f.facts), ResultsActions::ExportOutcome::Failed);
    f.fakes.saveDialog.m_answer.reset();
    EXPECT_EQ(f.actions.exportResults(f.facts), ResultsActions::ExportOutcome::Cancelled);
    EXPECT_EQ(f.table.resultsExported(), 1);
}

TEST(ResultsExport, ExportFolderCannotBeMadeTheDialogOpensAtHome) {
    Fixture f;
    f.table.setCell(kColName, 1, QStringLiteral("Ana"));
    f.fakes.files.m_failCreateFolder = true;
    f.fakes.files.m_homeFolder = QStringLiteral("/home/coach");
    f.actions.exportResults(f.facts);
    ASSERT_EQ(f.fakes.saveDialog.m_requests.size(), 1u);
    EXPECT_EQ(f.fakes.saveDialog.m_requests[0].folder, QStringLiteral("/home/coach/"));
    EXPECT_EQ(f.fakes.saveDialog.m_requests[0].proposedPath,
              QStringLiteral("/home/coach/NORAK-Zevez_06-12-26.txt"));
}

TEST(ResultsExport, RealFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Fixture f;
    f.fakes.files.m_useRealFiles = true;
    f.facts.programDir = dir.path();  // without the final "/": one is added
    f.nameAndRecord(2, QStringLiteral("Íñigo"), QStringLiteral("5"));

    // The missing export folder is created and the file written there.
    const QString exportFolder = dir.path() + QStringLiteral("/Export/");
    f.fakes.saveDialog.m_answer = exportFolder + QStringLiteral("NORAK-Zevez_06-12-26.txt");
    EXPECT_EQ(f.actions.exportResults(f.facts), ResultsActions::ExportOutcome::Written);
    EXPECT_EQ(f.fakes.saveDialog.m_requests[0].folder, exportFolder);
    QFile written(*f.fakes.saveDialog.m_answer);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    EXPECT_EQ(bytes.count("\r\n"), 16);
    EXPECT_TRUE(bytes.contains(";2;\xCD\xF1igo;;05:00;5;;;\r\n"));
    written.close();

    // A path below a regular file cannot be written, even by root: message, flag unchanged,
    // and nothing is left behind.
    f.table.setResultsExported(0);
    const QString plainFile = dir.filePath(QStringLiteral("plain"));
    {
        QFile plain(plainFile);
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
        plain.write("keep");
    }
    f.fakes.saveDialog.m_answer = plainFile + QStringLiteral("/x.txt");
    EXPECT_EQ(f.actions.exportResults(f.facts), ResultsActions::ExportOutcome::Failed);
    EXPECT_EQ(f.table.resultsExported(), 0);
    ASSERT_EQ(f.fakes.messages.m_shown.size(), 1u);
    EXPECT_EQ(f.fakes.messages.m_shown[0].text, kFailureText);
    QFile plain(plainFile);
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
    EXPECT_EQ(plain.readAll(), QByteArray("keep"));

    // The export folder cannot be made below a regular file either: the dialog opens at home.
    f.facts.programDir = plainFile + QLatin1Char('/');
    f.fakes.files.m_homeFolder = dir.path();
    f.fakes.saveDialog.m_answer.reset();
    EXPECT_EQ(f.actions.exportResults(f.facts), ResultsActions::ExportOutcome::Cancelled);
    EXPECT_EQ(f.fakes.saveDialog.m_requests.back().folder, dir.path() + QLatin1Char('/'));
}

TEST(ClearTable, OkEmptiesEverythingCancelChangesNothing) {
    Fixture f;
    f.nameAndRecord(1, QStringLiteral("Ana"), QStringLiteral("2"));
    f.table.setCell(kColCode, 1, QStringLiteral("C1"));
    f.roster.activateAthleteButtons();
    f.table.setResultsExported(1);

    f.fakes.messages.m_answers = {false};
    EXPECT_FALSE(f.actions.clearTable());
    EXPECT_EQ(f.table.cell(kColName, 1), QStringLiteral("Ana"));
    EXPECT_EQ(f.table.cell(kColPeriods, 1), QStringLiteral("2"));
    EXPECT_TRUE(f.roster.isShown(1));

    f.fakes.messages.m_answers = {true};
    EXPECT_TRUE(f.actions.clearTable());
    for (int column = 0; column < 7; ++column)
        EXPECT_TRUE(f.table.cell(column, 1).isEmpty());
    EXPECT_EQ(f.roster.shownCount(), 0);
    EXPECT_EQ(f.table.resultsExported(), 0);  // results erased after the export

    EXPECT_EQ(f.fakes.sound.m_alerts, (std::vector<int>{kAlertQuestion, kAlertQuestion}));
    ASSERT_EQ(f.fakes.messages.m_shown.size(), 2u);
    EXPECT_EQ(f.fakes.messages.m_shown[0].kind, QStringLiteral("okcancel"));
    EXPECT_EQ(f.fakes.messages.m_shown[0].caption, QStringLiteral("Borrar datos"));
    EXPECT_EQ(
        f.fakes.messages.m_shown[0].text,
        QStringLiteral("¿Realmente desea borrar todos los datos que actualmente se encuentran en la Tabla de "
                       "resultados de los deportistas?"));
}

TEST(NewTest, SaveQuestionForResultsInAnyRow) {
    for (int row : {1, 9}) {
        // No: results cleared without an export, names and codes kept.
        Fixture f;
        f.nameAndRecord(row, QStringLiteral("Ana"), QStringLiteral("6"));
        f.table.setCell(kColCode, row, QStringLiteral("A1"));
        f.fakes.messages.m_answers = {false};
        f.actions.prepareNewTest(f.facts);
        ASSERT_EQ(f.kinds(), QStringList{QStringLiteral("yesno")}) << row;
        EXPECT_EQ(f.fakes.messages.m_shown[0].caption, QStringLiteral("Guardar datos"));
        EXPECT_EQ(f.fakes.messages.m_shown[0].text,
                  QStringLiteral("Los registros de la anterior prueba de esfuerzo aún no han sido exportados "
                                 "¿Desea guardarlos ahora?"));
        EXPECT_EQ(f.fakes.sound.m_alerts, std::vector<int>{kAlertQuestion});
        EXPECT_TRUE(f.fakes.saveDialog.m_requests.empty());
        EXPECT_TRUE(f.table.cell(kColPeriods, row).isEmpty());
        EXPECT_TRUE(f.table.cell(kColTime, row).isEmpty());
        EXPECT_EQ(f.table.cell(kColName, row), QStringLiteral("Ana"));
        EXPECT_EQ(f.table.cell(kColCode, row), QStringLiteral("A1"));
        EXPECT_EQ(f.table.resultsExported(), 0);
    }
}

TEST(NewTest, YesExportsThenClearsUnlessTheExportDidNotHappen) {
    {
        Fixture f;
        f.nameAndRecord(3, QStringLiteral("Ana"), QStringLiteral("6"));
        f.fakes.messages.m_answers = {true};
        f.fakes.saveDialog.m_answer = QStringLiteral("/tmp/t.txt");
        f.actions.prepareNewTest(f.facts);
        EXPECT_TRUE(f.fakes.files.m_files.contains(QStringLiteral("/tmp/t.txt")));
        EXPECT_TRUE(f.table.cell(kColPeriods, 3).isEmpty());
        EXPECT_EQ(f.table.resultsExported(), 0);
    }
    {
        // Yes, then Cancel in the dialog: the results survive and the next new test asks again.
        Fixture f;
        f.nameAndRecord(3, QStringLiteral("Ana"), QStringLiteral("6"));
        f.fakes.messages.m_answers = {true};
        f.actions.prepareNewTest(f.facts);
        EXPECT_EQ(f.table.cell(kColPeriods, 3), QStringLiteral("6"));
        f.fakes.messages.m_answers = {false};
        f.actions.prepareNewTest(f.facts);
        EXPECT_EQ(f.kinds(), (QStringList{"yesno", "yesno"}));
        EXPECT_TRUE(f.table.cell(kColPeriods, 3).isEmpty());
    }
}

TEST(NewTest, AfterAnExportNoQuestionAndResultsCleared) {
    Fixture f;
    f.nameAndRecord(2, QStringLiteral("Ana"), QStringLiteral("6"));
    f.table.setResultsExported(1);
    f.actions.prepareNewTest(f.facts);
    EXPECT_TRUE(f.fakes.messages.m_shown.empty());
    EXPECT_TRUE(f.table.cell(kColPeriods, 2).isEmpty());
    EXPECT_EQ(f.table.cell(kColName, 2), QStringLiteral("Ana"));
    EXPECT_EQ(f.table.resultsExported(), 0);

    // Nothing recorded: no question, names untouched.
    f.actions.prepareNewTest(f.facts);
    EXPECT_TRUE(f.fakes.messages.m_shown.empty());
    EXPECT_EQ(f.table.cell(kColName, 2), QStringLiteral("Ana"));
}

TEST(Leave, SaveQuestionFirstThenTheLeaveQuestion) {
    Fixture f;
    f.nameAndRecord(5, QStringLiteral("Ana"), QStringLiteral("6"));
    f.fakes.saveDialog.m_answer = QStringLiteral("/tmp/leave.txt");
    f.fakes.messages.m_answers = {true, false};  // export, then stay
    EXPECT_FALSE(f.actions.confirmLeave(f.facts));
    EXPECT_EQ(f.kinds(), (QStringList{"yesno", "okcancel"}));
    EXPECT_TRUE(f.fakes.files.m_files.contains(QStringLiteral("/tmp/leave.txt")));
    EXPECT_EQ(f.table.resultsExported(), 1);
    EXPECT_EQ(f.fakes.messages.m_shown[1].caption, QStringLiteral("Salir de NORAK-Zevez"));
    EXPECT_EQ(f.fakes.messages.m_shown[1].text, QStringLiteral("Esto finaliza su sesión con NORAK-Zevez."));
    EXPECT_EQ(f.fakes.sound.m_alerts, (std::vector<int>{kAlertQuestion, kAlertQuestion}));

    // Exported now: only the leave question.
    f.fakes.messages.m_shown.clear();
    f.fakes.messages.m_answers = {true};
    EXPECT_TRUE(f.actions.confirmLeave(f.facts));
    EXPECT_EQ(f.kinds(), QStringList{QStringLiteral("okcancel")});

    // No to the save question: nothing written, results kept, and the leave question follows.
    Fixture g;
    g.nameAndRecord(1, QStringLiteral("Ana"), QStringLiteral("6"));
    g.fakes.messages.m_answers = {false, true};
    EXPECT_TRUE(g.actions.confirmLeave(g.facts));
    EXPECT_EQ(g.kinds(), (QStringList{"yesno", "okcancel"}));
    EXPECT_TRUE(g.fakes.saveDialog.m_requests.empty());
    EXPECT_EQ(g.table.cell(kColPeriods, 1), QStringLiteral("6"));
}
