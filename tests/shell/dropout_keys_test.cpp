#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/ResultsTable.h"
#include "results/TestRun.h"
#include "shell/AthleteButton.h"
#include "shell/ResultsGrid.h"
#include "shell/ResultsPanel.h"
#include "shell/TestFut1.h"
#include "support/FakeTime.h"

using namespace norak;

namespace {

// The real window, active, with every slot named.
struct KeysWindow {
    explicit KeysWindow(int edition) : form(edition, fakes.platform()), time(fakes, form) {
        form.FormActivate();
        form.BitBtnEmpezarClick();
        form.show();
        QApplication::setActiveWindow(&form);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        for (int row = 1; row <= table().dataRowCount(); ++row)
            table().setCell(kColName, row, QStringLiteral("J%1").arg(row));
    }
    ResultsTable& table() { return form.testRun().table(); }
    void start() {
        form.testRun().chooseMode(TestMode::Esfuerzo);
        if (form.testRun().display().warmUpChecked)
            form.testRun().setWarmUp(false);
        form.BitBtnStartClick();
    }
    void press(int athlete, QWidget* target = nullptr) {
        const QKeySequence key = ResultsPanel::athleteKey(athlete);
        QTest::keyClick(target ? target : &form, Qt::Key(key[0].key()), key[0].keyboardModifiers());
    }

    FakePlatform fakes;
    TForm1 form;
    norak::testing::FakeTime<TForm1> time;
};

}  // namespace

// F1 ... F12 record the dropouts of athletes 1 ... 12, as a click on their buttons would; the
// buttons' hints name the keys.
TEST(DropoutKeys, FunctionKeysPressTheAthleteButtons) {
    KeysWindow w(kEditionZevez);
    w.start();
    w.time.runFor(9000);
    EXPECT_EQ(w.form.resultsPanel()->athleteButton(3)->toolTip(), ResultsPanel::athleteHint(3));
    EXPECT_TRUE(w.form.resultsPanel()->athleteButton(3)->toolTip().contains(QStringLiteral("clic o F3")));
    for (int athlete = 1; athlete <= 12; ++athlete) {
        w.press(athlete);
        EXPECT_FALSE(w.form.testRun().roster().isShown(athlete)) << athlete;
        EXPECT_EQ(w.table().cell(kColDistance, athlete), w.form.testRun().display().distanceText) << athlete;
        w.time.runFor(500);
    }
    // A second press of a hidden button does nothing: the first result stays.
    const QString first = w.table().cell(kColTime, 1);
    w.time.runFor(3000);
    w.press(1);
    EXPECT_EQ(w.table().cell(kColTime, 1), first);
}

// The keys work while a cell editor is open, and never reach the cell: what was typed is kept,
// as when the button is clicked with the mouse.
TEST(DropoutKeys, KeysWorkOverAnOpenCellEditor) {
    KeysWindow w(kEditionZevez);
    w.start();
    w.time.runFor(5000);
    ResultsGrid* grid = w.form.resultsPanel()->grid();
    const QModelIndex code = w.table().index(4, kColCode);
    grid->setCurrentIndex(code);
    grid->edit(code);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("V5"));
    w.press(2, editor);
    w.press(5, editor);
    EXPECT_FALSE(w.form.testRun().roster().isShown(2));
    EXPECT_FALSE(w.form.testRun().roster().isShown(5));
    const auto* open = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    EXPECT_EQ(open != nullptr ? open->text() : w.table().cell(kColCode, 5), QStringLiteral("V5"));
}

// Between tests the keys change nothing; in the 14-slot editions Shift+F1 and Shift+F2 press
// athletes 13 and 14.
TEST(DropoutKeys, NothingBetweenTestsAndShiftForThe14SlotEditions) {
    KeysWindow w(kEditionFutbol);
    for (int athlete = 1; athlete <= 14; ++athlete)
        w.press(athlete);
    for (int row = 1; row <= 14; ++row)
        EXPECT_TRUE(w.table().cell(kColPeriods, row).isEmpty()) << row;

    w.start();
    w.time.runFor(4000);
    EXPECT_TRUE(w.form.resultsPanel()->athleteButton(14)->toolTip().contains(
        QKeySequence(Qt::SHIFT | Qt::Key_F2).toString(QKeySequence::NativeText)));
    w.press(13);
    w.press(14);
    EXPECT_FALSE(w.form.testRun().roster().isShown(13));
    EXPECT_FALSE(w.form.testRun().roster().isShown(14));
    EXPECT_TRUE(w.form.testRun().roster().isShown(1));
    EXPECT_EQ(w.table().cell(kColPeriods, 13), QStringLiteral("0"));
}
