#include "remote/RemoteServer.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QWebSocket>
#include <QWebSocketServer>
#include <algorithm>
#include <utility>

#include "platform/TickSource.h"
#include "remote/PhoneMessage.h"
#include "remote/RemoteAuthority.h"
#include "remote/RequestHead.h"

namespace norak {

namespace {

QByteArray randomHex(int bytes) {
    QByteArray raw(bytes, Qt::Uninitialized);
    QRandomGenerator* system = QRandomGenerator::system();  // the system's secure source
    for (char& c : raw)
        c = char(system->bounded(256));
    return raw.toHex();
}

QByteArray embeddedPage() {
    QFile file(QStringLiteral(":/remote/remote.html"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Constant time, so that the token cannot be guessed a byte at a time.
bool sameSecret(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size() || a.isEmpty())
        return false;
    unsigned diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= unsigned(quint8(a[i]) ^ quint8(b[i]));
    return diff == 0;
}

}  // namespace

RemoteServer::RemoteServer(RemoteAuthority& authority, const TickSource& ticks, QObject* parent)
    : QObject(parent), m_authority(authority), m_ticks(ticks), m_page(embeddedPage()) {
    connect(&m_authority, &RemoteAuthority::statePushed, this, &RemoteServer::broadcast);
    m_heartbeat.setInterval(1000);
    connect(&m_heartbeat, &QTimer::timeout, &m_authority, &RemoteAuthority::heartbeat);
}

RemoteServer::~RemoteServer() {
    stop();
}

void RemoteServer::setPage(const QByteArray& html) {
    m_page = html;
}

bool RemoteServer::start(const QHostAddress& address, quint16 port) {
    stop();
    m_tcp = new QTcpServer(this);
    if (!m_tcp->listen(address, port)) {
        m_error = m_tcp->errorString();
        delete m_tcp;
        m_tcp = nullptr;
        return false;
    }
    m_address = address;
    m_port = m_tcp->serverPort();
    m_token = randomHex(16);  // 128 bits
    m_ws = new QWebSocketServer(QStringLiteral("NORAK"), QWebSocketServer::NonSecureMode, this);
    m_ws->setHandshakeTimeout(kHeadTimeoutMs);
    connect(m_ws, &QWebSocketServer::newConnection, this, &RemoteServer::onWebSocket);
    connect(m_tcp, &QTcpServer::newConnection, this, &RemoteServer::onNewConnection);
    m_heartbeat.start();
    return true;
}

void RemoteServer::stop() {
    m_heartbeat.stop();
    for (const auto& link : m_links) {
        if (link->socket) {
            link->socket->disconnect(this);
            link->socket->abort();
            link->socket->deleteLater();
        }
        m_authority.forget(link->phone.number);
    }
    const bool hadPhones = !m_links.empty();
    m_links.clear();
    if (m_tcp) {
        m_tcp->close();
        // The connections still reading their head are the server's children.
        delete m_tcp;
        m_tcp = nullptr;
    }
    if (m_ws) {
        m_ws->close();
        delete m_ws;
        m_ws = nullptr;
    }
    m_token.clear();
    m_port = 0;
    m_heads.clear();
    m_nextNumber = 1;
    m_paired = false;
    if (hadPhones)
        Q_EMIT phonesChanged();
}

bool RemoteServer::isListening() const {
    return m_tcp && m_tcp->isListening();
}

QByteArray RemoteServer::hostText() const {
    const QString host = m_address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + m_address.toString() + QLatin1Char(']')
                             : m_address.toString();
    return (host + QLatin1Char(':') + QString::number(m_port)).toLatin1();
}

QUrl RemoteServer::pageUrl() const {
    if (!isListening())
        return {};
    return QUrl(
        QStringLiteral("http://%1/?t=%2").arg(QString::fromLatin1(hostText()), QString::fromLatin1(m_token)));
}

QList<RemoteServer::Phone> RemoteServer::phones() const {
    QList<Phone> list;
    for (const auto& link : m_links)
        list.append(link->phone);
    return list;
}

void RemoteServer::countRefusal() {
    ++m_refusals;
    Q_EMIT phonesChanged();
}

void RemoteServer::onNewConnection() {
    while (QTcpSocket* socket = m_tcp->nextPendingConnection()) {
        if (m_heads.size() >= kMaxPendingHeads) {
            socket->abort();
            socket->deleteLater();
            countRefusal();
            continue;
        }
        m_heads.insert(socket);
        auto* timer = new QTimer(socket);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, socket, [this, socket] {
            // A browser opens spare connections ahead and never uses some: only one that began
            // a request and did not finish it counts as refused.
            if (socket->bytesAvailable() > 0)
                countRefusal();
            socket->abort();
        });
        timer->start(kHeadTimeoutMs);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onHeadBytes(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_heads.remove(socket); });
    }
}

// The head is read: the connection is no longer a head being read, nor timed as one.
void RemoteServer::release(QTcpSocket* socket) {
    m_heads.remove(socket);
    socket->disconnect(this);
    for (QObject* child : socket->children()) {
        if (auto* timer = qobject_cast<QTimer*>(child))
            timer->stop();
    }
}

void RemoteServer::serve(QTcpSocket* socket, const QByteArray& status, const QByteArray& type,
                         const QByteArray& body) {
    QByteArray response = "HTTP/1.1 " + status + "\r\nContent-Type: " + type +
                          "\r\nContent-Length: " + QByteArray::number(body.size()) +
                          "\r\nCache-Control: no-store\r\nReferrer-Policy: no-referrer"
                          "\r\nX-Content-Type-Options: nosniff\r\nX-Frame-Options: DENY";
    if (type.startsWith("text/html")) {
        // Only the page's own inline script runs, and it talks to this server alone.
        const qsizetype open = body.indexOf("<script>");
        const qsizetype close = body.indexOf("</script>");
        QByteArray script;
        if (open >= 0 && close > open)
            script = body.mid(open + 8, close - open - 8);
        const QByteArray hash = QCryptographicHash::hash(script, QCryptographicHash::Sha256).toBase64();
        response += "\r\nContent-Security-Policy: default-src 'none'; script-src 'sha256-" + hash +
                    "'; style-src 'unsafe-inline'; connect-src ws://" + hostText() +
                    "; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
    }
    response += "\r\nConnection: close\r\n\r\n" + body;
    release(socket);
    socket->write(response);
    socket->disconnectFromHost();
}

void RemoteServer::refuse(QTcpSocket* socket, const QByteArray& status) {
    countRefusal();
    serve(socket, status, "text/plain; charset=utf-8", status + '\n');
}

void RemoteServer::onHeadBytes(QTcpSocket* socket) {
    // Peeked, not read: the WebSocket server reads the same head again for its handshake.
    const QByteArray bytes = socket->peek(RequestHead::kMaxBytes + 1);
    if (!RequestHead::complete(bytes)) {
        if (bytes.size() > RequestHead::kMaxBytes)
            refuse(socket, "431 Request Header Fields Too Large");
        return;  // the rest is still coming
    }
    const std::optional<RequestHead> head = RequestHead::parse(bytes);
    if (!head)
        return refuse(socket, "400 Bad Request");
    if (head->field("host").toLower() != hostText().toLower())
        return refuse(socket, "421 Misdirected Request");
    const bool page = head->path == "/";
    const bool webSocket = head->path == "/ws";
    if (!page && !webSocket)
        return refuse(socket, "404 Not Found");
    if (!sameSecret(head->query.value("t").toLatin1(), m_token))
        return refuse(socket, "403 Forbidden");
    if (page)
        return serve(socket, "200 OK", "text/html; charset=utf-8", m_page);

    // The WebSocket: from the page itself, for a phone known or one more within the limit.
    if (head->field("origin") != "http://" + hostText())
        return refuse(socket, "403 Forbidden");
    if (head->field("upgrade").toLower() != "websocket")
        return refuse(socket, "400 Bad Request");
    const QByteArray key = head->query.value("k").toLatin1();
    if (!linkOf(key) && int(m_links.size()) >= kMaxPhones)
        return refuse(socket, "503 Service Unavailable");
    release(socket);
    m_ws->handleConnection(socket);
    // The head is already buffered: no further readyRead would come for it.
    QMetaObject::invokeMethod(socket, &QTcpSocket::readyRead, Qt::QueuedConnection);
}

RemoteServer::Link* RemoteServer::linkOf(const QByteArray& key) {
    if (key.isEmpty())
        return nullptr;
    for (const auto& link : m_links) {
        if (sameSecret(link->key, key))
            return link.get();
    }
    return nullptr;
}

void RemoteServer::onWebSocket() {
    while (QWebSocket* socket = m_ws->nextPendingConnection()) {
        socket->setParent(this);
        socket->setMaxAllowedIncomingFrameSize(PhoneMessage::kMaxBytes);
        socket->setMaxAllowedIncomingMessageSize(PhoneMessage::kMaxBytes);
        const QByteArray key = QUrlQuery(socket->requestUrl()).queryItemValue(QStringLiteral("k")).toLatin1();
        Link* link = linkOf(key);
        if (!link) {
            if (int(m_links.size()) >= kMaxPhones) {  // another phone came in meanwhile
                countRefusal();
                socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
                socket->deleteLater();
                continue;
            }
            auto fresh = std::make_unique<Link>();
            fresh->phone.number = m_nextNumber++;
            // The first phone is paired by opening the address; the others wait to be allowed.
            fresh->phone.allowed = !std::exchange(m_paired, true);
            fresh->key = randomHex(16);
            link = fresh.get();
            m_links.push_back(std::move(fresh));
        } else if (link->socket) {
            link->socket->disconnect(this);
            link->socket->close();
            link->socket->deleteLater();
        }
        link->socket = socket;
        link->phone.connected = true;
        link->phone.peer = socket->peerAddress().toString();
        link->bucket = kBurst;
        link->bucketTick = m_ticks.ticks();
        const int number = link->phone.number;
        connect(socket, &QWebSocket::textMessageReceived, this, [this, number](const QString& message) {
            for (const auto& l : m_links) {
                if (l->phone.number == number)
                    return onMessage(*l, message);
            }
        });
        connect(socket, &QWebSocket::binaryMessageReceived, this, [this, number] {
            for (const auto& l : m_links) {
                if (l->phone.number == number) {
                    ++l->phone.refusals;
                    Q_EMIT phonesChanged();
                }
            }
        });
        connect(socket, &QWebSocket::disconnected, this, [this, number, socket] {
            for (const auto& l : m_links) {
                if (l->phone.number == number && l->socket == socket) {
                    // A close for a message over the cap counts as a refusal.
                    if (socket->closeCode() == QWebSocketProtocol::CloseCodeTooMuchData)
                        ++l->phone.refusals;
                    l->phone.connected = false;
                    Q_EMIT phonesChanged();
                }
            }
            socket->deleteLater();
        });
        send(*link, QJsonDocument(QJsonObject{{QStringLiteral("v"), PhoneMessage::kVersion},
                                              {QStringLiteral("type"), QStringLiteral("welcome")},
                                              {QStringLiteral("phone"), number},
                                              {QStringLiteral("key"), QString::fromLatin1(link->key)},
                                              {QStringLiteral("allowed"), link->phone.allowed}})
                        .toJson(QJsonDocument::Compact));
        if (link->phone.allowed)
            send(*link, m_authority.state());
        Q_EMIT phonesChanged();
    }
}

void RemoteServer::onMessage(Link& link, const QString& message) {
    // The rate: a bucket of kBurst commands, refilled at kPerSecond on the run's tick source.
    const qint64 now = m_ticks.ticks();
    link.bucket = std::min<double>(kBurst, link.bucket + double(now - link.bucketTick) * kPerSecond / 1000.0);
    link.bucketTick = now;
    if (link.bucket < 1.0) {
        ++link.phone.refusals;
        Q_EMIT phonesChanged();
        return;  // dropped unanswered: answering a flood would feed it
    }
    link.bucket -= 1.0;
    if (!link.phone.allowed) {
        ++link.phone.refusals;
        Q_EMIT phonesChanged();
        return send(link, RemoteAuthority::answer({}, QStringLiteral("móvil pendiente de permiso")));
    }
    const QByteArray reply = m_authority.handle(link.phone.number, message.toUtf8());
    if (reply.contains("\"refused\"")) {
        ++link.phone.refusals;
        Q_EMIT phonesChanged();
    }
    send(link, reply);
}

void RemoteServer::send(Link& link, const QByteArray& message) {
    send(link, QString::fromUtf8(message));
}

void RemoteServer::send(Link& link, const QString& message) {
    if (link.socket && link.socket->isValid())
        link.socket->sendTextMessage(message);
}

void RemoteServer::broadcast(const QByteArray& state) {
    const QString text = QString::fromUtf8(state);  // decoded once for every phone
    for (const auto& link : m_links) {
        if (link->phone.allowed)
            send(*link, text);
    }
}

void RemoteServer::allow(int phone) {
    for (const auto& link : m_links) {
        if (link->phone.number == phone && !link->phone.allowed) {
            link->phone.allowed = true;
            send(*link, QJsonDocument(QJsonObject{{QStringLiteral("v"), PhoneMessage::kVersion},
                                                  {QStringLiteral("type"), QStringLiteral("allowed")}})
                            .toJson(QJsonDocument::Compact));
            send(*link, m_authority.state());
            Q_EMIT phonesChanged();
        }
    }
}

void RemoteServer::remove(int phone) {
    const auto it = std::find_if(m_links.begin(), m_links.end(),
                                 [phone](const auto& link) { return link->phone.number == phone; });
    if (it == m_links.end())
        return;
    if (QWebSocket* socket = (*it)->socket) {
        socket->disconnect(this);
        socket->close(QWebSocketProtocol::CloseCodeNormal, QStringLiteral("retirado"));
        socket->deleteLater();
    }
    m_authority.forget(phone);
    m_links.erase(it);
    Q_EMIT phonesChanged();
}

}  // namespace norak
