#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

#include "platform/qt/QtSound.h"

using namespace norak;

// The sound server going away during a test and coming back: the output must pick it up again,
// however long it was away. A private server with a null sink is started for the test (skipped
// where no pulseaudio program is installed).

namespace {

bool waitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

class PrivateSoundServer {
  public:
    PrivateSoundServer(const QString& program, const QString& folder)
        : m_program(program), m_socket(folder + QStringLiteral("/native")) {
        const QString runtime = folder + QStringLiteral("/run");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_script = folder + QStringLiteral("/server.pa");
        QFile script(m_script);
        if (script.open(QIODevice::WriteOnly)) {
            script.write(
                "load-module module-native-protocol-unix auth-anonymous=1 socket=" +
                QFile::encodeName(m_socket) +
                "\nload-module module-null-sink sink_name=nullsink rate=48000\nset-default-sink nullsink\n");
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        environment.insert(QStringLiteral("HOME"), folder);
        environment.remove(QStringLiteral("PULSE_SERVER"));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~PrivateSoundServer() { stop(); }

    QString address() const { return QStringLiteral("unix:") + m_socket; }

    bool start() {
        QFile::remove(m_socket);
        m_process.start(m_program, {QStringLiteral("-n"), QStringLiteral("-F"), m_script,
                                    QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                                    QStringLiteral("--system=false"), QStringLiteral("--log-target=stderr"),
                                    QStringLiteral("--log-level=error")});
        return m_process.waitForStarted(5000) && waitFor([this] { return QFile::exists(m_socket); }, 5000);
    }

    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(5000);
    }

  private:
    QString m_program;
    QString m_socket;
    QString m_script;
    QProcess m_process;
};

}  // namespace

TEST(SoundServerRestart, TheOutputComesBackWhenTheServerDoesLongAfter) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (program.isEmpty())
        GTEST_SKIP() << "no pulseaudio program to start a private server";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    PrivateSoundServer server(program, folder.path());
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
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (program.isEmpty())
        GTEST_SKIP() << "no pulseaudio program to start a private server";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    PrivateSoundServer server(program, folder.path());
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
