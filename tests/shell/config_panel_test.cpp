#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>

#include "engine/Edition.h"
#include "shell/ConfigPanel.h"
#include "shell/ParametersPanel.h"
#include "shell/controls/FlatButton.h"

using namespace norak;

namespace {

DisplayState openingState() {
    DisplayState d;
    d.periodMaximum = 25;
    return d;
}

}  // namespace

TEST(ConfigPanelWidget, OpeningLooksAndNames) {
    ConfigPanel panel(editionRecord(kEditionZevez));
    panel.resize(222, 489);
    panel.render(openingState());
    EXPECT_EQ(panel.objectName(), QStringLiteral("PanelTipo"));
    EXPECT_TRUE(panel.modeButton(TestMode::Completo)->isChecked());
    EXPECT_TRUE(panel.modeButton(TestMode::Completo)->isHidden());
    EXPECT_EQ(panel.modeButton(TestMode::Esfuerzo)->objectName(), QStringLiteral("FlatRadioButton3"));
    EXPECT_EQ(panel.modeButton(TestMode::Repetir)->text(), QStringLiteral("Repetir periodo ..."));
    EXPECT_TRUE(panel.warmUpBox()->isHidden());
    EXPECT_TRUE(panel.warmUpBox()->isChecked());
    EXPECT_EQ(panel.warmUpBox()->text(), QStringLiteral(" Iniciar con fase de Calentamiento"));
    EXPECT_EQ(panel.sexBox()->currentText(), QStringLiteral("Masculina"));
    EXPECT_EQ(panel.categoryBox()->currentIndex(), -1);
    EXPECT_EQ(panel.spinEdit()->maximum(), 25);
    EXPECT_TRUE(panel.findChild<QLabel*>(QStringLiteral("FlatPanel22"))->isHidden());
    EXPECT_EQ(panel.findChild<QLabel*>(QStringLiteral("PanelConfigurar"))->text(),
              QStringLiteral("Configurar medición"));
    // Mode texts in the light edition color until a mode is chosen.
    EXPECT_TRUE(panel.modeButton(TestMode::Esfuerzo)->styleSheet().contains(QColor(159, 177, 124).name()));
}

TEST(ConfigPanelWidget, ReportsChoicesAndDiscardsTypedKeys) {
    ConfigPanel panel(editionRecord(kEditionZevez));
    DisplayState d = openingState();
    d.startPeriodShown = d.categoryShown = d.warmUpShown = true;
    d.mode = TestMode::Esfuerzo;
    d.chosenPeriod = 3;
    panel.render(d);
    QSignalSpy modes(&panel, &ConfigPanel::modeChosen);
    QSignalSpy periods(&panel, &ConfigPanel::startPeriodChanged);
    QSignalSpy warmUp(&panel, &ConfigPanel::warmUpClicked);
    // Showing the session's values reports nothing back.
    EXPECT_EQ(modes.count(), 0);
    EXPECT_EQ(periods.count(), 0);
    EXPECT_EQ(panel.spinEdit()->value(), 3);

    panel.modeButton(TestMode::Repetir)->click();
    ASSERT_EQ(modes.count(), 1);
    EXPECT_EQ(modes.at(0).at(0).value<TestMode>(), TestMode::Repetir);
    panel.spinEdit()->stepUp();
    ASSERT_EQ(periods.count(), 1);
    EXPECT_EQ(periods.at(0).at(0).toInt(), 4);
    panel.warmUpBox()->click();
    EXPECT_EQ(warmUp.at(0).at(0).toBool(), false);

    // Typed characters never reach the spin box or the lists.
    QTest::keyClicks(panel.spinEdit()->findChild<QLineEdit*>(), QStringLiteral("12"));
    EXPECT_EQ(panel.spinEdit()->value(), 4);
    QTest::keyClicks(panel.categoryBox(), QStringLiteral("S"));
    EXPECT_EQ(panel.categoryBox()->currentIndex(), -1);
}

TEST(ConfigPanelWidget, PointerOverTheModeButtonsAndTheFreeArea) {
    ConfigPanel panel(editionRecord(kEditionZevez));
    panel.resize(222, 489);
    QSignalSpy over(&panel, &ConfigPanel::pointerOver);
    QMouseEvent onButton(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
    QCoreApplication::sendEvent(panel.modeButton(TestMode::Repetir), &onButton);
    QMouseEvent onPanel(QEvent::MouseMove, QPointF(100, 400), QPointF(100, 400), Qt::NoButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&panel, &onPanel);
    ASSERT_GE(over.count(), 2);
    EXPECT_EQ(over.first().at(0).toInt(), int(TestMode::Repetir));
    EXPECT_EQ(over.last().at(0).toInt(), -1);
}

TEST(ParametersPanelWidget, SourceTablesAndTheEditableActiveTable) {
    ParametersPanel panel(sourcePeriodTable(kEditionZevez));
    auto* active = panel.findChild<QPlainTextEdit*>(QStringLiteral("MemoPeriodoN"));
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(panel.activeTable(), sourcePeriodTable(kEditionZevez));
    for (const char* name : {"MemoPeriodoN_FUTBOL", "MemoPeriodoN_BASKET", "MemoPeriodoN_FS",
                             "MemoPeriodoN_ZEVEZ", "MemoPeriodoN_FUTBOL_PROBST"}) {
        EXPECT_NE(panel.findChild<QPlainTextEdit*>(QString::fromLatin1(name)), nullptr) << name;
    }
    EXPECT_EQ(panel.findChild<QPlainTextEdit*>(QStringLiteral("MemoPeriodoN_FUTBOL_PROBST"))
                  ->toPlainText()
                  .split(QLatin1Char('\n'))
                  .at(26),
              QStringLiteral("1818"));
    // The active table lies in the part of the panel inside the window (x < 65, y > 52).
    EXPECT_LT(active->geometry().right(), 65);
    EXPECT_GT(active->geometry().top(), 52);
    QSignalSpy edited(&panel, &ParametersPanel::activeTableEdited);
    active->setPlainText(QStringLiteral("1000\n2000"));
    ASSERT_GE(edited.count(), 1);
    EXPECT_EQ(edited.last().at(0).toStringList(),
              (QStringList{QStringLiteral("1000"), QStringLiteral("2000")}));
}

TEST(ParametersPanelWidget, AnEditTakesEffectWhenItsLineIsComplete) {
    QWidget window;
    ParametersPanel panel(QStringList{QStringLiteral("1000"), QStringLiteral("2000")}, &window);
    auto* other = new QLineEdit(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QPlainTextEdit* memo = panel.activeTableEdit();
    memo->setFocus();
    QSignalSpy edited(&panel, &ParametersPanel::activeTableEdited);
    const auto lastTable = [&] { return edited.last().at(0).toStringList(); };

    // "3" on the way to "3000" is no run time yet; leaving the line completes it.
    QTextCursor cursor(memo->document()->firstBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
    for (const char* key : {"3", "0", "0", "0"}) {
        QTest::keyClicks(memo, QString::fromLatin1(key));
        EXPECT_EQ(edited.count(), 0) << key;
    }
    QTest::keyClick(memo, Qt::Key_Down);
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(lastTable(), (QStringList{QStringLiteral("3000"), QStringLiteral("2000")}));

    // Enter completes the line (and opens the next one).
    QTest::keyClick(memo, Qt::Key_End);
    QTest::keyClicks(memo, QStringLiteral("5"));
    EXPECT_EQ(edited.count(), 1);
    QTest::keyClick(memo, Qt::Key_Return);
    ASSERT_EQ(edited.count(), 2);
    EXPECT_EQ(lastTable(), (QStringList{QStringLiteral("3000"), QStringLiteral("20005"), QString()}));

    // Back over the line break: the empty line goes and the cursor is back on the line above.
    QTest::keyClick(memo, Qt::Key_Backspace);
    ASSERT_EQ(edited.count(), 3);
    EXPECT_EQ(lastTable(), (QStringList{QStringLiteral("3000"), QStringLiteral("20005")}));
    // Leaving the table completes the line being typed; moving about without a change tells nothing.
    QTest::keyClick(memo, Qt::Key_Backspace);
    EXPECT_EQ(edited.count(), 3);
    other->setFocus();
    ASSERT_EQ(edited.count(), 4);
    EXPECT_EQ(lastTable(), (QStringList{QStringLiteral("3000"), QStringLiteral("2000")}));
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Up);
    other->setFocus();
    EXPECT_EQ(edited.count(), 4);

    // A table set by the program is complete at once.
    memo->setPlainText(QStringLiteral("900\n800"));
    ASSERT_EQ(edited.count(), 5);
    EXPECT_EQ(lastTable(), (QStringList{QStringLiteral("900"), QStringLiteral("800")}));
}

TEST(ConfigPanelWidget, TheSoundCheckIsOfferedBetweenTestsOnly) {
    ConfigPanel panel(editionRecord(kEditionZevez));
    panel.resize(480, 183);
    FlatButton* check = panel.soundCheckButton();
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->caption(), QStringLiteral("Probar sonido"));
    EXPECT_TRUE(panel.rect().contains(check->geometry()));
    QSignalSpy asked(&panel, &ConfigPanel::soundCheckRequested);
    DisplayState d = openingState();
    panel.render(d);
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_EQ(asked.count(), 1);
    d.stopEnabled = true;  // a test runs
    panel.render(d);
    EXPECT_FALSE(check->isEnabled());
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_EQ(asked.count(), 1);
}

TEST(ConfigPanelWidget, VoiceIsOffUntilTickedAndTheProgramSetsItSilently) {
    ConfigPanel panel(editionRecord(kEditionZevez));
    panel.resize(480, 183);
    panel.show();  // lays the children out
    panel.render(openingState());
    QCheckBox* voice = panel.voiceBox();
    ASSERT_NE(voice, nullptr);
    EXPECT_FALSE(voice->isChecked());
    EXPECT_FALSE(voice->isHidden());
    EXPECT_TRUE(panel.rect().contains(voice->geometry()));
    EXPECT_FALSE(voice->geometry().intersects(panel.soundCheckButton()->geometry()));
    EXPECT_GE(voice->width(), voice->sizeHint().width());  // " Voz" is not cut
    QSignalSpy toggled(&panel, &ConfigPanel::voiceToggled);
    panel.setVoiceChecked(true);  // the remembered choice: not reported back
    EXPECT_TRUE(voice->isChecked());
    EXPECT_EQ(toggled.count(), 0);
    voice->click();
    ASSERT_EQ(toggled.count(), 1);
    EXPECT_FALSE(toggled.at(0).at(0).toBool());
    // A render of the session's display leaves the box as the operator set it.
    panel.render(openingState());
    EXPECT_FALSE(voice->isChecked());
}

// "Mando" (the remote) is unticked when the panel opens, whole, inside the title bar and clear of
// its centred caption; the program clears it silently when the remote could not be turned on.
TEST(ConfigPanelWidget, RemoteBoxSitsWholeInTheTitleBarAndIsOffWhenItOpens) {
    ConfigPanel panel(editionRecord(kEditionZevez));
    panel.resize(480, 183);
    panel.show();
    panel.render(openingState());
    QCheckBox* remote = panel.remoteBox();
    ASSERT_NE(remote, nullptr);
    EXPECT_FALSE(remote->isChecked());
    EXPECT_TRUE(panel.rect().contains(remote->geometry()));
    EXPECT_GE(remote->width(), remote->sizeHint().width());
    EXPECT_LE(remote->geometry().bottom(), 21);
    const int captionRight =
        panel.width() / 2 + panel.fontMetrics().horizontalAdvance(QStringLiteral("Configurar medición")) / 2 +
        20;
    EXPECT_GT(remote->geometry().left(), captionRight);
    QSignalSpy toggled(&panel, &ConfigPanel::remoteToggled);
    remote->click();
    ASSERT_EQ(toggled.count(), 1);
    panel.setRemoteChecked(false);
    EXPECT_FALSE(remote->isChecked());
    EXPECT_EQ(toggled.count(), 1);
}
