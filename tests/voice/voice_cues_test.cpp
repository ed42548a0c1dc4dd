#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/fakes/FakePlatform.h"
#include "voice/VoiceClips.h"
#include "voice/VoiceCues.h"
#include "voice/VoicePreference.h"

using namespace norak;

namespace {

constexpr qint64 kSignalMs = 470;
constexpr qint64 kAlertMs = 150;

struct CuesOnFakes {
    FakeTickSource ticks;
    FakeSound sound{&ticks};
    VoiceCues cues{sound, ticks, VoiceSchedule(VoiceClips::lengthsIn(), kSignalMs, kAlertMs), 25};

    // A 30-second recovery beginning at the present tick, as the run announces it.
    void recoveryNow(int nextPeriod, const QString& speed) {
        const qint64 t = ticks.ticks();
        cues.recoveryBegan(nextPeriod, speed, t, t + 27000, t + 30001);
    }
    QStringList clipNames() const {
        QStringList names;
        for (const FakeSound::PlayedClip& clip : sound.m_clips)
            names.push_back(clip.clip);
        return names;
    }
};

}  // namespace

TEST(VoiceCues, SayNothingUntilEnabled) {
    CuesOnFakes f;
    EXPECT_FALSE(f.cues.isEnabled());
    f.recoveryNow(7, QStringLiteral("7,8"));
    f.cues.warmUpRecoveryBegan(1, QStringLiteral("4,2"), f.ticks.ticks(), f.ticks.ticks() + 177000,
                               f.ticks.ticks() + 180001);
    f.cues.soundCheckAlerted();
    EXPECT_TRUE(f.sound.m_clips.empty());
    EXPECT_EQ(f.sound.m_signals, 0);
    EXPECT_TRUE(f.sound.m_alerts.empty());
}

TEST(VoiceCues, PlaceEachWordOfARecoveryAtItsDelayFromTheAnnouncement) {
    CuesOnFakes f;
    f.cues.setEnabled(true);
    f.recoveryNow(7, QStringLiteral("7,8"));
    EXPECT_EQ(
        f.clipNames(),
        QString::fromLatin1("recuperacion periodo n07 n07 coma n08 kmh n03 n02 n01").split(QLatin1Char(' ')));
    const std::vector<FakeSound::PlayedClip>& clips = f.sound.m_clips;
    EXPECT_EQ(clips.front().delayMs, kSignalMs + VoiceSchedule::kAfterSoundMs);
    EXPECT_EQ(clips[1].delayMs, 27000 - VoiceSchedule::kPeriodBeforeAlertMs);
    EXPECT_EQ(clips.back().delayMs, 30001 - VoiceSchedule::kCountdownBeatMs);
    const ClipLengths& lengths = f.cues.schedule().lengths();
    for (std::size_t i = 1; i < clips.size(); ++i)
        EXPECT_GT(clips[i].delayMs, clips[i - 1].delayMs + lengths.value(clips[i - 1].clip));
}

TEST(VoiceCues, LateAnnouncementLeavesOutThePhrasesWhoseMomentHasBegun) {
    CuesOnFakes f;
    f.cues.setEnabled(true);
    const qint64 t = f.ticks.ticks();
    f.ticks.advance(20000);  // the announcement comes 20 s into the recovery
    f.cues.recoveryBegan(7, QStringLiteral("7,8"), t, t + 27000, t + 30001);
    EXPECT_EQ(f.clipNames(), QString::fromLatin1("n03 n02 n01").split(QLatin1Char(' ')));
    EXPECT_EQ(f.sound.m_clips.front().delayMs, 10001 - 3 * VoiceSchedule::kCountdownBeatMs);
}

TEST(VoiceCues, WarmUpAndLastPeriodAndSoundCheck) {
    CuesOnFakes f;
    f.cues.setEnabled(true);
    const qint64 t = f.ticks.ticks();
    f.cues.warmUpRecoveryBegan(3, QStringLiteral("5,4"), t, t + 177000, t + 180001);
    EXPECT_EQ(
        f.clipNames(),
        QString::fromLatin1("recuperacion periodo n03 n05 coma n04 kmh n03 n02 n01").split(QLatin1Char(' ')));
    EXPECT_EQ(f.sound.m_clips[1].delayMs, 177000 - VoiceSchedule::kPeriodBeforeAlertMs);

    // After the table's last period the run goes on without signals: no period is announced.
    f.sound.m_clips.clear();
    f.recoveryNow(26, QStringLiteral("19,2"));
    EXPECT_EQ(f.clipNames(), QString::fromLatin1("recuperacion n03 n02 n01").split(QLatin1Char(' ')));

    f.sound.m_clips.clear();
    f.cues.soundCheckAlerted();
    ASSERT_EQ(f.sound.m_clips.size(), 1u);
    EXPECT_EQ(f.sound.m_clips[0].clip, QStringLiteral("prueba"));
    EXPECT_EQ(f.sound.m_clips[0].delayMs, kAlertMs + VoiceSchedule::kAfterSoundMs);
    // Without an output the check warns instead of giving its alert: nothing to follow.
    f.sound.m_clips.clear();
    f.sound.m_devices = 0;
    f.cues.soundCheckAlerted();
    EXPECT_TRUE(f.sound.m_clips.empty());
}

TEST(VoiceCues, CallingOffOrTurningTheVoiceOffSilencesTheWordsStillToCome) {
    CuesOnFakes f;
    f.cues.setEnabled(true);
    f.recoveryNow(7, QStringLiteral("7,8"));
    f.ticks.advance(5000);  // "Recuperación" has been said, the period and the countdown are to come
    f.cues.callOff();
    EXPECT_EQ(f.sound.m_cancels, 1);
    ASSERT_EQ(f.sound.heardClips().size(), 1u);
    EXPECT_EQ(f.sound.heardClips()[0].clip, QStringLiteral("recuperacion"));

    // The next recovery is said again in full, until the box is cleared in its middle.
    f.ticks.advance(60000);
    const std::size_t before = f.sound.heardClips().size();
    f.recoveryNow(8, QStringLiteral("8,1"));
    EXPECT_EQ(f.sound.heardClips().size(), before + 10);
    f.ticks.advance(25000);  // the period said, the countdown to come
    f.cues.setEnabled(true);
    EXPECT_EQ(f.sound.m_cancels, 1);  // ticking it again is no change
    f.cues.setEnabled(false);
    EXPECT_EQ(f.sound.m_cancels, 2);
    EXPECT_EQ(f.sound.heardClips().size(), before + 7);
    for (const FakeSound::PlayedClip& clip : f.sound.heardClips())
        EXPECT_LT(clip.startTick(), f.ticks.ticks()) << clip.clip.toStdString();
    f.cues.setEnabled(false);
    EXPECT_EQ(f.sound.m_cancels, 2);  // already off: nothing to call off
    EXPECT_EQ(f.sound.m_signals, 0);  // a cancel never touches a signal
    EXPECT_TRUE(f.sound.m_alerts.empty());
}

TEST(VoicePreference, OffUntilTurnedOnAndRememberedInItsFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("norak/norak.ini"));
    EXPECT_FALSE(VoicePreference(file).load());  // no file yet
    ASSERT_TRUE(VoicePreference(file).save(true));
    EXPECT_TRUE(VoicePreference(file).load());
    ASSERT_TRUE(VoicePreference(file).save(false));
    EXPECT_FALSE(VoicePreference(file).load());
    EXPECT_TRUE(VoicePreference::defaultFile().endsWith(QStringLiteral("/norak/norak.ini")));

    // A file that is no settings file, or cannot be written, reads as off.
    QFile junk(dir.filePath(QStringLiteral("junk.ini")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("[Voz\nactivada=\"true\n\x01\x02");
    junk.close();
    EXPECT_FALSE(VoicePreference(junk.fileName()).load());
    EXPECT_FALSE(VoicePreference(QStringLiteral("/proc/norak/norak.ini")).save(true));
}
