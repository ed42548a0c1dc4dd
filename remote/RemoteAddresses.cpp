#include "remote/RemoteAddresses.h"

#include <QNetworkInterface>

namespace norak {

QList<QHostAddress> remoteAddresses() {
    const QByteArray bind = qgetenv("NORAK_REMOTE_BIND");
    if (!bind.isEmpty()) {
        const QHostAddress only(QString::fromLatin1(bind));
        return only.isNull() ? QList<QHostAddress>{} : QList<QHostAddress>{only};
    }
    QList<QHostAddress> addresses;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& net : interfaces) {
        const auto flags = net.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : net.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol && !entry.ip().isLoopback())
                addresses.append(entry.ip());
        }
    }
    return addresses;
}

}  // namespace norak
