#include <gtest/gtest.h>
#include <QAccessible>
#include <QCheckBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <QFile>

#include "engine/Edition.h"
#include "engine/SoundCheck.h"
#include "platform/fakes/FakePlatform.h"
#include "results/CellText.h"
#include "results/ResultsTable.h"
#include "results/TestRun.h"
#include "shell/ConfigPanel.h"
#include "shell/TestFut1.h"
#include "shell/controls/FlatButton.h"
#include "voice/VoicePreference.h"

using namespace norak;

// The configuration panel in the real main window, driven by the events a user or an assistive
// tool gives: what the panel shows and what the test then does must agree.
namespace {

struct ConfigWindow {
    ConfigWindow() : form(kEditionZevez, fakes.platform()) {
        form.FormActivate();
        form.BitBtnEmpezarClick();
    }

    QString modeSheet(TestMode mode) { return form.configPanel()->modeButton(mode)->styleSheet(); }

    FakePlatform fakes;
    TForm1 form;
};

QString colorName(const Rgb& rgb) {
    return QColor(rgb.r, rgb.g, rgb.b).name();
}

}  // namespace

TEST(MainWindowConfig, TheWarmUpFollowsTheBoxHoweverItChanges) {
    ConfigWindow w;
    QTest::mouseClick(w.form.configPanel()->modeButton(TestMode::Esfuerzo), Qt::LeftButton);
    QCheckBox* box = w.form.configPanel()->warmUpBox();
    ASSERT_TRUE(box->isChecked());

    // An assistive tool's Toggle, then a redraw (another choice on the panel).
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
    ASSERT_NE(iface, nullptr);
    ASSERT_NE(iface->actionInterface(), nullptr);
    iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(w.form.session().WarmUpPhase(), 0);
    w.form.configPanel()->spinEdit()->setValue(4);
    EXPECT_FALSE(box->isChecked());

    // A change by the program counts as well.
    box->setChecked(true);
    EXPECT_EQ(w.form.session().WarmUpPhase(), 1);
    box->setChecked(false);
    w.form.BitBtnStartClick();
    EXPECT_EQ(w.form.session().WarmUpPhase(), 0);
    EXPECT_EQ(w.form.session().display().bannerText, QStringLiteral("Periodo de ESFUERZO"));
}

// A mode button toggled by an assistive tool returns at once: the new mode, and the save question
// it asks about the last results, come once the event loop runs.
TEST(MainWindowConfig, AnAccessibleToggleOfAModeReturnsBeforeItsQuestion) {
    ConfigWindow w;
    QTest::mouseClick(w.form.configPanel()->modeButton(TestMode::Esfuerzo), Qt::LeftButton);
    ResultsTable& table = w.form.testRun().table();
    table.setCell(kColName, 1, QStringLiteral("Ana"));
    table.setCell(kColPeriods, 1, QStringLiteral("3"));  // results never exported
    ASSERT_TRUE(table.hasUnexportedResults());
    w.fakes.messages.m_defaultAnswer = false;

    QRadioButton* repeat = w.form.configPanel()->modeButton(TestMode::Repetir);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(repeat);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::RadioButton);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Repetir periodo ..."));
    ASSERT_NE(iface->actionInterface(), nullptr);
    iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(w.fakes.messages.m_shown.empty());
    EXPECT_FALSE(repeat->isChecked());
    QCoreApplication::processEvents();
    ASSERT_EQ(w.fakes.messages.m_shown.size(), 1u);
    EXPECT_EQ(w.fakes.messages.m_shown[0].caption, QStringLiteral("Guardar datos"));
    EXPECT_TRUE(repeat->isChecked());
    EXPECT_EQ(w.form.session().display().mode, TestMode::Repetir);
    EXPECT_TRUE(iface->state().checked);
}

TEST(MainWindowConfig, PointerOverAModeButtonDarkensItsText) {
    ConfigWindow w;
    w.form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.form));
    const EditionRecord& e = w.form.session().edition();
    const QString dark = colorName(e.colorDark);
    const QString light = colorName(e.colorLight);
    ConfigPanel* panel = w.form.configPanel();

    // Real pointer moves, routed by the toolkit to the button and then to the panel.
    QTest::mouseMove(panel->modeButton(TestMode::Esfuerzo));
    EXPECT_TRUE(w.modeSheet(TestMode::Esfuerzo).contains(dark));
    EXPECT_TRUE(w.modeSheet(TestMode::Repetir).contains(light));
    QTest::mouseMove(panel->modeButton(TestMode::Repetir));
    EXPECT_TRUE(w.modeSheet(TestMode::Repetir).contains(dark));
    EXPECT_TRUE(w.modeSheet(TestMode::Esfuerzo).contains(light));
    // The free area of the panel, below the buttons: every text light again.
    QTest::mouseMove(panel, QPoint(4, panel->height() - 4));
    EXPECT_TRUE(w.modeSheet(TestMode::Repetir).contains(light));
    EXPECT_TRUE(w.modeSheet(TestMode::Esfuerzo).contains(light));

    // Once a mode is chosen the pointer changes nothing.
    QTest::mouseClick(panel->modeButton(TestMode::Repetir), Qt::LeftButton);
    QTest::mouseMove(panel->modeButton(TestMode::Esfuerzo));
    EXPECT_TRUE(w.modeSheet(TestMode::Esfuerzo).contains(light));
    EXPECT_TRUE(w.modeSheet(TestMode::Repetir).contains(dark));
}

TEST(MainWindowConfig, VoiceIsOffUntilTickedThenRememberedAndTheSoundCheckSpeaks) {
    QFile::remove(VoicePreference::defaultFile());  // a test folder (test mode), never the user's
    const auto soundCheck = [](ConfigWindow& w) {
        const std::size_t alertsBefore = w.fakes.sound.m_alerts.size();
        QTest::mouseClick(w.form.configPanel()->soundCheckButton(), Qt::LeftButton);
        w.fakes.ticks.advance(SoundCheck::kAlertAfterMs);
        // The check's own timer looks at the ticks and gives the alert.
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.fakes.sound.m_alerts.size() > alertsBefore; }, 10000));
    };
    {
        ConfigWindow w;
        QCheckBox* voice = w.form.configPanel()->voiceBox();
        EXPECT_FALSE(voice->isChecked());
        soundCheck(w);
        ASSERT_EQ(w.fakes.sound.m_alerts.size(), 1u);
        EXPECT_TRUE(w.fakes.sound.m_clips.empty());

        voice->click();
        soundCheck(w);
        ASSERT_EQ(w.fakes.sound.m_alerts.size(), 2u);
        ASSERT_EQ(w.fakes.sound.m_clips.size(), 1u);
        EXPECT_EQ(w.fakes.sound.m_clips[0].clip, QStringLiteral("prueba"));
        EXPECT_GT(w.fakes.sound.m_clips[0].delayMs, 0);  // after the alert, never over it
    }
    {
        ConfigWindow w;  // the next start
        EXPECT_TRUE(w.form.configPanel()->voiceBox()->isChecked());
        w.form.configPanel()->voiceBox()->click();
    }
    ConfigWindow w;
    EXPECT_FALSE(w.form.configPanel()->voiceBox()->isChecked());
    QFile::remove(VoicePreference::defaultFile());
}
