#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include "platform/qt/QtSound.h"
#include "support/PrivateSoundServer.h"

using namespace norak;
using norak::testing::PrivateSoundServer;
using norak::testing::waitFor;

// The sound server going away during a test and coming back: the output must pick it up again,
// however long it was away. A private server with a null sink is started for the test (skipped
// where no pulseaudio program is installed).

TEST(SoundServerRestart, TheOutputComesBackWhenTheServerDoesLongAfter) {
    if (PrivateSoundServer::program().isEmpty())
        GTEST_SKIP() << "no pulseaudio program to start a private server";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    PrivateSoundServer server(folder.path());
    if (!server.start())
        GTEST_SKIP() << "the private sound server does not start here";
    const QByteArray previous = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", server.address().toLocal8Bit());
    // No card to fall back on while the server is away, whatever the machine has.
    const QByteArray previousAlsa = qgetenv("ALSA_CONFIG_PATH");
    qputenv("ALSA_CONFIG_PATH", "/nonexistent/norak-test/asound.conf");

    {
        QtSound sound;
        ASSERT_TRUE(waitFor([&] { return sound.isStreamRunning(); }, 10000));
        EXPECT_EQ(sound.streamOpenings(), 1);

        server.stop();
        EXPECT_TRUE(waitFor([&] { return !sound.isStreamRunning(); }, 5000));
        // Away for longer than a sound library retries on its own; signals asked for meanwhile
        // return at once.
        QElapsedTimer calls;
        calls.start();
        for (int i = 0; i < 8; ++i) {
            sound.playSignal();
            sound.alert(kAlertWarning);
            QThread::msleep(1000);
        }
        EXPECT_LT(calls.elapsed(), 8000 + 500);

        ASSERT_TRUE(server.start());
        EXPECT_TRUE(waitFor([&] { return sound.isStreamRunning(); }, 15000)) << "the sound did not come back";
        EXPECT_EQ(sound.streamOpenings(), 2);
    }
    qputenv("PULSE_SERVER", previous);
    if (previousAlsa.isNull())
        qunsetenv("ALSA_CONFIG_PATH");
    else
        qputenv("ALSA_CONFIG_PATH", previousAlsa);
}

TEST(SoundServerRestart, ACardCarriesTheSoundWhileTheServerIsAway) {
    if (PrivateSoundServer::program().isEmpty())
        GTEST_SKIP() << "no pulseaudio program to start a private server";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    PrivateSoundServer server(folder.path());
    if (!server.start())
        GTEST_SKIP() << "the private sound server does not start here";
    // ALSA's default device stands in for the card: a file over the null device.
    const QString card = folder.filePath(QStringLiteral("card.raw"));
    const QString config = folder.filePath(QStringLiteral("asound.conf"));
    QFile configFile(config);
    ASSERT_TRUE(configFile.open(QIODevice::WriteOnly));
    configFile.write("pcm.!default { type file slave.pcm \"discard\" file \"" + QFile::encodeName(card) +
                     "\" format \"raw\" }\npcm.discard { type null }\n");
    configFile.close();
    const QByteArray previous = qgetenv("PULSE_SERVER");
    const QByteArray previousAlsa = qgetenv("ALSA_CONFIG_PATH");
    qputenv("PULSE_SERVER", server.address().toLocal8Bit());
    qputenv("ALSA_CONFIG_PATH", QFile::encodeName(config));
    auto cardBytes = [&card] { return QFileInfo(card).size(); };
    {
        QtSound sound;
        ASSERT_TRUE(waitFor([&] { return sound.isStreamRunning(); }, 10000));
        EXPECT_EQ(sound.streamOpenings(), 1);
        EXPECT_FALSE(QFile::exists(card));  // the server plays while it answers

        server.stop();
        EXPECT_TRUE(waitFor([&] { return sound.streamOpenings() == 2 && sound.isStreamRunning(); }, 8000));
        EXPECT_TRUE(waitFor([&] { return cardBytes() > 0; }, 2000)) << "the card did not take over";
        EXPECT_TRUE(waitFor([&] { return sound.outputDeviceCount() == 1; }, 1500));

        ASSERT_TRUE(server.start());
        EXPECT_TRUE(waitFor([&] { return sound.streamOpenings() == 3; }, 8000))
            << "the server was not taken back";
        // Once back on the server, the card is left alone.
        QThread::msleep(1500);
        const qint64 before = cardBytes();
        QThread::msleep(500);
        EXPECT_EQ(cardBytes(), before);
        EXPECT_TRUE(sound.isStreamRunning());
    }
    qputenv("PULSE_SERVER", previous);
    if (previousAlsa.isNull())
        qunsetenv("ALSA_CONFIG_PATH");
    else
        qputenv("ALSA_CONFIG_PATH", previousAlsa);
}
