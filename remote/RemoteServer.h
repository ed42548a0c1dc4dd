#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <vector>

class QTcpServer;
class QTcpSocket;
class QWebSocket;
class QWebSocketServer;

namespace norak {

class RemoteAuthority;
class TickSource;

// The remote's network side: one page and one WebSocket on one address and port, for up to four
// phones. Nothing listens until `start`; `stop` (and the destructor) close every connection and
// the port. A QTcpServer reads each request's head itself; the page is answered from it, and an
// upgrade whose checks pass is handed to a QWebSocketServer in non-secure mode
// (`handleConnection`), which does the handshake. Before any of that:
// - the token: a random 128-bit one, new at every `start`, in the page's address (`?t=`) and in
//   the WebSocket's; without it, or with another, a request is refused (403);
// - `Host` must be the address and port listened on, and the WebSocket's `Origin` the page's own
//   (`http://address:port`): no other web page, and no name rebound to this address, gets in;
// - any other path is answered 404; a head over 8 KB, or not complete in 5 s, is closed.
// The first phone is paired; the others wait until `allow`; `remove` closes and forgets one.
// A phone's messages: at most 16 KB (a larger one closes its connection), text only, at most
// kBurst at once and kPerSecond after. Every refusal is counted, never a crash or a hang.
class RemoteServer : public QObject {
    Q_OBJECT

  public:
    static constexpr int kMaxPhones = 4;
    static constexpr int kBurst = 20;
    static constexpr int kPerSecond = 10;
    static constexpr int kMaxPendingHeads = 16;
    static constexpr int kHeadTimeoutMs = 5000;

    struct Phone {
        int number = 0;  // "móvil 1", ...
        QString peer;    // its address
        bool allowed = false;
        bool connected = false;
        int refusals = 0;
    };

    RemoteServer(RemoteAuthority& authority, const TickSource& ticks, QObject* parent = nullptr);
    ~RemoteServer() override;

    // Listens on the address (port 0: one the system gives); false, with `errorString`, if not.
    bool start(const QHostAddress& address, quint16 port = 0);
    void stop();
    bool isListening() const;
    QString errorString() const { return m_error; }

    QHostAddress address() const { return m_address; }
    quint16 port() const { return m_port; }
    // The address the QR code carries: http://address:port/?t=token
    QUrl pageUrl() const;

    QList<Phone> phones() const;
    int refusals() const { return m_refusals; }  // requests refused before reaching a phone
    void allow(int phone);
    void remove(int phone);

    // The page served (the embedded one unless a test sets another).
    void setPage(const QByteArray& html);

  Q_SIGNALS:
    void phonesChanged();

  private:
    struct Link {
        Phone phone;
        QByteArray key;  // the phone's own key: a reconnection is the same phone
        QPointer<QWebSocket> socket;
        double bucket = kBurst;
        qint64 bucketTick = 0;
    };

    void onNewConnection();
    void onHeadBytes(QTcpSocket* socket);
    void onWebSocket();
    void onMessage(Link& link, const QString& message);
    void release(QTcpSocket* socket);
    void refuse(QTcpSocket* socket, const QByteArray& status);
    void serve(QTcpSocket* socket, const QByteArray& status, const QByteArray& type, const QByteArray& body);
    void broadcast(const QByteArray& state);
    void send(Link& link, const QByteArray& message);
    void send(Link& link, const QString& message);
    Link* linkOf(const QByteArray& key);
    QByteArray hostText() const;
    void countRefusal();

    RemoteAuthority& m_authority;
    const TickSource& m_ticks;
    QTcpServer* m_tcp = nullptr;
    QWebSocketServer* m_ws = nullptr;
    QTimer m_heartbeat;
    QHostAddress m_address;
    quint16 m_port = 0;
    QByteArray m_token;
    QByteArray m_page;
    QString m_error;
    std::vector<std::unique_ptr<Link>> m_links;
    int m_nextNumber = 1;
    bool m_paired = false;  // the address's first phone came: the others wait
    int m_refusals = 0;
    QSet<QTcpSocket*> m_heads;  // connections still reading their head (keys only)
};

}  // namespace norak
