#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryFile>
#include <QThread>

#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtSound.h"

using namespace norak;

// This program runs without a sound server: the client library is pointed at a socket that does
// not exist before anything can connect. Nor without a server does it find a card: ALSA reads a
// configuration that defines no device.
static const bool kNoSoundServer = [] {
    qputenv("PULSE_SERVER", "unix:/nonexistent/norak-test/native");
    qputenv("ALSA_CONFIG_PATH", "/nonexistent/norak-test/asound.conf");
    return true;
}();

TEST(QtSound, WithoutASoundServerEveryCallReturnsPromptly) {
    ASSERT_TRUE(kNoSoundServer);
    QElapsedTimer timer;
    timer.start();
    {
        QtSound sound;
        EXPECT_LT(timer.elapsed(), 1000);

        timer.restart();
        // The first count never waits for the audio thread: none yet, or not known yet.
        const int firstCount = sound.outputDeviceCount();
        EXPECT_LT(timer.elapsed(), 50);
        EXPECT_TRUE(firstCount == 0 || firstCount == -1) << firstCount;

        timer.restart();
        for (int i = 0; i < 100; ++i) {
            sound.playSignal();
            sound.alert(i % 2 ? kAlertQuestion : kAlertWarning);
        }
        EXPECT_LT(timer.elapsed(), 200);

        // The audio thread keeps trying to open an output in the background; calls go on working.
        QThread::msleep(3500);
        timer.restart();
        sound.playSignal();
        sound.alert(kAlertWarning);
        EXPECT_EQ(sound.outputDeviceCount(), 0);
        EXPECT_LT(timer.elapsed(), 200);
        EXPECT_FALSE(sound.isStreamRunning());
        EXPECT_EQ(sound.outputName(), QStringLiteral("Ninguna (señales en silencio)"));
        EXPECT_EQ(sound.streamOpenings(), 0);
        timer.restart();
    }
    EXPECT_LT(timer.elapsed(), 3500);  // the destructor does not hang
}

TEST(QtSound, AnUnreadableSignalFileLeavesTheSignalSilent) {
    QtSound missing(QStringLiteral("/nonexistent/sonido.wav"));
    EXPECT_FALSE(missing.hasSignalSound());
    missing.playSignal();

    QTemporaryFile notWave;
    ASSERT_TRUE(notWave.open());
    notWave.write("RIFF-but-not-a-wave");
    notWave.close();
    QtSound garbage(notWave.fileName());
    EXPECT_FALSE(garbage.hasSignalSound());
}

TEST(QtPlatform, BundlesOneOfEachImplementation) {
    QtPlatform real;
    Platform platform = real.platform();
    EXPECT_EQ(&platform.sound, static_cast<Sound*>(&real.sound));
    EXPECT_EQ(&platform.ticks, static_cast<TickSource*>(&real.ticks));
    EXPECT_EQ(&platform.files, static_cast<FileSystem*>(&real.files));
    EXPECT_EQ(&platform.shell, static_cast<DesktopShell*>(&real.shell));
    const qint64 before = platform.ticks.ticks();
    QThread::msleep(20);
    EXPECT_GE(platform.ticks.ticks() - before, 20);
}
