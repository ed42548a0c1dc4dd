#include <gtest/gtest.h>

#include <cmath>

#include "platform/audio/ToneMixer.h"

using namespace norak;

namespace {

QByteArray ramp(int length, int first = 0x90) {
    QByteArray samples(length, ToneMixer::kSilence);
    for (int i = 0; i < length; ++i)
        samples[i] = char(first + i % 64);
    return samples;
}

// Fills frames [from, to) in uneven pieces, as an audio sink pulling odd amounts would.
QByteArray fillInPieces(ToneMixer& mixer, qint64 from, qint64 to, std::initializer_list<int> pieces) {
    QByteArray out;
    qint64 frame = from;
    auto piece = pieces.begin();
    while (frame < to) {
        const qint64 n = std::min<qint64>(*piece, to - frame);
        QByteArray block(n, 0);
        mixer.fill(frame, block.data(), n);
        out += block;
        frame += n;
        if (++piece == pieces.end())
            piece = pieces.begin();
    }
    return out;
}

int signedAt(const QByteArray& samples, int i) {
    return int(uchar(samples[i])) - 128;
}

}  // namespace

TEST(ToneMixer, SignalStartsAtItsFrameWhateverTheBufferSizes) {
    const QByteArray signal = ramp(300);
    for (qint64 onset : {0LL, 1LL, 441LL, 1000LL, 1013LL}) {
        ToneMixer mixer;
        mixer.setSignalSound(signal);
        mixer.startSignal(onset);
        const QByteArray out = fillInPieces(mixer, 0, 2000, {441, 17, 100, 3});
        ASSERT_EQ(out.size(), 2000);
        EXPECT_EQ(out.left(onset), QByteArray(onset, ToneMixer::kSilence)) << onset;
        EXPECT_EQ(out.mid(onset, signal.size()), signal) << onset;
        EXPECT_EQ(out.mid(onset + signal.size()),
                  QByteArray(2000 - onset - signal.size(), ToneMixer::kSilence));
    }
}

TEST(ToneMixer, SignalAlreadyUnderWayContinuesFromTheRightSample) {
    const QByteArray signal = ramp(300);
    ToneMixer mixer;
    mixer.setSignalSound(signal);
    mixer.startSignal(100);  // the range from 100 to 150 has been played already
    QByteArray out(100, 0);
    mixer.fill(150, out.data(), out.size());
    EXPECT_EQ(out, signal.mid(50, 100));
}

TEST(ToneMixer, OverlappingSoundsAddAndClip) {
    ToneMixer mixer;
    mixer.setSignalSound(QByteArray(10, char(0xA0)));  // +32
    mixer.setAlertSound(QByteArray(10, char(0x90)));   // +16
    mixer.startSignal(0);
    mixer.startAlert(5);
    QByteArray out(20, 0);
    mixer.fill(0, out.data(), out.size());
    EXPECT_EQ(uchar(out[0]), 0xA0);
    EXPECT_EQ(uchar(out[5]), 0xB0);  // 32 + 16
    EXPECT_EQ(uchar(out[10]), 0x90);
    EXPECT_EQ(uchar(out[15]), 0x80);

    ToneMixer loud;
    loud.setSignalSound(QByteArray(4, char(0xF0)));  // +112 twice: clipped at +127
    loud.startSignal(0);
    loud.startSignal(0);
    QByteArray top(4, 0);
    loud.fill(0, top.data(), top.size());
    EXPECT_EQ(uchar(top[0]), 0xFF);

    ToneMixer deep;
    deep.setSignalSound(QByteArray(4, char(0x10)));  // −112 twice: clipped at −128
    deep.startSignal(0);
    deep.startSignal(2);
    QByteArray bottom(4, 0);
    deep.fill(0, bottom.data(), bottom.size());
    EXPECT_EQ(uchar(bottom[1]), 0x10);
    EXPECT_EQ(uchar(bottom[2]), 0x00);
}

TEST(ToneMixer, AlertIsNotRestartedWhileItSoundsButAfterItEnded) {
    const QByteArray alert = ramp(200, 0xA0);
    ToneMixer mixer;
    mixer.setAlertSound(alert);
    EXPECT_TRUE(mixer.startAlert(100));
    EXPECT_FALSE(mixer.startAlert(101));
    EXPECT_FALSE(mixer.startAlert(299));
    QByteArray first(300, 0);
    mixer.fill(0, first.data(), first.size());
    EXPECT_EQ(first.mid(100, 200), alert);  // one alert, not two added together

    EXPECT_TRUE(mixer.startAlert(300));  // the first one has ended
    QByteArray second(200, 0);
    mixer.fill(300, second.data(), second.size());
    EXPECT_EQ(second, alert);
}

TEST(ToneMixer, BurstOfAlertRequestsWithinTheHoldGivesOneAlert) {
    // The recovery tick asks every 10 ms during a whole second.
    ToneMixer mixer;
    mixer.setAlertSound(ToneMixer::makeAlertTone());
    const qint64 second = ToneMixer::kSampleRate;
    mixer.setAlertHoldFrames(second * 12 / 10);
    int placed = 0;
    for (int i = 0; i < 100; ++i)
        placed += mixer.startAlert(i * second / 100) ? 1 : 0;
    EXPECT_EQ(placed, 1);
    EXPECT_FALSE(mixer.startAlert(second * 12 / 10 - 1));
    EXPECT_TRUE(mixer.startAlert(second * 12 / 10));
    // The hold never makes an alert shorter than its sound.
    mixer.setAlertHoldFrames(1);
    EXPECT_EQ(mixer.alertHoldFrames(), mixer.alertSound().size());
}

TEST(ToneMixer, FinishedSoundsAreForgottenAndClearForgetsEverything) {
    ToneMixer mixer;
    mixer.setSignalSound(ramp(50));
    mixer.setAlertSound(ramp(50));
    mixer.startSignal(0);
    mixer.startSignal(1000);
    QByteArray out(100, 0);
    mixer.fill(100, out.data(), out.size());
    EXPECT_EQ(mixer.scheduledCount(), 1);

    EXPECT_TRUE(mixer.startAlert(2000));
    mixer.clear();
    EXPECT_EQ(mixer.scheduledCount(), 0);
    mixer.fill(900, out.data(), out.size());
    EXPECT_EQ(out, QByteArray(100, ToneMixer::kSilence));
    EXPECT_TRUE(mixer.startAlert(10));  // a cleared stream has no alert sounding
}

TEST(ToneMixer, AlertToneIsAShortSmoothTone) {
    const QByteArray tone = ToneMixer::makeAlertTone();
    const int rate = ToneMixer::kSampleRate;
    EXPECT_NEAR(tone.size(), rate * 150 / 1000, rate / 100);
    // Starts and ends in silence, no click.
    EXPECT_LE(std::abs(signedAt(tone, 0)), 1);
    EXPECT_LE(std::abs(signedAt(tone, int(tone.size()) - 1)), 1);
    int peak = 0;
    int crossings = 0;
    for (int i = 1; i < tone.size(); ++i) {
        peak = std::max(peak, std::abs(signedAt(tone, i)));
        if ((signedAt(tone, i - 1) < 0) != (signedAt(tone, i) < 0))
            ++crossings;
    }
    EXPECT_GT(peak, 60);
    EXPECT_LT(peak, 128);
    const double frequency = crossings / 2.0 / (double(tone.size()) / rate);
    EXPECT_NEAR(frequency, 880.0, 40.0);
}

TEST(ToneMixerClips, ClipStartsAtItsFrameAndGivesWayToASignalWhichStaysUntouched) {
    const QByteArray signal = ramp(300, 0xA0);
    const QByteArray word = ramp(1000, 0x60);
    const auto signalOnly = [&] {
        ToneMixer mixer;
        mixer.setSignalSound(signal);
        mixer.startSignal(600);
        return fillInPieces(mixer, 0, 2000, {441, 17});
    }();
    // The clip is placed first, the signal later, after part of the clip has been played: the
    // order in which a recovery's words and its next signal reach the stream.
    ToneMixer mixer;
    mixer.setSignalSound(signal);
    const int clip = mixer.addClip(word);
    ASSERT_TRUE(mixer.startClip(clip, 100));
    QByteArray out = fillInPieces(mixer, 0, 400, {441, 17});
    mixer.startSignal(600);
    out += fillInPieces(mixer, 400, 2000, {100, 3});

    EXPECT_EQ(out.left(100), QByteArray(100, ToneMixer::kSilence));
    const qint64 fadeFrom = 600 - ToneMixer::kClipFadeFrames;
    EXPECT_EQ(out.mid(100, fadeFrom - 100), word.left(fadeFrom - 100));
    // Fading out to nothing where the signal begins.
    for (qint64 f = fadeFrom + 1; f < 600; ++f)
        EXPECT_LE(std::abs(signedAt(out, int(f))), std::abs(signedAt(word, int(f - 100)))) << f;
    EXPECT_LT(std::abs(signedAt(out, 599)), 2);
    // From the signal on, exactly what the signal alone gives: the rest of the word is not said.
    EXPECT_EQ(out.mid(600), signalOnly.mid(600));
}

TEST(ToneMixerClips, ClipThatBeginsDuringASignalOrAlertIsNotHeardAndUnknownClipsAreRefused) {
    ToneMixer mixer;
    mixer.setSignalSound(ramp(300, 0xA0));
    mixer.setAlertSound(ramp(200, 0xB0));
    const int clip = mixer.addClip(ramp(400, 0x60));
    EXPECT_FALSE(mixer.startClip(clip + 1, 0));
    EXPECT_FALSE(mixer.startClip(-1, 0));
    EXPECT_EQ(mixer.addClip(QByteArray()), clip + 1);
    EXPECT_FALSE(mixer.startClip(clip + 1, 0));  // an empty clip is nothing to play

    mixer.startSignal(0);
    ASSERT_TRUE(mixer.startClip(clip, 150));   // inside the signal
    ASSERT_TRUE(mixer.startClip(clip, 1000));  // clear of everything: heard whole
    ASSERT_TRUE(mixer.startAlert(2000));
    ASSERT_TRUE(mixer.startClip(clip, 2100));  // inside the alert
    const QByteArray out = fillInPieces(mixer, 0, 3000, {441});

    ToneMixer expected;
    expected.setSignalSound(ramp(300, 0xA0));
    expected.setAlertSound(ramp(200, 0xB0));
    expected.addClip(ramp(400, 0x60));
    expected.startSignal(0);
    expected.startClip(0, 1000);
    expected.startAlert(2000);
    EXPECT_EQ(out, fillInPieces(expected, 0, 3000, {441}));
    EXPECT_EQ(out.mid(1000, 400), ramp(400, 0x60));
    EXPECT_EQ(mixer.scheduledCount(), 0);  // everything played out is forgotten
}

// Stop during a recovery: the words still to come are dropped, the word under way stops where the
// cancel falls (fading out), and the signals, and words placed after the cancel, are untouched.
TEST(ToneMixerClips, CancelDropsTheWordsToComeAndCutsTheOneUnderWayButNoSignal) {
    const QByteArray word = ramp(400, 0x60);
    const auto mixerWithWord = [&] {
        ToneMixer mixer;
        mixer.setSignalSound(ramp(300, 0xA0));
        mixer.addClip(word);
        return mixer;
    };
    ToneMixer mixer = mixerWithWord();
    ASSERT_TRUE(mixer.startClip(0, 100));   // under way at the cancel
    ASSERT_TRUE(mixer.startClip(0, 1000));  // to come
    ASSERT_TRUE(mixer.startClip(0, 2000));  // to come
    mixer.startSignal(1500);
    QByteArray out = fillInPieces(mixer, 0, 250, {441, 17});
    mixer.cancelClips(300);
    ASSERT_TRUE(mixer.startClip(0, 2500));  // asked for after the cancel: said
    out += fillInPieces(mixer, 250, 3000, {100, 3});

    ToneMixer expected = mixerWithWord();
    expected.startSignal(1500);
    expected.startClip(0, 2500);
    const QByteArray alone = fillInPieces(expected, 0, 3000, {441});
    const qint64 fadeFrom = 300 - ToneMixer::kClipFadeFrames;
    EXPECT_EQ(out.mid(100, fadeFrom - 100), word.left(fadeFrom - 100));
    for (qint64 f = fadeFrom + 1; f < 300; ++f)
        EXPECT_LE(std::abs(signedAt(out, int(f))), std::abs(signedAt(word, int(f - 100)))) << f;
    // From the cancel on, exactly the signal and the word asked for afterwards.
    EXPECT_EQ(out.mid(300), alone.mid(300));
    EXPECT_EQ(out.mid(2500, 400), word);

    // A cancel with nothing placed changes nothing.
    ToneMixer quiet = mixerWithWord();
    quiet.startSignal(10);
    quiet.cancelClips(0);
    EXPECT_EQ(fillInPieces(quiet, 0, 400, {441}).mid(10, 300), ramp(300, 0xA0));
}
