#include "history/HistorySchema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace norak {

namespace {

// Version 1: the tests, the players and each test's rows; the laptop's own identity.
const char* const kStep1[] = {
    "CREATE TABLE laptop (id INTEGER PRIMARY KEY CHECK (id = 1), uuid TEXT NOT NULL)",
    "CREATE TABLE players ("
    " id INTEGER PRIMARY KEY,"
    " uuid TEXT NOT NULL UNIQUE,"
    " name TEXT NOT NULL,"
    " name_key TEXT NOT NULL,"  // the name without case and accents, to recognise a player
    " code TEXT NOT NULL DEFAULT '',"
    " created_at TEXT NOT NULL,"
    " modified_at TEXT NOT NULL,"
    " origin TEXT NOT NULL)",
    "CREATE INDEX players_name_key ON players (name_key)",
    "CREATE INDEX players_code ON players (code) WHERE code <> ''",
    "CREATE TABLE tests ("
    " id INTEGER PRIMARY KEY,"
    " uuid TEXT NOT NULL UNIQUE,"
    " edition INTEGER NOT NULL,"
    " edition_title TEXT NOT NULL,"
    " period_table_fingerprint TEXT,"
    " started_at TEXT NOT NULL,"  // local date and time of Start, yyyy-MM-ddTHH:mm:ss
    " stopped_at TEXT,"
    " mode INTEGER,"
    " start_period INTEGER NOT NULL,"
    " start_speed_text TEXT NOT NULL,"
    " warm_up INTEGER,"
    " sound_output TEXT NOT NULL DEFAULT '',"
    " signals_given INTEGER,"
    " lateness_p50_ms INTEGER,"
    " lateness_p99_ms INTEGER,"
    " lateness_max_ms INTEGER,"
    " date_separator TEXT NOT NULL,"
    " time_separator TEXT NOT NULL,"
    " table_rows INTEGER NOT NULL,"
    " created_at TEXT NOT NULL,"
    " modified_at TEXT NOT NULL,"
    " origin TEXT NOT NULL)",
    "CREATE INDEX tests_started_at ON tests (started_at)",
    "CREATE TABLE results ("
    " test_id INTEGER NOT NULL REFERENCES tests (id) ON DELETE CASCADE,"
    " row INTEGER NOT NULL,"
    " player_id INTEGER REFERENCES players (id),"
    " cells TEXT NOT NULL,"  // the row's cells as shown, joined by ';' (a cell never holds one)
    " seconds INTEGER,"
    " periods INTEGER,"
    " metres INTEGER,"
    " speed_kmh REAL,"
    " vo2max REAL,"
    " PRIMARY KEY (test_id, row))",
    "CREATE INDEX results_player ON results (player_id)",
};

// Version 2: imported files are known by their content; merged players and deleted tests leave
// a record, so that a club server learns of them; the results know their test's Start.
const char* const kStep2[] = {
    "ALTER TABLE tests ADD COLUMN source_fingerprint TEXT",
    ("CREATE UNIQUE INDEX tests_source_fingerprint ON tests (source_fingerprint)"
     " WHERE source_fingerprint IS NOT NULL"),
    "ALTER TABLE players ADD COLUMN merged_into TEXT",
    "CREATE TABLE deleted_tests (uuid TEXT PRIMARY KEY, deleted_at TEXT NOT NULL, origin TEXT NOT NULL)",
    // A row carries its test's Start, so that a player's latest and best tests are found in an
    // index instead of sorting every result of the history (the window opened in 0.8 s with ten
    // seasons before, see bench/history_bench.cpp).
    "ALTER TABLE results ADD COLUMN started_at TEXT",
    "UPDATE results SET started_at = (SELECT started_at FROM tests WHERE tests.id = results.test_id)",
    "DROP INDEX results_player",
    "CREATE INDEX results_player_time ON results (player_id, started_at, test_id)",
    "CREATE INDEX results_player_best ON results (player_id, metres DESC, started_at)",
};

// Version 3: a result keeps the player's warnings (their legs) and whether the warning rule put
// the player out.
const char* const kStep3[] = {
    "ALTER TABLE results ADD COLUMN warnings TEXT",
    "ALTER TABLE results ADD COLUMN out_by_warnings INTEGER NOT NULL DEFAULT 0",
};

// Version 4: what the club server holds of this laptop's history (club/ClubSync). A player's last
// rename is dated, so that of two renames made on two laptops the latest stays; `club_sent` is
// the modified_at the server has of a test or player (NULL: never sent), `club_renamed_at` the
// rename the server had when this laptop last heard of the player; `club_state` says which
// server's changes were received up to which of its change numbers.
const char* const kStep4[] = {
    "ALTER TABLE players ADD COLUMN renamed_at TEXT",
    "ALTER TABLE players ADD COLUMN club_renamed_at TEXT",
    "ALTER TABLE players ADD COLUMN club_sent TEXT",
    "ALTER TABLE tests ADD COLUMN club_sent TEXT",
    "ALTER TABLE deleted_tests ADD COLUMN club_sent INTEGER NOT NULL DEFAULT 0",
    ("CREATE TABLE club_state (id INTEGER PRIMARY KEY CHECK (id = 1), club TEXT NOT NULL,"
     " received_up_to INTEGER NOT NULL)"),
};

template <std::size_t N>
SchemaUpgrade runStep(QSqlDatabase& db, int version, const char* const (&statements)[N]) {
    if (!db.transaction())
        return {false, db.lastError().text()};
    QSqlQuery query(db);
    for (const char* statement : statements) {
        if (!query.exec(QString::fromLatin1(statement))) {
            const QString error = query.lastError().text();
            query.finish();
            db.rollback();
            return {false, error};
        }
    }
    if (!query.exec(QStringLiteral("PRAGMA user_version = %1").arg(version))) {
        const QString error = query.lastError().text();
        db.rollback();
        return {false, error};
    }
    query.finish();
    if (!db.commit()) {
        const QString error = db.lastError().text();
        db.rollback();
        return {false, error};
    }
    return {};
}

}  // namespace

const QList<HistoryColumn>& storedTestColumns() {
    using Kind = HistoryColumn::Kind;
    static const QList<HistoryColumn> columns = {{QStringLiteral("edition"), Kind::Integer},
                                                 {QStringLiteral("edition_title"), Kind::Text},
                                                 {QStringLiteral("period_table_fingerprint"), Kind::Text},
                                                 {QStringLiteral("started_at"), Kind::Text},
                                                 {QStringLiteral("stopped_at"), Kind::Text},
                                                 {QStringLiteral("mode"), Kind::Integer},
                                                 {QStringLiteral("start_period"), Kind::Integer},
                                                 {QStringLiteral("start_speed_text"), Kind::Text},
                                                 {QStringLiteral("warm_up"), Kind::Integer},
                                                 {QStringLiteral("sound_output"), Kind::Text},
                                                 {QStringLiteral("signals_given"), Kind::Integer},
                                                 {QStringLiteral("lateness_p50_ms"), Kind::Integer},
                                                 {QStringLiteral("lateness_p99_ms"), Kind::Integer},
                                                 {QStringLiteral("lateness_max_ms"), Kind::Integer},
                                                 {QStringLiteral("date_separator"), Kind::Text},
                                                 {QStringLiteral("time_separator"), Kind::Text},
                                                 {QStringLiteral("table_rows"), Kind::Integer},
                                                 {QStringLiteral("source_fingerprint"), Kind::Text},
                                                 {QStringLiteral("modified_at"), Kind::Text}};
    return columns;
}

const QList<HistoryColumn>& storedResultColumns() {
    using Kind = HistoryColumn::Kind;
    static const QList<HistoryColumn> columns = {{QStringLiteral("row"), Kind::Integer},
                                                 {QStringLiteral("cells"), Kind::Text},
                                                 {QStringLiteral("seconds"), Kind::Integer},
                                                 {QStringLiteral("periods"), Kind::Integer},
                                                 {QStringLiteral("metres"), Kind::Integer},
                                                 {QStringLiteral("speed_kmh"), Kind::Real},
                                                 {QStringLiteral("vo2max"), Kind::Real},
                                                 {QStringLiteral("warnings"), Kind::Text},
                                                 {QStringLiteral("out_by_warnings"), Kind::Integer}};
    return columns;
}

QStringList columnNames(const QList<HistoryColumn>& columns) {
    QStringList names;
    for (const HistoryColumn& column : columns)
        names << column.name;
    return names;
}

namespace {

bool runAll(QSqlDatabase& db, const QStringList& statements, QString* error) {
    QSqlQuery query(db);
    for (const QString& statement : statements) {
        if (!query.exec(statement)) {
            *error = query.lastError().text();
            return false;
        }
    }
    return true;
}

}  // namespace

bool dropResultPlayerIndexes(QSqlDatabase& db, QString* error) {
    return runAll(db,
                  {QStringLiteral("DROP INDEX IF EXISTS results_player_time"),
                   QStringLiteral("DROP INDEX IF EXISTS results_player_best")},
                  error);
}

bool makeResultPlayerIndexes(QSqlDatabase& db, QString* error) {
    // Asked first, so that a history that has them (nearly always) is only read.
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index'"
                                   " AND name IN ('results_player_time', 'results_player_best')")) ||
        !query.next()) {
        *error = query.lastError().text();
        return false;
    }
    if (query.value(0).toInt() == 2)
        return true;
    query.finish();
    // As step 2 made them.
    return runAll(
        db,
        {QStringLiteral(
             "CREATE INDEX IF NOT EXISTS results_player_time ON results (player_id, started_at, test_id)"),
         QStringLiteral("CREATE INDEX IF NOT EXISTS results_player_best ON results (player_id, metres DESC, "
                        "started_at)")},
        error);
}

SchemaUpgrade upgradeHistorySchema(QSqlDatabase& db, int fromVersion) {
    SchemaUpgrade result;
    if (fromVersion < 1 && !(result = runStep(db, 1, kStep1)).ok)
        return result;
    if (fromVersion < 2 && !(result = runStep(db, 2, kStep2)).ok)
        return result;
    if (fromVersion < 3 && !(result = runStep(db, 3, kStep3)).ok)
        return result;
    if (fromVersion < 4 && !(result = runStep(db, 4, kStep4)).ok)
        return result;
    // After a club sync cut while the results' indexes by player were left out. Without them the
    // history still works, more slowly: a failure (another copy of the program writing) is left
    // to the next opening.
    QString indexError;
    makeResultPlayerIndexes(db, &indexError);
    return result;
}

}  // namespace norak
