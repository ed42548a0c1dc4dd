#pragma once

#include <QSqlDatabase>
#include <QString>

namespace norak {

// Where the club's server is. The password is never kept with the rest (see ClubSecret).
struct ClubServerSettings {
    QString host;
    int port = 5432;
    QString database;
    QString user;
    QString password;
    int connectTimeoutSeconds = 5;
};

// What went wrong with the server, in words for the coach.
struct ClubProblem {
    enum class Kind {
        None,
        Unreachable,    // no server answers at that address and port
        Refused,        // a server answers but does not let this user into that database
        WrongPassword,  // the server refuses the password
        NotNorak,       // the database holds something else
        NewerSchema,    // made by a newer program
        TestRunning,    // nothing syncs during a test
        Interrupted,    // the connection broke off in the middle: the next sync completes it
        Local,          // the laptop's own history cannot be used
        Failed,         // anything else: the server's words are in the message
    };
    Kind kind = Kind::None;
    QString message;
    explicit operator bool() const { return kind != Kind::None; }
};

// One connection to the club's server (Qt SQL's QPSQL driver), made and used in one thread.
class ClubConnection {
  public:
    ClubConnection();
    ~ClubConnection();
    ClubConnection(const ClubConnection&) = delete;
    ClubConnection& operator=(const ClubConnection&) = delete;

    // Connects, and with `prepare` makes or upgrades the schema. A problem when it cannot.
    ClubProblem open(const ClubServerSettings& settings, bool prepare);
    void close();
    QSqlDatabase db() const;
    // The club database's own identity (norak_club 'club'); empty before open().
    QString clubUuid() const { return m_club; }
    // The problem behind a failed statement: a broken-off connection, or the server's words.
    ClubProblem problemOf(const QString& error) const;

  private:
    QString m_connection;
    QString m_club;
    ClubServerSettings m_settings;
};

// The problem behind a connection that failed, from the words of the PostgreSQL client library
// (English, or Spanish when its translations are installed).
ClubProblem classifyConnectionError(const ClubServerSettings& settings, const QString& error);

}  // namespace norak
