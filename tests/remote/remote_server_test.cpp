#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QUrlQuery>
#include <QWebSocket>
#include <memory>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "remote/PhoneMessage.h"
#include "remote/RemoteAuthority.h"
#include "remote/RemoteServer.h"
#include "results/CellText.h"
#include "results/RunWarnings.h"
#include "results/TestRun.h"
#include "support/FakeTime.h"

using namespace norak;

namespace {

// The server on 127.0.0.1 only (never another address of the machine), over a run on fake time.
struct Served {
    Served() : run(kEditionZevez, fakes.platform()), time(fakes, run) {
        run.activate();
        for (int row = 1; row <= 8; ++row)
            run.table().setCell(kColName, row, QStringLiteral("J%1").arg(row));
        EXPECT_TRUE(server.start(QHostAddress::LocalHost));
        url = server.pageUrl();
    }
    void startTest() {
        run.chooseMode(TestMode::Esfuerzo);
        run.setStartPeriod(3);
        if (run.display().warmUpChecked)
            run.setWarmUp(false);
        run.start();
        while (authority.currentLeg() < 2)
            time.step();
    }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(server.port()); }
    QString token() const { return QUrlQuery(url).queryItemValue(QStringLiteral("t")); }

    // A raw request: the status line of the answer (empty when the server closed without one).
    QByteArray raw(const QByteArray& request) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, server.port());
        if (!socket.waitForConnected(3000))
            return "no connection";
        socket.write(request);
        QByteArray answer;
        for (int i = 0; i < 300 && socket.state() == QAbstractSocket::ConnectedState; ++i) {
            QTest::qWait(10);
            answer += socket.readAll();
            if (answer.contains("\r\n\r\n") && answer.contains("Content-Length") &&
                answer.size() >=
                    answer.indexOf("\r\n\r\n") + 4 +
                        answer.mid(answer.indexOf("Content-Length: ") + 16).split('\r').first().toInt())
                break;
        }
        answer += socket.readAll();
        lastBody = answer.mid(answer.indexOf("\r\n\r\n") + 4);
        lastHead = answer.left(answer.indexOf("\r\n\r\n"));
        return answer.left(answer.indexOf("\r\n"));
    }
    QByteArray get(const QString& target, const QString& hostField) {
        return raw(QStringLiteral("GET %1 HTTP/1.1\r\nHost: %2\r\n\r\n").arg(target, hostField).toUtf8());
    }

    FakePlatform fakes;
    TestRun run;
    norak::testing::FakeTime<TestRun> time;
    RunWarnings warnings{run};
    RemoteAuthority authority{run, warnings, fakes.ticks};
    RemoteServer server{authority, fakes.ticks};
    QUrl url;
    QByteArray lastHead;
    QByteArray lastBody;
};

// A phone: a WebSocket client that keeps every message it receives.
struct Phone {
    explicit Phone(const QString& origin) : socket(origin) {
        QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString& m) {
            messages.append(QJsonDocument::fromJson(m.toUtf8()).object());
        });
    }
    bool open(const Served& s, const QString& token, const QString& key = {}) {
        QUrl url(QStringLiteral("ws://%1/ws").arg(s.host()));
        QUrlQuery query;
        query.addQueryItem(QStringLiteral("t"), token);
        if (!key.isEmpty())
            query.addQueryItem(QStringLiteral("k"), key);
        url.setQuery(query);
        socket.open(url);
        for (int i = 0; i < 300 && socket.state() != QAbstractSocket::ConnectedState &&
                        socket.state() != QAbstractSocket::UnconnectedState;
             ++i)
            QTest::qWait(10);
        return socket.state() == QAbstractSocket::ConnectedState;
    }
    // The next message of a type, waiting for it up to 3 s.
    QJsonObject next(const QString& type) {
        for (int i = 0; i < 300; ++i) {
            for (qsizetype m = seen; m < messages.size(); ++m) {
                if (messages[m].value(QStringLiteral("type")).toString() == type) {
                    seen = m + 1;
                    return messages[m];
                }
            }
            QTest::qWait(10);
        }
        return {};
    }
    QWebSocket socket;
    QList<QJsonObject> messages;
    qsizetype seen = 0;
};

QString pageOrigin(const Served& s) {
    return QStringLiteral("http://") + s.host();
}

QByteArray command(const Served& s, const char* type, const QString& id, int athlete) {
    return PhoneMessage::encode(
        {type == QByteArray("warning") ? PhoneCommand::Type::Warning : PhoneCommand::Type::Dropout, id,
         qint64(s.authority.epoch()), s.authority.currentLeg(), athlete});
}

}  // namespace

// The page: with the token, from the laptop's own address; anything else is refused and counted.
TEST(RemoteServer, ServesThePageOnlyWithTheTokenAndTheRightHost) {
    Served s;
    ASSERT_TRUE(s.server.isListening());
    EXPECT_EQ(s.token().size(), 32);  // 128 bits in hex
    EXPECT_EQ(s.get(QStringLiteral("/?t=") + s.token(), s.host()), "HTTP/1.1 200 OK");
    EXPECT_TRUE(s.lastBody.contains("textContent"));
    EXPECT_FALSE(s.lastBody.contains("innerHTML"));
    EXPECT_TRUE(s.lastHead.contains("Content-Security-Policy: default-src 'none'"));
    EXPECT_TRUE(s.lastHead.contains("Referrer-Policy: no-referrer"));

    EXPECT_EQ(s.server.refusals(), 0);
    EXPECT_EQ(s.get(QStringLiteral("/"), s.host()), "HTTP/1.1 403 Forbidden");
    EXPECT_EQ(s.get(QStringLiteral("/?t=00000000000000000000000000000000"), s.host()),
              "HTTP/1.1 403 Forbidden");
    // A name rebound to this address: the browser sends its name as Host.
    EXPECT_EQ(
        s.get(QStringLiteral("/?t=") + s.token(), QStringLiteral("evil.example:%1").arg(s.server.port())),
        "HTTP/1.1 421 Misdirected Request");
    EXPECT_EQ(s.get(QStringLiteral("/favicon.ico?t=") + s.token(), s.host()), "HTTP/1.1 404 Not Found");
    EXPECT_EQ(s.get(QStringLiteral("/../etc/passwd"), s.host()), "HTTP/1.1 404 Not Found");
    EXPECT_EQ(
        s.raw("POST /?t=" + s.token().toLatin1() + " HTTP/1.1\r\nHost: " + s.host().toLatin1() + "\r\n\r\n"),
        "HTTP/1.1 400 Bad Request");
    EXPECT_EQ(s.raw("GET / HTTP/1.1\r\nX: " + QByteArray(20000, 'a')),
              "HTTP/1.1 431 Request Header Fields Too Large");
    EXPECT_EQ(s.server.refusals(), 7);
    // Still serving.
    EXPECT_EQ(s.get(QStringLiteral("/?t=") + s.token(), s.host()), "HTTP/1.1 200 OK");
}

// The first phone is paired; the second waits and its commands are refused until it is allowed;
// a page of another origin never gets a WebSocket; a fifth phone is refused.
TEST(RemoteServer, PairsTheFirstPhoneAndHoldsTheOthers) {
    Served s;
    s.startTest();
    Phone first(pageOrigin(s));
    ASSERT_TRUE(first.open(s, s.token()));
    const QJsonObject welcome = first.next(QStringLiteral("welcome"));
    EXPECT_TRUE(welcome.value(QStringLiteral("allowed")).toBool());
    EXPECT_EQ(first.next(QStringLiteral("state")).value(QStringLiteral("leg")).toInt(), 2);

    Phone second(pageOrigin(s));
    ASSERT_TRUE(second.open(s, s.token()));
    EXPECT_FALSE(second.next(QStringLiteral("welcome")).value(QStringLiteral("allowed")).toBool());
    second.socket.sendTextMessage(QString::fromUtf8(command(s, "warning", QStringLiteral("a"), 1)));
    EXPECT_EQ(second.next(QStringLiteral("answer")).value(QStringLiteral("result")).toString(),
              QStringLiteral("refused"));
    EXPECT_EQ(s.warnings.total(), 0);

    const int number = second.messages.first().value(QStringLiteral("phone")).toInt();
    s.server.allow(number);
    EXPECT_EQ(second.next(QStringLiteral("allowed")).value(QStringLiteral("type")).toString(),
              QStringLiteral("allowed"));
    second.socket.sendTextMessage(QString::fromUtf8(command(s, "warning", QStringLiteral("b"), 1)));
    EXPECT_EQ(second.next(QStringLiteral("answer")).value(QStringLiteral("result")).toString(),
              QStringLiteral("done"));
    EXPECT_EQ(s.warnings.total(), 1);
    // The other phone hears of it at once.
    QJsonObject state;
    for (QJsonObject m = first.next(QStringLiteral("state")); !m.isEmpty();
         m = first.next(QStringLiteral("state")))
        state = m;
    EXPECT_EQ(state.value(QStringLiteral("athletes"))
                  .toArray()[0]
                  .toObject()
                  .value(QStringLiteral("state"))
                  .toString(),
              QStringLiteral("warned"));

    Phone foreign(QStringLiteral("http://evil.example"));
    EXPECT_FALSE(foreign.open(s, s.token()));
    Phone noToken(pageOrigin(s));
    EXPECT_FALSE(noToken.open(s, QStringLiteral("0123456789abcdef0123456789abcdef")));

    Phone third(pageOrigin(s));
    Phone fourth(pageOrigin(s));
    Phone fifth(pageOrigin(s));
    EXPECT_TRUE(third.open(s, s.token()));
    EXPECT_TRUE(fourth.open(s, s.token()));
    EXPECT_FALSE(fifth.open(s, s.token()));
    EXPECT_EQ(s.server.phones().size(), RemoteServer::kMaxPhones);
    EXPECT_GE(s.server.refusals(), 3);

    // A phone that reconnects with its key is the same phone, still allowed.
    const QString key = welcome.value(QStringLiteral("key")).toString();
    first.socket.close();
    Phone again(pageOrigin(s));
    ASSERT_TRUE(again.open(s, s.token(), key));
    EXPECT_TRUE(again.next(QStringLiteral("welcome")).value(QStringLiteral("allowed")).toBool());
    EXPECT_EQ(s.server.phones().size(), RemoteServer::kMaxPhones);

    // Removed: closed and forgotten.
    QSignalSpy closed(&again.socket, &QWebSocket::disconnected);
    s.server.remove(welcome.value(QStringLiteral("phone")).toInt());
    EXPECT_TRUE(closed.wait(3000) || !closed.isEmpty());
    EXPECT_EQ(s.server.phones().size(), RemoteServer::kMaxPhones - 1);
}

// Hostile phones: 1 MB in one message, 1,000 commands at once, malformed JSON, unknown keys. Each
// is refused and counted, nothing extra is recorded, and the program goes on serving.
TEST(RemoteServer, SurvivesFloodsAndOversizedMessages) {
    Served s;
    s.startTest();
    Phone phone(pageOrigin(s));
    ASSERT_TRUE(phone.open(s, s.token()));
    ASSERT_FALSE(phone.next(QStringLiteral("welcome")).isEmpty());

    phone.socket.sendTextMessage(QStringLiteral("{not json"));
    EXPECT_EQ(phone.next(QStringLiteral("answer")).value(QStringLiteral("result")).toString(),
              QStringLiteral("refused"));
    phone.socket.sendTextMessage(
        QStringLiteral(R"({"v":1,"type":"dropout","id":"k","epoch":%1,"leg":2,"athlete":1,"time":"00:01"})")
            .arg(s.authority.epoch()));
    EXPECT_EQ(phone.next(QStringLiteral("answer")).value(QStringLiteral("reason")).toString(),
              QStringLiteral("campos no válidos"));
    EXPECT_TRUE(s.run.roster().isShown(1));

    // 1,000 warnings for the same player in one burst, on a tick source that does not move: the
    // first is applied, the rate limit drops all but the burst, nothing is applied twice.
    for (int i = 0; i < 1000; ++i)
        phone.socket.sendTextMessage(
            QString::fromUtf8(command(s, "warning", QStringLiteral("f%1").arg(i), 2)));
    for (int i = 0; i < 200 && s.server.phones().first().refusals < 2 + 1000 - RemoteServer::kBurst; ++i)
        QTest::qWait(10);
    EXPECT_GE(s.server.phones().first().refusals, 1000 - RemoteServer::kBurst);
    EXPECT_EQ(s.warnings.count(2), 1);

    // 1 MB in one message: the connection is closed; a new one works.
    QSignalSpy closed(&phone.socket, &QWebSocket::disconnected);
    phone.socket.sendTextMessage(QString(1 << 20, QLatin1Char('x')));
    EXPECT_TRUE(closed.wait(5000) || !closed.isEmpty());
    Phone back(pageOrigin(s));
    ASSERT_TRUE(back.open(s, s.token(), phone.messages.first().value(QStringLiteral("key")).toString()));
    ASSERT_FALSE(back.next(QStringLiteral("welcome")).isEmpty());
    s.fakes.ticks.advance(10'000);  // the bucket fills again
    back.socket.sendTextMessage(QString::fromUtf8(command(s, "dropout", QStringLiteral("d"), 3)));
    EXPECT_EQ(back.next(QStringLiteral("answer")).value(QStringLiteral("result")).toString(),
              QStringLiteral("done"));
    EXPECT_FALSE(s.run.roster().isShown(3));
}

// Connections that never send their head: no more than kMaxPendingHeads are kept; the others are
// closed at once, and the page is served again once they go.
TEST(RemoteServer, HoldsOnlyAFewSilentConnections) {
    Served s;
    std::vector<std::unique_ptr<QTcpSocket>> silent;
    for (int i = 0; i <= RemoteServer::kMaxPendingHeads; ++i) {
        silent.push_back(std::make_unique<QTcpSocket>());
        silent.back()->connectToHost(QHostAddress::LocalHost, s.server.port());
        ASSERT_TRUE(silent.back()->waitForConnected(3000));
    }
    QSignalSpy closed(silent.back().get(), &QTcpSocket::disconnected);
    EXPECT_TRUE(closed.wait(3000) || !closed.isEmpty());
    EXPECT_EQ(s.server.refusals(), 1);
    silent.clear();
    QTest::qWait(100);
    EXPECT_EQ(s.get(QStringLiteral("/?t=") + s.token(), s.host()), "HTTP/1.1 200 OK");
}

// Off: the port closes and every phone is disconnected; on again, a new token.
TEST(RemoteServer, StopClosesEveryConnectionAndThePort) {
    Served s;
    Phone phone(pageOrigin(s));
    ASSERT_TRUE(phone.open(s, s.token()));
    ASSERT_FALSE(phone.next(QStringLiteral("welcome")).isEmpty());
    const quint16 port = s.server.port();
    QSignalSpy closed(&phone.socket, &QWebSocket::disconnected);
    s.server.stop();
    EXPECT_FALSE(s.server.isListening());
    EXPECT_TRUE(closed.wait(3000) || !closed.isEmpty());
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_FALSE(probe.waitForConnected(1000));
    ASSERT_TRUE(s.server.start(QHostAddress::LocalHost));
    EXPECT_NE(QUrlQuery(s.server.pageUrl()).queryItemValue(QStringLiteral("t")), s.token());
}
