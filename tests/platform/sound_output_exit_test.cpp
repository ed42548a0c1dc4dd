#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

#include "platform/audio/SoundOutput.h"
#include "platform/qt/QtSound.h"
#include "support/PrivateSoundServer.h"

using namespace norak;
using norak::testing::PrivateSoundServer;
using norak::testing::ScopedEnvironment;
using norak::testing::waitFor;

// Ending the program must end its sound output cleanly: the output stops its own work (its
// thread, and every thread of the sound library it started) before anything is freed, at any
// moment, while it plays, opens or waits for a server that is away. A private server with a null
// sink stands in for the system's (skipped where no pulseaudio program is installed); ALSA finds
// no card, so the server is the only output.

namespace {

// The threads of this process named `name` (Linux).
int threadsNamed(const QByteArray& name) {
    int count = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task) + QStringLiteral("/comm"));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == name)
            ++count;
    }
    return count;
}

// The output's own thread, and the sound library's client thread, the one that carries a stream's
// blocks to the server.
const QByteArray kAudioThread = QByteArrayLiteral("norak-audio");
const QByteArray kLibraryThread = QByteArrayLiteral("threaded-ml");

const QString kNoCard = QStringLiteral("/nonexistent/norak-test/asound.conf");

// Starts the child that opens the output as the program does, keeps it holdMs and ends.
void startChild(QProcess& child, const QString& pulseServer, int holdMs, const char* mode) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"), pulseServer);
    environment.insert(QStringLiteral("ALSA_CONFIG_PATH"), kNoCard);
    // In the sanitized build the child's end is checked for leaks as well: an output that is
    // never deleted (a deferred deletion after the application object is gone) is one.
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=1"));
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral(NORAK_SOUND_OUTPUT_CHILD), {QString::number(holdMs), QLatin1String(mode)});
}

// Waits for the child's end and checks that it was a clean one.
void expectCleanEnd(QProcess& child) {
    const bool finished = child.waitForFinished(15000);
    if (!finished) {
        child.kill();
        child.waitForFinished(5000);
    }
    ASSERT_TRUE(finished) << "the child did not end";
    const std::string errors = child.readAllStandardError().toStdString();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << "signal " << child.exitCode() << "\n" << errors;
    EXPECT_EQ(child.exitCode(), 0) << errors;
}

class SoundOutputExit : public ::testing::Test {
  protected:
    void SetUp() override {
        if (PrivateSoundServer::program().isEmpty())
            GTEST_SKIP() << "no pulseaudio program to start a private server";
        ASSERT_TRUE(m_folder.isValid());
        m_server = std::make_unique<PrivateSoundServer>(m_folder.path());
        if (!m_server->start())
            GTEST_SKIP() << "the private sound server does not start here";
    }

    QTemporaryDir m_folder;
    std::unique_ptr<PrivateSoundServer> m_server;
};

}  // namespace

// The program's way out: the application object goes, then the output, then the process ends.
// Ended right after it opened, or after some blocks, always with status 0.
TEST_F(SoundOutputExit, TheProgramEndsCleanlyWhileItsOutputPlays) {
    for (int i = 0; i < 8; ++i) {
        const int holdMs = (i * 37) % 160;
        SCOPED_TRACE(holdMs);
        QProcess child;
        startChild(child, m_server->address(), holdMs, "playing");
        expectCleanEnd(child);
    }
}

// Ended while the server is away (the output waiting to try again), or while the server comes
// back as the output opens.
TEST_F(SoundOutputExit, TheProgramEndsCleanlyWhileItsOutputWaitsOrOpens) {
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        m_server->stop();
        QProcess child;
        startChild(child, m_server->address(), 120, "any");
        if (i >= 2) {
            QThread::msleep(unsigned(15 * (i - 2)));
            ASSERT_TRUE(m_server->start());
        }
        expectCleanEnd(child);
    }
}

// In the process itself: whatever the output was doing when it was ended (playing, just opened,
// waiting for a server that went away, opening again as it came back), once it is gone no thread
// of the sound library runs any more.
TEST_F(SoundOutputExit, AnEndedOutputLeavesNoThreadOfTheSoundLibraryBehind) {
    const ScopedEnvironment pulse("PULSE_SERVER", m_server->address().toLocal8Bit());
    const ScopedEnvironment noCard("ALSA_CONFIG_PATH", QFile::encodeName(kNoCard));
    ASSERT_EQ(threadsNamed(kLibraryThread), 0);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        {
            QtSound sound;
            if (i % 5 != 0) {  // 0 and 5: ended while it opens
                ASSERT_TRUE(waitFor([&] { return sound.isStreamRunning(); }, 5000));
            }
            QThread::msleep(unsigned(i * 13 % 50));
            if (i == 3 || i == 7) {
                // The server goes away under the playing output; the output waits to try again,
                // and for i == 7 the server is back as it does.
                m_server->stop();
                ASSERT_TRUE(waitFor([&] { return !sound.isStreamRunning(); }, 5000));
                if (i == 7) {
                    ASSERT_TRUE(m_server->start());
                    QThread::msleep(unsigned(SoundOutput::kRetryIntervalMs - 100));
                }
            }
        }
        // The owner waited for the output's own thread rather than giving up and leaving it behind
        // (the system may take a moment to remove a thread that has finished), and that thread
        // took every thread of the sound library with it.
        EXPECT_TRUE(waitFor([] { return threadsNamed(kAudioThread) == 0; }, 500))
            << "the output's thread was left behind";
        EXPECT_EQ(threadsNamed(kLibraryThread), 0) << "a thread of the sound library outlived the output";
        if (i == 3) {
            ASSERT_TRUE(m_server->start());
        }
    }
}
