#include "PostgresCluster.h"

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>

namespace norak {

namespace {

// The unprivileged account that runs the server when the tests run as root.
constexpr const char* kServerUser = "nobody";

bool chownTree(const QString& path, uid_t uid, gid_t gid) {
    if (::chown(QFile::encodeName(path).constData(), uid, gid) != 0)
        return false;
    const QDir dir(path);
    for (const QString& entry : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (!chownTree(dir.filePath(entry), uid, gid))
            return false;
    }
    return true;
}

}  // namespace

int freeLocalPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof(address);
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

PostgresCluster::PostgresCluster() {
    // Debian installs each major version's programs under /usr/lib/postgresql/<version>/bin.
    const QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::sort(found.begin(), found.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& version : found) {
        const QString bin = versions.filePath(version + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb")) &&
            QFile::exists(bin + QStringLiteral("/pg_ctl"))) {
            m_binDir = bin;
            break;
        }
    }
}

PostgresCluster::~PostgresCluster() {
    // Whatever happened before (a failed stop, a test that ended early), no server outlives
    // its scratch folder.
    if (m_running || (m_scratch && QFile::exists(m_dataDir + QStringLiteral("/postmaster.pid")))) {
        m_running = true;
        stop(true);
    }
}

QString PostgresCluster::binary(const QString& name) const {
    return m_binDir + QLatin1Char('/') + name;
}

bool PostgresCluster::run(const QString& program, const QStringList& arguments, bool asServerUser,
                          QString* output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGPASSWORD"), password());
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.remove(QStringLiteral("PGDATA"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_scratch ? m_scratch->path() : QDir::tempPath());
    if (asServerUser && ::geteuid() == 0) {
        process.start(QStringLiteral("setpriv"),
                      QStringList{QStringLiteral("--reuid=%1").arg(QLatin1String(kServerUser)),
                                  QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups"),
                                  QStringLiteral("--"), program} +
                          arguments);
    } else {
        process.start(program, arguments);
    }
    if (!process.waitForStarted(10000)) {
        m_error = QStringLiteral("%1 does not start: %2").arg(program, process.errorString());
        return false;
    }
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        m_error = QStringLiteral("%1 did not finish in two minutes").arg(program);
        return false;
    }
    const QString text = QString::fromUtf8(process.readAll());
    if (output)
        *output = text;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error = QStringLiteral("%1 %2 failed (%3):\n%4")
                      .arg(program, arguments.join(QLatin1Char(' ')))
                      .arg(process.exitCode())
                      .arg(text);
        return false;
    }
    return true;
}

bool PostgresCluster::start(bool durable) {
    if (m_running)
        return true;
    if (m_binDir.isEmpty()) {
        m_error = QStringLiteral(
            "PostgreSQL's server programs are missing (/usr/lib/postgresql/<version>/bin/initdb): install "
            "Debian's postgresql package (./build.sh test installs it)");
        return false;
    }
    if (!m_scratch) {
        // /tmp rather than $TMPDIR: the server's account must reach the folder.
        const bool root = ::geteuid() == 0;
        m_scratch = std::make_unique<QTemporaryDir>((root ? QStringLiteral("/tmp") : QDir::tempPath()) +
                                                    QStringLiteral("/norak-pg-XXXXXX"));
        if (!m_scratch->isValid()) {
            m_error = QStringLiteral("no scratch folder: %1").arg(m_scratch->errorString());
            return false;
        }
        m_dataDir = m_scratch->filePath(QStringLiteral("data"));
        QFile passwordFile(m_scratch->filePath(QStringLiteral("password")));
        if (!passwordFile.open(QIODevice::WriteOnly) || passwordFile.write(password().toUtf8() + '\n') < 0) {
            m_error = QStringLiteral("cannot write %1").arg(passwordFile.fileName());
            return false;
        }
        passwordFile.close();
        if (root) {
            const passwd* user = ::getpwnam(kServerUser);
            const group* nogroup = ::getgrnam("nogroup");
            if (!user || !nogroup || !chownTree(m_scratch->path(), user->pw_uid, nogroup->gr_gid)) {
                m_error = QStringLiteral("cannot hand %1 to the user %2")
                              .arg(m_scratch->path(), QLatin1String(kServerUser));
                return false;
            }
        }
        if (!run(binary(QStringLiteral("initdb")),
                 {QStringLiteral("-D"), m_dataDir, QStringLiteral("-U"), superuser(),
                  QStringLiteral("--pwfile=%1").arg(m_scratch->filePath(QStringLiteral("password"))),
                  QStringLiteral("--auth-host=scram-sha-256"), QStringLiteral("--auth-local=trust"),
                  QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"),
                  QStringLiteral("--no-sync")},
                 true))
            return false;
    }
    m_port = freeLocalPort();
    QString options = QStringLiteral("-p %1 -c listen_addresses=127.0.0.1 -k %2 -c max_connections=40")
                          .arg(m_port)
                          .arg(m_scratch->path());
    if (!durable)
        options += QStringLiteral(" -c fsync=off -c full_page_writes=off");
    if (!run(binary(QStringLiteral("pg_ctl")),
             {QStringLiteral("-D"), m_dataDir, QStringLiteral("-l"),
              m_scratch->filePath(QStringLiteral("server.log")), QStringLiteral("-w"), QStringLiteral("-t"),
              QStringLiteral("60"), QStringLiteral("-o"), options, QStringLiteral("start")},
             true))
        return false;
    m_running = true;
    return true;
}

bool PostgresCluster::stop(bool immediate) {
    if (!m_running)
        return true;
    m_running = false;
    return run(binary(QStringLiteral("pg_ctl")),
               {QStringLiteral("-D"), m_dataDir, QStringLiteral("-w"), QStringLiteral("-m"),
                immediate ? QStringLiteral("immediate") : QStringLiteral("fast"), QStringLiteral("stop")},
               true);
}

bool PostgresCluster::psql(const QString& database, const QString& sql, QString* output) {
    return run(binary(QStringLiteral("psql")),
               {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"), QStringLiteral("-t"),
                QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-h"), host(),
                QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"), superuser(),
                QStringLiteral("-d"), database, QStringLiteral("-c"), sql},
               false, output);
}

bool PostgresCluster::psqlFile(const QString& database, const QString& file) {
    return run(
        binary(QStringLiteral("psql")),
        {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
         QStringLiteral("-h"), host(), QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"),
         superuser(), QStringLiteral("-d"), database, QStringLiteral("-f"), file},
        false);
}

bool PostgresCluster::createDatabase(const QString& name) {
    return psql(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE \"%1\"").arg(name));
}

}  // namespace norak
