#include <gtest/gtest.h>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "platform/fakes/FakePlatform.h"
#include "platform/qt/PacingTimer.h"
#include "results/TestRun.h"
#include "shell/ConfigPanel.h"
#include "shell/ParametersPanel.h"
#include "shell/TestFut1.h"

using namespace norak;

// Where the window's wake-up is armed, on fake ticks: a signal is due on the first millisecond
// in which more than the run time has passed since the last one, so the wake-up must fire as
// that millisecond begins (last signal + run time + 1), never a millisecond later. Fired there,
// every signal comes exactly run time + 1 after the one before.
TEST(MainWindowWakeUp, FiresAsTheFirstMillisecondPastTheRunTimeBegins) {
    FakePlatform fakes;
    TForm1 form(kEditionZevez, fakes.platform());
    form.FormActivate();
    form.BitBtnEmpezarClick();
    constexpr int kRunTime = 123;
    form.parametersPanel()->activeTableEdit()->setPlainText(QStringLiteral("123\n123"));
    form.configPanel()->modeButton(TestMode::Esfuerzo)->click();
    form.testRun().setWarmUp(false);
    form.BitBtnStartClick();
    PacingTimer* effort = form.timer(TestSession::Timer::Effort);

    qint64 lastSignal = fakes.ticks.ticks();
    for (int signal = 1; signal <= 5; ++signal) {
        ASSERT_TRUE(effort->isArmed()) << signal;
        EXPECT_EQ(effort->wakeUpTick(), lastSignal + kRunTime + 1) << signal;
        // The wake-up fires at that tick: the signal is given there.
        fakes.ticks.set(effort->wakeUpTick());
        const int before = fakes.sound.m_signals;
        form.Timer1Timer();
        ASSERT_EQ(fakes.sound.m_signals, before + 1) << signal;
        lastSignal = fakes.ticks.ticks();
    }

    // In a recovery: the alert second, then the departure, each as its millisecond begins.
    for (int signal = 6; signal <= 36; ++signal) {
        fakes.ticks.set(effort->wakeUpTick());
        form.Timer1Timer();
    }
    ASSERT_TRUE(form.session().isTimerOn(TestSession::Timer::Recovery));
    const qint64 recoveryStart = fakes.ticks.ticks();
    PacingTimer* recovery = form.timer(TestSession::Timer::Recovery);
    ASSERT_TRUE(recovery->isArmed());
    EXPECT_EQ(recovery->wakeUpTick(), recoveryStart + 27000);
    fakes.ticks.set(recovery->wakeUpTick());
    form.Timer2Timer();
    ASSERT_TRUE(recovery->isArmed());
    EXPECT_EQ(recovery->wakeUpTick(), recoveryStart + 30001);
}
