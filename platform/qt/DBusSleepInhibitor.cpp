#include "platform/qt/DBusSleepInhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <iterator>
#include <utility>

namespace norak {

namespace {

const QString kScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
// The standard path first; some desktops serve the interface only at the older one.
const QString kScreenSaverPaths[] = {QStringLiteral("/org/freedesktop/ScreenSaver"),
                                     QStringLiteral("/ScreenSaver")};
const QString kApplication = QStringLiteral("NORAK");

QString sessionBusAddress() {
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty())
        return address;
    // The bus of a systemd user session. Without either there is no session bus: libdbus's own
    // fallback would start a bus of its own through X11, which is not wanted here.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString socket = runtime + QStringLiteral("/bus");
    if (!runtime.isEmpty() && QFileInfo::exists(socket))
        return QStringLiteral("unix:path=") + socket;
    return {};
}

QString systemBusAddress() {
    const QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
    return address.isEmpty() ? QStringLiteral("unix:path=/run/dbus/system_bus_socket") : address;
}

}  // namespace

DBusSleepInhibitor::DBusSleepInhibitor(QObject* parent)
    : DBusSleepInhibitor(sessionBusAddress(), systemBusAddress(), parent) {}

DBusSleepInhibitor::DBusSleepInhibitor(const QString& sessionAddress, const QString& systemAddress,
                                       QObject* parent)
    : QObject(parent), m_sessionAddress(sessionAddress), m_systemAddress(systemAddress) {}

DBusSleepInhibitor::~DBusSleepInhibitor() {
    // The services also drop what a vanished client held; this only makes it prompt.
    release();
}

std::optional<QDBusConnection> DBusSleepInhibitor::connection(std::optional<QDBusConnection>& bus,
                                                              const QString& address, const char* role) {
    if (address.isEmpty())
        return std::nullopt;
    // Connected at the first take() rather than at start-up; a bus that is not there fails at
    // once (no socket), and is tried again at the next take().
    if (!bus || !bus->isConnected()) {
        const QString name = QStringLiteral("norak-inhibit-%1-%2")
                                 .arg(QLatin1String(role))
                                 .arg(reinterpret_cast<quintptr>(this), 0, 16);
        QDBusConnection::disconnectFromBus(name);
        bus = QDBusConnection::connectToBus(address, name);
    }
    if (!bus->isConnected())
        return std::nullopt;
    return bus;
}

void DBusSleepInhibitor::take(const QString& reason) {
    if (m_held)
        return;
    m_held = true;
    ++m_generation;
    inhibitScreenSaver(0, reason, m_generation);
    inhibitSleep(reason, m_generation);
}

void DBusSleepInhibitor::release() {
    if (!m_held)
        return;
    m_held = false;
    ++m_generation;
    if (m_cookie)
        uninhibitScreenSaver(*std::exchange(m_cookie, std::nullopt), m_cookiePath);
    // Closing our copy of the descriptor ends logind's lock.
    m_sleepLock = QDBusUnixFileDescriptor();
}

void DBusSleepInhibitor::inhibitScreenSaver(int pathIndex, const QString& reason, quint64 generation) {
    const std::optional<QDBusConnection> bus = connection(m_sessionBus, m_sessionAddress, "session");
    if (!bus)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kScreenSaverService, kScreenSaverPaths[pathIndex],
                                                       kScreenSaverService, QStringLiteral("Inhibit"));
    call << kApplication << reason;
    auto* watcher = new QDBusPendingCallWatcher(bus->asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, pathIndex, reason, generation](QDBusPendingCallWatcher* done) {
                const QDBusPendingReply<uint> reply = *done;
                done->deleteLater();
                if (reply.isError()) {
                    // A missing service answers at once; the older path is worth one more try.
                    const bool noService = reply.error().type() == QDBusError::ServiceUnknown;
                    if (!noService && pathIndex + 1 < int(std::size(kScreenSaverPaths)) &&
                        generation == m_generation)
                        inhibitScreenSaver(pathIndex + 1, reason, generation);
                    return;
                }
                if (generation != m_generation) {
                    uninhibitScreenSaver(reply.value(), pathIndex);  // released meanwhile
                    return;
                }
                m_cookie = reply.value();
                m_cookiePath = pathIndex;
            });
}

void DBusSleepInhibitor::uninhibitScreenSaver(uint cookie, int pathIndex) {
    const std::optional<QDBusConnection> bus = connection(m_sessionBus, m_sessionAddress, "session");
    if (!bus)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kScreenSaverService, kScreenSaverPaths[pathIndex],
                                                       kScreenSaverService, QStringLiteral("UnInhibit"));
    call << cookie;
    bus->send(call);
}

void DBusSleepInhibitor::inhibitSleep(const QString& reason, quint64 generation) {
    const std::optional<QDBusConnection> bus = connection(m_systemBus, m_systemAddress, "system");
    if (!bus || !(bus->connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing))
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("idle:sleep") << kApplication << reason << QStringLiteral("block");
    auto* watcher = new QDBusPendingCallWatcher(bus->asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation](QDBusPendingCallWatcher* done) {
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *done;
                // The pending call holds a copy of the descriptor until it goes, soon after this.
                done->deleteLater();
                if (reply.isError() || generation != m_generation)
                    return;  // a lock granted after release() closes with the reply
                m_sleepLock = reply.value();
            });
}

}  // namespace norak
