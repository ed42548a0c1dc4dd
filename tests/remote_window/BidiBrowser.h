#pragma once

#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <QWebSocket>
#include <functional>
#include <optional>

namespace norak::testing {

// A headless Firefox driven over WebDriver BiDi, the W3C protocol the browser itself serves on a
// WebSocket (no separate driver program: Debian 12 packages none for Firefox). The browser runs
// with a profile and a home of its own in a temporary folder, listens on 127.0.0.1 only, and is
// ended with this object. Every wait runs the caller's event loop, so a server in the same thread
// keeps answering; `duringWaits` is called about every 100 ms meanwhile.
class BidiBrowser {
  public:
    explicit BidiBrowser(std::function<void()> duringWaits = {});
    ~BidiBrowser();

    // Starts `program` ("/usr/bin/firefox-esr") and opens a session; false with `error` if not.
    bool start(const QString& program);
    QString error() const { return m_error; }

    // The first tab, or a new one; the ids name a tab in the calls below.
    QString firstTab();
    QString newTab();
    bool navigate(const QString& tab, const QUrl& url);
    // The value of a JavaScript expression in the tab (strings, numbers, booleans), or nullopt
    // when it threw or the browser did not answer.
    std::optional<QJsonValue> evaluate(const QString& tab, const QString& expression);
    // Until the expression is true; false after `timeoutMs`.
    bool waitUntil(const QString& tab, const QString& expression, int timeoutMs = 20000);
    // A real mouse click (move, press, release) on the middle of the element `selector` selects.
    bool click(const QString& tab, const QString& selector);

  private:
    std::optional<QJsonObject> command(const QString& method, const QJsonObject& params,
                                       int timeoutMs = 20000);
    bool wait(const std::function<bool()>& done, int timeoutMs);

    std::function<void()> m_duringWaits;
    QTemporaryDir m_home;
    QProcess m_process;
    QWebSocket m_socket;
    QString m_error;
    int m_nextId = 0;
    QHash<int, QJsonObject> m_answers;
};

}  // namespace norak::testing
