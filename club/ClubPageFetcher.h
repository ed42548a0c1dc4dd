#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "history/HistorySchema.h"

struct pg_conn;
struct pg_result;

namespace norak {

// A page of the server's tests, as the sync writes it on the laptop.
struct ClubTestPage {
    QList<QVariantList> tests;          // each: uuid, then the listed columns, typed by their kinds
    QStringList uuids;                  // the tests' uuids, in order
    qint64 last = 0;                    // the change number of the page's last test
    std::shared_ptr<pg_result> rows;    // the rows of these tests: test uuid, player uuid, columns
    QHash<QString, QList<int>> rowsOf;  // each test's rows in `rows`
};

// Reads the server's tests page after page in a thread of its own, so that the next page comes
// over the network while the laptop writes the last one. It uses the sync's own connection
// (libpq's, beneath Qt's), which the sync leaves alone until `finish`: the pages are read in
// the sync's transaction, from the snapshot its players and deletions came from. At most one
// page waits to be taken.
//
// testsSql: $1 the change number after which, $2 the last one to read, $3 the laptop's uuid;
//   it returns uuid, the columns (`kinds` gives each one's kind), then the change number.
// rowsSql: $1 an array of test uuids; it returns test uuid, player uuid, then the rows' columns.
class ClubPageFetcher {
  public:
    ClubPageFetcher(pg_conn* connection, QByteArray testsSql, QList<HistoryColumn::Kind> kinds,
                    QByteArray rowsSql, const QString& laptop, qint64 after, qint64 top);
    ~ClubPageFetcher();  // finish()
    ClubPageFetcher(const ClubPageFetcher&) = delete;
    ClubPageFetcher& operator=(const ClubPageFetcher&) = delete;

    // The next page (waiting for it); a page without tests when there are no more (and every
    // time after). False when the server failed: `finish` then gives its words.
    bool next(ClubTestPage* page);
    // Stops reading (a page being read is read to its end) and gives back the connection: the
    // server's words if it failed, else empty.
    QString finish();

  private:
    std::optional<ClubTestPage> fetch(qint64 after, QString* error);

    pg_conn* const m_connection;
    const QByteArray m_testsSql;
    const QList<HistoryColumn::Kind> m_kinds;
    const QByteArray m_rowsSql;
    const QByteArray m_laptop;
    const qint64 m_top;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<ClubTestPage> m_ready;
    bool m_failed = false;
    bool m_ended = false;  // the page without tests was read
    bool m_stop = false;
    QString m_error;
    std::thread m_thread;
};

}  // namespace norak
