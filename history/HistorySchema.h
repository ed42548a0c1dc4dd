#pragma once

#include <QSqlDatabase>
#include <QString>

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

// Brings the database from its version up to kHistorySchemaVersion. Only for a version not newer
// than the program's.
SchemaUpgrade upgradeHistorySchema(QSqlDatabase& db, int fromVersion);

}  // namespace norak
