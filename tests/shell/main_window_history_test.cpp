#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "engine/Edition.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryWriter.h"
#include "platform/fakes/FakePlatform.h"
#include "results/CellText.h"
#include "results/ResultsTable.h"
#include "results/TestRun.h"
#include "shell/HistoryAccess.h"
#include "shell/HistorySquadPicker.h"
#include "shell/HistoryWindow.h"
#include "shell/ResultsPanel.h"
#include "shell/RunAssembly.h"
#include "shell/TestFut1.h"
#include "shell/TopBarLayout.h"
#include "shell/controls/FlatButton.h"
#include "support/FakeTime.h"
#include "support/HistorySamples.h"

using namespace norak;

namespace {

// The real test window on fake time, keeping its history in a folder of the test's own.
struct Window {
    Window() : form(kEditionZevez, fakes.platform()), time(fakes, form) { form.FormActivate(); }
    QString path() const { return dir.filePath(QStringLiteral("norak/historial.sqlite")); }
    FlatButton* historial() const { return form.topButton(kTopBarHistorial); }
    void flushHistory() {
        form.features().historyWriter()->flush();
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    FakePlatform fakes;
    TForm1 form;
    norak::testing::FakeTime<TForm1> time;
};

}  // namespace

// "Historial" sits in the top bar between Stop and Ayuda, in the bar's looks; it is enabled
// between tests once a history is kept, never while a test runs; it opens the history window
// with the test just kept, and a Start puts the window away.
TEST(MainWindowHistory, HistorialIsEnabledBetweenTestsAndShowsTheTestJustKept) {
    Window w;
    EXPECT_FALSE(w.historial()->isEnabled()) << "no history kept: nothing to open";
    w.form.keepHistory(w.path());
    EXPECT_EQ(w.historial()->caption(), QStringLiteral("Historial"));
    EXPECT_FALSE(w.historial()->hint().isEmpty());
    EXPECT_EQ(w.historial()->faceColor(), w.form.topButton(kTopBarStop)->faceColor());
    EXPECT_EQ(w.historial()->geometry(), topBarLayout(826)[kTopBarHistorial]);
    EXPECT_TRUE(w.historial()->isEnabled());

    for (int row = 1; row <= 3; ++row)
        w.form.testRun().table().setCell(kColName, row, QStringLiteral("J%1").arg(row));
    w.form.BitBtnEmpezarClick();
    w.form.testRun().chooseMode(TestMode::Esfuerzo);
    w.form.BitBtnStartClick();
    ASSERT_TRUE(w.form.testRun().isRunning());
    EXPECT_FALSE(w.historial()->isEnabled());
    w.form.BitBtnHistorialClick();
    EXPECT_EQ(w.form.history()->window(), nullptr) << "no history window during a test";
    w.time.runFor(4000);
    EXPECT_FALSE(w.historial()->isEnabled());
    w.form.BitBtnStopClick();
    EXPECT_TRUE(w.historial()->isEnabled());

    w.form.move(40, 30);
    w.form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.form));
    QTest::mouseClick(w.historial(), Qt::LeftButton);
    HistoryWindow* window = w.form.history()->window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    // It covers the test window whole: no strip of it shows beside the history's buttons.
    EXPECT_TRUE(window->frameGeometry().contains(w.form.frameGeometry()))
        << window->frameGeometry().width() << "x" << window->frameGeometry().height();
    ASSERT_EQ(window->testList()->rowCount(), 1);
    EXPECT_EQ(window->testList()->item(0, 4)->text(), QStringLiteral("3"));  // its players

    // A name corrected after Stop reaches the open window.
    w.form.testRun().table().setData(w.form.testRun().table().index(1, kColName), QStringLiteral("Eva"));
    w.flushHistory();
    window->testList()->selectRow(0);
    EXPECT_EQ(window->testTable()->item(1, kColName)->text(), QStringLiteral("Eva"));

    // Nothing syncs with the club's server during a test.
    auto* sync = window->findChild<QPushButton*>(QStringLiteral("BtnSincronizar"));
    ASSERT_NE(sync, nullptr);
    EXPECT_TRUE(sync->isEnabled());

    w.form.BitBtnNuevoClick();
    w.form.BitBtnStartClick();
    ASSERT_TRUE(w.form.testRun().isRunning());
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(w.historial()->isEnabled());
    EXPECT_FALSE(sync->isEnabled());
    w.time.runFor(2000);
    w.form.BitBtnStopClick();
    EXPECT_TRUE(sync->isEnabled());
}

// "Cargar" offers a file or a past test; the past test's players come as the squad, each in the
// row they ran in, after the usual question when the table holds names. Tests of another edition
// are not offered.
TEST(MainWindowHistory, CargarOffersThePlayersOfAPastTest) {
    Window w;
    StoredTest past = sampleTest(kEditionZevez, 12, 3, 5);
    past.rows.removeAt(1);  // row 2 was empty in that test
    {
        HistoryDatabase db;
        ASSERT_EQ(db.open(w.path()).status, HistoryOpening::Status::Ready);
        ASSERT_TRUE(db.store(past).ok());
        ASSERT_TRUE(db.store(sampleTest(kEditionFutbol, 12, 4, 5)).ok());
    }
    w.form.keepHistory(w.path());
    QToolButton* cargar = w.form.resultsPanel()->loadButton();
    ASSERT_TRUE(cargar->isEnabled());
    QTest::mouseClick(cargar, Qt::LeftButton);
    QMenu* menu = w.form.history()->loadMenu();
    EXPECT_TRUE(menu->isVisible());
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("Desde un archivo…"));
    EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("Desde una prueba del historial…"));
    menu->hide();

    menu->actions()[0]->trigger();  // the file, as before: the open dialog (cancelled here)
    EXPECT_EQ(w.fakes.saveDialog.m_openRequests.size(), 1u);

    w.form.testRun().table().setCell(kColName, 1, QStringLiteral("Otro"));
    menu->actions()[1]->trigger();
    HistorySquadPicker* picker = w.form.history()->squadPicker();
    ASSERT_NE(picker, nullptr);
    ASSERT_EQ(picker->testList()->rowCount(), 1) << "only this edition's tests";
    EXPECT_FALSE(picker->loadButton()->isEnabled());
    picker->testList()->selectRow(0);
    ASSERT_TRUE(picker->loadButton()->isEnabled());
    w.fakes.messages.m_answers = {true};  // replace the names
    QTest::mouseClick(picker->loadButton(), Qt::LeftButton);
    const ResultsTable& table = w.form.testRun().table();
    EXPECT_EQ(table.cell(kColName, 1), past.rows[0].name());
    EXPECT_EQ(table.cell(kColCode, 1), past.rows[0].code());
    EXPECT_TRUE(table.cell(kColName, 2).isEmpty());
    EXPECT_EQ(table.cell(kColName, 3), past.rows[1].name());
    EXPECT_EQ(table.cell(kColName, 5), past.rows[3].name());
    EXPECT_TRUE(table.cell(kColName, 6).isEmpty());
    ASSERT_FALSE(w.fakes.messages.m_shown.empty());
    EXPECT_EQ(w.fakes.messages.m_shown.back().kind, QStringLiteral("yesno"));
}
