#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>
#include <optional>

#include "platform/SleepInhibitor.h"

namespace norak {

// Stays awake through the desktop's standard D-Bus services: the screen saver's Inhibit on the
// session bus (org.freedesktop.ScreenSaver, which keeps the screen from blanking) and logind's
// Inhibit for "idle:sleep" on the system bus, which hands back a file descriptor: the lock holds
// while it is open, and the kernel closes it if the program dies, so a crash never leaves the
// machine unable to sleep. Every call is asynchronous; a bus or a service that is not there
// costs nothing and shows nothing. Replies that arrive after release() are undone at once.
class DBusSleepInhibitor : public QObject, public SleepInhibitor {
    Q_OBJECT

  public:
    static constexpr int kCallTimeoutMs = 3000;

    // The user's session bus and the system bus, from the environment as libdbus finds them.
    explicit DBusSleepInhibitor(QObject* parent = nullptr);
    // The buses at these addresses ("unix:path=..."); an empty address: no such bus.
    DBusSleepInhibitor(const QString& sessionAddress, const QString& systemAddress,
                       QObject* parent = nullptr);
    ~DBusSleepInhibitor() override;

    void take(const QString& reason) override;
    void release() override;

    // What the services granted and is held now.
    bool holdsScreenSaver() const { return m_cookie.has_value(); }
    bool holdsSleepLock() const { return m_sleepLock.isValid(); }

  private:
    std::optional<QDBusConnection> connection(std::optional<QDBusConnection>& bus, const QString& address,
                                              const char* role);
    void inhibitScreenSaver(int pathIndex, const QString& reason, quint64 generation);
    void inhibitSleep(const QString& reason, quint64 generation);
    void uninhibitScreenSaver(uint cookie, int pathIndex);

    QString m_sessionAddress;
    QString m_systemAddress;
    std::optional<QDBusConnection> m_sessionBus;
    std::optional<QDBusConnection> m_systemBus;
    bool m_held = false;
    quint64 m_generation = 0;  // one per take(): replies of an earlier one are stale
    std::optional<uint> m_cookie;
    int m_cookiePath = 0;
    QDBusUnixFileDescriptor m_sleepLock;
};

}  // namespace norak
