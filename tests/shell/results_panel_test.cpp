#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <memory>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/ReportData.h"
#include "results/ResultsGeometry.h"
#include "results/ResultsTable.h"
#include "results/RunRecord.h"
#include "results/SquadLoader.h"
#include "results/TestRun.h"
#include "shell/AthleteButton.h"
#include "shell/CellLineEdit.h"
#include "shell/ResultsGrid.h"
#include "shell/ResultsPanel.h"
#include "support/FakeReportRenderer.h"

using namespace norak;

namespace {

// A shown results panel of an edition on fake platform services.
struct PanelFixture {
    explicit PanelFixture(int edition = kEditionZevez, int tableWidth = 222)
        : run(edition, fakes.platform()), panel(editionRecord(edition), run, tableWidth) {
        panel.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&panel));
    }

    ResultsTable& table() { return panel.table(); }
    ResultsGrid* grid() { return panel.grid(); }
    QPoint cellCentre(int column, int row) {
        return grid()->visualRect(table().index(row - 1, column)).center();
    }
    void click(int column, int row) {
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(column, row));
    }
    // As a mouse sends it: press, release, double-click press, release.
    void doubleClick(int column, int row) {
        click(column, row);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(column, row));
        QTest::mouseRelease(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(column, row));
    }
    // The open editor of a cell, after a click on it.
    CellLineEdit* editorOf(int column, int row) {
        return qobject_cast<CellLineEdit*>(grid()->indexWidget(table().index(row - 1, column)));
    }
    CellLineEdit* openEditor(int column, int row) {
        click(column, row);
        return editorOf(column, row);
    }

    // "Test de esfuerzo" from period 1 without warm-up, started.
    void startTest() {
        run.activate();
        run.chooseMode(TestMode::Esfuerzo);
        if (run.display().warmUpChecked)
            run.setWarmUp(false);
        run.start();
    }
    // Moves the fake time on and lets the running pacing timer look at it.
    void runFor(qint64 ms) {
        for (qint64 t = 0; t < ms; t += 10) {
            fakes.ticks.advance(10);
            fakes.clock.advanceMs(10);
            if (run.isTimerOn(TestSession::Timer::Effort))
                run.effortTick();
            else if (run.isTimerOn(TestSession::Timer::Recovery))
                run.recoveryTick();
        }
    }

    FakePlatform fakes;
    TestRun run;
    ResultsPanel panel;
};

// Key presses carrying any text, as a keyboard layout would send them.
void typeText(QWidget* widget, const QString& text) {
    for (const uint point : text.toUcs4()) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&point), 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, one);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, one);
        QApplication::sendEvent(widget, &release);
    }
}

void paste(QWidget* editor, const QString& clipboardText) {
    QGuiApplication::clipboard()->setText(clipboardText);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
}

}  // namespace

TEST(ResultsPanel, ControlsAndLayout) {
    PanelFixture f;
    ResultsPanel& panel = f.panel;
    EXPECT_EQ(panel.objectName(), QStringLiteral("PanelDeportistas"));
    EXPECT_EQ(panel.size(), ResultsPanel::panelSize(kEditionZevez, 12, 222));
    EXPECT_EQ(panel.palette().color(QPalette::Window), QColor(119, 138, 83));
    EXPECT_EQ(panel.titleBar()->text(), QStringLiteral("Deportistas"));
    EXPECT_EQ(panel.frame()->objectName(), QStringLiteral("PanelReg_SJp"));
    EXPECT_EQ(panel.frame()->size(), frameSize(kEditionZevez, 12, 222));
    EXPECT_EQ(panel.grid()->objectName(), QStringLiteral("HyperGrid_Sujetos"));
    EXPECT_EQ(panel.popupMenu()->objectName(), QStringLiteral("PopupMenu_HG"));
    EXPECT_EQ(panel.reactivateAction()->objectName(), QStringLiteral("Volveraactivar1"));
    EXPECT_EQ(panel.reactivateAction()->text(), QStringLiteral("Volver a activar..."));

    // Tool buttons: disabled at creation, at the title bar's right end, export rightmost.
    QToolButton* clear = panel.findChild<QToolButton*>(QStringLiteral("BtnBorrarTabla"));
    QToolButton* exporter = panel.findChild<QToolButton*>(QStringLiteral("BtnExportDatos"));
    ASSERT_TRUE(clear && exporter);
    EXPECT_FALSE(clear->isEnabled());
    EXPECT_FALSE(exporter->isEnabled());
    EXPECT_EQ(clear->toolTip(),
              QStringLiteral("Borrar todos los datos de la Tabla de resultados de los sujetos"));
    EXPECT_EQ(exporter->toolTip(), QStringLiteral("Exportar los registros de todos los Sujetos"));
    EXPECT_LT(clear->geometry().right(), exporter->geometry().left());
    EXPECT_TRUE(panel.titleBar()->geometry().contains(exporter->geometry()));
    EXPECT_LE(exporter->geometry().right(), panel.width() - 1);
    panel.setTableButtonsEnabled(true);
    EXPECT_TRUE(clear->isEnabled() && exporter->isEnabled());

    // Grid: 31 + 1 title row, 19 + 1 rows, columns from the table width.
    ResultsGrid* grid = panel.grid();
    EXPECT_EQ(grid->horizontalHeader()->height(), 32);
    EXPECT_EQ(grid->rowHeight(0), 20);
    const QList<int> widths = columnWidths(kEditionZevez, 222);
    for (int column = 0; column < 7; ++column)
        EXPECT_EQ(grid->columnWidth(column), widths[column] + 1);
    EXPECT_EQ(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(grid->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_TRUE(panel.rect().contains(panel.frame()->geometry()));

    // Athlete buttons: hidden, left of the frame, each level with its own row of the grid.
    const int frameLeft = panel.frame()->x();
    for (int i = 1; i <= 14; ++i) {
        AthleteButton* button = panel.athleteButton(i);
        ASSERT_TRUE(button);
        EXPECT_EQ(button->objectName(), QStringLiteral("B%1").arg(i, 2, 10, QLatin1Char('0')));
        EXPECT_EQ(button->athlete(), i);
        EXPECT_TRUE(button->isHidden());
        EXPECT_EQ(button->x(), frameLeft - button->width() - 1);
        EXPECT_EQ(button->height(), kDataRowHeight);
        EXPECT_EQ(button->y(), kTitleRowHeight + panel.frame()->y() + 2 + (i - 1) * 20);
        if (i <= 12) {
            const QRect row = grid->visualRect(f.table().index(i - 1, 0));
            const QPoint rowTop = grid->viewport()->mapTo(&panel, row.topLeft());
            EXPECT_EQ(button->y(), rowTop.y()) << i;
        }
    }
}

// "Informe" stands in the title bar between "Cargar" and the icons, looks like "Cargar", is
// enabled with the export button and hands its click to the test run.
TEST(ResultsPanel, ReportButtonBesideTheToolButtons) {
    PanelFixture f;
    ResultsPanel& panel = f.panel;
    QToolButton* report = panel.findChild<QToolButton*>(QStringLiteral("BtnInforme"));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->text(), QStringLiteral("Informe"));
    EXPECT_EQ(report->toolTip(), QStringLiteral("Crear el informe de la prueba"));
    EXPECT_EQ(report->accessibleDescription(), report->toolTip());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(report)->text(QAccessible::Name), report->text());
    EXPECT_EQ(report->font(), panel.loadButton()->font());
    EXPECT_GT(report->width(), QFontMetrics(report->font()).horizontalAdvance(report->text()));
    EXPECT_TRUE(panel.titleBar()->geometry().contains(report->geometry()));
    EXPECT_LT(panel.loadButton()->geometry().right(), report->geometry().left());
    EXPECT_LT(report->geometry().right(), panel.clearButton()->geometry().left());
    EXPECT_FALSE(report->isEnabled());

    norak::testing::FakeReportRenderer renderer;
    RunRecord record(f.run, f.fakes.platform());  // attached as the window attaches it
    record.setRenderer(&renderer);
    QObject::connect(&panel, &ResultsPanel::reportRequested, &record, &RunRecord::saveReport);
    f.table().setCell(kColName, 1, QStringLiteral("Ana"));
    f.startTest();
    f.runFor(4000);
    f.run.stop();
    panel.setTableButtonsEnabled(f.run.tableButtonsEnabled());
    EXPECT_TRUE(report->isEnabled() && panel.exportButton()->isEnabled());
    QTest::mouseClick(report, Qt::LeftButton);
    ASSERT_EQ(f.fakes.saveDialog.m_requests.size(), 1u);  // cancelled: nothing more
    EXPECT_EQ(f.fakes.saveDialog.m_requests[0].title, kReportDialogTitle);
}

// An assistive tool's Press on a title-bar button returns at once; the click, and the dialog it
// opens, come once the event loop runs (a Press that clicked at once would hold the tool until
// the dialog closed).
TEST(ResultsPanel, TitleBarButtonsReturnFromAnAccessiblePressBeforeTheirDialogs) {
    PanelFixture f;
    // "Informe" and "Cargar" reach their features as the window attaches them.
    norak::testing::FakeReportRenderer renderer;
    RunRecord record(f.run, f.fakes.platform());
    record.setRenderer(&renderer);
    QObject::connect(&f.panel, &ResultsPanel::reportRequested, &record, &RunRecord::saveReport);
    SquadLoader squad(f.run, f.fakes.platform());
    QObject::connect(&f.panel, &ResultsPanel::loadRequested, &squad, &SquadLoader::loadSquad);
    f.table().setCell(kColName, 1, QStringLiteral("Ana"));
    f.startTest();
    f.runFor(4000);
    f.run.stop();
    f.panel.setTableButtonsEnabled(f.run.tableButtonsEnabled());
    f.panel.setLoadEnabled(true);
    f.fakes.messages.m_defaultAnswer = false;  // every question answered No, every dialog cancelled
    FakeSaveDialog& dialog = f.fakes.saveDialog;
    const struct {
        QToolButton* button;
        std::function<std::size_t()> dialogsOpened;
    } buttons[] = {
        {f.panel.exportButton(), [&] { return dialog.m_requests.size(); }},
        {f.panel.reportButton(), [&] { return dialog.m_requests.size(); }},
        {f.panel.clearButton(), [&] { return f.fakes.messages.m_shown.size(); }},
        {f.panel.loadButton(), [&] { return dialog.m_openRequests.size(); }},
    };
    for (const auto& b : buttons) {
        const std::string name = b.button->objectName().toStdString();
        ASSERT_TRUE(b.button->isEnabled()) << name;
        int clicks = 0;
        const QMetaObject::Connection counting =
            QObject::connect(b.button, &QAbstractButton::clicked, [&] { ++clicks; });
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(b.button);
        ASSERT_NE(iface, nullptr) << name;
        EXPECT_EQ(iface->role(), QAccessible::Button) << name;
        EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty()) << name;
        QAccessibleActionInterface* actions = iface->actionInterface();
        ASSERT_NE(actions, nullptr) << name;
        ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction())) << name;
        const std::size_t before = b.dialogsOpened();
        actions->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(clicks, 0) << name;
        EXPECT_EQ(b.dialogsOpened(), before) << name;
        QCoreApplication::processEvents();
        EXPECT_EQ(clicks, 1) << name;
        EXPECT_EQ(b.dialogsOpened(), before + 1) << name;
        QObject::disconnect(counting);
    }
    // Nothing was exported, cleared or loaded.
    EXPECT_EQ(f.table().cell(kColName, 1), QStringLiteral("Ana"));
    EXPECT_TRUE(f.fakes.files.m_files.isEmpty());
}

TEST(ResultsPanel, BasketPanelHasEightColumns) {
    PanelFixture f(kEditionBasket, 300);
    EXPECT_EQ(f.grid()->model()->columnCount(), 8);
    EXPECT_EQ(f.panel.frame()->width(), 323);
    EXPECT_EQ(f.grid()->columnWidth(7), 39);
    EXPECT_EQ(f.panel.palette().color(QPalette::Window), QColor(237, 184, 44));
}

TEST(ResultsGrid, ClickAndDoubleClickModeRules) {
    PanelFixture f(kEditionBasket, 300);
    ResultsGrid* grid = f.grid();
    EXPECT_TRUE(grid->isRowSelectionMode());
    EXPECT_TRUE(grid->tabKeyNavigation());

    f.click(kColPeriods, 2);
    EXPECT_TRUE(grid->isRowSelectionMode());
    EXPECT_EQ(f.table().currentRow(), 2);
    EXPECT_TRUE(grid->selectionModel()->isRowSelected(1, {}));
    EXPECT_FALSE(grid->tabKeyNavigation());

    // A name cell edits at once; only that cell is selected.
    f.click(kColName, 3);
    EXPECT_FALSE(grid->isRowSelectionMode());
    EXPECT_EQ(f.table().currentRow(), 3);
    EXPECT_NE(f.editorOf(kColName, 3), nullptr);
    EXPECT_FALSE(grid->selectionModel()->isRowSelected(2, {}));

    // VO2max leaves the mode as it is, both ways.
    f.click(kColVo2max, 4);
    EXPECT_FALSE(grid->isRowSelectionMode());
    f.click(kColTime, 4);
    EXPECT_TRUE(grid->isRowSelectionMode());
    f.click(kColVo2max, 5);
    EXPECT_TRUE(grid->isRowSelectionMode());

    f.click(kColCode, 6);
    EXPECT_FALSE(grid->isRowSelectionMode());
    EXPECT_NE(f.editorOf(kColCode, 6), nullptr);
    f.click(kColNumber, 6);
    EXPECT_TRUE(grid->isRowSelectionMode());
    EXPECT_EQ(f.editorOf(kColCode, 6), nullptr);

    // A double click edits whatever the column; a result cell still opens no editor.
    f.doubleClick(kColDistance, 7);
    EXPECT_FALSE(grid->isRowSelectionMode());
    EXPECT_EQ(f.table().currentRow(), 7);
    EXPECT_EQ(grid->indexWidget(f.table().index(6, kColDistance)), nullptr);
}

TEST(ResultsGrid, TypingIntoCells) {
    PanelFixture f;
    CellLineEdit* name = f.openEditor(kColName, 1);
    ASSERT_NE(name, nullptr);
    QTest::keyClicks(name, QStringLiteral("Ana;Luis"));
    EXPECT_EQ(name->text(), QStringLiteral("AnaLuis"));
    // Written through to the table while the editor is still open.
    EXPECT_EQ(f.table().cell(kColName, 1), QStringLiteral("AnaLuis"));
    // Characters the export cannot carry do not get in either.
    typeText(name, QStringLiteral("ΩŁ€"));
    EXPECT_EQ(name->text(), QStringLiteral("AnaLuis€"));
    // Typing in the middle keeps the cursor where it was.
    name->setCursorPosition(3);
    QTest::keyClicks(name, QStringLiteral(" "));
    EXPECT_EQ(name->text(), QStringLiteral("Ana Luis€"));
    EXPECT_EQ(name->cursorPosition(), 4);
    // No more than 20 characters.
    QTest::keyClick(name, Qt::Key_End);
    QTest::keyClicks(name, QStringLiteral("abcdefghijklmnop"));
    EXPECT_EQ(f.table().cell(kColName, 1), QStringLiteral("Ana Luis€abcdefghijk"));

    // Accented names are welcome.
    CellLineEdit* other = f.openEditor(kColName, 2);
    ASSERT_NE(other, nullptr);
    typeText(other, QStringLiteral("Íñigo Begoña"));
    EXPECT_EQ(f.table().cell(kColName, 2), QStringLiteral("Íñigo Begoña"));
    EXPECT_EQ(f.table().cell(kColName, 1), QStringLiteral("Ana Luis€abcdefghijk"));

    // Codes: five characters, and no ";" either.
    CellLineEdit* code = f.openEditor(kColCode, 2);
    ASSERT_NE(code, nullptr);
    QTest::keyClicks(code, QStringLiteral("A;1234567"));
    EXPECT_EQ(f.table().cell(kColCode, 2), QStringLiteral("A1234"));
}

TEST(ResultsGrid, PastingDroppingAndInputMethodsAreFiltered) {
    PanelFixture f;
    CellLineEdit* name = f.openEditor(kColName, 4);
    ASSERT_NE(name, nullptr);

    paste(name, QStringLiteral("Íñigo;\tLópez\n😀 García de la Fuente"));
    EXPECT_EQ(f.table().cell(kColName, 4), QStringLiteral("ÍñigoLópez García de"));

    // A paste replaces the selection, and the limit counts only what stays.
    name->selectAll();
    paste(name, QStringLiteral("Ana"));
    EXPECT_EQ(name->text(), QStringLiteral("Ana"));
    name->setSelection(0, 3);
    paste(name, QStringLiteral(";\t😀"));  // nothing acceptable: the text stays as it was
    EXPECT_EQ(name->text(), QStringLiteral("Ana"));

    // An input method's commit.
    name->deselect();
    name->end(false);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral(" Ñ;😀\r\nEva"));
    QApplication::sendEvent(name, &commit);
    EXPECT_EQ(f.table().cell(kColName, 4), QStringLiteral("Ana ÑEva"));

    // A drop from elsewhere.
    QMimeData mime;
    mime.setText(QStringLiteral("\tZ;z"));
    QDropEvent drop(QPointF(name->width() - 2, name->height() / 2), Qt::CopyAction, &mime, Qt::LeftButton,
                    Qt::NoModifier);
    QDragEnterEvent enter(drop.position().toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(name, &enter);
    QApplication::sendEvent(name, &drop);
    EXPECT_EQ(name->text(), QStringLiteral("Ana ÑEvaZz"));

    // The Paste item of the editor's context menu; refused characters take no room.
    name->setText(QStringLiteral("abcdefghijklmnop"));
    QGuiApplication::clipboard()->setText(QStringLiteral(";\t;😀Zz"));
    const std::unique_ptr<QMenu> menu(name->createFilteredContextMenu());
    QAction* pasteItem = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->text().contains(QStringLiteral("Paste")))
            pasteItem = action;
    }
    ASSERT_NE(pasteItem, nullptr);
    pasteItem->trigger();
    EXPECT_EQ(name->text(), QStringLiteral("abcdefghijklmnopZz"));

    // Whatever else sets the text meets the same rules.
    name->setText(QStringLiteral("a;b\tc😀d\u0085e"));
    EXPECT_EQ(name->text(), QStringLiteral("abcde"));

    // Codes: a long paste is cut to five.
    CellLineEdit* code = f.openEditor(kColCode, 4);
    ASSERT_NE(code, nullptr);
    paste(code, QStringLiteral("X;Y\tZ12345"));
    EXPECT_EQ(f.table().cell(kColCode, 4), QStringLiteral("XYZ12"));
}

TEST(ResultsPanel, AthleteButtonsRecordDropoutsAndFollowThePointer) {
    PanelFixture f;
    f.table().setCell(kColName, 2, QStringLiteral("Ana"));
    f.table().setCell(kColName, 5, QStringLiteral("Eva"));
    f.table().setCell(kColName, 6, QStringLiteral("Sara"));
    f.startTest();
    for (int i = 1; i <= 14; ++i)
        EXPECT_EQ(f.panel.athleteButton(i)->isVisible(), i == 2 || i == 5 || i == 6) << i;

    // The pointer over a button puts the grid in row-selection mode on that row.
    f.click(kColName, 1);
    ASSERT_FALSE(f.grid()->isRowSelectionMode());
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), f.panel.athleteButton(5)->mapToGlobal(QPointF(3, 3)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(f.panel.athleteButton(5), &move);
    EXPECT_TRUE(f.grid()->isRowSelectionMode());
    EXPECT_EQ(f.table().currentRow(), 5);
    EXPECT_TRUE(f.grid()->selectionModel()->isRowSelected(4, {}));

    f.runFor(9000);
    const QString distance = f.run.display().distanceText;
    ASSERT_NE(distance, QStringLiteral("0"));
    QTest::mouseClick(f.panel.athleteButton(2), Qt::LeftButton);
    EXPECT_FALSE(f.panel.athleteButton(2)->isVisible());
    EXPECT_EQ(f.table().cell(kColDistance, 2), distance);
    EXPECT_EQ(f.table().cell(kColPeriods, 2), QStringLiteral("0"));
    EXPECT_EQ(f.table().currentRow(), 2);
    EXPECT_EQ(f.grid()->currentIndex().row(), 1);

    // Stop: the two still running get the same values.
    f.runFor(5000);
    f.run.stop();
    EXPECT_EQ(f.table().cell(kColDistance, 5), f.run.display().distanceText);
    EXPECT_EQ(f.table().cell(kColDistance, 6), f.run.display().distanceText);
    EXPECT_NE(f.table().cell(kColDistance, 6), distance);
    EXPECT_FALSE(f.panel.athleteButton(5)->isVisible());
    EXPECT_FALSE(f.panel.athleteButton(6)->isVisible());
}

TEST(ResultsPanel, ReactivationThroughTheContextMenu) {
    PanelFixture f;
    f.table().setCell(kColName, 3, QStringLiteral("Ana"));
    f.table().setCell(kColName, 4, QStringLiteral("Eva"));
    f.startTest();
    f.panel.B01Click(3);
    f.table().setCurrentRow(3);
    f.table().setCurrentRow(4);  // a row without a name or a result
    f.panel.PopupMenu_HGPopup();
    EXPECT_FALSE(f.panel.reactivateAction()->isEnabled());

    f.table().setCurrentRow(3);
    f.panel.PopupMenu_HGPopup();
    ASSERT_TRUE(f.panel.reactivateAction()->isEnabled());
    f.panel.reactivateAction()->trigger();
    EXPECT_TRUE(f.panel.athleteButton(3)->isVisible());
    EXPECT_TRUE(f.table().cell(kColPeriods, 3).isEmpty());
    EXPECT_EQ(f.table().cell(kColNumber, 3), QStringLiteral("3"));
}

TEST(ResultsPanel, CellTextsReachAssistiveTools) {
    PanelFixture f;
    f.table().setCell(kColName, 2, QStringLiteral("Begoña"));
    f.table().setCell(kColSpeed, 2, QStringLiteral("9,0"));
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(f.grid());
    ASSERT_NE(grid, nullptr);
    QAccessibleTableInterface* table = grid->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 12);
    EXPECT_EQ(table->cellAt(1, kColName)->text(QAccessible::Name), QStringLiteral("Begoña"));
    EXPECT_EQ(table->cellAt(1, kColSpeed)->text(QAccessible::Name), QStringLiteral("9,0"));
    EXPECT_EQ(table->columnDescription(kColPeriods), QStringLiteral("Periodos complet."));
}
