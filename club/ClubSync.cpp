#include "club/ClubSync.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <optional>

#include "club/ClubSchema.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryText.h"

namespace norak {

namespace {

// Every transaction that writes on the server takes this lock first, so that change numbers are
// committed in the order they are taken: a laptop that received up to N never misses a change
// numbered N or lower that commits later.
constexpr qint64 kChangeLock = 7310001;

// The columns of a test, in the order both sides list them (beside uuid and the bookkeeping).
const QStringList& testColumns() {
    static const QStringList columns = {QStringLiteral("edition"),
                                        QStringLiteral("edition_title"),
                                        QStringLiteral("period_table_fingerprint"),
                                        QStringLiteral("started_at"),
                                        QStringLiteral("stopped_at"),
                                        QStringLiteral("mode"),
                                        QStringLiteral("start_period"),
                                        QStringLiteral("start_speed_text"),
                                        QStringLiteral("warm_up"),
                                        QStringLiteral("sound_output"),
                                        QStringLiteral("signals_given"),
                                        QStringLiteral("lateness_p50_ms"),
                                        QStringLiteral("lateness_p99_ms"),
                                        QStringLiteral("lateness_max_ms"),
                                        QStringLiteral("date_separator"),
                                        QStringLiteral("time_separator"),
                                        QStringLiteral("table_rows"),
                                        QStringLiteral("source_fingerprint"),
                                        QStringLiteral("created_at"),
                                        QStringLiteral("modified_at"),
                                        QStringLiteral("origin")};
    return columns;
}

// The PostgreSQL types of those columns, for json_to_recordset.
const QStringList& testColumnTypes() {
    static const QStringList types = {
        QStringLiteral("integer"), QStringLiteral("text"),    QStringLiteral("text"),
        QStringLiteral("text"),    QStringLiteral("text"),    QStringLiteral("integer"),
        QStringLiteral("integer"), QStringLiteral("text"),    QStringLiteral("integer"),
        QStringLiteral("text"),    QStringLiteral("integer"), QStringLiteral("bigint"),
        QStringLiteral("bigint"),  QStringLiteral("bigint"),  QStringLiteral("text"),
        QStringLiteral("text"),    QStringLiteral("integer"), QStringLiteral("text"),
        QStringLiteral("text"),    QStringLiteral("text"),    QStringLiteral("uuid")};
    return types;
}

// The first of resultColumns() that holds a real number (speed_kmh, vo2max); those before it
// hold integers or text.
constexpr int kFirstRealColumn = 5;

const QStringList& resultColumns() {
    static const QStringList columns = {QStringLiteral("row"),     QStringLiteral("cells"),
                                        QStringLiteral("seconds"), QStringLiteral("periods"),
                                        QStringLiteral("metres"),  QStringLiteral("speed_kmh"),
                                        QStringLiteral("vo2max")};
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

    // The local id of a player, following merges to the entry that stands for them.
    std::optional<qint64> localPlayerId(const QString& uuid) {
        auto cached = m_playerIds.constFind(uuid);
        if (cached != m_playerIds.constEnd())
            return *cached;
        QSqlQuery query(m_local);
        query.prepare(QStringLiteral("SELECT id, merged_into FROM players WHERE uuid = ?"));
        QString current = uuid;
        std::optional<qint64> id;
        for (int hop = 0; hop < 16 && !current.isEmpty(); ++hop) {
            query.addBindValue(current);
            if (!query.exec() || !query.next())
                break;
            id = query.value(0).toLongLong();
            current = nullable(query.value(1));
        }
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
        QSqlQuery query(m_local);
        query.prepare(QStringLiteral("UPDATE results SET player_id = ? WHERE player_id = ?"));
        query.addBindValue(*keep);
        query.addBindValue(goneId);
        if (!localExec(query))
            return false;
        query.prepare(QStringLiteral("UPDATE players SET merged_into = ? WHERE id = ? OR merged_into = ?"));
        query.addBindValue(keepUuid);
        query.addBindValue(goneId);
        query.addBindValue(goneUuid);
        return localExec(query);
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
        QSqlQuery query(m_local);
        query.prepare(QStringLiteral("SELECT merged_into FROM players WHERE uuid = ?"));
        query.addBindValue(server.uuid);
        if (!localExec(query))
            return false;
        if (!query.next() || !query.value(0).isNull())
            return true;
        query.prepare(
            QStringLiteral("SELECT id, uuid, created_at FROM players WHERE name_key = ? AND code = ?"
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
            QSqlQuery find(m_local);
            find.prepare(QStringLiteral("SELECT id FROM players WHERE uuid = ?"));
            find.addBindValue(gone);
            if (!localExec(find) || !find.next())
                return false;
            const qint64 goneId = find.value(0).toLongLong();
            find.finish();
            if (!applyMerge(goneId, gone, keep))
                return false;
            QSqlQuery unsent(m_local);
            unsent.prepare(QStringLiteral("UPDATE players SET club_sent = NULL WHERE id = ?"));
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
        QSqlQuery query(m_local);
        query.prepare(
            QStringLiteral("SELECT id, name, code, modified_at, renamed_at, club_renamed_at, club_sent,"
                           " merged_into FROM players WHERE uuid = ?"));
        query.addBindValue(server.uuid);
        if (!localExec(query))
            return false;
        if (!query.next()) {
            query.finish();
            QSqlQuery insert(m_local);
            insert.prepare(QStringLiteral(
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

        QSqlQuery update(m_local);
        update.prepare(QStringLiteral(
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

    bool receiveTests(qint64 top) {
        const QString select =
            QStringLiteral("SELECT uuid::text, %1, seq FROM tests")
                .arg(QStringList(testColumns())
                         .replaceInStrings(QStringLiteral("origin"), QStringLiteral("origin::text"))
                         .join(QStringLiteral(", ")));
        qint64 cursor = m_receivedUpTo;
        for (;;) {
            if (stopped())
                return false;
            QSqlQuery query(m_server);
            query.setForwardOnly(true);
            query.prepare(
                select +
                QStringLiteral(" WHERE seq > ? AND seq <= ? AND sent_by <> ?::uuid ORDER BY seq LIMIT %1")
                    .arg(m_owner.m_receivePage));
            query.addBindValue(cursor);
            query.addBindValue(top);
            query.addBindValue(m_laptop);
            if (!query.exec())
                return serverFailure(query);
            QList<QVariantList> tests;
            QStringList uuids;
            qint64 last = cursor;
            const int columns = int(testColumns().size());
            while (query.next()) {
                QVariantList values;
                for (int c = 0; c <= columns; ++c)
                    values << query.value(c);
                uuids << values.front().toString();
                tests << values;
                last = query.value(columns + 1).toLongLong();
            }
            query.finish();
            if (tests.isEmpty())
                return true;

            // Each test's rows as one JSON array: one row per test to fetch rather than one per
            // player (a page of 1,000 tests holds some 14,000 rows).
            QHash<QString, QList<QVariantList>> rows;
            QSqlQuery results(m_server);
            results.setForwardOnly(true);
            results.prepare(
                QStringLiteral(
                    "SELECT test_uuid::text, json_agg(json_build_array(player_uuid, %1) ORDER BY row)::text"
                    " FROM results WHERE test_uuid = ANY(?::uuid[]) GROUP BY test_uuid")
                    .arg(resultColumns().join(QStringLiteral(", "))));
            results.addBindValue(uuidArray(uuids));
            if (!results.exec())
                return serverFailure(results);
            while (results.next()) {
                QList<QVariantList>& list = rows[results.value(0).toString()];
                const QJsonArray array =
                    QJsonDocument::fromJson(results.value(1).toString().toUtf8()).array();
                for (const QJsonValue& element : array) {
                    const QJsonArray row = element.toArray();
                    QVariantList values;
                    values << (row[0].isNull() ? QVariant() : QVariant(row[0].toString()));
                    for (int c = 0; c < resultColumns().size(); ++c) {
                        const QJsonValue value = row[c + 1];
                        if (value.isNull())
                            values << QVariant();
                        else if (value.isString())
                            values << value.toString();
                        else if (c >= kFirstRealColumn)
                            values << value.toDouble();
                        else
                            values << qint64(value.toDouble());
                    }
                    list << values;
                }
            }
            results.finish();

            if (!localBegin())
                return localFailure(m_localError);
            for (const QVariantList& test : tests) {
                if (!applyTest(test, rows.value(test.front().toString())))
                    return localFailure(m_localError);
            }
            // Everything numbered up to this page's last test is here now: a sync cut after this
            // page starts the next one after it.
            QSqlQuery mark(m_local);
            mark.prepare(QStringLiteral("UPDATE club_state SET received_up_to = ?"));
            mark.addBindValue(last);
            if (!localExec(mark))
                return localFailure(m_localError);
            if (!localCommit())
                return localFailure(m_localError);
            if (!goOnAfterCommit())
                return false;
            cursor = last;
        }
    }

    // Writes the server's version of a test here, unless this laptop deleted it or holds a
    // newer one (which it sends).
    bool applyTest(const QVariantList& server, const QList<QVariantList>& rows) {
        const QString uuid = server.front().toString();
        const int modifiedIndex = int(testColumns().indexOf(QStringLiteral("modified_at"))) + 1;
        const int fingerprintIndex = int(testColumns().indexOf(QStringLiteral("source_fingerprint"))) + 1;
        const int originIndex = int(testColumns().indexOf(QStringLiteral("origin"))) + 1;
        const QString modifiedAt = server[modifiedIndex].toString();
        QSqlQuery query(m_local);
        query.prepare(QStringLiteral("SELECT 1 FROM deleted_tests WHERE uuid = ?"));
        query.addBindValue(uuid);
        if (!localExec(query))
            return false;
        if (query.next())
            return true;
        query.prepare(QStringLiteral("SELECT id, modified_at, origin FROM tests WHERE uuid = ?"));
        query.addBindValue(uuid);
        if (!localExec(query))
            return false;
        std::optional<qint64> id;
        QString localModified;
        bool sameOrigin = false;
        if (query.next()) {
            id = query.value(0).toLongLong();
            localModified = query.value(1).toString();
            sameOrigin = query.value(2).toString() == server[originIndex].toString();
        } else if (!server[fingerprintIndex].isNull()) {
            // The same export file imported on two laptops: one test, under the server's UUID.
            query.prepare(QStringLiteral("SELECT id, modified_at FROM tests WHERE source_fingerprint = ?"));
            query.addBindValue(server[fingerprintIndex]);
            if (!localExec(query))
                return false;
            if (query.next()) {
                id = query.value(0).toLongLong();
                localModified = query.value(1).toString();
                QSqlQuery rekey(m_local);
                rekey.prepare(QStringLiteral("UPDATE tests SET uuid = ? WHERE id = ?"));
                rekey.addBindValue(uuid);
                rekey.addBindValue(*id);
                if (!localExec(rekey))
                    return false;
            }
        }
        query.finish();
        // The laptop's own newer version goes to the server; an equal one is this very version
        // (the same date on two laptops, as when a history file was copied: the server's wins).
        if (id && (localModified > modifiedAt || (localModified == modifiedAt && sameOrigin))) {
            QSqlQuery mark(m_local);
            mark.prepare(QStringLiteral("UPDATE tests SET club_sent = ? WHERE id = ? AND modified_at = ?"));
            mark.addBindValue(modifiedAt);
            mark.addBindValue(*id);
            mark.addBindValue(modifiedAt);
            return localExec(mark);
        }

        QSqlQuery write(m_local);
        QStringList columns = testColumns();
        columns << QStringLiteral("club_sent");
        if (id) {
            write.prepare(QStringLiteral("UPDATE tests SET %1 = ? WHERE id = ?")
                              .arg(columns.join(QStringLiteral(" = ?, "))));
        } else {
            write.prepare(
                QStringLiteral("INSERT INTO tests (uuid, %1) VALUES (?%2)")
                    .arg(columns.join(QStringLiteral(", ")), QStringLiteral(", ?").repeated(columns.size())));
            write.addBindValue(uuid);
        }
        for (int c = 1; c < server.size(); ++c)
            write.addBindValue(server[c]);
        write.addBindValue(modifiedAt);
        if (id)
            write.addBindValue(*id);
        if (!localExec(write))
            return false;
        const qint64 testId = id ? *id : write.lastInsertId().toLongLong();
        if (id) {
            QSqlQuery remove(m_local);
            remove.prepare(QStringLiteral("DELETE FROM results WHERE test_id = ?"));
            remove.addBindValue(testId);
            if (!localExec(remove))
                return false;
        }
        const QVariant startedAt = server[int(testColumns().indexOf(QStringLiteral("started_at"))) + 1];
        if (!rows.isEmpty()) {
            // All the rows in one statement: a test is a handful of them, well within SQLite's
            // limit of bound values.
            QStringList placeholders;
            for (qsizetype i = 0; i < rows.size(); ++i)
                placeholders << QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
            QSqlQuery insert(m_local);
            insert.prepare(
                QStringLiteral("INSERT INTO results (test_id, player_id, %1, started_at) VALUES %2")
                    .arg(resultColumns().join(QStringLiteral(", ")),
                         placeholders.join(QStringLiteral(", "))));
            for (const QVariantList& row : rows) {
                QVariant player;
                if (!row.front().isNull()) {
                    const std::optional<qint64> playerId = localPlayerId(row.front().toString());
                    if (!playerId) {
                        m_localError =
                            QStringLiteral("the server's test %1 names a player it does not have").arg(uuid);
                        return false;
                    }
                    player = *playerId;
                }
                insert.addBindValue(testId);
                insert.addBindValue(player);
                for (int c = 1; c < row.size(); ++c)
                    insert.addBindValue(row[c]);
                insert.addBindValue(startedAt);
            }
            if (!localExec(insert))
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
            QStringList definitions;
            QStringList assignments;
            for (int c = 0; c < testColumns().size(); ++c) {
                definitions << testColumns()[c] + QLatin1Char(' ') + testColumnTypes()[c];
                assignments << QStringLiteral("%1 = excluded.%1").arg(testColumns()[c]);
            }
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
                insert.prepare(QStringLiteral("INSERT INTO results (test_uuid, player_uuid, %1)"
                                              " SELECT r.test_uuid, r.player_uuid, r.%2 FROM "
                                              "json_to_recordset(?::json) AS r(test_uuid uuid,"
                                              " player_uuid uuid, row integer, cells text, seconds integer, "
                                              "periods integer, metres bigint,"
                                              " speed_kmh double precision, vo2max double precision) WHERE "
                                              "r.test_uuid = ANY(?::uuid[])")
                                   .arg(resultColumns().join(QStringLiteral(", ")),
                                        resultColumns().join(QStringLiteral(", r."))));
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
    ClubSyncPass pass(*this, local, server, report);
    pass.run(server.clubUuid());
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
