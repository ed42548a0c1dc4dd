#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/qt/DBusSleepInhibitor.h"

using namespace norak;

namespace {

const QString kReason = QStringLiteral("Prueba de esfuerzo en curso");

// A bus of the test's own: a dbus-daemon on a socket in a temporary folder, gone with the test.
class PrivateBus {
  public:
    PrivateBus() {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            return;
        const QString config = m_folder.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(QStringLiteral(
                       "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                       " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                       "<busconfig><type>session</type><listen>unix:path=%1</listen><auth>EXTERNAL</auth>\n"
                       "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                       "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                       .arg(m_folder.filePath(QStringLiteral("bus")))
                       .toUtf8());
        file.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                        QStringLiteral("--print-address")});
        while (m_daemon.waitForReadyRead(5000) && !m_daemon.canReadLine()) {
        }
        m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
    }
    ~PrivateBus() {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    QString address() const { return m_address; }

  private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
};

}  // namespace

// What the desktop's screen saver is told.
class ScreenSaverStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

  public:
    QStringList m_inhibits;
    QList<uint> m_uninhibits;
    uint m_lastCookie = 40;

  public Q_SLOTS:
    uint Inhibit(const QString& application, const QString& reason) {
        m_inhibits.append(application + QLatin1Char('|') + reason);
        return ++m_lastCookie;
    }
    void UnInhibit(uint cookie) { m_uninhibits.append(cookie); }
};

// logind's Manager: each lock is one end of a pipe; the lock is released when every copy of the
// end handed out is closed, which the kept end sees as a hang-up.
class LogindStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

  public:
    ~LogindStandIn() override {
        for (int fd : m_keptEnds)
            ::close(fd);
    }
    QStringList m_inhibits;
    QList<int> m_keptEnds;

    bool lockOpen(int i) const {
        pollfd kept{m_keptEnds[i], POLLIN, 0};
        return ::poll(&kept, 1, 0) == 0;
    }

  public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode) {
        m_inhibits.append(QStringList{what, who, why, mode}.join(QLatin1Char('|')));
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return {};
        m_keptEnds.append(ends[0]);
        QDBusUnixFileDescriptor handed(ends[1]);  // a copy; ours closes now
        ::close(ends[1]);
        return handed;
    }
};

namespace {

// A session and a system bus with the stand-in services on them.
struct Desktop {
    explicit Desktop(const QString& screenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver")) {
        if (session.address().isEmpty() || system.address().isEmpty())
            return;
        static int instances = 0;
        const QString id = QString::number(++instances);
        QDBusConnection sessionSide =
            QDBusConnection::connectToBus(session.address(), QStringLiteral("ss-") + id);
        QDBusConnection systemSide =
            QDBusConnection::connectToBus(system.address(), QStringLiteral("ld-") + id);
        ready = sessionSide.registerService(QStringLiteral("org.freedesktop.ScreenSaver")) &&
                sessionSide.registerObject(screenSaverPath, &screenSaver, QDBusConnection::ExportAllSlots) &&
                systemSide.registerService(QStringLiteral("org.freedesktop.login1")) &&
                systemSide.registerObject(QStringLiteral("/org/freedesktop/login1"), &logind,
                                          QDBusConnection::ExportAllSlots);
    }
    PrivateBus session;
    PrivateBus system;
    ScreenSaverStandIn screenSaver;
    LogindStandIn logind;
    bool ready = false;
};

// Collects the warnings Qt prints, to show that a missing bus or service says nothing.
QStringList* g_warnings = nullptr;
void collectWarning(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (g_warnings && type != QtDebugMsg && type != QtInfoMsg)
        g_warnings->append(text);
}

}  // namespace

#define SKIP_WITHOUT_DBUS_DAEMON()                                               \
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) \
    GTEST_SKIP() << "dbus-daemon is not installed"

TEST(DBusSleepInhibitor, TakeReachesBothServicesAndReleaseUndoesBoth) {
    SKIP_WITHOUT_DBUS_DAEMON();
    Desktop desktop;
    ASSERT_TRUE(desktop.ready);
    DBusSleepInhibitor inhibitor(desktop.session.address(), desktop.system.address());

    inhibitor.take(kReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return inhibitor.holdsScreenSaver() && inhibitor.holdsSleepLock(); }));
    EXPECT_EQ(desktop.screenSaver.m_inhibits, QStringList{QStringLiteral("NORAK|") + kReason});
    EXPECT_EQ(desktop.logind.m_inhibits,
              QStringList{QStringLiteral("idle:sleep|NORAK|") + kReason + "|block"});
    EXPECT_TRUE(desktop.logind.lockOpen(0));

    // Held already: a second take asks nothing more.
    inhibitor.take(kReason);
    QTest::qWait(100);
    EXPECT_EQ(desktop.screenSaver.m_inhibits.size(), 1);
    EXPECT_EQ(desktop.logind.m_inhibits.size(), 1);

    inhibitor.release();
    EXPECT_FALSE(inhibitor.holdsScreenSaver());
    EXPECT_FALSE(inhibitor.holdsSleepLock());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !desktop.screenSaver.m_uninhibits.isEmpty(); }));
    EXPECT_EQ(desktop.screenSaver.m_uninhibits, QList<uint>{desktop.screenSaver.m_lastCookie});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !desktop.logind.lockOpen(0); }));

    // The next test takes them again.
    inhibitor.take(kReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return inhibitor.holdsScreenSaver() && inhibitor.holdsSleepLock(); }));
    EXPECT_EQ(desktop.logind.m_inhibits.size(), 2);
}

TEST(DBusSleepInhibitor, ReleaseBeforeTheRepliesUndoesWhatComesLate) {
    SKIP_WITHOUT_DBUS_DAEMON();
    Desktop desktop;
    ASSERT_TRUE(desktop.ready);
    DBusSleepInhibitor inhibitor(desktop.session.address(), desktop.system.address());

    // A Stop straight after Start: the replies arrive after the release.
    inhibitor.take(kReason);
    inhibitor.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !desktop.screenSaver.m_uninhibits.isEmpty(); }));
    EXPECT_EQ(desktop.screenSaver.m_uninhibits, QList<uint>{desktop.screenSaver.m_lastCookie});
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.logind.m_keptEnds.size() == 1; }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !desktop.logind.lockOpen(0); }));
    EXPECT_FALSE(inhibitor.holdsScreenSaver());
    EXPECT_FALSE(inhibitor.holdsSleepLock());
}

TEST(DBusSleepInhibitor, ScreenSaverAtTheOlderPath) {
    SKIP_WITHOUT_DBUS_DAEMON();
    Desktop desktop(QStringLiteral("/ScreenSaver"));
    ASSERT_TRUE(desktop.ready);
    DBusSleepInhibitor inhibitor(desktop.session.address(), desktop.system.address());
    inhibitor.take(kReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return inhibitor.holdsScreenSaver(); }));
    inhibitor.release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.screenSaver.m_uninhibits.size() == 1; }));
}

TEST(DBusSleepInhibitor, NoBusOrNoServiceIsSilentAndNeverWaits) {
    QStringList warnings;
    g_warnings = &warnings;
    const QtMessageHandler previous = qInstallMessageHandler(collectWarning);
    {
        // No bus at all: nothing there to connect to, and no bus given.
        DBusSleepInhibitor nowhere(QStringLiteral("unix:path=/nonexistent/norak/bus"), QString());
        QElapsedTimer took;
        took.start();
        nowhere.take(kReason);
        nowhere.release();
        nowhere.take(kReason);
        EXPECT_LT(took.elapsed(), 200);
        QTest::qWait(50);
        EXPECT_FALSE(nowhere.holdsScreenSaver());
        EXPECT_FALSE(nowhere.holdsSleepLock());
    }
    if (!QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
        // Buses without the services.
        PrivateBus session;
        PrivateBus system;
        DBusSleepInhibitor alone(session.address(), system.address());
        alone.take(kReason);
        QTest::qWait(300);
        EXPECT_FALSE(alone.holdsScreenSaver());
        EXPECT_FALSE(alone.holdsSleepLock());
        alone.release();
    }
    qInstallMessageHandler(previous);
    g_warnings = nullptr;
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
}

#include "sleep_inhibitor_test.moc"
