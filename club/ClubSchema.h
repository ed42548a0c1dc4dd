#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace norak {

// The club server's schema (PostgreSQL), numbered like the laptop's history: step N is the file
// club/sql/step_NNN.sql, carried by the program as a resource and run by an administrator through
// club/sql/club_schema.sql. The number lives in the table norak_club (key 'schema').
inline constexpr int kClubSchemaVersion = 2;

// The statements of step `version` (1 ... kClubSchemaVersion), comments left out.
QStringList clubSchemaStep(int version);

// What the database at the other end holds.
struct ClubSchemaState {
    enum class Kind {
        Empty,     // no table of its own: the program makes the schema
        Norak,     // a NORAK club database of `version`
        NotNorak,  // tables of something else
        Failed,    // the question itself failed: `error`
    };
    Kind kind = Kind::Failed;
    int version = 0;
    QString error;
};

ClubSchemaState inspectClubSchema(QSqlDatabase& db);

// Brings the schema from `fromVersion` (0: an empty database) to kClubSchemaVersion, one
// transaction per step. Empty on success, else the server's words.
QString upgradeClubSchema(QSqlDatabase& db, int fromVersion);

}  // namespace norak
