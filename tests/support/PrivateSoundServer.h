#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <functional>

namespace norak::testing {

inline bool waitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

// A PulseAudio server of the test's own, in a folder of its own, with a null sink and no other
// client: no desktop sound is touched. Clients reach it through address() (PULSE_SERVER).
// program() is empty where pulseaudio is not installed: the test is then skipped.
class PrivateSoundServer {
  public:
    static QString program() { return QStandardPaths::findExecutable(QStringLiteral("pulseaudio")); }

    explicit PrivateSoundServer(const QString& folder) : m_socket(folder + QStringLiteral("/native")) {
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
    PrivateSoundServer(const PrivateSoundServer&) = delete;
    PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;

    QString address() const { return QStringLiteral("unix:") + m_socket; }

    // Starts the server and waits until its socket is there.
    bool start() {
        QFile::remove(m_socket);
        m_process.start(program(), {QStringLiteral("-n"), QStringLiteral("-F"), m_script,
                                    QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                                    QStringLiteral("--system=false"), QStringLiteral("--log-target=stderr"),
                                    QStringLiteral("--log-level=error")});
        return m_process.waitForStarted(5000) && waitFor([this] { return QFile::exists(m_socket); }, 5000);
    }

    // Kills the server, as a crash or a restart of the sound system would.
    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(5000);
    }

  private:
    QString m_socket;
    QString m_script;
    QProcess m_process;
};

// Sets an environment variable for the life of a scope and restores the value it had.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const QByteArray& value) : m_name(name), m_previous(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnvironment() {
        if (m_previous.isNull())
            qunsetenv(m_name);
        else
            qputenv(m_name, m_previous);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const char* m_name;
    QByteArray m_previous;
};

}  // namespace norak::testing
