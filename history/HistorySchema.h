#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace norak {

// The schema of the history database, numbered in PRAGMA user_version. Every upgrade is one
// numbered step run in its own transaction, so that a database is always at one version or the
// next, never between. A club server (PostgreSQL) takes the same steps later: every test and
// player carries a UUID, its creation and last change (UTC, ISO 8601 with milliseconds) and the
// UUID of the laptop it was made on, and merges and deletions leave a record behind.
inline constexpr int kHistorySchemaVersion = 4;

struct SchemaUpgrade {
    bool ok = true;
    QString error;  // the database's words when a step failed (the step was rolled back)
};

// A column of the history's data, with the kind of value it holds, for whoever copies tests
// between this database and another one (the club's server) and must list the same columns.
struct HistoryColumn {
    enum class Kind { Integer, Real, Text };
    QString name;
    Kind kind = Kind::Text;
};

// The columns of a test that a stored test sets (beside id, uuid, created_at, origin and the
// club's bookkeeping), in the order they are written.
const QList<HistoryColumn>& storedTestColumns();
// The columns of a result (a row of a test's table) beside test_id, player_id and started_at,
// which stand for the test and the player and repeat the test's Start.
const QList<HistoryColumn>& storedResultColumns();
QStringList columnNames(const QList<HistoryColumn>& columns);

// The results' indexes by player (a player's progression, their best), which a sync receiving a
// whole club leaves out while it writes the rows and makes once after them (club/ClubSync): a
// sorted build of 1.4 million entries is faster than keeping them row by row. A sync cut between
// the two leaves them out until the next sync or opening of the history, which make them again
// (nothing when they are there). Both run in the caller's transaction, if any.
bool dropResultPlayerIndexes(QSqlDatabase& db, QString* error);
bool makeResultPlayerIndexes(QSqlDatabase& db, QString* error);

// Brings the database from its version up to kHistorySchemaVersion. Only for a version not newer
// than the program's.
SchemaUpgrade upgradeHistorySchema(QSqlDatabase& db, int fromVersion);

}  // namespace norak
