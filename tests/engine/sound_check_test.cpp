#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include "engine/SoundCheck.h"
#include "platform/fakes/FakePlatform.h"

using namespace norak;

namespace {

// Notes every sound in the order asked for, with its tick.
class OrderNotingSound : public FakeSound {
  public:
    explicit OrderNotingSound(const TickSource& ticks) : m_ticks(ticks) {}
    void playSignal() override {
        FakeSound::playSignal();
        m_order << QStringLiteral("signal@%1").arg(m_ticks.ticks());
    }
    void alert(int code) override {
        FakeSound::alert(code);
        m_order << QStringLiteral("alert@%1").arg(m_ticks.ticks());
    }
    QStringList m_order;

  private:
    const TickSource& m_ticks;
};

}  // namespace

TEST(SoundCheck, TheSignalThenASecondLaterTheAlert) {
    FakePlatform fakes;
    OrderNotingSound sound(fakes.ticks);
    SoundCheck check(sound, fakes.messages, fakes.ticks, QStringLiteral("NORAK"));
    const qint64 t0 = fakes.ticks.ticks();
    check.start();
    check.start();  // a second press while it sounds changes nothing
    for (int ms = 10; ms <= 1500; ms += 10) {
        fakes.ticks.advance(10);
        check.poll();
    }
    EXPECT_EQ(sound.m_order,
              (QStringList{QStringLiteral("signal@%1").arg(t0), QStringLiteral("alert@%1").arg(t0 + 1000)}));
    EXPECT_FALSE(check.isPending());
    EXPECT_TRUE(fakes.messages.m_shown.empty());

    // A test started meanwhile: no alert over its departure.
    check.start();
    check.cancel();
    fakes.ticks.advance(2000);
    check.poll();
    EXPECT_EQ(sound.m_order.size(), 3);
}

TEST(SoundCheck, WithoutASoundOutputItTellsSo) {
    FakePlatform fakes;
    fakes.sound.m_devices = 0;
    SoundCheck check(fakes.sound, fakes.messages, fakes.ticks, QStringLiteral("NORAK-Zevez"));
    check.start();
    EXPECT_EQ(fakes.sound.m_signals, 0);
    EXPECT_EQ(fakes.sound.m_alerts, std::vector<int>{kAlertWarning});
    ASSERT_EQ(fakes.messages.m_shown.size(), 1u);
    EXPECT_EQ(fakes.messages.m_shown[0].kind, QStringLiteral("information"));
    EXPECT_EQ(fakes.messages.m_shown[0].text,
              QStringLiteral("No se ha encontrado ninguna tarjeta de sonido instalada en su sistema."));
    EXPECT_FALSE(check.isPending());
}

// Nobody polls by hand here: the check's own timer plays the alert once a second has passed.
TEST(SoundCheck, ItsOwnTimerPlaysTheAlert) {
    FakePlatform fakes;
    OrderNotingSound sound(fakes.ticks);
    SoundCheck check(sound, fakes.messages, fakes.ticks, QStringLiteral("NORAK"));
    QSignalSpy finished(&check, &SoundCheck::finished);
    const qint64 t0 = fakes.ticks.ticks();
    check.start();
    fakes.ticks.advance(SoundCheck::kAlertAfterMs - 1);
    QTest::qWait(5 * SoundCheck::kLookMs);  // the timer looks, the alert is not due yet
    EXPECT_EQ(sound.m_order.size(), 1);
    fakes.ticks.advance(1);
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(sound.m_order,
              (QStringList{QStringLiteral("signal@%1").arg(t0), QStringLiteral("alert@%1").arg(t0 + 1000)}));
}
