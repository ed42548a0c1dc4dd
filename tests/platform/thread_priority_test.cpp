#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <vector>

#include "platform/qt/ThreadPriority.h"

using namespace norak;

// The requests to RealtimeKit, checked against a stand-in service on a private bus that the test
// starts itself: the system bus is never touched. The process's own rights are not tried here
// (as root they would simply succeed).

namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");

struct Call {
    QString method;
    quint64 thread = 0;
    qint64 level = 0;
    rlim_t rtTimeHard = 0;  // the caller's real-time CPU limit when the call came
};

// Answers like RealtimeKit, with chosen limits, and grants or refuses every request.
class StandInRealtimeKit : public QDBusVirtualObject {
  public:
    int maxRealtimePriority = 20;
    int minNiceLevel = -15;
    qint64 rtTimeUSecMax = 200000;
    bool refuse = false;
    bool refuseRealtime = false;

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const QList<QVariant> args = message.arguments();
        if (message.member() == QLatin1String("Get") && args.size() == 2) {
            const QString name = args[1].toString();
            QVariant value;
            if (name == QLatin1String("MaxRealtimePriority"))
                value = QVariant::fromValue(qint32(maxRealtimePriority));
            else if (name == QLatin1String("MinNiceLevel"))
                value = QVariant::fromValue(qint32(minNiceLevel));
            else if (name == QLatin1String("RTTimeUSecMax"))
                value = QVariant::fromValue(rtTimeUSecMax);
            connection.send(value.isValid() ? message.createReply(QVariant::fromValue(QDBusVariant(value)))
                                            : message.createErrorReply(QDBusError::InvalidArgs, name));
            return true;
        }
        if (message.member().startsWith(QLatin1String("MakeThread")) && args.size() == 2) {
            rlimit limit{};
            getrlimit(RLIMIT_RTTIME, &limit);
            {
                QMutexLocker lock(&m_lock);
                m_calls.push_back(
                    {message.member(), args[0].toULongLong(), args[1].toLongLong(), limit.rlim_max});
            }
            const bool no =
                refuse || (refuseRealtime && message.member() == QLatin1String("MakeThreadRealtime"));
            connection.send(no ? message.createErrorReply(QDBusError::AccessDenied, QStringLiteral("refused"))
                               : message.createReply());
            return true;
        }
        return false;
    }

    std::vector<Call> calls() {
        QMutexLocker lock(&m_lock);
        return m_calls;
    }

  private:
    QMutex m_lock;
    std::vector<Call> m_calls;
};

class ThreadPriorityTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed (Debian package dbus)";
        ASSERT_TRUE(m_dir.isValid());
        QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(
            QStringLiteral(
                "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                "<busconfig><type>system</type><listen>unix:path=%1</listen><auth>EXTERNAL</auth>\n"
                "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>\n"
                "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy></busconfig>\n")
                .arg(m_dir.filePath(QStringLiteral("bus")))
                .toUtf8());
        config.close();
        m_daemon.start(daemon, {QStringLiteral("--config-file=") + config.fileName(),
                                QStringLiteral("--print-address"), QStringLiteral("--nofork")});
        ASSERT_TRUE(m_daemon.waitForStarted(5000));
        QElapsedTimer waited;
        waited.start();
        while (!m_daemon.canReadLine() && waited.elapsed() < 5000)
            m_daemon.waitForReadyRead(100);
        m_settings.busAddress = QString::fromUtf8(m_daemon.readLine().trimmed());
        ASSERT_FALSE(m_settings.busAddress.isEmpty()) << m_daemon.readAllStandardError().constData();
        m_settings.direct = false;

        // The stand-in answers on a thread of its own, as the client's calls block their thread.
        m_serviceThread.start();
        m_service.moveToThread(&m_serviceThread);
        bool registered = false;
        QMetaObject::invokeMethod(
            &m_service,
            [&] {
                QDBusConnection bus =
                    QDBusConnection::connectToBus(m_settings.busAddress, QStringLiteral("standin"));
                registered = bus.registerService(kService) && bus.registerVirtualObject(kPath, &m_service);
            },
            Qt::BlockingQueuedConnection);
        ASSERT_TRUE(registered);
    }

    void TearDown() override {
        if (m_serviceThread.isRunning()) {
            QMetaObject::invokeMethod(
                &m_service, [] { QDBusConnection::disconnectFromBus(QStringLiteral("standin")); },
                Qt::BlockingQueuedConnection);
            m_serviceThread.quit();
            m_serviceThread.wait();
        }
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            m_daemon.waitForFinished(3000);
        }
    }

    struct Raised {
        ThreadPriority::Grant grant;
        quint64 thread = 0;
        int policyBefore = 0, policyAfter = 0;
        int niceBefore = 0, niceAfter = 0;
    };

    // Raises a thread of its own, so that the id asked for is seen to be the thread's, not the
    // process's; a startNice other than 0 is the nice level the thread has before it asks.
    Raised raiseOnThread(ThreadPriority::Role role, int startNice = 0) {
        Raised r;
        QThread* thread = QThread::create([&] {
            r.thread = quint64(gettid());
            if (startNice != 0)
                setpriority(PRIO_PROCESS, id_t(gettid()), startNice);
            r.policyBefore = sched_getscheduler(0);
            r.niceBefore = getpriority(PRIO_PROCESS, id_t(gettid()));
            r.grant = ThreadPriority::raiseCurrentThread(role, m_settings);
            r.policyAfter = sched_getscheduler(0);
            r.niceAfter = getpriority(PRIO_PROCESS, id_t(gettid()));
        });
        thread->start();
        thread->wait();
        delete thread;
        return r;
    }

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QThread m_serviceThread;
    StandInRealtimeKit m_service;
    ThreadPriority::Settings m_settings;
};

TEST_F(ThreadPriorityTest, AsksForRealTimeWithinTheServiceLimitsAudioAbovePacing) {
    m_service.maxRealtimePriority = 4;  // below what the audio thread would take
    m_service.rtTimeUSecMax = 50000;
    const Raised audio = raiseOnThread(ThreadPriority::Role::Audio);
    const Raised pacing = raiseOnThread(ThreadPriority::Role::Pacing);

    const std::vector<Call> calls = m_service.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].method, QLatin1String("MakeThreadRealtime"));
    EXPECT_EQ(calls[0].thread, audio.thread);
    EXPECT_NE(calls[0].thread, quint64(getpid()));
    EXPECT_EQ(calls[0].level, 4);
    // The service grants nothing to a process whose real-time threads could run unbounded.
    EXPECT_LE(calls[0].rtTimeHard, rlim_t(50000));
    EXPECT_EQ(audio.grant.path, ThreadPriority::Path::RealtimeKit);
    EXPECT_TRUE(audio.grant.realtime);
    EXPECT_EQ(audio.grant.level, 4);

    EXPECT_EQ(calls[1].method, QLatin1String("MakeThreadRealtime"));
    EXPECT_EQ(calls[1].thread, pacing.thread);
    EXPECT_EQ(calls[1].level, ThreadPriority::kPacingRealtimePriority);
    EXPECT_LT(calls[1].level, calls[0].level);
    EXPECT_TRUE(pacing.grant.realtime);
}

TEST_F(ThreadPriorityTest, RefusedRealTimeFallsBackToTheServicesNiceLevel) {
    m_service.refuseRealtime = true;
    m_service.minNiceLevel = -11;  // less than the thread would take
    const Raised r = raiseOnThread(ThreadPriority::Role::Pacing);

    const std::vector<Call> calls = m_service.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].method, QLatin1String("MakeThreadRealtime"));
    EXPECT_EQ(calls[1].method, QLatin1String("MakeThreadHighPriority"));
    EXPECT_EQ(calls[1].thread, r.thread);
    EXPECT_EQ(calls[1].level, -11);
    EXPECT_EQ(r.grant.path, ThreadPriority::Path::RealtimeKit);
    EXPECT_FALSE(r.grant.realtime);
    EXPECT_EQ(r.grant.level, -11);

    m_service.minNiceLevel = -20;  // more than it needs: it takes its own level
    raiseOnThread(ThreadPriority::Role::Audio);
    ASSERT_EQ(m_service.calls().size(), 4u);
    EXPECT_EQ(m_service.calls()[3].level, ThreadPriority::kPacingNice);
}

// The nice fallback only ever raises: a thread already above the service's level is not asked down.
TEST_F(ThreadPriorityTest, TheNiceFallbackNeverLowersABetterThread) {
    m_service.refuseRealtime = true;
    m_service.minNiceLevel = -11;
    const Raised r = raiseOnThread(ThreadPriority::Role::Pacing, -20);
    if (r.niceBefore != -20)
        GTEST_SKIP() << "this process may not raise a thread to nice -20";
    const std::vector<Call> calls = m_service.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].method, QLatin1String("MakeThreadRealtime"));
    EXPECT_EQ(r.grant.path, ThreadPriority::Path::None);
    EXPECT_EQ(r.niceAfter, -20);
}

TEST_F(ThreadPriorityTest, RefusalLeavesTheThreadAsItWas) {
    m_service.refuse = true;
    for (const ThreadPriority::Role role : {ThreadPriority::Role::Audio, ThreadPriority::Role::Pacing}) {
        const Raised r = raiseOnThread(role);
        EXPECT_EQ(r.grant.path, ThreadPriority::Path::None);
        EXPECT_EQ(r.policyAfter, r.policyBefore);
        EXPECT_EQ(r.niceAfter, r.niceBefore);
    }
    // Refused a real-time class, each thread asks for a nice level, and is refused again.
    const std::vector<Call> calls = m_service.calls();
    ASSERT_EQ(calls.size(), 4u);
    for (std::size_t i = 0; i < calls.size(); ++i)
        EXPECT_EQ(calls[i].method, QLatin1String(i % 2 ? "MakeThreadHighPriority" : "MakeThreadRealtime"));
}

TEST_F(ThreadPriorityTest, NoServiceOrNoBusRaisesNothing) {
    QMetaObject::invokeMethod(
        &m_service, [] { QDBusConnection(QStringLiteral("standin")).unregisterService(kService); },
        Qt::BlockingQueuedConnection);
    const Raised noService = raiseOnThread(ThreadPriority::Role::Audio);
    EXPECT_EQ(noService.grant.path, ThreadPriority::Path::None);
    EXPECT_EQ(noService.policyAfter, noService.policyBefore);

    m_settings.busAddress = QStringLiteral("unix:path=") + m_dir.filePath(QStringLiteral("no-bus"));
    const Raised noBus = raiseOnThread(ThreadPriority::Role::Pacing);
    EXPECT_EQ(noBus.grant.path, ThreadPriority::Path::None);
    EXPECT_EQ(noBus.niceAfter, noBus.niceBefore);
    EXPECT_TRUE(m_service.calls().empty());
}

}  // namespace
