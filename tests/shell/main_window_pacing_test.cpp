#include <gtest/gtest.h>

#include <QEventLoop>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "platform/fakes/FakePlatform.h"
#include "platform/qt/QtTickSource.h"
#include "shell/ConfigPanel.h"
#include "shell/ParametersPanel.h"
#include "shell/TestFut1.h"

using namespace norak;

namespace {

// Notes the tick of every signal sound.
class TickNotingSound : public FakeSound {
  public:
    explicit TickNotingSound(const TickSource& ticks) : m_ticks(ticks) {}
    void playSignal() override {
        FakeSound::playSignal();
        m_at.push_back(m_ticks.ticks());
    }
    std::vector<qint64> m_at;

  private:
    const TickSource& m_ticks;
};

}  // namespace

// The main window on the real tick counter and timers: how close to the due tick the signals
// come is measured by bench/pacing; here, that the window wakes up for them at all and never
// gives one early.
TEST(MainWindowPacing, SignalsComeOnTheDueTickNotAtTheNextRegularLook) {
    FakePlatform fakes;
    QtTickSource ticks;
    TickNotingSound sound(ticks);
    Platform platform{ticks, fakes.clock, sound, fakes.messages, fakes.saveDialog, fakes.files, fakes.shell};
    TForm1 form(kEditionZevez, platform);
    form.FormActivate();
    form.BitBtnEmpezarClick();

    constexpr int kRunTime = 123;
    form.parametersPanel()->activeTableEdit()->setPlainText(QStringLiteral("123\n123"));
    form.configPanel()->modeButton(TestMode::Esfuerzo)->click();
    form.BitBtnStartClick();
    ASSERT_EQ(sound.m_signals, 1);
    EXPECT_TRUE(form.timer(TestSession::Timer::Effort)->isArmed());

    // A plain event loop: QTest::qWait sleeps between its passes and would make any wake-up late.
    QEventLoop loop;
    QTimer::singleShot(12 * kRunTime, &loop, &QEventLoop::quit);
    loop.exec();
    form.BitBtnStopClick();
    EXPECT_FALSE(form.timer(TestSession::Timer::Effort)->isActive());
    EXPECT_FALSE(form.timer(TestSession::Timer::Effort)->isArmed());

    // The departure's tick is read after its sound; the signals' intervals start at their own.
    ASSERT_GE(sound.m_at.size(), 6u);
    std::vector<qint64> intervals;
    for (std::size_t i = 2; i < sound.m_at.size(); ++i)
        intervals.push_back(sound.m_at[i] - sound.m_at[i - 1]);
    for (qint64 interval : intervals)
        EXPECT_GE(interval, kRunTime + 1);
    // The regular looks alone (every 50 ms) would give a median near run time + 25 ms.
    std::nth_element(intervals.begin(), intervals.begin() + std::ptrdiff_t(intervals.size() / 2),
                     intervals.end());
    EXPECT_LE(intervals[intervals.size() / 2], kRunTime + 2);
}
