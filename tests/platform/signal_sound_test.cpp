#include <gtest/gtest.h>

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <map>

namespace {

// The chunks of a RIFF WAVE file by their tag, read the way a player reads them.
struct Wave {
    quint32 riffSize = 0;
    qsizetype fileSize = 0;
    std::map<QByteArray, QByteArray> chunks;
};

Wave readWave(const QByteArray& bytes) {
    Wave wave;
    wave.fileSize = bytes.size();
    if (bytes.size() < 12 || bytes.left(4) != "RIFF" || bytes.mid(8, 4) != "WAVE") {
        return wave;
    }
    wave.riffSize = qFromLittleEndian<quint32>(bytes.constData() + 4);
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray tag = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        wave.chunks[tag] = bytes.mid(at + 8, size);
        at += 8 + size + (size % 2);  // chunks are padded to an even length
    }
    return wave;
}

quint16 u16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 u32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

Wave signalSound() {
    QFile file(QStringLiteral(":/sound/sonido.wav"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return readWave(file.readAll());
}

}  // namespace

TEST(SignalSound, IsEightBitMonoPcmAt11025Hz) {
    const Wave wave = signalSound();
    ASSERT_EQ(wave.chunks.count("fmt "), 1u);
    const QByteArray& format = wave.chunks.at("fmt ");
    ASSERT_GE(format.size(), 16);
    EXPECT_EQ(u16(format, 0), 1);       // PCM
    EXPECT_EQ(u16(format, 2), 1);       // one channel
    EXPECT_EQ(u32(format, 4), 11025u);  // samples per second
    EXPECT_EQ(u32(format, 8), 11025u);  // bytes per second
    EXPECT_EQ(u16(format, 12), 1);      // block align
    EXPECT_EQ(u16(format, 14), 8);      // bits per sample
    // The RIFF size covers exactly the rest of the file.
    EXPECT_EQ(qsizetype(wave.riffSize) + 8, wave.fileSize);
}

TEST(SignalSound, HoldsAFullScaleSquareToneOfAbout437Hz) {
    const Wave wave = signalSound();
    ASSERT_EQ(wave.chunks.count("data"), 1u);
    const QByteArray& data = wave.chunks.at("data");
    ASSERT_EQ(data.size(), 5167);

    const auto* samples = reinterpret_cast<const uchar*>(data.constData());
    const auto [low, high] = std::minmax_element(samples, samples + data.size());
    EXPECT_EQ(*low, 0x00);
    EXPECT_EQ(*high, 0xFF);
    // A square wave: every sample sits on one of the two extremes.
    EXPECT_TRUE(std::all_of(samples, samples + data.size(), [](uchar s) { return s == 0x00 || s == 0xFF; }));

    // Two level changes per cycle.
    int changes = 0;
    for (qsizetype i = 1; i < data.size(); ++i) {
        changes += (samples[i] >= 0x80) != (samples[i - 1] >= 0x80) ? 1 : 0;
    }
    const double seconds = data.size() / 11025.0;
    EXPECT_NEAR(changes / 2.0 / seconds, 437.0, 4.0);
    EXPECT_NEAR(seconds, 0.47, 0.005);
}
