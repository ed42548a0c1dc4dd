#include "club/ClubSync.h"

#include <libpq-fe.h>
#include <sqlite3.h>
#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <map>
#include <memory>
#include <optional>

#include "club/ClubPageFetcher.h"
#include "club/ClubSchema.h"
#include "history/HistoryDatabase.h"
#include "history/HistorySchema.h"
#include "history/HistoryText.h"

namespace norak {

namespace {

// Every transaction that writes on the server takes this lock first, so that change numbers are
// committed in the order they are taken: a laptop that received up to N never misses a change
// numbered N or lower that commits later.
constexpr qint64 kChangeLock = 7310001;

// The columns of a test both sides list (beside uuid and the bookkeeping): the history's own,
// then when and on which laptop the test was made.
const QStringList& testColumns() {
    static const QStringList columns = columnNames(storedTestColumns())
                                       << QStringLiteral("created_at") << QStringLiteral("origin");
    return columns;
}

QString postgresType(HistoryColumn::Kind kind) {
    switch (kind) {
        case HistoryColumn::Kind::Integer:
            return QStringLiteral("bigint");
        case HistoryColumn::Kind::Real:
            return QStringLiteral("double precision");
        case HistoryColumn::Kind::Text:
            break;
    }
    return QStringLiteral("text");
}

// "name type, ..." of the history's columns, for json_to_recordset (an integer is read as a
// bigint and stored in the server's integer column as it is).
QStringList postgresDefinitions(const QList<HistoryColumn>& columns) {
    QStringList definitions;
    for (const HistoryColumn& column : columns)
        definitions << column.name + QLatin1Char(' ') + postgresType(column.kind);
    return definitions;
}

// The kinds of testColumns(), in their order.
const QList<HistoryColumn::Kind>& testKinds() {
    static const QList<HistoryColumn::Kind> kinds = [] {
        QList<HistoryColumn::Kind> list;
        for (const HistoryColumn& column : storedTestColumns())
            list << column.kind;
        return list << HistoryColumn::Kind::Text << HistoryColumn::Kind::Text;  // created_at, origin
    }();
    return kinds;
}

const QStringList& resultColumns() {
    static const QStringList columns = columnNames(storedResultColumns());
    return columns;
}

QJsonValue jsonOf(const QVariant& value) {
    if (value.isNull())
        return QJsonValue(QJsonValue::Null);
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            return QJsonValue(value.toLongLong());
        case QMetaType::Double:
            return QJsonValue(value.toDouble());
        default:
            return QJsonValue(value.toString());
    }
}

QString jsonText(const QJsonArray& array) {
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

// A PostgreSQL array literal of UUIDs.
QString uuidArray(const QStringList& uuids) {
    return QLatin1Char('{') + uuids.join(QLatin1Char(',')) + QLatin1Char('}');
}

QString nullable(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

// A player as either side holds it.
struct PlayerRecord {
    QString uuid;
    QString name;
    QString nameKey;
    QString code;
    QString createdAt;
    QString modifiedAt;
    QString origin;
    QString renamedAt;   // empty: never renamed
    QString mergedInto;  // empty: not merged
};

// A statement run on the SQLite connection beneath Qt's (the same library, the same thread),
// for the rows of received tests: bound from libpq's text, and from a few values of Qt's.
class NativeStatement {
  public:
    NativeStatement(const QSqlDatabase& db, const QString& sql) {
        const QVariant handle = db.driver()->handle();
        if (qstrcmp(handle.typeName(), "sqlite3*") == 0)
            m_db = *static_cast<sqlite3* const*>(handle.constData());
        if (m_db)
            sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &m_statement, nullptr);
    }
    ~NativeStatement() { sqlite3_finalize(m_statement); }
    NativeStatement(const NativeStatement&) = delete;
    NativeStatement& operator=(const NativeStatement&) = delete;

    void bind(int index, const QVariant& value) {
        if (!m_statement)
            return;
        if (value.isNull()) {
            sqlite3_bind_null(m_statement, index);
            return;
        }
        switch (value.typeId()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::ULongLong:
            case QMetaType::Bool:
                sqlite3_bind_int64(m_statement, index, value.toLongLong());
                break;
            case QMetaType::Double:
                sqlite3_bind_double(m_statement, index, value.toDouble());
                break;
            default: {
                const QByteArray text = value.toString().toUtf8();
                sqlite3_bind_text(m_statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            }
        }
    }
    // Text as PostgreSQL sends it (null: NULL); the column's type makes a number of it. The text
    // is not copied: it is to outlive run().
    void bindText(int index, const char* text, int length) {
        if (!m_statement)
            return;
        if (text)
            sqlite3_bind_text(m_statement, index, text, length, SQLITE_STATIC);
        else
            sqlite3_bind_null(m_statement, index);
    }
    // The rowid of the last row inserted on the connection.
    qint64 lastInsertId() const { return m_db ? sqlite3_last_insert_rowid(m_db) : 0; }
    // Runs the statement with the values bound; false with the database's words.
    bool run(QString* error) {
        if (!m_statement) {
            *error = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                          : QStringLiteral("the history's connection is not SQLite's");
            return false;
        }
        const int status = sqlite3_step(m_statement);
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
        if (status == SQLITE_DONE)
            return true;
        *error = QString::fromUtf8(sqlite3_errmsg(m_db));
        return false;
    }

  private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};

}  // namespace

QString ClubSyncReport::summary() const {
    if (problem)
        return problem.message;
    QString text = QStringLiteral(
                       "Sincronización completa.\n"
                       "Enviadas: %1 pruebas, %2 deportistas, %3 pruebas eliminadas.\n"
                       "Recibidas: %4 pruebas, %5 deportistas, %6 pruebas eliminadas.")
                       .arg(testsSent)
                       .arg(playersSent)
                       .arg(deletionsSent)
                       .arg(testsReceived)
                       .arg(playersReceived)
                       .arg(deletionsReceived);
    if (playersJoined > 0) {
        text += QStringLiteral("\nDeportistas del mismo nombre y código en dos portátiles, unidos: %1.")
                    .arg(playersJoined);
    }
    if (!conflicts.isEmpty()) {
        text +=
            QStringLiteral("\n\nNombres cambiados en dos portátiles (queda el cambio más reciente):\n- ") +
            conflicts.join(QStringLiteral("\n- "));
    }
    return text;
}

// One run of the sync, over the laptop's connection and the server's.
class ClubSyncPass {
  public:
    ClubSyncPass(ClubSync& owner, HistoryDatabase& local, ClubConnection& server, ClubSyncReport& report)
        : m_owner(owner),
          m_local(local.connection()),
          m_server(server.db()),
          m_connection(server),
          m_laptop(local.laptopUuid()),
          m_report(report) {}

    bool run(const QString& club) {
        QElapsedTimer timer;
        timer.start();
        const bool received = prepare(club) && receive();
        m_report.receivingMs = timer.restart();
        if (!received)
            return false;
        const bool sent = sendPlayers() && sendTests() && sendDeletions();
        m_report.sendingMs = timer.elapsed();
        return sent;
    }

  private:
    // --- failures ----------------------------------------------------------------------------
    bool localFailure(const QString& error) {
        m_report.problem = {
            ClubProblem::Kind::Local,
            QStringLiteral("No se puede escribir en el historial de este portátil: %1").arg(error)};
        localRollback();
        return false;
    }
    bool serverFailure(QSqlQuery& query) {
        const QString error = query.lastError().text();
        query.finish();
        return serverFailure(error);
    }
    bool serverFailure(const QString& error) {
        // Rolled back first: a transaction that met an error answers nothing else, and the
        // question whether the connection still stands would be misread.
        QSqlQuery rollback(m_server);
        rollback.exec(QStringLiteral("ROLLBACK"));
        m_report.problem = m_connection.problemOf(error);
        return false;
    }
    bool stopped() {
        if (m_owner.m_testRunning) {
            m_report.problem = {
                ClubProblem::Kind::TestRunning,
                QStringLiteral("La sincronización se ha detenido porque ha empezado una prueba.\n"
                               "Lo ya sincronizado queda; el resto, en la próxima sincronización.")};
            return true;
        }
        return false;
    }
    // After a batch: false when the sync is to stop there (see setAfterBatch).
    bool goOnAfterCommit() {
        if (m_owner.m_afterBatch && !m_owner.m_afterBatch()) {
            m_report.problem = {
                ClubProblem::Kind::Interrupted,
                QStringLiteral("La sincronización se ha interrumpido; la próxima la completa.")};
            return false;
        }
        return true;
    }

    // --- the laptop's side -------------------------------------------------------------------
    bool localExec(QSqlQuery& query) {
        if (query.exec())
            return true;
        m_localError = query.lastError().text();
        return false;
    }
    bool localBegin() {
        QSqlQuery query(m_local);
        if (query.exec(QStringLiteral("BEGIN IMMEDIATE")))
            return true;
        m_localError = query.lastError().text();
        return false;
    }
    bool localCommit() {
        QSqlQuery query(m_local);
        if (query.exec(QStringLiteral("COMMIT")))
            return true;
        m_localError = query.lastError().text();
        localRollback();
        return false;
    }
    void localRollback() {
        QSqlQuery query(m_local);
        query.exec(QStringLiteral("ROLLBACK"));
    }

    bool serverBegin(bool readOnly) {
        QSqlQuery query(m_server);
        const QString begin =
            readOnly ? QStringLiteral("START TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY")
                     : QStringLiteral("START TRANSACTION");
        if (!query.exec(begin))
            return serverFailure(query);
        if (!readOnly && !query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kChangeLock)))
            return serverFailure(query);
        return true;
    }
    bool serverCommit() {
        QSqlQuery query(m_server);
        if (!query.exec(QStringLiteral("COMMIT")))
            return serverFailure(query);
        return true;
    }

    // Which server this laptop last synced with: another one (or none) means nothing is known
    // to be there, and everything is sent and received again.
    bool prepare(const QString& club) {
        QSqlQuery query(m_local);
        if (!query.exec(QStringLiteral("SELECT club, received_up_to FROM club_state")))
            return localFailure(query.lastError().text());
        if (query.next() && query.value(0).toString() == club) {
            m_receivedUpTo = query.value(1).toLongLong();
            return true;
        }
        query.finish();
        m_receivedUpTo = 0;
        if (!localBegin())
            return localFailure(m_localError);
        for (const QString& statement :
             {QStringLiteral("UPDATE tests SET club_sent = NULL"),
              QStringLiteral("UPDATE players SET club_sent = NULL, club_renamed_at = NULL"),
              QStringLiteral("UPDATE deleted_tests SET club_sent = 0"),
              QStringLiteral(
                  "INSERT OR REPLACE INTO club_state (id, club, received_up_to) VALUES (1, ?, 0)")}) {
            query.prepare(statement);
            if (statement.contains(QLatin1Char('?')))
                query.addBindValue(club);
            if (!localExec(query))
                return localFailure(m_localError);
        }
        return localCommit() || localFailure(m_localError);
    }

    PGconn* nativePostgres() const {
        const QVariant handle = m_server.driver()->handle();
        // Qt names the type by libpq's struct (pg_conn*), or by its typedef in older versions.
        if (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0)
            return nullptr;
        return *static_cast<PGconn* const*>(handle.constData());
    }

    // A statement of the laptop's, prepared once for the whole sync: receiving runs the same few
    // statements for every test and row, and preparing them again each time cost more than
    // running them.
    QSqlQuery& local(const QString& sql) {
        auto found = m_statements.find(sql);
        if (found == m_statements.end()) {
            auto query = std::make_unique<QSqlQuery>(m_local);
            query->setForwardOnly(true);
            query->prepare(sql);  // a failure is the exec's error
            found = m_statements.emplace(sql, std::move(query)).first;
        }
        return *found->second;
    }

    // The local id of a player, following merges to the entry that stands for them.
    std::optional<qint64> localPlayerId(const QString& uuid) {
        auto cached = m_playerIds.constFind(uuid);
        if (cached != m_playerIds.constEnd())
            return *cached;
        QSqlQuery& query = local(QStringLiteral("SELECT id, merged_into FROM players WHERE uuid = ?"));
        QString current = uuid;
        std::optional<qint64> id;
        for (int hop = 0; hop < 16 && !current.isEmpty(); ++hop) {
            query.addBindValue(current);
            if (!query.exec() || !query.next())
                break;
            id = query.value(0).toLongLong();
            current = nullable(query.value(1));
        }
        query.finish();
        if (id)
            m_playerIds.insert(uuid, *id);
        return id;
    }

    // A rename on each side since they last agreed, to different names: which stays.
    void noteConflict(const QString& localName, const QString& localCode, const QString& serverName,
                      const QString& serverCode, bool serverWins) {
        auto shown = [](const QString& name, const QString& code) {
            return code.isEmpty() ? QStringLiteral("«%1»").arg(name)
                                  : QStringLiteral("«%1» (%2)").arg(name, code);
        };
        const QString kept = serverWins ? shown(serverName, serverCode) : shown(localName, localCode);
        m_report.conflicts << QStringLiteral("en este portátil %1, en otro %2: queda %3")
                                  .arg(shown(localName, localCode), shown(serverName, serverCode), kept);
    }

    // Moves the tests of `goneId` to the player that `keepUuid` stands for, as a merge made here
    // does, without dating it as a change of this laptop's.
    bool applyMerge(qint64 goneId, const QString& goneUuid, const QString& keepUuid) {
        m_playerIds.clear();
        const std::optional<qint64> keep = localPlayerId(keepUuid);
        if (!keep || *keep == goneId)
            return true;
        QSqlQuery& move = local(QStringLiteral("UPDATE results SET player_id = ? WHERE player_id = ?"));
        move.addBindValue(*keep);
        move.addBindValue(goneId);
        if (!localExec(move))
            return false;
        QSqlQuery& point =
            local(QStringLiteral("UPDATE players SET merged_into = ? WHERE id = ? OR merged_into = ?"));
        point.addBindValue(keepUuid);
        point.addBindValue(goneId);
        point.addBindValue(goneUuid);
        return localExec(point);
    }

    // --- receiving ---------------------------------------------------------------------------
    bool receive() {
        if (!serverBegin(true))
            return false;
        QSqlQuery query(m_server);
        query.setForwardOnly(true);
        if (!query.exec(
                QStringLiteral("SELECT GREATEST((SELECT max(seq) FROM players), (SELECT max(seq) FROM tests),"
                               " (SELECT max(seq) FROM deleted_tests))")) ||
            !query.next())
            return serverFailure(query);
        const qint64 top = query.value(0).isNull() ? 0 : query.value(0).toLongLong();
        query.finish();
        if (top > m_receivedUpTo) {
            // Players first (the tests name them) and deletions next (a deleted test is not
            // written again), so that each page of tests can move the "received up to" mark.
            if (!receivePlayers(top) || !receiveDeletions(top) || !receiveTests(top))
                return false;
        }
        if (!serverCommit())
            return false;
        QSqlQuery mark(m_local);
        mark.prepare(QStringLiteral("UPDATE club_state SET received_up_to = ?"));
        mark.addBindValue(std::max(top, m_receivedUpTo));
        if (!localExec(mark))
            return localFailure(m_localError);
        return true;
    }

    bool receivePlayers(qint64 top) {
        QSqlQuery query(m_server);
        query.setForwardOnly(true);
        query.prepare(QStringLiteral(
            "SELECT uuid::text, name, name_key, code, created_at, modified_at, origin::text, renamed_at,"
            " merged_into::text FROM players WHERE seq > ? AND seq <= ? AND sent_by <> ?::uuid ORDER BY "
            "seq"));
        query.addBindValue(m_receivedUpTo);
        query.addBindValue(top);
        query.addBindValue(m_laptop);
        if (!query.exec())
            return serverFailure(query);
        QList<PlayerRecord> incoming;
        while (query.next()) {
            incoming.push_back(
                {query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
                 query.value(3).toString(), query.value(4).toString(), query.value(5).toString(),
                 query.value(6).toString(), nullable(query.value(7)), nullable(query.value(8))});
        }
        query.finish();
        if (incoming.isEmpty())
            return true;
        if (!localBegin())
            return localFailure(m_localError);
        QList<std::pair<qint64, PlayerRecord>> merges;
        for (const PlayerRecord& server : incoming) {
            std::optional<qint64> id;
            if (!applyPlayer(server, &id))
                return localFailure(m_localError);
            if (id)
                merges.push_back({*id, server});
        }
        for (const auto& [id, server] : merges) {
            if (!applyMerge(id, server.uuid, server.mergedInto))
                return localFailure(m_localError);
        }
        for (const PlayerRecord& server : incoming) {
            if (!joinSamePerson(server))
                return localFailure(m_localError);
        }
        m_playerIds.clear();
        if (!localCommit())
            return localFailure(m_localError);
        m_report.playersReceived += int(incoming.size());
        return true;
    }

    // Two laptops that met the same player before either synced made an entry each. Entries of
    // the same name (without case and accents) and the same code (or both without one) are one
    // person, as the history recognises a player on one laptop: the older entry (by creation,
    // then UUID, so that every laptop chooses the same) stays, the other is merged into it here
    // and sent as a merge. Entries that differ in code stay apart (shirt numbers repeat across
    // teams); the coach merges them by hand.
    bool joinSamePerson(const PlayerRecord& server) {
        QSqlQuery& state = local(QStringLiteral("SELECT merged_into FROM players WHERE uuid = ?"));
        state.addBindValue(server.uuid);
        if (!localExec(state))
            return false;
        const bool standing = state.next() && state.value(0).isNull();
        state.finish();
        if (!standing)
            return true;
        QSqlQuery& query =
            local(QStringLiteral("SELECT id, uuid, created_at FROM players WHERE name_key = ? AND code = ?"
                                 " AND merged_into IS NULL AND uuid <> ?"));
        query.addBindValue(server.nameKey);
        query.addBindValue(server.code);
        query.addBindValue(server.uuid);
        if (!localExec(query))
            return false;
        QList<std::pair<QString, QString>> others;  // created_at, uuid
        while (query.next())
            others.push_back({query.value(2).toString(), query.value(1).toString()});
        query.finish();
        if (others.isEmpty())
            return true;
        others.push_back({server.createdAt, server.uuid});
        std::sort(others.begin(), others.end());
        const QString keep = others.front().second;
        for (qsizetype i = 1; i < others.size(); ++i) {
            const QString& gone = others[i].second;
            QSqlQuery& find = local(QStringLiteral("SELECT id FROM players WHERE uuid = ?"));
            find.addBindValue(gone);
            if (!localExec(find) || !find.next())
                return false;
            const qint64 goneId = find.value(0).toLongLong();
            find.finish();
            if (!applyMerge(goneId, gone, keep))
                return false;
            QSqlQuery& unsent = local(QStringLiteral("UPDATE players SET club_sent = NULL WHERE id = ?"));
            unsent.addBindValue(goneId);
            if (!localExec(unsent))
                return false;
            ++m_report.playersJoined;
        }
        return true;
    }

    // Writes the server's version of a player here. `mergeId` is set when the server's record
    // is a merge that this laptop has yet to make.
    bool applyPlayer(const PlayerRecord& server, std::optional<qint64>* mergeId) {
        QSqlQuery& query =
            local(QStringLiteral("SELECT id, name, code, modified_at, renamed_at, club_renamed_at, club_sent,"
                                 " merged_into FROM players WHERE uuid = ?"));
        query.addBindValue(server.uuid);
        if (!localExec(query))
            return false;
        if (!query.next()) {
            query.finish();
            QSqlQuery& insert = local(QStringLiteral(
                "INSERT INTO players (uuid, name, name_key, code, created_at, modified_at, origin, "
                "renamed_at,"
                " merged_into, club_sent, club_renamed_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
            for (const QVariant& value :
                 {QVariant(server.uuid), QVariant(server.name), QVariant(server.nameKey),
                  QVariant(server.code), QVariant(server.createdAt), QVariant(server.modifiedAt),
                  QVariant(server.origin),
                  server.renamedAt.isEmpty() ? QVariant() : QVariant(server.renamedAt),
                  server.mergedInto.isEmpty() ? QVariant() : QVariant(server.mergedInto),
                  QVariant(server.modifiedAt),
                  server.renamedAt.isEmpty() ? QVariant() : QVariant(server.renamedAt)})
                insert.addBindValue(value);
            return localExec(insert);
        }
        const qint64 id = query.value(0).toLongLong();
        const QString name = query.value(1).toString();
        const QString code = query.value(2).toString();
        const QString modifiedAt = query.value(3).toString();
        const QString renamedAt = nullable(query.value(4));
        const QString clubRenamedAt = nullable(query.value(5));
        const QString clubSent = nullable(query.value(6));
        const QString mergedInto = nullable(query.value(7));
        query.finish();

        const bool unsent = clubSent != modifiedAt;
        const bool localRename = !renamedAt.isEmpty() && renamedAt != clubRenamedAt;
        const bool serverRename = !server.renamedAt.isEmpty() && server.renamedAt != clubRenamedAt;
        const bool differ = server.name != name || server.code != code;
        bool takeServer = false;
        if (localRename && serverRename && differ) {
            takeServer = server.renamedAt >= renamedAt;
            noteConflict(name, code, server.name, server.code, takeServer);
        } else if (serverRename) {
            takeServer = !localRename || server.renamedAt >= renamedAt;
        } else if (!localRename) {
            takeServer = server.modifiedAt > modifiedAt;
        }

        QSqlQuery& update = local(QStringLiteral(
            "UPDATE players SET name = ?, name_key = ?, code = ?, renamed_at = ?, club_renamed_at = ?,"
            " merged_into = ?, modified_at = ?, club_sent = ? WHERE id = ?"));
        update.addBindValue(takeServer ? server.name : name);
        update.addBindValue(takeServer ? server.nameKey : playerNameKey(name));
        update.addBindValue(takeServer ? server.code : code);
        const QString keptRename = takeServer ? server.renamedAt : renamedAt;
        update.addBindValue(keptRename.isEmpty() ? QVariant() : QVariant(keptRename));
        update.addBindValue(server.renamedAt.isEmpty() ? QVariant() : QVariant(server.renamedAt));
        const QString merged = mergedInto.isEmpty() ? server.mergedInto : mergedInto;
        update.addBindValue(merged.isEmpty() ? QVariant() : QVariant(merged));
        // With nothing of its own to send, the laptop holds the server's version now; else it
        // keeps its date, and what it has goes to the server in this same sync.
        const bool keepsChange = unsent || (localRename && !takeServer);
        update.addBindValue(keepsChange ? modifiedAt : server.modifiedAt);
        update.addBindValue(keepsChange ? (clubSent.isEmpty() ? QVariant() : QVariant(clubSent))
                                        : QVariant(server.modifiedAt));
        update.addBindValue(id);
        if (!localExec(update))
            return false;
        if (mergedInto.isEmpty() && !server.mergedInto.isEmpty())
            *mergeId = id;
        return true;
    }

    // What the laptop holds of a received test.
    struct LocalTest {
        qint64 id = 0;
        QString modifiedAt;
        QString origin;
    };

    // Receives the tests in pages of m_receivePage, each written here in one transaction of the
    // laptop's with its "received up to" mark. A page costs two queries on the server (the
    // tests, by the change numbers' index; then their rows), read in a thread of their own while
    // the page before is written (ClubPageFetcher); on the laptop, three queries for what it
    // holds of them, then one statement per test and one per row.
    bool receiveTests(qint64 top) {
        QStringList selected = testColumns();
        selected.replaceInStrings(QRegularExpression(QStringLiteral("^origin$")),
                                  QStringLiteral("origin::text"));
        const QByteArray testsSql =
            QStringLiteral(
                "SELECT uuid::text, %1, seq FROM tests"
                " WHERE seq > $1 AND seq <= $2 AND sent_by <> $3::uuid ORDER BY seq LIMIT %2")
                .arg(selected.join(QStringLiteral(", ")))
                .arg(m_owner.m_receivePage)
                .toUtf8();
        // The rows as the text PostgreSQL sends, which SQLite stores by its columns' types: a row
        // through Qt's values cost several microseconds, more than SQLite's writing of it.
        const QByteArray rowsSql = QStringLiteral(
                                       "SELECT test_uuid::text, player_uuid::text, %1 FROM results"
                                       " WHERE test_uuid = ANY($1::uuid[])")
                                       .arg(resultColumns().join(QStringLiteral(", ")))
                                       .toUtf8();
        PGconn* const connection = nativePostgres();
        if (!connection)
            return serverFailure(QStringLiteral("the club's connection is not PostgreSQL's"));
        // Receiving many tests (a laptop joining a club), the results' indexes by player are
        // made once after the rows rather than kept row by row: with 20,000 tests received, 3.9 s
        // rather than 5.8 s. They are left out in the first page's transaction and made again
        // in a transaction of their own after the last page (or, for a sync cut in between, by
        // run() and by the history's next opening).
        QSqlQuery waiting(m_server);
        waiting.prepare(
            QStringLiteral("SELECT count(*) FROM tests WHERE seq > ? AND seq <= ? AND sent_by <> ?::uuid"));
        waiting.addBindValue(m_receivedUpTo);
        waiting.addBindValue(top);
        waiting.addBindValue(m_laptop);
        if (!waiting.exec() || !waiting.next())
            return serverFailure(waiting);
        const qint64 toReceive = waiting.value(0).toLongLong();
        waiting.finish();
        // Made again, the indexes cover every row the laptop holds: worth it only when what
        // arrives is at least as much as what is there.
        QSqlQuery held(m_local);
        if (!held.exec(QStringLiteral("SELECT count(*) FROM tests")) || !held.next())
            return localFailure(held.lastError().text());
        const bool deferIndexes =
            toReceive >= m_owner.m_deferIndexesFrom && toReceive >= held.value(0).toLongLong();
        held.finish();

        // Every row's references are good by construction (its test was written just before it,
        // its player found here), so SQLite's own checks of them are left out while the pages
        // are written: they were a third of a row's writing. (A pragma that only takes effect
        // between transactions, as here.)
        QSqlQuery checks(m_local);
        checks.exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
        const auto restoreChecks =
            qScopeGuard([this] { QSqlQuery(m_local).exec(QStringLiteral("PRAGMA foreign_keys = ON")); });

        // From here until it is finished, the fetcher alone uses the server's connection.
        ClubPageFetcher fetcher(connection, testsSql, testKinds(), rowsSql, m_laptop, m_receivedUpTo, top);
        bool first = true;
        for (;;) {
            if (stopped())
                return false;
            ClubTestPage page;
            if (!fetcher.next(&page))
                return serverFailure(fetcher.finish());
            if (page.tests.isEmpty()) {
                fetcher.finish();
                if (!deferIndexes)
                    return true;
                if (!localBegin() || !makeResultPlayerIndexes(m_local, &m_localError) || !localCommit())
                    return localFailure(m_localError);
                return true;
            }
            if (!localBegin())
                return localFailure(m_localError);
            if (deferIndexes && first && !dropResultPlayerIndexes(m_local, &m_localError))
                return localFailure(m_localError);
            if (!applyTests(page.tests, page.uuids, page.rows.get(), page.rowsOf))
                return localFailure(m_localError);
            // Everything numbered up to this page's last test is here now: a sync cut after this
            // page starts the next one after it.
            QSqlQuery& mark = local(QStringLiteral("UPDATE club_state SET received_up_to = ?"));
            mark.addBindValue(page.last);
            if (!localExec(mark))
                return localFailure(m_localError);
            if (!localCommit())
                return localFailure(m_localError);
            if (!goOnAfterCommit())
                return false;
            first = false;
        }
    }

    // Writes a page of the server's tests here, each unless this laptop deleted it or holds a
    // newer version (which it sends). `rows` is the JSON array of their rows: test uuid, player
    // uuid, then resultColumns().
    bool applyTests(const QList<QVariantList>& tests, const QStringList& uuids, PGresult* rows,
                    const QHash<QString, QList<int>>& rowsOf) {
        const int fingerprintIndex = int(testColumns().indexOf(QStringLiteral("source_fingerprint"))) + 1;
        const QString uuidList = jsonText(QJsonArray::fromStringList(uuids));
        QSet<QString> deleted;
        QSqlQuery& gone = local(
            QStringLiteral("SELECT uuid FROM deleted_tests WHERE uuid IN (SELECT value FROM json_each(?))"));
        gone.addBindValue(uuidList);
        if (!localExec(gone))
            return false;
        while (gone.next())
            deleted.insert(gone.value(0).toString());
        gone.finish();

        QHash<QString, LocalTest> held;
        QSqlQuery& known =
            local(QStringLiteral("SELECT uuid, id, modified_at, origin FROM tests WHERE uuid IN (SELECT "
                                 "value FROM json_each(?))"));
        known.addBindValue(uuidList);
        if (!localExec(known))
            return false;
        while (known.next()) {
            held.insert(known.value(0).toString(),
                        {known.value(1).toLongLong(), known.value(2).toString(), known.value(3).toString()});
        }
        known.finish();

        // The same export file imported on two laptops: one test, under the server's UUID.
        QStringList fingerprints;
        for (const QVariantList& test : tests) {
            if (!held.contains(test.front().toString()) && !test[fingerprintIndex].isNull())
                fingerprints << test[fingerprintIndex].toString();
        }
        QHash<QString, LocalTest> imported;
        if (!fingerprints.isEmpty()) {
            QSqlQuery& same =
                local(QStringLiteral("SELECT source_fingerprint, id, modified_at FROM tests"
                                     " WHERE source_fingerprint IN (SELECT value FROM json_each(?))"));
            same.addBindValue(jsonText(QJsonArray::fromStringList(fingerprints)));
            if (!localExec(same))
                return false;
            while (same.next())
                imported.insert(same.value(0).toString(),
                                {same.value(1).toLongLong(), same.value(2).toString(), {}});
            same.finish();
        }

        for (const QVariantList& test : tests) {
            const QString uuid = test.front().toString();
            if (deleted.contains(uuid))
                continue;
            std::optional<LocalTest> mine;
            if (auto found = held.constFind(uuid); found != held.constEnd()) {
                mine = *found;
            } else if (auto same = imported.constFind(test[fingerprintIndex].toString());
                       !test[fingerprintIndex].isNull() && same != imported.constEnd()) {
                mine = *same;
                QSqlQuery& rekey = local(QStringLiteral("UPDATE tests SET uuid = ? WHERE id = ?"));
                rekey.addBindValue(uuid);
                rekey.addBindValue(mine->id);
                if (!localExec(rekey))
                    return false;
            }
            if (!applyTest(test, mine, rows, rowsOf.value(uuid)))
                return false;
        }
        return true;
    }

    // Writes the server's version of a test here (its rows apart), unless this laptop holds a
    // newer one. `written`: it was.
    bool applyTest(const QVariantList& server, const std::optional<LocalTest>& mine, PGresult* rows,
                   const QList<int>& mineRows) {
        static const int modifiedIndex = int(testColumns().indexOf(QStringLiteral("modified_at"))) + 1;
        static const int startedIndex = int(testColumns().indexOf(QStringLiteral("started_at"))) + 1;
        static const int originIndex = int(testColumns().indexOf(QStringLiteral("origin"))) + 1;
        const QString modifiedAt = server[modifiedIndex].toString();
        // The laptop's own newer version goes to the server; an equal one is this very version
        // (the same date on two laptops, as when a history file was copied: the server's wins).
        if (mine && (mine->modifiedAt > modifiedAt ||
                     (mine->modifiedAt == modifiedAt && mine->origin == server[originIndex].toString()))) {
            QSqlQuery& mark =
                local(QStringLiteral("UPDATE tests SET club_sent = ? WHERE id = ? AND modified_at = ?"));
            mark.addBindValue(modifiedAt);
            mark.addBindValue(mine->id);
            mark.addBindValue(modifiedAt);
            return localExec(mark);
        }

        static const QStringList columns = QStringList(testColumns()) << QStringLiteral("club_sent");
        static const QString update = QStringLiteral("UPDATE tests SET %1 = ? WHERE id = ?")
                                          .arg(columns.join(QStringLiteral(" = ?, ")));
        static const QString insert =
            QStringLiteral("INSERT INTO tests (uuid, %1) VALUES (?%2)")
                .arg(columns.join(QStringLiteral(", ")), QStringLiteral(", ?").repeated(columns.size()));
        qint64 testId = 0;
        if (mine) {
            QSqlQuery& write = local(update);
            for (int c = 1; c < server.size(); ++c)
                write.addBindValue(server[c]);
            write.addBindValue(modifiedAt);
            write.addBindValue(mine->id);
            if (!localExec(write))
                return false;
            testId = mine->id;
        } else {
            // A new test (every one, for a laptop joining a club) through SQLite's own interface,
            // as its rows below: through Qt's bindings its two dozen values cost more than the
            // writing of it.
            if (!m_testInsert)
                m_testInsert.emplace(m_local, insert);
            NativeStatement& add = *m_testInsert;
            for (int c = 0; c < server.size(); ++c)
                add.bind(c + 1, server[c]);
            add.bind(int(server.size()) + 1, modifiedAt);
            if (!add.run(&m_localError))
                return false;
            testId = add.lastInsertId();
        }
        if (mine) {
            QSqlQuery& remove = local(QStringLiteral("DELETE FROM results WHERE test_id = ?"));
            remove.addBindValue(testId);
            if (!localExec(remove))
                return false;
        }
        // A test's rows through SQLite's own interface, one prepared statement run again for each:
        // through Qt's bindings a row cost some 8 µs (its values converted twice, and the
        // statement's parameters looked up by name), most of the receiving.
        if (!m_rowInsert) {
            m_rowInsert.emplace(m_local,
                                QStringLiteral("INSERT INTO results (test_id, started_at, player_id, %1)"
                                               " VALUES (?, ?, ?%2)")
                                    .arg(resultColumns().join(QStringLiteral(", ")),
                                         QStringLiteral(", ?").repeated(resultColumns().size())));
        }
        NativeStatement& add = *m_rowInsert;
        const int width = PQnfields(rows);
        const QByteArray startedAt = server[startedIndex].toString().toUtf8();
        for (const int r : mineRows) {
            QVariant player;
            if (!PQgetisnull(rows, r, 1)) {
                const std::optional<qint64> playerId =
                    localPlayerId(QString::fromLatin1(PQgetvalue(rows, r, 1)));
                if (!playerId) {
                    m_localError = QStringLiteral("the server's test %1 names a player it does not have")
                                       .arg(server.front().toString());
                    return false;
                }
                player = *playerId;
            }
            add.bind(1, testId);
            add.bindText(2, startedAt.constData(), int(startedAt.size()));
            add.bind(3, player);
            for (int c = 2; c < width; ++c)
                add.bindText(c + 2, PQgetisnull(rows, r, c) ? nullptr : PQgetvalue(rows, r, c),
                             PQgetlength(rows, r, c));
            if (!add.run(&m_localError))
                return false;
        }
        ++m_report.testsReceived;
        return true;
    }

    bool receiveDeletions(qint64 top) {
        QSqlQuery query(m_server);
        query.setForwardOnly(true);
        query.prepare(
            QStringLiteral("SELECT uuid::text, deleted_at, origin::text FROM deleted_tests"
                           " WHERE seq > ? AND seq <= ? AND sent_by <> ?::uuid"));
        query.addBindValue(m_receivedUpTo);
        query.addBindValue(top);
        query.addBindValue(m_laptop);
        if (!query.exec())
            return serverFailure(query);
        QList<QStringList> deletions;
        while (query.next())
            deletions << QStringList{query.value(0).toString(), query.value(1).toString(),
                                     query.value(2).toString()};
        query.finish();
        if (deletions.isEmpty())
            return true;
        if (!localBegin())
            return localFailure(m_localError);
        QSqlQuery remove(m_local);
        remove.prepare(QStringLiteral("DELETE FROM tests WHERE uuid = ?"));
        QSqlQuery record(m_local);
        record.prepare(
            QStringLiteral("INSERT OR REPLACE INTO deleted_tests (uuid, deleted_at, origin, club_sent) "
                           "VALUES (?, ?, ?, 1)"));
        for (const QStringList& deletion : deletions) {
            remove.addBindValue(deletion[0]);
            record.addBindValue(deletion[0]);
            record.addBindValue(deletion[1]);
            record.addBindValue(deletion[2]);
            if (!localExec(remove) || !localExec(record))
                return localFailure(m_localError);
        }
        if (!localCommit())
            return localFailure(m_localError);
        m_report.deletionsReceived += int(deletions.size());
        return true;
    }

    // --- sending -----------------------------------------------------------------------------
    bool sendPlayers() {
        if (stopped())
            return false;
        QSqlQuery query(m_local);
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral(
                "SELECT uuid, name, name_key, code, created_at, modified_at, origin, renamed_at, merged_into,"
                " club_renamed_at FROM players WHERE club_sent IS NULL OR club_sent <> modified_at")))
            return localFailure(query.lastError().text());
        QJsonArray records;
        QHash<QString, PlayerRecord> mine;
        QHash<QString, QString> base;  // club_renamed_at
        QStringList uuids;
        while (query.next()) {
            const PlayerRecord player{
                query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
                query.value(3).toString(), query.value(4).toString(), query.value(5).toString(),
                query.value(6).toString(), nullable(query.value(7)),  nullable(query.value(8))};
            mine.insert(player.uuid, player);
            base.insert(player.uuid, nullable(query.value(9)));
            uuids << player.uuid;
            QJsonObject record;
            record[QStringLiteral("uuid")] = player.uuid;
            record[QStringLiteral("name")] = player.name;
            record[QStringLiteral("name_key")] = player.nameKey;
            record[QStringLiteral("code")] = player.code;
            record[QStringLiteral("created_at")] = player.createdAt;
            record[QStringLiteral("modified_at")] = player.modifiedAt;
            record[QStringLiteral("origin")] = player.origin;
            record[QStringLiteral("renamed_at")] = jsonOf(query.value(7));
            record[QStringLiteral("merged_into")] = jsonOf(query.value(8));
            records.append(record);
        }
        query.finish();
        if (records.isEmpty())
            return true;

        if (!serverBegin(false))
            return false;
        // A rename that reached the server after this sync received (another laptop's, sent in
        // between): the same rule and the same listing as when received.
        QSqlQuery current(m_server);
        current.setForwardOnly(true);
        current.prepare(QStringLiteral(
            "SELECT uuid::text, name, code, renamed_at FROM players WHERE uuid = ANY(?::uuid[]) FOR UPDATE"));
        current.addBindValue(uuidArray(uuids));
        if (!current.exec())
            return serverFailure(current);
        while (current.next()) {
            const PlayerRecord& player = mine[current.value(0).toString()];
            const QString serverRenamed = nullable(current.value(3));
            const QString known = base.value(player.uuid);
            if (!player.renamedAt.isEmpty() && player.renamedAt != known && !serverRenamed.isEmpty() &&
                serverRenamed != known &&
                (current.value(1).toString() != player.name || current.value(2).toString() != player.code)) {
                const bool serverWins = serverRenamed > player.renamedAt;
                noteConflict(player.name, player.code, current.value(1).toString(),
                             current.value(2).toString(), serverWins);
            }
        }
        current.finish();

        QSqlQuery upsert(m_server);
        upsert.setForwardOnly(true);
        const QString newer = QStringLiteral(
            "(COALESCE(excluded.renamed_at, ''), excluded.modified_at) > (COALESCE(p.renamed_at, ''), "
            "p.modified_at)");
        upsert.prepare(
            QStringLiteral(
                "INSERT INTO players AS p (uuid, name, name_key, code, created_at, modified_at, origin, "
                "renamed_at,"
                " merged_into, seq, sent_by)"
                " SELECT x.uuid, x.name, x.name_key, x.code, x.created_at, x.modified_at, x.origin, "
                "x.renamed_at,"
                " x.merged_into, nextval('norak_change'), ?::uuid"
                " FROM json_to_recordset(?::json) AS x(uuid uuid, name text, name_key text, code text,"
                " created_at text, modified_at text, origin uuid, renamed_at text, merged_into uuid)"
                " ON CONFLICT (uuid) DO UPDATE SET"
                " name = CASE WHEN %1 THEN excluded.name ELSE p.name END,"
                " name_key = CASE WHEN %1 THEN excluded.name_key ELSE p.name_key END,"
                " code = CASE WHEN %1 THEN excluded.code ELSE p.code END,"
                " renamed_at = GREATEST(p.renamed_at, excluded.renamed_at),"
                " merged_into = COALESCE(p.merged_into, excluded.merged_into),"
                " modified_at = GREATEST(p.modified_at, excluded.modified_at),"
                " seq = excluded.seq, sent_by = excluded.sent_by"
                " RETURNING uuid::text, name, name_key, code, modified_at, renamed_at, merged_into::text")
                .arg(newer));
        upsert.addBindValue(m_laptop);
        upsert.addBindValue(jsonText(records));
        if (!upsert.exec())
            return serverFailure(upsert);
        QList<PlayerRecord> kept;
        QStringList keptModified;  // the server's modified_at of each
        while (upsert.next()) {
            PlayerRecord record = mine.value(upsert.value(0).toString());
            record.name = upsert.value(1).toString();
            record.nameKey = upsert.value(2).toString();
            record.code = upsert.value(3).toString();
            record.renamedAt = nullable(upsert.value(5));
            record.mergedInto = nullable(upsert.value(6));
            kept << record;
            keptModified << upsert.value(4).toString();
        }
        upsert.finish();
        if (!serverCommit() || !goOnAfterCommit())
            return false;

        // The laptop now holds what the server kept (the latest rename, a merge made elsewhere),
        // unless the player changed here meanwhile.
        if (!localBegin())
            return localFailure(m_localError);
        QSqlQuery mark(m_local);
        mark.prepare(QStringLiteral(
            "UPDATE players SET name = ?, name_key = ?, code = ?, renamed_at = ?, club_renamed_at = ?,"
            " modified_at = ?, club_sent = ?, merged_into = COALESCE(merged_into, ?)"
            " WHERE uuid = ? AND modified_at = ?"));
        QList<std::pair<qint64, PlayerRecord>> merges;
        for (qsizetype i = 0; i < kept.size(); ++i) {
            const PlayerRecord& record = kept[i];
            const PlayerRecord& before = mine[record.uuid];
            const QString& serverModified = keptModified[i];
            mark.addBindValue(record.name);
            mark.addBindValue(record.nameKey);
            mark.addBindValue(record.code);
            mark.addBindValue(record.renamedAt.isEmpty() ? QVariant() : QVariant(record.renamedAt));
            mark.addBindValue(record.renamedAt.isEmpty() ? QVariant() : QVariant(record.renamedAt));
            mark.addBindValue(serverModified);
            mark.addBindValue(serverModified);
            mark.addBindValue(record.mergedInto.isEmpty() ? QVariant() : QVariant(record.mergedInto));
            mark.addBindValue(record.uuid);
            mark.addBindValue(before.modifiedAt);
            if (!localExec(mark))
                return localFailure(m_localError);
            if (before.mergedInto.isEmpty() && !record.mergedInto.isEmpty()) {
                m_playerIds.clear();
                const std::optional<qint64> id = localPlayerId(record.uuid);
                if (id)
                    merges.push_back({*id, record});
            }
        }
        for (const auto& [id, record] : merges) {
            if (!applyMerge(id, record.uuid, record.mergedInto))
                return localFailure(m_localError);
        }
        if (!localCommit())
            return localFailure(m_localError);
        m_report.playersSent += int(kept.size());
        return true;
    }

    bool sendTests() {
        for (;;) {
            if (stopped())
                return false;
            QSqlQuery query(m_local);
            query.setForwardOnly(true);
            if (!query.exec(
                    QStringLiteral("SELECT id, uuid, %1 FROM tests WHERE club_sent IS NULL OR club_sent <>"
                                   " modified_at ORDER BY id LIMIT %2")
                        .arg(testColumns().join(QStringLiteral(", ")))
                        .arg(m_owner.m_batchSize)))
                return localFailure(query.lastError().text());
            QJsonArray tests;
            QStringList ids;
            QList<std::pair<QString, QString>> sent;  // uuid, modified_at
            while (query.next()) {
                ids << query.value(0).toString();
                QJsonObject test;
                test[QStringLiteral("uuid")] = query.value(1).toString();
                for (int c = 0; c < testColumns().size(); ++c)
                    test[testColumns()[c]] = jsonOf(query.value(c + 2));
                sent.push_back({query.value(1).toString(), test[QStringLiteral("modified_at")].toString()});
                tests.append(test);
            }
            query.finish();
            if (tests.isEmpty())
                return true;
            QJsonArray rows;
            if (!query.exec(
                    QStringLiteral("SELECT t.uuid, p.uuid, %1 FROM results r JOIN tests t ON t.id = r.test_id"
                                   " LEFT JOIN players p ON p.id = r.player_id WHERE r.test_id IN (%2)")
                        .arg(QStringLiteral("r.") + resultColumns().join(QStringLiteral(", r.")),
                             ids.join(QLatin1Char(',')))))
                return localFailure(query.lastError().text());
            while (query.next()) {
                QJsonObject row;
                row[QStringLiteral("test_uuid")] = query.value(0).toString();
                row[QStringLiteral("player_uuid")] = jsonOf(query.value(1));
                for (int c = 0; c < resultColumns().size(); ++c)
                    row[resultColumns()[c]] = jsonOf(query.value(c + 2));
                rows.append(row);
            }
            query.finish();

            if (!serverBegin(false))
                return false;
            const QStringList definitions = postgresDefinitions(storedTestColumns())
                                            << QStringLiteral("created_at text")
                                            << QStringLiteral("origin uuid");
            QStringList assignments;
            for (const QString& column : testColumns())
                assignments << QStringLiteral("%1 = excluded.%1").arg(column);
            QSqlQuery upsert(m_server);
            upsert.setForwardOnly(true);
            upsert.prepare(
                QStringLiteral(
                    "INSERT INTO tests AS t (uuid, %1, seq, sent_by)"
                    " SELECT x.uuid, x.%2, nextval('norak_change'), ?::uuid"
                    " FROM json_to_recordset(?::json) AS x(uuid uuid, %3)"
                    " WHERE NOT EXISTS (SELECT 1 FROM deleted_tests d WHERE d.uuid = x.uuid)"
                    " AND NOT EXISTS (SELECT 1 FROM tests o WHERE o.source_fingerprint = x.source_fingerprint"
                    " AND o.uuid <> x.uuid)"
                    " ON CONFLICT (uuid) DO UPDATE SET %4, seq = excluded.seq, sent_by = excluded.sent_by"
                    " WHERE t.modified_at < excluded.modified_at"
                    " RETURNING uuid::text")
                    .arg(testColumns().join(QStringLiteral(", ")), testColumns().join(QStringLiteral(", x.")),
                         definitions.join(QStringLiteral(", ")), assignments.join(QStringLiteral(", "))));
            upsert.addBindValue(m_laptop);
            upsert.addBindValue(jsonText(tests));
            if (!upsert.exec())
                return serverFailure(upsert);
            QStringList written;
            while (upsert.next())
                written << upsert.value(0).toString();
            upsert.finish();
            if (!written.isEmpty()) {
                QSqlQuery remove(m_server);
                remove.prepare(QStringLiteral("DELETE FROM results WHERE test_uuid = ANY(?::uuid[])"));
                remove.addBindValue(uuidArray(written));
                if (!remove.exec())
                    return serverFailure(remove);
                QSqlQuery insert(m_server);
                insert.prepare(
                    QStringLiteral("INSERT INTO results (test_uuid, player_uuid, %1)"
                                   " SELECT r.test_uuid, r.player_uuid, r.%2 FROM"
                                   " json_to_recordset(?::json) AS r(test_uuid uuid,"
                                   " player_uuid uuid, %3) WHERE r.test_uuid = ANY(?::uuid[])")
                        .arg(resultColumns().join(QStringLiteral(", ")),
                             resultColumns().join(QStringLiteral(", r.")),
                             postgresDefinitions(storedResultColumns()).join(QStringLiteral(", "))));
                insert.addBindValue(jsonText(rows));
                insert.addBindValue(uuidArray(written));
                if (!insert.exec())
                    return serverFailure(insert);
            }
            if (!serverCommit() || !goOnAfterCommit())
                return false;

            // Sent: unless the test changed here meanwhile. A test the server kept in a newer
            // version, or as deleted, arrives with the next sync's receiving.
            if (!localBegin())
                return localFailure(m_localError);
            QSqlQuery mark(m_local);
            mark.prepare(QStringLiteral("UPDATE tests SET club_sent = ? WHERE uuid = ? AND modified_at = ?"));
            for (const auto& [uuid, modifiedAt] : sent) {
                mark.addBindValue(modifiedAt);
                mark.addBindValue(uuid);
                mark.addBindValue(modifiedAt);
                if (!localExec(mark))
                    return localFailure(m_localError);
            }
            if (!localCommit())
                return localFailure(m_localError);
            m_report.testsSent += int(written.size());
        }
    }

    bool sendDeletions() {
        if (stopped())
            return false;
        QSqlQuery query(m_local);
        query.setForwardOnly(true);
        if (!query.exec(
                QStringLiteral("SELECT uuid, deleted_at, origin FROM deleted_tests WHERE club_sent = 0")))
            return localFailure(query.lastError().text());
        QJsonArray deletions;
        QStringList uuids;
        while (query.next()) {
            QJsonObject deletion;
            deletion[QStringLiteral("uuid")] = query.value(0).toString();
            deletion[QStringLiteral("deleted_at")] = query.value(1).toString();
            deletion[QStringLiteral("origin")] = query.value(2).toString();
            deletions.append(deletion);
            uuids << query.value(0).toString();
        }
        query.finish();
        if (uuids.isEmpty())
            return true;
        if (!serverBegin(false))
            return false;
        QSqlQuery remove(m_server);
        remove.prepare(QStringLiteral("DELETE FROM tests WHERE uuid = ANY(?::uuid[])"));
        remove.addBindValue(uuidArray(uuids));
        if (!remove.exec())
            return serverFailure(remove);
        QSqlQuery record(m_server);
        record.prepare(
            QStringLiteral("INSERT INTO deleted_tests (uuid, deleted_at, origin, seq, sent_by)"
                           " SELECT x.uuid, x.deleted_at, x.origin, nextval('norak_change'), ?::uuid"
                           " FROM json_to_recordset(?::json) AS x(uuid uuid, deleted_at text, origin uuid)"
                           " ON CONFLICT (uuid) DO NOTHING"));
        record.addBindValue(m_laptop);
        record.addBindValue(jsonText(deletions));
        if (!record.exec())
            return serverFailure(record);
        if (!serverCommit() || !goOnAfterCommit())
            return false;
        if (!localBegin())
            return localFailure(m_localError);
        QSqlQuery mark(m_local);
        mark.prepare(QStringLiteral("UPDATE deleted_tests SET club_sent = 1 WHERE uuid = ?"));
        for (const QString& uuid : uuids) {
            mark.addBindValue(uuid);
            if (!localExec(mark))
                return localFailure(m_localError);
        }
        if (!localCommit())
            return localFailure(m_localError);
        m_report.deletionsSent += int(uuids.size());
        return true;
    }

    ClubSync& m_owner;
    QSqlDatabase m_local;
    QSqlDatabase m_server;
    ClubConnection& m_connection;
    QString m_laptop;
    ClubSyncReport& m_report;
    qint64 m_receivedUpTo = 0;
    QString m_localError;
    QHash<QString, qint64> m_playerIds;
    std::map<QString, std::unique_ptr<QSqlQuery>> m_statements;
    std::optional<NativeStatement> m_testInsert;
    std::optional<NativeStatement> m_rowInsert;
};

ClubSyncReport ClubSync::run(const QString& historyPath, const ClubServerSettings& settings) {
    ClubSyncReport report;
    if (m_testRunning) {
        report.problem = {ClubProblem::Kind::TestRunning,
                          QStringLiteral("No se sincroniza durante una prueba: espere a que termine.")};
        return report;
    }
    HistoryDatabase local;
    const HistoryOpening opening = local.open(historyPath, {}, false);
    if (opening.status != HistoryOpening::Status::Ready) {
        report.problem = {
            ClubProblem::Kind::Local,
            opening.status == HistoryOpening::Status::ReadOnlyNewer
                ? QStringLiteral("El historial de este portátil es de una versión más reciente del "
                                 "programa: no se sincroniza.")
                : opening.message};
        return report;
    }
    ClubConnection server;
    report.problem = server.open(settings, true);
    if (report.problem)
        return report;
    // A page of received tests dirties many pages of the results' indexes: room for them in
    // the cache, so that they are written once at the commit rather than spilled before it.
    QSqlQuery cache(local.connection());
    cache.exec(QStringLiteral("PRAGMA cache_size = -65536"));
    // A checkpoint copies the log's pages into the file and syncs it: every 64 MB of log in the
    // history's 16 KB pages (16 MB in an older history's 4 KB ones) rather than SQLite's 16 MB,
    // which a page of received tests passes (this connection's own setting; the log is copied
    // when it closes). A thread of its own copying the log while the sync writes was slower:
    // 100,000 tests received in 1 s more, the two competing for the processor and the disk.
    cache.exec(QStringLiteral("PRAGMA wal_autocheckpoint = 4096"));
    // This connection's commits are not synced one by one: in WAL mode a power cut may then take
    // back the sync's last transactions, whole, never leave the file damaged, and every one of
    // them can be had again: what it received is received again from its mark (written in the
    // same transaction), what it sent and marked is sent again and the server keeps it once. A
    // checkpoint still syncs. The laptop's own tests are stored by the history's own
    // connection, with every commit synced.
    cache.exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    {
        ClubSyncPass pass(*this, local, server, report);
        pass.run(server.clubUuid());
    }
    // A sync cut while receiving many tests left the results' indexes by player out (see
    // receiveTests); nothing when they are there. Not while a test runs (seconds of writing):
    // then the next sync or opening of the history makes them.
    QSqlDatabase history = local.connection();
    QString error;
    if (!m_testRunning && !makeResultPlayerIndexes(history, &error) && report.ok()) {
        report.problem = {
            ClubProblem::Kind::Local,
            QStringLiteral("No se puede escribir en el historial de este portátil: %1").arg(error)};
    }
    return report;
}

ClubProblem testClubServer(const ClubServerSettings& settings, QString* note) {
    ClubConnection server;
    const ClubProblem problem = server.open(settings, false);
    if (!problem && note) {
        *note = server.clubUuid().isEmpty()
                    ? QStringLiteral(
                          "Conexión correcta. La base de datos está vacía: la primera sincronización "
                          "creará las tablas del historial del club.")
                    : QStringLiteral("Conexión correcta: es un historial de club de NORAK.");
    }
    return problem;
}

}  // namespace norak
