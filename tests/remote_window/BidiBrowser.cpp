#include "BidiBrowser.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QThread>

namespace norak::testing {

BidiBrowser::BidiBrowser(std::function<void()> duringWaits) : m_duringWaits(std::move(duringWaits)) {
    QObject::connect(&m_socket, &QWebSocket::textMessageReceived, [this](const QString& text) {
        const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
        if (message.contains(QStringLiteral("id")))  // events carry no id and are not needed here
            m_answers.insert(message.value(QStringLiteral("id")).toInt(), message);
    });
}

BidiBrowser::~BidiBrowser() {
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        command(QStringLiteral("browser.close"), {}, 5000);
    m_socket.abort();
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
}

bool BidiBrowser::wait(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    qint64 nextCall = 0;
    while (!done()) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
        if (m_duringWaits && waited.elapsed() >= nextCall) {
            m_duringWaits();
            nextCall = waited.elapsed() + 100;
        }
    }
    return true;
}

bool BidiBrowser::start(const QString& program) {
    if (!m_home.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString profile = m_home.filePath(QStringLiteral("profile"));
    QDir().mkpath(profile);
    // Nothing of the user's: its own home, profile and caches; no update or telemetry traffic.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("MOZ_HEADLESS"), QStringLiteral("1"));
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(program, {QStringLiteral("--headless"), QStringLiteral("--no-remote"),
                              QStringLiteral("--profile"), profile, QStringLiteral("--remote-debugging-port"),
                              QStringLiteral("0"), QStringLiteral("about:blank")});
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(program, m_process.errorString());
        return false;
    }
    // The browser tells where it listens on its error output: "WebDriver BiDi listening on ws://…".
    const QRegularExpression listening(QStringLiteral("WebDriver BiDi listening on (ws://[^\\s]+)"));
    QByteArray said;
    QString address;
    wait(
        [&] {
            said += m_process.readAllStandardError();
            const QRegularExpressionMatch match = listening.match(QString::fromUtf8(said));
            if (match.hasMatch())
                address = match.captured(1);
            return !address.isEmpty() || m_process.state() == QProcess::NotRunning;
        },
        60000);
    if (address.isEmpty()) {
        m_error = QStringLiteral("the browser did not offer WebDriver BiDi: ") +
                  QString::fromUtf8(said.right(2000));
        return false;
    }
    m_socket.open(QUrl(address + QStringLiteral("/session")));
    if (!wait([this] { return m_socket.state() == QAbstractSocket::ConnectedState; }, 20000)) {
        m_error = QStringLiteral("cannot connect to ") + address;
        return false;
    }
    if (!command(QStringLiteral("session.new"), {{QStringLiteral("capabilities"), QJsonObject()}})) {
        m_error = QStringLiteral("no session: ") + m_error;
        return false;
    }
    return true;
}

std::optional<QJsonObject> BidiBrowser::command(const QString& method, const QJsonObject& params,
                                                int timeoutMs) {
    const int id = ++m_nextId;
    const QJsonObject message{
        {QStringLiteral("id"), id}, {QStringLiteral("method"), method}, {QStringLiteral("params"), params}};
    m_socket.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
    if (!wait([&] { return m_answers.contains(id); }, timeoutMs)) {
        m_error = method + QStringLiteral(": no answer");
        return std::nullopt;
    }
    const QJsonObject answer = m_answers.take(id);
    if (answer.value(QStringLiteral("type")).toString() != QLatin1String("success")) {
        m_error = method + QStringLiteral(": ") + answer.value(QStringLiteral("error")).toString() +
                  QStringLiteral(" ") + answer.value(QStringLiteral("message")).toString();
        return std::nullopt;
    }
    return answer.value(QStringLiteral("result")).toObject();
}

QString BidiBrowser::firstTab() {
    const auto tree = command(QStringLiteral("browsingContext.getTree"), {});
    if (!tree)
        return {};
    return tree->value(QStringLiteral("contexts"))
        .toArray()
        .first()
        .toObject()
        .value(QStringLiteral("context"))
        .toString();
}

QString BidiBrowser::newTab() {
    const auto created =
        command(QStringLiteral("browsingContext.create"), {{QStringLiteral("type"), QStringLiteral("tab")}});
    return created ? created->value(QStringLiteral("context")).toString() : QString();
}

bool BidiBrowser::navigate(const QString& tab, const QUrl& url) {
    return command(QStringLiteral("browsingContext.navigate"),
                   {{QStringLiteral("context"), tab},
                    {QStringLiteral("url"), url.toString()},
                    {QStringLiteral("wait"), QStringLiteral("complete")}})
        .has_value();
}

std::optional<QJsonValue> BidiBrowser::evaluate(const QString& tab, const QString& expression) {
    const auto result = command(QStringLiteral("script.evaluate"),
                                {{QStringLiteral("expression"), expression},
                                 {QStringLiteral("target"), QJsonObject{{QStringLiteral("context"), tab}}},
                                 {QStringLiteral("awaitPromise"), false}});
    if (!result || result->value(QStringLiteral("type")).toString() != QLatin1String("success"))
        return std::nullopt;
    return result->value(QStringLiteral("result")).toObject().value(QStringLiteral("value"));
}

bool BidiBrowser::waitUntil(const QString& tab, const QString& expression, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() <= timeoutMs) {
        const auto value = evaluate(tab, expression);
        if (value && value->toBool())
            return true;
        wait([] { return false; }, 100);
    }
    return false;
}

bool BidiBrowser::click(const QString& tab, const QString& selector) {
    const QString quoted =
        QString::fromUtf8(QJsonDocument(QJsonArray{selector}).toJson(QJsonDocument::Compact));
    const auto node = command(QStringLiteral("script.evaluate"),
                              {{QStringLiteral("expression"),
                                QStringLiteral("(() => { const e = document.querySelector(%1[0]); "
                                               "if (e) e.scrollIntoView({block: 'center'}); return e; })()")
                                    .arg(quoted)},
                               {QStringLiteral("target"), QJsonObject{{QStringLiteral("context"), tab}}},
                               {QStringLiteral("awaitPromise"), false}});
    if (!node)
        return false;
    const QJsonObject element = node->value(QStringLiteral("result")).toObject();
    if (element.value(QStringLiteral("type")).toString() != QLatin1String("node"))
        return false;
    const QJsonObject origin{
        {QStringLiteral("type"), QStringLiteral("element")},
        {QStringLiteral("element"),
         QJsonObject{{QStringLiteral("sharedId"), element.value(QStringLiteral("sharedId"))}}}};
    const QJsonArray steps{
        QJsonObject{{QStringLiteral("type"), QStringLiteral("pointerMove")},
                    {QStringLiteral("x"), 0},
                    {QStringLiteral("y"), 0},
                    {QStringLiteral("origin"), origin}},
        QJsonObject{{QStringLiteral("type"), QStringLiteral("pointerDown")}, {QStringLiteral("button"), 0}},
        QJsonObject{{QStringLiteral("type"), QStringLiteral("pointerUp")}, {QStringLiteral("button"), 0}}};
    const QJsonArray actions{QJsonObject{
        {QStringLiteral("type"), QStringLiteral("pointer")},
        {QStringLiteral("id"), QStringLiteral("mouse")},
        {QStringLiteral("parameters"), QJsonObject{{QStringLiteral("pointerType"), QStringLiteral("mouse")}}},
        {QStringLiteral("actions"), steps}}};
    return command(QStringLiteral("input.performActions"),
                   {{QStringLiteral("context"), tab}, {QStringLiteral("actions"), actions}})
        .has_value();
}

}  // namespace norak::testing
