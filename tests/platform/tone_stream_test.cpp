#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

#include "platform/audio/ToneStream.h"

using namespace norak;

namespace {

ToneMixer mixerWithSignal(int length) {
    ToneMixer mixer;
    mixer.setSignalSound(QByteArray(length, char(0xC0)));
    mixer.setAlertSound(QByteArray(length, char(0xA0)));
    return mixer;
}

// Pulls 20 ms blocks in real time, as the sink does, for `ms` milliseconds.
QByteArray pull(ToneStream& stream, int ms) {
    QByteArray all;
    const qint64 block = ToneMixer::kSampleRate / 50;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < ms / 20; ++i) {
        all += stream.read(block);
        const qint64 next = (i + 1) * 20;
        if (timer.elapsed() < next)
            QThread::msleep(quint64(next - timer.elapsed()));
    }
    return all;
}

int countOnsets(const QByteArray& samples) {
    int onsets = 0;
    for (qsizetype i = 0; i < samples.size(); ++i) {
        if (samples[i] != ToneMixer::kSilence && (i == 0 || samples[i - 1] == ToneMixer::kSilence))
            ++onsets;
    }
    return onsets;
}

}  // namespace

TEST(ToneStream, IsSilentUntilAskedAndPlaysEachRequestOnce) {
    QElapsedTimer clock;
    clock.start();
    ToneStream stream(clock, mixerWithSignal(200));
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    EXPECT_EQ(stream.lastReadUs(), -1);

    const QByteArray quiet = pull(stream, 200);
    EXPECT_EQ(quiet, QByteArray(quiet.size(), ToneMixer::kSilence));
    EXPECT_GE(stream.lastReadUs(), 0);

    stream.post(ToneStream::Kind::Signal, stream.nowUs());
    const QByteArray played = pull(stream, 400);
    EXPECT_EQ(countOnsets(played), 1);
    EXPECT_EQ(played.count(char(0xC0)), 200);
}

TEST(ToneStream, RequestsKeepTheirSpacingInTheStream) {
    QElapsedTimer clock;
    clock.start();
    ToneStream stream(clock, mixerWithSignal(50));
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    pull(stream, 100);
    // Two requests 37 ms apart, posted together: their sounds lie exactly 37 ms apart.
    const qint64 now = stream.nowUs();
    stream.post(ToneStream::Kind::Signal, now);
    stream.post(ToneStream::Kind::Signal, now + 37000);
    const QByteArray played = pull(stream, 400);
    const qsizetype first = played.indexOf(char(0xC0));
    ASSERT_GE(first, 0);
    const qsizetype second = played.indexOf(char(0xC0), first + 50);
    ASSERT_GE(second, 0);
    EXPECT_NEAR(double(second - first), 37.0 * ToneMixer::kSampleRate / 1000, 1.0);
}

TEST(ToneStream, ARequestFromLongAgoIsDropped) {
    QElapsedTimer clock;
    clock.start();
    ToneStream stream(clock, mixerWithSignal(200));
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    pull(stream, 60);
    // Made long ago, but the stream only hears of it now (its thread was held up).
    stream.post(ToneStream::Kind::Signal,
                stream.nowUs() - (ToneStream::kLatencyMs + ToneStream::kMaxLateMs + 50) * 1000);
    const QByteArray played = pull(stream, 200);
    EXPECT_EQ(countOnsets(played), 0);
}

TEST(ToneStream, ALateRequestWithinTheToleranceIsPlayedWholeAtTheNextFrame) {
    QElapsedTimer clock;
    clock.start();
    const int halfSecond = ToneMixer::kSampleRate / 2;
    ToneStream stream(clock, mixerWithSignal(halfSecond));
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    pull(stream, 60);
    // Its place in the stream went by 150 ms ago: it starts at once and loses nothing.
    stream.post(ToneStream::Kind::Signal, stream.nowUs() - (ToneStream::kLatencyMs + 150) * 1000);
    const QByteArray played = pull(stream, 800);
    EXPECT_EQ(countOnsets(played), 1);
    EXPECT_EQ(played.count(char(0xC0)), halfSecond);
    EXPECT_LT(played.indexOf(char(0xC0)), ToneMixer::kSampleRate * 40 / 1000);  // within two blocks
}

TEST(ToneStream, RequestsMadeAtTheirMomentKeepTheirSpacing) {
    QElapsedTimer clock;
    clock.start();
    ToneStream stream(clock, mixerWithSignal(50));
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    pull(stream, 100);
    // As the window makes them: the second 112 ms after the first, while the output plays on.
    // Each lies the fixed latency after its moment, so not on a block boundary of the sink.
    const qint64 first = stream.nowUs();
    stream.post(ToneStream::Kind::Signal, first);
    QByteArray played = pull(stream, 120);
    stream.post(ToneStream::Kind::Signal, first + 112000);
    played += pull(stream, 400);
    const qsizetype onset1 = played.indexOf(char(0xC0));
    ASSERT_GE(onset1, 0);
    const qsizetype onset2 = played.indexOf(char(0xC0), onset1 + 50);
    ASSERT_GE(onset2, 0);
    EXPECT_NEAR(double(onset2 - onset1), 112.0 * ToneMixer::kSampleRate / 1000, 1.0);
}

TEST(ToneStream, ClipHeldForLaterFallsAsFarFromASignalAsTheirMoments) {
    QElapsedTimer clock;
    clock.start();
    ToneMixer mixer = mixerWithSignal(50);
    const int clip = mixer.addClip(QByteArray(50, char(0x40)));
    ToneStream stream(clock, std::move(mixer));
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    pull(stream, 100);
    // Posted together, the word for a moment further ahead than the stream places at once.
    const qint64 now = stream.nowUs();
    const qint64 aheadMs = ToneStream::kClipLeadMs + 260;
    stream.post(ToneStream::Kind::Signal, now);
    stream.postClip(clip, now + aheadMs * 1000);
    stream.postClip(clip + 1, now);  // no such clip: nothing
    const QByteArray played = pull(stream, int(aheadMs) + 300);
    const qsizetype signal = played.indexOf(char(0xC0));
    const qsizetype word = played.indexOf(char(0x40));
    ASSERT_GE(signal, 0);
    ASSERT_GE(word, 0);
    EXPECT_NEAR(double(word - signal), double(aheadMs) * ToneMixer::kSampleRate / 1000, 1.0);
    EXPECT_EQ(played.count(char(0x40)), 50);
    EXPECT_EQ(countOnsets(played), 2);
}

// Stop during a recovery: words posted before the cancel, held for later or already placed, are
// not heard; a signal posted with them is, and so is a word posted after the cancel.
TEST(ToneStream, CancelledClipsAreNotHeardWhereverTheyWaited) {
    QElapsedTimer clock;
    clock.start();
    ToneMixer mixer = mixerWithSignal(50);
    const int clip = mixer.addClip(QByteArray(50, char(0x40)));
    const int later = mixer.addClip(QByteArray(50, char(0x30)));
    ToneStream stream(clock, std::move(mixer));
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    pull(stream, 100);
    qint64 now = stream.nowUs();
    stream.postClip(clip, now + 150000);  // placed in the mixer at the next pull
    stream.postClip(clip, now + (ToneStream::kClipLeadMs + 300) * 1000);  // held for later
    pull(stream, 60);
    now = stream.nowUs();
    stream.post(ToneStream::Kind::Signal, now);
    stream.postClip(clip, now + 50000);  // posted with the cancel, before it
    stream.cancelClips(now);
    stream.postClip(later, now + 200000);
    const QByteArray played = pull(stream, int(ToneStream::kClipLeadMs) + 600);
    EXPECT_EQ(played.count(char(0x40)), 0);
    EXPECT_EQ(played.count(char(0xC0)), 50);
    EXPECT_EQ(played.count(char(0x30)), 50);
    EXPECT_EQ(countOnsets(played), 2);
}
