#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace norak {

// A PostgreSQL server of the test's (or benchmark's) own: a cluster made with initdb in a
// scratch folder, listening on 127.0.0.1 only (and a Unix socket in that folder), on a free port,
// stopped and removed at the end. Run as the invoking user, or as `nobody` when that is root
// (the server refuses to run as root; CI runs the tests as root). The superuser `norak_admin`
// signs in with a password over TCP (scram-sha-256), so that a wrong password is refused.
//
// Needs Debian's postgresql package (build.sh installs it for the tests): without it start()
// fails and error() says so; a test must then fail, not pass without having run.
class PostgresCluster {
  public:
    PostgresCluster();
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // `durable` false turns fsync off (tests: speed; a commit still reaches the operating system
    // before it is acknowledged, so a server stopped "immediately" keeps it); true keeps the
    // server's defaults (benches).
    bool start(bool durable = false);
    // Stops: "fast" lets the server end its sessions, "immediate" cuts it off like a crash.
    bool stop(bool immediate = false);
    bool isRunning() const { return m_running; }
    QString error() const { return m_error; }

    QString host() const { return QStringLiteral("127.0.0.1"); }
    int port() const { return m_port; }
    QString superuser() const { return QStringLiteral("norak_admin"); }
    QString password() const { return QStringLiteral("clave-de-prueba"); }

    // Runs SQL (or with `file`, a script through psql -f) in `database` as the superuser.
    // False with error() when psql fails; `output` receives psql's unaligned output.
    bool psql(const QString& database, const QString& sql, QString* output = nullptr);
    bool psqlFile(const QString& database, const QString& file);
    bool createDatabase(const QString& name);

  private:
    bool run(const QString& program, const QStringList& arguments, bool asServerUser,
             QString* output = nullptr);
    QString binary(const QString& name) const;

    std::unique_ptr<QTemporaryDir> m_scratch;
    QString m_binDir;
    QString m_dataDir;
    int m_port = 0;
    bool m_running = false;
    QString m_error;
};

// A TCP port on 127.0.0.1 nobody listens on at the moment of asking.
int freeLocalPort();

}  // namespace norak
