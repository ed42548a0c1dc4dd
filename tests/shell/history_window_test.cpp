#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "history/HistoryDatabase.h"
#include "history/HistoryExport.h"
#include "shell/ClubServerDialog.h"
#include "shell/HistoryWindow.h"
#include "shell/QtColor.h"
#include "support/HistorySamples.h"

using namespace norak;

namespace {

class HistoryWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(db.open(dir.filePath(QStringLiteral("historial.sqlite"))).status,
                  HistoryOpening::Status::Ready);
        for (int index = 0; index < 3; ++index) {
            tests << sampleTest(kEditionZevez, 31, index, 4);
            ASSERT_TRUE(db.store(tests.back()).ok());
        }
        services.chooseSavePath = [this](const QString&, const QString& proposed) {
            proposedNames << proposed;
            return dir.filePath(proposed);
        };
        services.ask = [this](const QString& question) {
            questions << question;
            return true;
        };
        services.tell = [this](const QString& text) { told << text; };
        services.report = [this](const StoredTest& test) { reported << test.uuid; };
    }

    void select(QTableWidget* list, const QList<int>& rows) {
        list->clearSelection();
        for (int row : rows)
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    static QList<int> selectedRows(QTableWidget* list) {
        QList<int> rows;
        for (const QModelIndex& index : list->selectionModel()->selectedRows())
            rows << index.row();
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    QTemporaryDir dir;
    HistoryDatabase db;
    QList<StoredTest> tests;
    HistoryWindowServices services;
    QStringList proposedNames;
    QStringList questions;
    QStringList told;
    QStringList reported;
};

}  // namespace

// The three tabs list the history; a test opens as its table was and is written again as its
// export; deleting asks first; the buttons follow the selection.
TEST_F(HistoryWindowTest, TestsTabShowsExportsAndDeletes) {
    HistoryWindow window(db, editionRecord(kEditionZevez), services);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_EQ(window.tabs()->count(), 3);
    EXPECT_EQ(window.tabs()->tabText(0), QStringLiteral("Pruebas"));
    EXPECT_EQ(window.tabs()->tabText(1), QStringLiteral("Deportistas"));
    EXPECT_EQ(window.tabs()->tabText(2), QStringLiteral("Equipo"));
    ASSERT_EQ(window.testList()->rowCount(), 3);
    EXPECT_EQ(window.playerList()->rowCount(), 4);
    EXPECT_EQ(window.teamList()->rowCount(), 4);
    EXPECT_FALSE(window.exportButton()->isEnabled());
    EXPECT_FALSE(window.deleteButton()->isEnabled());
    EXPECT_FALSE(window.reportButton()->isEnabled());
    EXPECT_TRUE(window.historyExportButton()->isEnabled());

    // Newest first: row 0 is the last test stored.
    select(window.testList(), {0});
    EXPECT_TRUE(window.exportButton()->isEnabled());
    EXPECT_TRUE(window.deleteButton()->isEnabled());
    ASSERT_EQ(window.testTable()->rowCount(), 12);
    const StoredTest& newest = tests[2];
    EXPECT_EQ(window.testTable()->item(0, kColName)->text(), newest.rows[0].name());
    EXPECT_EQ(window.testTable()->item(3, kColDistance)->text(), newest.rows[3].cells[kColDistance]);
    EXPECT_EQ(window.testTable()->item(4, kColName), nullptr);  // the table's empty rows stay empty

    QTest::mouseClick(window.exportButton(), Qt::LeftButton);
    ASSERT_EQ(proposedNames.size(), 1);
    EXPECT_EQ(proposedNames[0], HistoryExport::testFileName(newest));
    QFile written(dir.filePath(proposedNames[0]));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), *HistoryExport::testBytes(*db.test(newest.uuid)));

    ASSERT_TRUE(window.reportButton()->isEnabled());
    QTest::mouseClick(window.reportButton(), Qt::LeftButton);
    EXPECT_EQ(reported, QStringList{newest.uuid});

    QTest::mouseClick(window.deleteButton(), Qt::LeftButton);
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(window.testList()->rowCount(), 2);
    EXPECT_FALSE(db.test(newest.uuid));
    EXPECT_FALSE(window.exportButton()->isEnabled());
    EXPECT_TRUE(told.isEmpty());
}

// Selecting a player draws the progression (a point per test, left to right, in the edition's
// color) and lists the tests; rename needs one player and a name, merge exactly two.
TEST_F(HistoryWindowTest, PlayersTabDrawsTheProgressionRenamesAndMerges) {
    HistoryWindow window(db, editionRecord(kEditionZevez), services);
    window.tabs()->setCurrentIndex(1);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_FALSE(window.renameButton()->isEnabled());
    EXPECT_FALSE(window.mergeButton()->isEnabled());

    select(window.playerList(), {0});
    ASSERT_EQ(window.chart()->points().size(), 3);
    EXPECT_EQ(window.playerTests()->rowCount(), 3);
    const QPointF first = window.chart()->pointPosition(0);
    const QPointF last = window.chart()->pointPosition(2);
    EXPECT_LT(first.x(), last.x());
    EXPECT_TRUE(window.chart()->rect().contains(first.toPoint()));
    const QImage drawn = window.chart()->grab().toImage();
    const QColor dot = drawn.pixelColor(last.toPoint());
    EXPECT_EQ(dot, qColor(editionRecord(kEditionZevez).colorMain)) << dot.name().toStdString();
    EXPECT_TRUE(window.renameButton()->isEnabled());
    EXPECT_EQ(window.nameEdit()->text(), window.playerList()->item(0, 0)->text());

    window.nameEdit()->setText(QStringLiteral("Zaira Ortega"));
    window.codeEdit()->setText(QStringLiteral("Z1"));
    QTest::mouseClick(window.renameButton(), Qt::LeftButton);
    ASSERT_EQ(window.playerList()->rowCount(), 4);
    EXPECT_EQ(window.playerList()->item(3, 0)->text(), QStringLiteral("Zaira Ortega"));  // by name
    EXPECT_EQ(window.playerList()->item(3, 1)->text(), QStringLiteral("Z1"));

    select(window.playerList(), {0, 1});
    EXPECT_FALSE(window.renameButton()->isEnabled());
    EXPECT_TRUE(window.mergeButton()->isEnabled());
    QTest::mouseClick(window.mergeButton(), Qt::LeftButton);
    EXPECT_EQ(questions.size(), 1);
    ASSERT_EQ(window.playerList()->rowCount(), 3);
    bool six = false;
    for (int row = 0; row < 3; ++row)
        six = six || window.playerList()->item(row, 2)->text() == QStringLiteral("6");
    EXPECT_TRUE(six) << "the merged player has both entries' tests";
}

// The squad's ranking: each player's latest test, longest first, in thirds; a history of a
// newer program is shown but not changed.
TEST_F(HistoryWindowTest, TeamTabRanksInThirdsAndReadOnlyHistoryDisablesChanges) {
    HistoryWindow window(db, editionRecord(kEditionZevez), services);
    const QList<TeamEntry> team = db.teamRanking();
    ASSERT_EQ(window.teamList()->rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(window.teamList()->item(row, 2)->text(), team[row].name);
        EXPECT_EQ(window.teamList()->item(row, 5)->text(), QStringLiteral("%1 m").arg(*team[row].metres));
    }
    EXPECT_EQ(window.teamList()->item(0, 1)->text(), QStringLiteral("Primero"));
    EXPECT_EQ(window.teamList()->item(3, 1)->text(), QStringLiteral("Tercero"));

    db.close();
    HistoryDatabase empty;
    QTemporaryDir other;
    const QString path = other.filePath(QStringLiteral("nada/historial.sqlite"));
    QFile blocker(other.filePath(QStringLiteral("nada")));  // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ASSERT_EQ(empty.open(path).status, HistoryOpening::Status::Unavailable);
    HistoryWindow unavailable(empty, editionRecord(kEditionZevez), services);
    EXPECT_EQ(unavailable.testList()->rowCount(), 0);
    EXPECT_FALSE(unavailable.importButton()->isEnabled());
    EXPECT_FALSE(unavailable.historyExportButton()->isEnabled());
}

// The import runs beside the window: the button waits while it works, then the lists show the
// imported tests and one message tells what was taken and what was skipped, and why.
TEST_F(HistoryWindowTest, ImportRunsBesideTheWindowAndTellsOnce) {
    QTemporaryDir exports;
    for (int index : {10, 11}) {
        const StoredTest test = sampleTest(kEditionZevez, 77, index, 3);
        QFile file(exports.filePath(HistoryExport::testFileName(test)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(*HistoryExport::testBytes(test));
    }
    QFile notes(exports.filePath(QStringLiteral("notas.txt")));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("la lista de la compra\r\n");
    notes.close();
    services.chooseFolder = [&](const QString&) { return exports.path(); };

    HistoryWindow window(db, editionRecord(kEditionZevez), services);
    QSignalSpy finished(&window, &HistoryWindow::importFinished);
    QTest::mouseClick(window.importButton(), Qt::LeftButton);
    EXPECT_FALSE(window.importButton()->isEnabled());
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_TRUE(window.importButton()->isEnabled());
    EXPECT_EQ(window.testList()->rowCount(), 5);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(QStringLiteral("Pruebas importadas: 2."))) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains(QStringLiteral("notas.txt"))) << told[0].toStdString();
}

// The open window reads the lists again after every store (a test kept at Stop, a rename, a
// merge): the selected test and player stay selected and shown, each list where it was scrolled
// to, and a name being typed stays; a player merged away leaves the one that stays selected.
TEST_F(HistoryWindowTest, ReloadKeepsTheSelectionAndWhereTheListsWere) {
    for (int index = 3; index < 40; ++index)
        ASSERT_TRUE(db.store(sampleTest(kEditionZevez, 31, index, 4)).ok());
    HistoryWindow window(db, editionRecord(kEditionZevez), services);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_EQ(window.testList()->rowCount(), 40);
    select(window.testList(), {30});
    const QString looked = db.tests()[30].uuid;
    QCoreApplication::processEvents();                    // the lists laid out as the coach sees them
    window.testList()->verticalScrollBar()->setValue(5);  // the selected row out of sight below
    window.testTable()->verticalScrollBar()->setValue(2);
    ASSERT_EQ(window.testList()->verticalScrollBar()->value(), 5);
    ASSERT_GT(window.testList()->visualRect(window.testList()->model()->index(30, 0)).top(),
              window.testList()->viewport()->height());
    ASSERT_EQ(window.testTable()->verticalScrollBar()->value(), 2);

    // A test is stored at Stop: the newest comes first, the one looked at moves down by one.
    ASSERT_TRUE(db.store(sampleTest(kEditionZevez, 31, 40, 4)).ok());
    window.reload();
    ASSERT_EQ(window.testList()->rowCount(), 41);
    ASSERT_EQ(db.tests()[31].uuid, looked);
    EXPECT_EQ(selectedRows(window.testList()), QList<int>{31});
    ASSERT_EQ(window.testTable()->rowCount(), 12);
    EXPECT_EQ(window.testTable()->item(0, kColName)->text(), db.test(looked)->rows[0].name());
    EXPECT_EQ(window.testList()->verticalScrollBar()->value(), 5);
    EXPECT_EQ(window.testTable()->verticalScrollBar()->value(), 2);
    EXPECT_TRUE(window.exportButton()->isEnabled());

    // A player looked at, a new name half typed, and another test stored meanwhile.
    window.tabs()->setCurrentIndex(1);
    select(window.playerList(), {2});
    const QString player = window.playerList()->item(2, 0)->text();
    ASSERT_EQ(window.chart()->points().size(), 41);
    window.nameEdit()->setText(QStringLiteral("Nerea G"));
    ASSERT_TRUE(db.store(sampleTest(kEditionZevez, 31, 41, 4)).ok());
    window.reload();
    EXPECT_EQ(window.tabs()->currentIndex(), 1);
    ASSERT_EQ(selectedRows(window.playerList()), QList<int>{2});
    EXPECT_EQ(window.playerList()->item(2, 0)->text(), player);
    EXPECT_EQ(window.chart()->points().size(), 42);
    EXPECT_EQ(window.playerTests()->rowCount(), 42);
    EXPECT_EQ(window.nameEdit()->text(), QStringLiteral("Nerea G"));

    // Renamed: the same player stays selected under the name as kept (trimmed).
    window.nameEdit()->setText(QStringLiteral("  Zaira Ortega "));
    QTest::mouseClick(window.renameButton(), Qt::LeftButton);
    const QList<int> renamed = selectedRows(window.playerList());
    ASSERT_EQ(renamed.size(), 1);
    EXPECT_EQ(window.playerList()->item(renamed[0], 0)->text(), QStringLiteral("Zaira Ortega"));
    EXPECT_EQ(window.nameEdit()->text(), QStringLiteral("Zaira Ortega"));
    EXPECT_EQ(window.chart()->points().size(), 42);
    EXPECT_TRUE(window.renameButton()->isEnabled());

    // Merged: of the two, the one that stays is selected, with both entries' tests.
    select(window.playerList(), {0, 1});
    const int together =
        window.playerList()->item(0, 2)->text().toInt() + window.playerList()->item(1, 2)->text().toInt();
    QTest::mouseClick(window.mergeButton(), Qt::LeftButton);
    const QList<int> merged = selectedRows(window.playerList());
    ASSERT_EQ(merged.size(), 1);
    EXPECT_EQ(window.playerList()->item(merged[0], 2)->text().toInt(), together);
    EXPECT_EQ(window.chart()->points().size(), together);

    // A test deleted is not selected any more.
    window.tabs()->setCurrentIndex(0);
    QTest::mouseClick(window.deleteButton(), Qt::LeftButton);
    EXPECT_TRUE(selectedRows(window.testList()).isEmpty());
    EXPECT_EQ(window.testTable()->rowCount(), 0);
    EXPECT_FALSE(window.exportButton()->isEnabled());
}

// Escape puts the window away from its lists and its fields; a dialog over it takes its own.
TEST_F(HistoryWindowTest, EscapeClosesTheWindowButNotFromItsDialog) {
    HistoryWindow window(db, editionRecord(kEditionZevez), services);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.clubServerButton()->click();
    ClubServerDialog* dialog = window.clubServerDialog();
    ASSERT_TRUE(dialog && dialog->isVisible());
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(window.isVisible());

    window.testList()->selectRow(1);
    QTest::keyClick(window.testList(), Qt::Key_Down);  // other keys stay with the list
    EXPECT_EQ(selectedRows(window.testList()), QList<int>{2});
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(window.testList(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());

    window.show();
    window.tabs()->setCurrentIndex(1);
    window.nameEdit()->setText(QStringLiteral("Lucía"));
    QTest::keyClick(window.nameEdit(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.nameEdit()->text(), QStringLiteral("Lucía"));
}
