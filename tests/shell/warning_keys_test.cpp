#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QRadioButton>
#include <QTest>
#include <vector>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/ResultsTable.h"
#include "results/RunWarnings.h"
#include "results/TestRun.h"
#include "results/WarningRuleStore.h"
#include "shell/AthleteButton.h"
#include "shell/ConfigPanel.h"
#include "shell/GlancePanel.h"
#include "shell/ResultsGrid.h"
#include "shell/ResultsPanel.h"
#include "shell/RunAssembly.h"
#include "shell/TestFut1.h"
#include "shell/controls/FlatButton.h"
#include "shell/controls/FlatPanel.h"
#include "support/FakeTime.h"

using namespace norak;

namespace {

// The real window, active, with every slot named, on the rule given (remembered as the test
// master's choice before the window opens).
struct WarnWindow {
    explicit WarnWindow(int edition, WarningRule rule = {})
        : remembered(WarningRuleStore().save(rule)), form(edition, fakes.platform()), time(fakes, form) {
        form.FormActivate();
        form.BitBtnEmpezarClick();
        form.show();
        QApplication::setActiveWindow(&form);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        for (int row = 1; row <= table().dataRowCount(); ++row)
            table().setCell(kColName, row, QStringLiteral("J%1").arg(row));
    }
    ResultsTable& table() { return form.testRun().table(); }
    const RunWarnings& warnings() { return form.features().warnings(); }
    ResultsPanel& panel() { return *form.resultsPanel(); }
    void start() {
        form.testRun().chooseMode(TestMode::Esfuerzo);
        if (form.testRun().display().warmUpChecked)
            form.testRun().setWarmUp(false);
        form.BitBtnStartClick();
    }
    // Runs until `count` more leg signals have been given.
    void runLegs(int count) {
        const auto legs = [this] { return form.testRun().session().timingRecord().signalsGiven.size(); };
        const std::size_t target = legs() + std::size_t(count);
        ASSERT_GE(time.runUntil([&] { return legs() >= target; }), 0);
    }
    void warn(int athlete, QWidget* target = nullptr) {
        const QKeySequence key = ResultsPanel::warningKey(athlete);
        QTest::keyClick(target ? target : &form, Qt::Key(key[0].key()), key[0].keyboardModifiers());
    }

    FakePlatform fakes;
    bool remembered;
    TForm1 form;
    norak::testing::FakeTime<TForm1> time;
};

}  // namespace

// Ctrl+F1 ... Ctrl+F12 warn athletes 1 ... 12; two consecutive warnings put a player out with the
// values of the last good leg; the arrow's hint names both gestures; the glance area counts.
TEST(WarningKeys, CtrlFunctionKeysWarnTheAthletes) {
    WarnWindow w(kEditionZevez);
    ASSERT_TRUE(w.remembered);
    EXPECT_EQ(w.panel().athleteButton(3)->toolTip(),
              QStringLiteral("Retirar: clic o F3 · Aviso: Ctrl+F3 o clic derecho"));
    w.warn(1);  // between tests: nothing
    w.start();
    w.runLegs(2);
    for (int athlete = 1; athlete <= 12; ++athlete)
        w.warn(athlete);
    EXPECT_EQ(w.warnings().total(), 12);
    for (int athlete = 1; athlete <= 12; ++athlete)
        EXPECT_EQ(w.warnings().count(athlete), 1) << athlete;
    EXPECT_EQ(w.form.glancePanel()->warningValue()->caption(), QStringLiteral("12"));
    EXPECT_TRUE(w.panel().athleteButton(4)->accessibleDescription().endsWith(QStringLiteral("1 aviso")));
    w.runLegs(1);
    w.warn(4);
    EXPECT_FALSE(w.form.testRun().roster().isShown(4));
    EXPECT_FALSE(w.table().cell(kColDistance, 4).isEmpty());
    EXPECT_NE(w.table().cell(kColDistance, 4), w.form.testRun().display().distanceText);
    EXPECT_TRUE(w.form.testRun().roster().isShown(5));
    w.form.BitBtnStopClick();
    EXPECT_EQ(w.panel().athleteButton(4)->accessibleDescription(), ResultsPanel::athleteHint(4));
}

// The keys work over an open cell editor and never reach the cell; in the 14-slot editions
// Ctrl+Shift+F1 and Ctrl+Shift+F2 warn athletes 13 and 14.
TEST(WarningKeys, OverACellEditorAndThe14SlotEditions) {
    WarnWindow w(kEditionFutbol);
    w.start();
    w.runLegs(1);
    ResultsGrid* grid = w.panel().grid();
    const QModelIndex code = w.table().index(4, kColCode);
    grid->setCurrentIndex(code);
    grid->edit(code);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("V5"));
    w.warn(2, editor);
    w.warn(13, editor);
    w.warn(14, editor);
    EXPECT_EQ(w.warnings().count(2), 1);
    EXPECT_EQ(w.warnings().count(13), 1);
    EXPECT_EQ(w.warnings().count(14), 1);
    EXPECT_EQ(ResultsPanel::warningKey(14), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F2));
    const auto* open = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    EXPECT_EQ(open != nullptr ? open->text() : w.table().cell(kColCode, 5), QStringLiteral("V5"));
}

// The arrow's right click opens "Aviso" / "Quitar aviso" without waiting on it; "Quitar aviso"
// is offered once a warning stands, and takes it back.
TEST(WarningKeys, TheArrowsMenu) {
    WarnWindow w(kEditionZevez);
    w.start();
    w.runLegs(1);
    AthleteButton* arrow = w.panel().athleteButton(6);
    ASSERT_TRUE(arrow->isVisible());
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(3, 3), arrow->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(arrow, &rightClick);
    QMenu* menu = w.panel().warningMenu();
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(w.panel().warningMenuAthlete(), 6);
    EXPECT_TRUE(w.panel().warnAction()->isEnabled());
    EXPECT_FALSE(w.panel().takeBackAction()->isEnabled());
    w.panel().warnAction()->trigger();
    menu->hide();
    EXPECT_EQ(w.warnings().count(6), 1);
    w.panel().showWarningMenu(6, arrow->mapToGlobal(QPoint(3, 3)));
    EXPECT_TRUE(w.panel().takeBackAction()->isEnabled());
    w.panel().takeBackAction()->trigger();
    menu->hide();
    EXPECT_EQ(w.warnings().count(6), 0);
    w.form.BitBtnStopClick();
    w.panel().showWarningMenu(6, arrow->mapToGlobal(QPoint(3, 3)));
    EXPECT_FALSE(w.panel().warnAction()->isEnabled());
    menu->hide();
}

// The rule's controls open with the remembered rule, change only between tests, and a change is
// remembered for the next start and is the rule of the next test.
TEST(WarningKeys, TheRuleInTheConfigurationPanel) {
    WarningRule rule;
    rule.outAfter = 3;
    rule.consecutive = false;
    {
        WarnWindow w(kEditionZevez, rule);
        ConfigPanel* config = w.form.configPanel();
        EXPECT_EQ(config->warningRule(), rule);
        EXPECT_EQ(config->warningCountBox()->currentText(), QStringLiteral("3 avisos"));
        EXPECT_FALSE(config->warningConsecutiveBox()->isChecked());
        EXPECT_FALSE(config->warningCountBox()->accessibleName().isEmpty());
        // Laid out whole in the panel, clear of one another, the modes and the sound check.
        std::vector<QWidget*> placed = {config->modeButton(TestMode::Repetir), config->warningCountBox(),
                                        config->warningConsecutiveBox(), config->warningClearedBox(),
                                        config->soundCheckButton()};
        for (std::size_t i = 0; i < placed.size(); ++i) {
            EXPECT_TRUE(config->rect().contains(placed[i]->geometry())) << i;
            EXPECT_GE(placed[i]->width(), placed[i]->sizeHint().width()) << i;
            if (i > 0) {
                EXPECT_GT(placed[i]->geometry().top(), placed[i - 1]->geometry().bottom()) << i;
            }
        }
        config->warningCountBox()->setCurrentIndex(3);  // "Sólo avisos"
        config->warningClearedBox()->setChecked(true);
        EXPECT_EQ(w.warnings().rule().outAfter, WarningRule::kOnlyWarnings);
        w.start();
        EXPECT_FALSE(config->warningCountBox()->isEnabled());
        EXPECT_FALSE(config->warningClearedBox()->isEnabled());
        EXPECT_EQ(w.warnings().ruleInForce(), (WarningRule{WarningRule::kOnlyWarnings, false, true}));
        w.form.BitBtnStopClick();
        EXPECT_TRUE(config->warningConsecutiveBox()->isEnabled());
    }
    EXPECT_EQ(WarningRuleStore().load(), (WarningRule{WarningRule::kOnlyWarnings, false, true}));
    WarningRuleStore().save(WarningRule{});
}

// A warning draws again the warned player's name cell with its mark, not the whole grid; a
// warning that changes nothing draws nothing.
TEST(WarningKeys, AWarningRedrawsOnlyThePlayersNameCell) {
    WarnWindow w(kEditionZevez);
    w.start();
    w.runLegs(2);
    QCoreApplication::processEvents();
    ResultsGrid* grid = w.panel().grid();
    struct PaintSpy : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
    } spy;
    grid->viewport()->installEventFilter(&spy);
    const QRect nameCell = grid->visualRect(grid->model()->index(2, kColName));

    w.warn(3);
    ASSERT_EQ(w.warnings().count(3), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !spy.painted.isEmpty(); }, 2000));
    EXPECT_EQ(spy.painted, QRegion(nameCell));

    spy.painted = {};
    w.warn(3);  // the same leg: nothing changes
    QTest::qWait(20);
    EXPECT_EQ(w.warnings().count(3), 1);
    EXPECT_TRUE(spy.painted.isEmpty());
}
