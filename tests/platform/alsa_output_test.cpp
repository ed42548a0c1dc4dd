#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <vector>

#include "platform/audio/AlsaOutput.h"
#include "platform/audio/ToneMixer.h"
#include "platform/qt/QtSound.h"

using namespace norak;

// The sound straight to ALSA, on a machine without a sound server. ALSA's own file plugin (over
// its null device) stands in for the card: every frame the program plays ends up in a file, at
// its place in the stream.

namespace {

// For its lifetime, ALSA's default device writes into a file and no sound server answers.
class CardInAFile {
  public:
    CardInAFile() : m_config(m_folder.filePath(QStringLiteral("asound.conf"))) {
        QFile file(m_config);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("pcm.!default {\n    type file\n    slave.pcm \"discard\"\n    file \"" +
                       QFile::encodeName(output()) +
                       "\"\n    format \"raw\"\n}\npcm.discard { type null }\n");
        }
        m_savedConfig = qgetenv("ALSA_CONFIG_PATH");
        m_savedServer = qgetenv("PULSE_SERVER");
        qputenv("ALSA_CONFIG_PATH", QFile::encodeName(m_config));
        qputenv("PULSE_SERVER", "unix:/nonexistent/norak-test/native");
    }
    ~CardInAFile() {
        restore("ALSA_CONFIG_PATH", m_savedConfig);
        restore("PULSE_SERVER", m_savedServer);
    }
    QString output() const { return m_folder.filePath(QStringLiteral("card.raw")); }
    QByteArray played() const {
        QFile file(output());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString folder() const { return m_folder.path(); }

  private:
    static void restore(const char* name, const QByteArray& value) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    QTemporaryDir m_folder;
    QString m_config;
    QByteArray m_savedConfig;
    QByteArray m_savedServer;
};

// A WAVE file of one steady level: its onset in the output is its first non-silent frame.
QString writeSteadySignal(const QString& folder, int frames) {
    const QString path = folder + QStringLiteral("/signal.wav");
    QByteArray wave("RIFF");
    auto append32 = [&wave](quint32 v) {
        const quint32 little = qToLittleEndian(v);
        wave.append(reinterpret_cast<const char*>(&little), 4);
    };
    auto append16 = [&wave](quint16 v) {
        const quint16 little = qToLittleEndian(v);
        wave.append(reinterpret_cast<const char*>(&little), 2);
    };
    append32(quint32(36 + frames));
    wave += "WAVEfmt ";
    append32(16);
    append16(1);
    append16(1);
    append32(ToneMixer::kSampleRate);
    append32(ToneMixer::kSampleRate);
    append16(1);
    append16(8);
    wave += "data";
    append32(quint32(frames));
    wave += QByteArray(frames, char(0xC0));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(wave);
    return path;
}

std::vector<qsizetype> onsets(const QByteArray& samples) {
    std::vector<qsizetype> found;
    for (qsizetype i = 0; i < samples.size(); ++i) {
        if (samples[i] != ToneMixer::kSilence && (i == 0 || samples[i - 1] == ToneMixer::kSilence))
            found.push_back(i);
    }
    return found;
}

}  // namespace

TEST(AlsaOutput, PlaysEveryFrameAtThePaceOfTheClock) {
    CardInAFile card;
    AlsaOutput output;
    ASSERT_TRUE(output.open("default", ToneMixer::kSampleRate, 100));
    QByteArray sent;
    const int block = ToneMixer::kSampleRate / 50;
    QElapsedTimer took;
    took.start();
    // 1.5 s of sound into a device that would take it all at once: the first second goes at
    // once, the rest at the pace it plays.
    for (int i = 0; i < 75; ++i) {
        const QByteArray samples(block, char(i));
        ASSERT_TRUE(output.write(samples.constData(), samples.size()));
        sent += samples;
    }
    EXPECT_GE(took.elapsed(), 1500 - AlsaOutput::kMaxAheadMs - 30);
    output.close();
    EXPECT_EQ(card.played(), sent);
}

// A stream opened again (after the device was lost) is paced afresh: its first second goes at
// once, however long the stream before it had played.
TEST(AlsaOutput, AReopenedStreamIsPacedAfresh) {
    CardInAFile card;
    AlsaOutput output;
    const int block = ToneMixer::kSampleRate / 50;
    const QByteArray samples(block, char(0x90));
    ASSERT_TRUE(output.open("default", ToneMixer::kSampleRate, 100));
    for (int i = 0; i < 75; ++i)  // 1.5 s: the last half second at the pace it plays
        ASSERT_TRUE(output.write(samples.constData(), samples.size()));
    output.close();
    ASSERT_TRUE(output.open("default", ToneMixer::kSampleRate, 100));
    QElapsedTimer took;
    took.start();
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(output.write(samples.constData(), samples.size()));
    EXPECT_LT(took.elapsed(), 750);  // held back by the old stream, it would take 1.5 s
}

TEST(AlsaOutput, AMissingDeviceFailsAtOnce) {
    CardInAFile card;
    AlsaOutput output;
    QElapsedTimer took;
    took.start();
    EXPECT_FALSE(output.open("plughw:7,0", ToneMixer::kSampleRate, 100));
    EXPECT_FALSE(output.open("no-such-device", ToneMixer::kSampleRate, 100));
    EXPECT_FALSE(output.isOpen());
    EXPECT_FALSE(output.write("\x80", 1));
    EXPECT_LT(took.elapsed(), 200);
}

TEST(AlsaSound, WithoutAServerEverySignalIsPlayedAndPlacedOnTheCard) {
    CardInAFile card;
    const int signalFrames = ToneMixer::kSampleRate / 5;
    std::vector<qint64> requestedUs;
    {
        QtSound sound(writeSteadySignal(card.folder(), signalFrames));
        ASSERT_TRUE(sound.hasSignalSound());
        // The count never blocks: unknown (-1) until the audio thread has counted, then the card
        // counts, so there is no "no sound card" message.
        ASSERT_TRUE(QTest::qWaitFor([&] { return sound.outputDeviceCount() >= 0; }, 2500));
        EXPECT_EQ(sound.outputDeviceCount(), 1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sound.isStreamRunning(); }, 5000));
        // The placement clock settles over its first windows.
        QThread::msleep(3500);

        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 6; ++i) {
            // Spacings that are no whole number of blocks.
            const qint64 dueUs = i * 487300 + (i % 2) * 1130;
            while (clock.nsecsElapsed() / 1000 < dueUs) {
            }
            const qint64 before = clock.nsecsElapsed() / 1000;
            sound.playSignal();
            requestedUs.push_back((before + clock.nsecsElapsed() / 1000) / 2);
            QThread::msleep(300);
        }
        QThread::msleep(600);
        EXPECT_EQ(sound.streamOpenings(), 1);
    }
    const std::vector<qsizetype> played = onsets(card.played());
    ASSERT_EQ(played.size(), requestedUs.size());
    double worst = 0;
    for (size_t i = 1; i < played.size(); ++i) {
        const double expected = double(requestedUs[i] - requestedUs[0]) * ToneMixer::kSampleRate / 1e6;
        EXPECT_NEAR(double(played[i] - played[0]), expected, 2.0) << "signal " << i;
        worst = std::max(worst, std::abs(double(played[i] - played[0]) - expected));
    }
    std::cout << "worst placement error: " << worst << " frames\n";
}
