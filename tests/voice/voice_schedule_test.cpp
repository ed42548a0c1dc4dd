#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <algorithm>

#include "support/SessionHarness.h"
#include "voice/VoiceClips.h"
#include "voice/VoiceCues.h"
#include "voice/VoiceSchedule.h"

using namespace norak;
using norak::testing::SessionHarness;
using Kind = SpokenPhrase::Kind;
using Timer = TestSession::Timer;

namespace {

// The signal file's length and the built-in alert tone's, as the program measures them.
qint64 signalMs() {
    QFile file(QStringLiteral(":/sound/sonido.wav"));
    return file.open(QIODevice::ReadOnly) ? VoiceClips::wavLengthMs(file.readAll()) : -1;
}
constexpr qint64 kAlertMs = 150;

VoiceSchedule renderedSchedule() {
    return VoiceSchedule(VoiceClips::lengthsIn(), signalMs(), kAlertMs);
}

QStringList clipNames(const SpokenPhrase& phrase) {
    QStringList names;
    for (const PlacedClip& clip : phrase.clips)
        names.push_back(clip.name);
    return names;
}

// The clips of a phrase's words: the comma is a pause, not a clip.
QStringList spoken(QStringList words) {
    words.removeAll(QStringLiteral(","));
    return words;
}

// What a whole test sounded like on fake time, and the recoveries as the run would announce them,
// with the period and speed the display showed as each began.
struct HeardTest {
    std::vector<qint64> signalTicks;
    std::vector<qint64> alertTicks;  // the first tick of each alert second
    std::vector<RecoveryCue> recoveries;
    std::vector<bool> warmUp;
    // Each word VoiceCues placed on the fake sound, at its tick, as the run's announcement of
    // each recovery's start would have it placed.
    std::vector<std::pair<QString, qint64>> wordsAt;
    std::vector<std::pair<qint64, qint64>> announced;  // alert and departure ticks announced
};

HeardTest runWholeTest(int edition, bool withWarmUp, bool voice = true) {
    SessionHarness h(edition);
    HeardTest heard;
    VoiceCues cues(h.fakes.sound, h.fakes.ticks, renderedSchedule(), h.session.periodCount());
    cues.setEnabled(voice);
    const EditionRecord record = editionRecord(edition);
    h.start(TestMode::Esfuerzo, 1, withWarmUp);
    EXPECT_TRUE(h.session.isRunning());
    heard.signalTicks.push_back(h.fakes.ticks.ticks());
    const int periods = h.session.periodCount();
    bool inRecovery = false;
    bool alerted = false;
    // The test ends when the departure after the last period's recovery has been given.
    while (!(int(h.session.CurrentPeriod()) > periods && !h.session.isTimerOn(Timer::Recovery))) {
        const bool warmUpBefore = h.session.WarmUpPhase() == 1;
        const std::size_t alertsBefore = h.fakes.sound.m_alerts.size();
        const int signalsGiven = h.step(10);
        const qint64 now = h.fakes.ticks.ticks();
        if (signalsGiven > 0)
            heard.signalTicks.push_back(now);
        const bool recovering = h.session.isTimerOn(Timer::Recovery);
        if (recovering && !inRecovery) {
            RecoveryCue cue;
            cue.nextPeriod = int(h.session.CurrentPeriod());
            cue.speedText = h.session.display().speedText;
            cue.startTick = now;
            cue.lastPeriod = periods;
            heard.recoveries.push_back(cue);
            heard.warmUp.push_back(warmUpBefore);
            alerted = false;
            // What the run announces: the alert second 3 s before the end, the departure on
            // the first tick past the recovery's length.
            const qint64 length = warmUpBefore ? record.warmUpRestDurationMs : record.restDurationMs;
            const std::size_t before = h.fakes.sound.m_clips.size();
            heard.announced.emplace_back(now + (length - 3000) / 1000 * 1000, now + length + 1);
            const auto announce = warmUpBefore ? &VoiceCues::warmUpRecoveryBegan : &VoiceCues::recoveryBegan;
            (cues.*announce)(cue.nextPeriod, cue.speedText, now, now + (length - 3000) / 1000 * 1000,
                             now + length + 1);
            for (std::size_t i = before; i < h.fakes.sound.m_clips.size(); ++i)
                heard.wordsAt.emplace_back(h.fakes.sound.m_clips[i].clip,
                                           now + h.fakes.sound.m_clips[i].delayMs);
        }
        if (recovering && !alerted && h.fakes.sound.m_alerts.size() > alertsBefore) {
            alerted = true;
            heard.alertTicks.push_back(now);
            heard.recoveries.back().alertTick = now;
        }
        if (!recovering && inRecovery)
            heard.recoveries.back().departureTick = now;
        inRecovery = recovering;
        if (h.time.elapsed() > 4 * 3600 * 1000)
            break;  // a run that never ends fails below
    }
    return heard;
}

// The first sound (signal or alert) that begins after `tick`, or -1.
qint64 nextSoundAfter(const HeardTest& heard, qint64 tick) {
    qint64 next = -1;
    for (const std::vector<qint64>* ticks : {&heard.signalTicks, &heard.alertTicks}) {
        const auto it = std::upper_bound(ticks->begin(), ticks->end(), tick);
        if (it != ticks->end() && (next < 0 || *it < next))
            next = *it;
    }
    return next;
}

class WholeTestVoice : public ::testing::TestWithParam<std::tuple<int, bool>> {};

}  // namespace

TEST(VoiceClipFiles, EveryWordTheScheduleCanAskForIsRenderedInTheStreamFormat) {
    const ClipLengths lengths = VoiceClips::lengthsIn();
    QStringList wanted =
        VoiceSchedule::recoveryWords() + VoiceSchedule::countdownWords() + VoiceSchedule::soundCheckWords();
    // Every period of every edition's table, with the speed the display shows for it.
    for (int edition = 0; edition < kEditionCount; ++edition) {
        for (qsizetype period = 1; period <= sourcePeriodTable(edition).size(); ++period) {
            const QStringList words = VoiceSchedule::periodWords(int(period), nominalSpeedText(int(period)));
            ASSERT_FALSE(words.isEmpty()) << edition << " " << period;
            wanted += words;
        }
    }
    wanted.removeAll(QStringLiteral(","));
    wanted.removeDuplicates();
    for (const QString& name : wanted) {
        ASSERT_TRUE(lengths.contains(name)) << name.toStdString();
        QFile file(QStringLiteral(":/voice/%1.wav").arg(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray wav = file.readAll();
        // 8-bit unsigned mono PCM at the output stream's 22050 Hz: played as it is.
        EXPECT_EQ(qFromLittleEndian<quint16>(wav.constData() + 20), 1) << name.toStdString();
        EXPECT_EQ(qFromLittleEndian<quint16>(wav.constData() + 22), 1) << name.toStdString();
        EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 24), 22050u) << name.toStdString();
        EXPECT_EQ(qFromLittleEndian<quint16>(wav.constData() + 34), 8) << name.toStdString();
        // A word, not a click nor a sentence.
        EXPECT_GT(lengths.value(name), 200) << name.toStdString();
        EXPECT_LT(lengths.value(name), 1500) << name.toStdString();
    }
}

TEST(VoiceClipFiles, LengthIsReadFromTheDataChunk) {
    // 16-bit stereo at 8000 Hz: 32000 bytes a second; 3201 bytes are 101 ms rounded up.
    QByteArray wav("RIFF\0\0\0\0WAVEfmt ", 16);
    const char fmt[] = {16, 0, 0, 0, 1, 0, 2, 0, 0x40, 0x1f, 0, 0, 0, 0x7d, 0, 0, 4, 0, 16, 0};
    wav.append(fmt, sizeof fmt);
    wav.append("LIST\2\0\0\0xy", 10);  // a chunk before the data is skipped
    wav.append("data\x81\x0c\0\0", 8);
    wav.append(QByteArray(3201, '\0'));
    EXPECT_EQ(VoiceClips::wavLengthMs(wav), 101);
    EXPECT_EQ(VoiceClips::wavLengthMs(wav.left(40)), -1);  // no data chunk
    EXPECT_EQ(VoiceClips::wavLengthMs(QByteArray("RIFX")), -1);
}

TEST(VoiceSchedule, PeriodWordsFollowTheSpeedAsTheDisplayShowsIt) {
    const auto words = [](const char* text) { return QString::fromLatin1(text).split(QLatin1Char(' ')); };
    EXPECT_EQ(VoiceSchedule::periodWords(7, QStringLiteral("9,5")), words("periodo n07 , n09 coma n05 kmh"));
    EXPECT_EQ(VoiceSchedule::periodWords(7, QStringLiteral("10")), words("periodo n07 , n10 kmh"));
    EXPECT_EQ(VoiceSchedule::periodWords(7, QStringLiteral(" 9,05 ")),
              words("periodo n07 , n09 coma n00 n05 kmh"));
    EXPECT_EQ(VoiceSchedule::periodWords(30, QStringLiteral("22.6")),
              words("periodo n30 , n22 coma n06 kmh"));
    EXPECT_EQ(VoiceSchedule::periodWords(1, QStringLiteral("12,0")), words("periodo n01 , n12 coma n00 kmh"));
    // Nothing the voice has no word for: the phrase is left out, never said in part.
    EXPECT_TRUE(VoiceSchedule::periodWords(31, QStringLiteral("9,5")).isEmpty());
    EXPECT_TRUE(VoiceSchedule::periodWords(0, QStringLiteral("9,5")).isEmpty());
    EXPECT_TRUE(VoiceSchedule::periodWords(7, QString()).isEmpty());
    EXPECT_TRUE(VoiceSchedule::periodWords(7, QStringLiteral("31,5")).isEmpty());
    EXPECT_TRUE(VoiceSchedule::periodWords(7, QStringLiteral("9,")).isEmpty());
    EXPECT_TRUE(VoiceSchedule::periodWords(7, QStringLiteral("nueve")).isEmpty());
}

TEST(VoiceSchedule, ThirtySecondRecoverySaysAllThreePhrasesInPlace) {
    const VoiceSchedule schedule = renderedSchedule();
    const qint64 t = 500000;
    const RecoveryCue cue{7, QStringLiteral("7,8"), t, t + 27000, t + 30001, 30};
    const std::vector<SpokenPhrase> said = schedule.forRecovery(cue);
    ASSERT_EQ(said.size(), 3u);
    EXPECT_EQ(said[0].kind, Kind::Recovery);
    EXPECT_EQ(said[0].startTick(), t + signalMs() + VoiceSchedule::kAfterSoundMs);
    EXPECT_EQ(said[1].kind, Kind::NextPeriod);
    EXPECT_EQ(said[1].startTick(), cue.alertTick - VoiceSchedule::kPeriodBeforeAlertMs);
    EXPECT_EQ(clipNames(said[1]), spoken(VoiceSchedule::periodWords(7, QStringLiteral("7,8"))));
    // The comma after the period number is a longer pause than between the other words.
    EXPECT_EQ(said[1].clips[2].startTick - said[1].clips[1].endTick(), VoiceSchedule::kCommaGapMs);
    EXPECT_EQ(said[1].clips[3].startTick - said[1].clips[2].endTick(), VoiceSchedule::kWordGapMs);
    EXPECT_EQ(said[2].kind, Kind::Countdown);
    EXPECT_EQ(clipNames(said[2]), VoiceSchedule::countdownWords());
    // One word a beat; the departure falls on the beat after "uno".
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(said[2].clips[i].startTick,
                  cue.departureTick - qint64(3 - i) * VoiceSchedule::kCountdownBeatMs);
    EXPECT_GE(said[2].clips.front().startTick, cue.alertTick + kAlertMs + VoiceSchedule::kAfterSoundMs);
}

TEST(VoiceSchedule, PhraseThatCannotEndClearOfTheNextSoundIsNotSaid) {
    const VoiceSchedule schedule({{QStringLiteral("recuperacion"), 1000},
                                  {QStringLiteral("periodo"), 500},
                                  {QStringLiteral("n07"), 400},
                                  {QStringLiteral("n09"), 400},
                                  {QStringLiteral("coma"), 300},
                                  {QStringLiteral("n05"), 400},
                                  {QStringLiteral("kmh"), 1100},
                                  {QStringLiteral("n03"), 400},
                                  {QStringLiteral("n02"), 400},
                                  {QStringLiteral("n01"), 400}},
                                 470, 150);
    // A short recovery: "Recuperación" ends 250 ms before the alert at the latest (470 + 150 +
    // 1000 = 1620 <= 1870), the period has no room before the alert, the countdown has after it.
    const qint64 t = 1000;
    std::vector<SpokenPhrase> said =
        schedule.forRecovery({7, QStringLiteral("9,5"), t, t + 1870, t + 5001, 30});
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[0].kind, Kind::Recovery);
    EXPECT_EQ(said[1].kind, Kind::Countdown);
    // One millisecond less and "Recuperación" would end 249 ms before the alert: not said.
    said = schedule.forRecovery({7, QStringLiteral("9,5"), t, t + 1869, t + 5001, 30});
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].kind, Kind::Countdown);
    // An alert so late that "tres" would follow it too closely: the countdown is dropped whole.
    said = schedule.forRecovery({7, QStringLiteral("9,5"), t, t + 30001 - 2700, t + 30001, 30});
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[1].kind, Kind::NextPeriod);
    // "uno" too long to end 250 ms before the departure: no countdown.
    ClipLengths longOne = schedule.lengths();
    longOne[QStringLiteral("n01")] = VoiceSchedule::kCountdownBeatMs - VoiceSchedule::kClearMs + 1;
    said =
        VoiceSchedule(longOne, 470, 150).forRecovery({7, QStringLiteral("9,5"), t, t + 27000, t + 30001, 30});
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[1].kind, Kind::NextPeriod);
    // A word missing from the rendered set: its phrase is not said, the others are.
    ClipLengths noComma = schedule.lengths();
    noComma.remove(QStringLiteral("coma"));
    said =
        VoiceSchedule(noComma, 470, 150).forRecovery({7, QStringLiteral("9,5"), t, t + 27000, t + 30001, 30});
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[1].kind, Kind::Countdown);
}

TEST(VoiceSchedule, SoundCheckPhraseFollowsItsAlert) {
    const VoiceSchedule schedule = renderedSchedule();
    const std::optional<SpokenPhrase> phrase = schedule.forSoundCheck(20000);
    ASSERT_TRUE(phrase);
    EXPECT_EQ(clipNames(*phrase), VoiceSchedule::soundCheckWords());
    EXPECT_EQ(phrase->startTick(), 20000 + kAlertMs + VoiceSchedule::kAfterSoundMs);
    EXPECT_FALSE(VoiceSchedule({}, 470, 150).forSoundCheck(20000));
}

TEST_P(WholeTestVoice, EveryPhraseLiesInARecoveryAndEndsClearOfTheNextSound) {
    const auto [edition, withWarmUp] = GetParam();
    const VoiceSchedule schedule = renderedSchedule();
    const HeardTest heard = runWholeTest(edition, withWarmUp);
    const int periods = int(sourcePeriodTable(edition).size());
    // One recovery after each period, and the warm-up's.
    ASSERT_EQ(int(heard.recoveries.size()), periods + (withWarmUp ? 1 : 0));

    // The ticks announced at each recovery's start are those at which the alert and the
    // departure then came (the departure on the first 10 ms step at or past its due tick).
    ASSERT_EQ(heard.announced.size(), heard.recoveries.size());
    for (std::size_t r = 0; r < heard.recoveries.size(); ++r) {
        EXPECT_EQ(heard.announced[r].first, heard.recoveries[r].alertTick) << r;
        EXPECT_LE(heard.announced[r].second, heard.recoveries[r].departureTick) << r;
        EXPECT_LT(heard.recoveries[r].departureTick - heard.announced[r].second, 10) << r;
    }

    int periodPhrases = 0;
    for (std::size_t r = 0; r < heard.recoveries.size(); ++r) {
        const RecoveryCue& cue = heard.recoveries[r];
        ASSERT_GT(cue.alertTick, cue.startTick);
        ASSERT_GT(cue.departureTick, cue.alertTick);
        const std::vector<SpokenPhrase> said = schedule.forRecovery(cue);
        // Every recovery has room for the rest and the countdown; the period is said while the
        // edition has one to come.
        const bool periodToCome = cue.nextPeriod <= periods;
        ASSERT_EQ(said.size(), periodToCome ? 3u : 2u) << "recovery " << r;
        EXPECT_EQ(said.front().kind, Kind::Recovery);
        EXPECT_EQ(said.back().kind, Kind::Countdown);
        for (const SpokenPhrase& phrase : said) {
            // Inside the recovery, after the signal that began it has sounded out...
            EXPECT_GE(phrase.startTick(), cue.startTick + signalMs());
            EXPECT_LT(phrase.endTick(), cue.departureTick);
            // ...and clear of every sound of the whole test: none begins during the phrase nor
            // within 250 ms after it.
            const qint64 next = nextSoundAfter(heard, phrase.startTick() - 1);
            ASSERT_GE(next, 0);
            EXPECT_GE(next - phrase.endTick(), VoiceSchedule::kClearMs) << "recovery " << r;
            if (phrase.kind == Kind::NextPeriod) {
                ++periodPhrases;
                EXPECT_EQ(clipNames(phrase), spoken(VoiceSchedule::periodWords(
                                                 cue.nextPeriod, nominalSpeedText(cue.nextPeriod))));
                // The warm-up ends with the start period; the test proper counts on.
                EXPECT_EQ(cue.nextPeriod, heard.warmUp[r] ? 1 : int(r) + (withWarmUp ? 1 : 2));
            }
        }
    }
    EXPECT_EQ(periodPhrases, periods + (withWarmUp ? 1 : 0) - 1);

    // The words VoiceCues placed on the fake sound from the recoveries' announced ticks: the
    // same phrases, each word inside a recovery and clear of the next sound by 250 ms.
    const ClipLengths& lengths = schedule.lengths();
    std::size_t expectedWords = 0;
    for (const RecoveryCue& cue : heard.recoveries) {
        for (const SpokenPhrase& phrase : schedule.forRecovery(cue))
            expectedWords += phrase.clips.size();
    }
    EXPECT_EQ(heard.wordsAt.size(), expectedWords);
    for (const auto& [word, tick] : heard.wordsAt) {
        const auto recovery =
            std::find_if(heard.recoveries.begin(), heard.recoveries.end(), [&](const RecoveryCue& c) {
                return tick >= c.startTick + signalMs() && tick + lengths.value(word) < c.departureTick;
            });
        EXPECT_NE(recovery, heard.recoveries.end()) << word.toStdString() << " at " << tick;
        EXPECT_GE(nextSoundAfter(heard, tick - 1) - (tick + lengths.value(word)), VoiceSchedule::kClearMs)
            << word.toStdString() << " at " << tick;
    }
}

TEST(WholeTestVoiceOff, NothingIsPlacedWithTheVoiceOff) {
    for (int edition : {int(kEditionFutbol), int(kEditionZevez)}) {
        const HeardTest heard = runWholeTest(edition, true, false);
        EXPECT_FALSE(heard.recoveries.empty());
        EXPECT_TRUE(heard.wordsAt.empty()) << edition;
    }
}

INSTANTIATE_TEST_SUITE_P(AllEditions, WholeTestVoice,
                         ::testing::Combine(::testing::Range(0, kEditionCount), ::testing::Bool()));
