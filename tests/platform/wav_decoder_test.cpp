#include <gtest/gtest.h>

#include <QtEndian>

#include "platform/audio/WavDecoder.h"

using namespace norak;

namespace {

QByteArray le32(quint32 v) {
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le16(quint16 v) {
    QByteArray b(2, 0);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray wav(int channels, int rate, int bits, const QByteArray& data, const QByteArray& extraChunk = {}) {
    QByteArray fmt = le16(1) + le16(quint16(channels)) + le32(quint32(rate)) +
                     le32(quint32(rate * channels * bits / 8)) + le16(quint16(channels * bits / 8)) +
                     le16(quint16(bits));
    QByteArray body = QByteArray("WAVE") + "fmt " + le32(quint32(fmt.size())) + fmt + extraChunk + "data" +
                      le32(quint32(data.size())) + data;
    return QByteArray("RIFF") + le32(quint32(body.size())) + body;
}

}  // namespace

TEST(WavDecoder, EightBitMonoAtTheSameRateIsTakenAsItIs) {
    const QByteArray samples("\x80\xff\x00\x40\xc0", 5);
    EXPECT_EQ(decodeWavToMono8(wav(1, 11025, 8, samples), 11025), samples);
}

TEST(WavDecoder, DoublingTheRateKeepsEverySampleAndFillsBetween) {
    const QByteArray samples("\x80\xc0\x40", 3);
    const QByteArray out = decodeWavToMono8(wav(1, 11025, 8, samples), 22050);
    ASSERT_EQ(out.size(), 6);
    EXPECT_EQ(uchar(out[0]), 0x80);
    EXPECT_EQ(uchar(out[1]), 0xA0);
    EXPECT_EQ(uchar(out[2]), 0xC0);
    EXPECT_EQ(uchar(out[3]), 0x80);
    EXPECT_EQ(uchar(out[4]), 0x40);
    EXPECT_EQ(uchar(out[5]), 0x40);
}

TEST(WavDecoder, SixteenBitStereoIsAveragedToEightBitMono) {
    QByteArray data;
    data += le16(quint16(qint16(16384))) + le16(quint16(qint16(16384)));    // +64 both: 0xC0
    data += le16(quint16(qint16(-32768))) + le16(quint16(qint16(32767)));   // cancel out: 0x80
    data += le16(quint16(qint16(-32768))) + le16(quint16(qint16(-32768)));  // full scale low
    const QByteArray out = decodeWavToMono8(wav(2, 8000, 16, data), 8000);
    ASSERT_EQ(out.size(), 3);
    EXPECT_EQ(uchar(out[0]), 0xC0);
    EXPECT_EQ(uchar(out[1]), 0x80);
    EXPECT_EQ(uchar(out[2]), 0x00);
}

TEST(WavDecoder, SkipsOtherChunksIncludingOddSizedOnes) {
    const QByteArray list = QByteArray("LIST") + le32(3) + QByteArray("abc") + QByteArray(1, 0);  // padded
    const QByteArray samples("\x10\x20", 2);
    EXPECT_EQ(decodeWavToMono8(wav(1, 11025, 8, samples, list), 11025), samples);
}

TEST(WavDecoder, RejectsWhatItCannotRead) {
    const QByteArray good = wav(1, 11025, 8, QByteArray("\x80\x80", 2));
    EXPECT_TRUE(decodeWavToMono8(QByteArray(), 11025).isEmpty());
    EXPECT_TRUE(decodeWavToMono8(QByteArray("RIFF....WAVX"), 11025).isEmpty());
    EXPECT_TRUE(decodeWavToMono8(good.left(20), 11025).isEmpty());  // no data chunk
    EXPECT_TRUE(decodeWavToMono8(wav(1, 11025, 24, QByteArray(6, 0)), 11025).isEmpty());
    EXPECT_TRUE(decodeWavToMono8(wav(3, 11025, 8, QByteArray(6, 0)), 11025).isEmpty());
    QByteArray compressed = good;
    compressed[20] = 2;  // format tag: not plain PCM
    EXPECT_TRUE(decodeWavToMono8(compressed, 11025).isEmpty());
    EXPECT_TRUE(decodeWavToMono8(good, 0).isEmpty());
}

// A damaged rate field made the decoder stretch a few samples into hundreds of megabytes (found by
// the fuzz target: fuzz/corpus/wav_decoder/seed-rate-1.wav, the signal sound with its rate at
// 1 Hz, became 240 MB at 48 kHz). Rates outside the range are refused; its ends are read.
TEST(WavDecoder, RefusesARateNoSoundFileHasAndReadsTheRangesEnds) {
    const QByteArray samples(40, '\x80');
    EXPECT_TRUE(decodeWavToMono8(wav(1, 1, 8, samples), 22050).isEmpty());
    EXPECT_TRUE(decodeWavToMono8(wav(1, kMinWavRate - 1, 8, samples), 22050).isEmpty());
    EXPECT_TRUE(decodeWavToMono8(wav(1, kMaxWavRate + 1, 8, samples), 22050).isEmpty());
    QByteArray negative = wav(1, 11025, 8, samples);
    negative[27] = '\x80';  // 2^31 + 11025: negative as an int
    EXPECT_TRUE(decodeWavToMono8(negative, 22050).isEmpty());
    EXPECT_EQ(decodeWavToMono8(wav(1, kMinWavRate, 8, samples), 22050).size(), 40 * 22050 / kMinWavRate);
    EXPECT_EQ(decodeWavToMono8(wav(1, kMaxWavRate, 8, samples), kMaxWavRate / 4).size(), 10);
}
