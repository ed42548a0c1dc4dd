#include "club/ClubPageFetcher.h"

#include <libpq-fe.h>

#include <utility>

namespace norak {

namespace {

// A value as PostgreSQL sends it in text, as Qt's driver would have read it: a number for a
// number's column, else text; null for NULL.
QVariant valueOf(const PGresult* result, int row, int column, HistoryColumn::Kind kind) {
    if (PQgetisnull(result, row, column))
        return {};
    const char* const text = PQgetvalue(result, row, column);
    const int length = PQgetlength(result, row, column);
    switch (kind) {
        case HistoryColumn::Kind::Integer:
            return QByteArray::fromRawData(text, length).toLongLong();
        case HistoryColumn::Kind::Real:
            return QByteArray::fromRawData(text, length).toDouble();
        case HistoryColumn::Kind::Text:
            break;
    }
    return QString::fromUtf8(text, length);
}

std::shared_ptr<PGresult> query(PGconn* connection, const QByteArray& sql,
                                const QList<QByteArray>& parameters, QString* error) {
    QList<const char*> values;
    for (const QByteArray& parameter : parameters)
        values << parameter.constData();
    std::shared_ptr<PGresult> result(PQexecParams(connection, sql.constData(), int(values.size()), nullptr,
                                                  values.constData(), nullptr, nullptr, 0),
                                     &PQclear);
    if (PQresultStatus(result.get()) == PGRES_TUPLES_OK)
        return result;
    *error =
        QString::fromUtf8(result ? PQresultErrorMessage(result.get()) : PQerrorMessage(connection)).trimmed();
    return {};
}

}  // namespace

ClubPageFetcher::ClubPageFetcher(PGconn* connection, QByteArray testsSql, QList<HistoryColumn::Kind> kinds,
                                 QByteArray rowsSql, const QString& laptop, qint64 after, qint64 top)
    : m_connection(connection),
      m_testsSql(std::move(testsSql)),
      m_kinds(std::move(kinds)),
      m_rowsSql(std::move(rowsSql)),
      m_laptop(laptop.toUtf8()),
      m_top(top) {
    m_thread = std::thread([this, after] {
        qint64 cursor = after;
        for (;;) {
            {
                std::lock_guard lock(m_mutex);
                if (m_stop)
                    return;
            }
            QString error;
            std::optional<ClubTestPage> page = fetch(cursor, &error);
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_ready || m_stop; });
            if (m_stop)
                return;
            if (!page) {
                m_failed = true;
                m_error = error;
                m_changed.notify_all();
                return;
            }
            const bool end = page->tests.isEmpty();
            cursor = page->last;
            m_ready = std::move(page);
            m_ended = end;
            m_changed.notify_all();
            if (end)
                return;
        }
    });
}

ClubPageFetcher::~ClubPageFetcher() {
    finish();
}

std::optional<ClubTestPage> ClubPageFetcher::fetch(qint64 after, QString* error) {
    const std::shared_ptr<PGresult> tests = query(
        m_connection, m_testsSql, {QByteArray::number(after), QByteArray::number(m_top), m_laptop}, error);
    if (!tests)
        return std::nullopt;
    ClubTestPage page;
    page.last = after;
    const int count = PQntuples(tests.get());
    const int columns = int(m_kinds.size());
    if (PQnfields(tests.get()) != columns + 2) {
        *error = QStringLiteral("the server's tests came with %1 columns, not %2")
                     .arg(PQnfields(tests.get()))
                     .arg(columns + 2);
        return std::nullopt;
    }
    page.tests.reserve(count);
    QByteArray uuidArray = "{";
    for (int r = 0; r < count; ++r) {
        QVariantList values;
        values.reserve(columns + 1);
        const QString uuid = QString::fromLatin1(PQgetvalue(tests.get(), r, 0));
        values << uuid;
        for (int c = 0; c < columns; ++c)
            values << valueOf(tests.get(), r, c + 1, m_kinds[c]);
        page.tests << values;
        page.uuids << uuid;
        if (r > 0)
            uuidArray += ',';
        uuidArray += PQgetvalue(tests.get(), r, 0);
        page.last = QByteArray(PQgetvalue(tests.get(), r, columns + 1)).toLongLong();
    }
    uuidArray += '}';
    if (count == 0)
        return page;
    page.rows = query(m_connection, m_rowsSql, {uuidArray}, error);
    if (!page.rows)
        return std::nullopt;
    for (int r = 0, rows = PQntuples(page.rows.get()); r < rows; ++r)
        page.rowsOf[QString::fromLatin1(PQgetvalue(page.rows.get(), r, 0))] << r;
    return page;
}

bool ClubPageFetcher::next(ClubTestPage* page) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_ready || m_failed || m_ended; });
    if (!m_ready && m_ended) {
        *page = {};
        return true;
    }
    if (!m_ready)
        return false;
    *page = std::move(*m_ready);
    m_ready.reset();
    m_changed.notify_all();
    return true;
}

QString ClubPageFetcher::finish() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    return m_error;
}

}  // namespace norak
