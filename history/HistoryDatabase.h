#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "history/StoredTest.h"

class QSqlDatabase;
class QSqlQuery;

namespace norak {

// How opening the history went. The message, when there is one, is said to the user once; the
// program goes on in every case (the current test, its journal and its export do not need the
// history).
struct HistoryOpening {
    enum class Status {
        Ready,          // open for reading and storing
        ReadOnlyNewer,  // made by a newer program: open for reading, never altered
        Unavailable,    // not kept: the message says why
    };
    Status status = Status::Unavailable;
    QString message;
    QString setAsidePath;  // where a damaged file was put before a new one was made
};

// A test in the list of tests.
struct TestSummary {
    QString uuid;
    QDateTime startedAt;
    int edition = 0;
    QString editionTitle;
    std::optional<int> mode;
    int startPeriod = 1;
    int players = 0;
    std::optional<qint64> bestMetres;
    bool imported = false;
};

// A player in the list of players, with the figures of the tests they ran.
struct PlayerSummary {
    QString uuid;
    QString name;
    QString code;
    int tests = 0;
    std::optional<qint64> bestMetres;
    QDateTime bestDate;
    std::optional<qint64> latestMetres;
    QDateTime latestDate;
    std::optional<qint64> change;  // latest minus the test before it
};

// One test of a player's progression, oldest first.
struct ProgressPoint {
    QString testUuid;
    QDateTime date;
    std::optional<qint64> metres;
    std::optional<int> periods;
    std::optional<int> seconds;
    std::optional<double> speedKmh;
};

// A player's latest test in the squad's ranking.
struct TeamEntry {
    QString playerUuid;
    QString name;
    QString code;
    QDateTime date;
    std::optional<qint64> metres;
    std::optional<int> periods;
    int rank = 0;   // 1 for the longest distance
    int third = 0;  // 0 the best third, 1 the middle, 2 the last
};

struct StoreResult {
    enum class Outcome {
        Stored,           // a new test
        Updated,          // a test of the same UUID was there: it now holds these values
        NoNamedRow,       // nothing stored: no row has a name
        AlreadyImported,  // nothing stored: a file of the same content was imported before
        Failed,           // nothing stored: the message says why
    };
    Outcome outcome = Outcome::Failed;
    QString message;
    bool ok() const { return outcome == Outcome::Stored || outcome == Outcome::Updated; }
};

// The season's history in a SQLite file (Qt SQL's QSQLITE driver): WAL with synchronous=FULL,
// so that a stored test survives a power cut; foreign keys on; a busy timeout, so that two copies
// of the program share the file.
//
// A HistoryDatabase owns its own connection, made in the thread that calls open(); it is used
// from that thread only (Qt SQL's rule). The program stores from a worker (HistoryWriter), never
// inside a pacing tick; a window reads through a connection of its own.
class HistoryDatabase {
  public:
    // `utcNow` gives the moments written as created/modified (UTC); the system clock by default.
    explicit HistoryDatabase(std::function<QDateTime()> utcNow = {});
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    // $XDG_DATA_HOME/norak/historial.sqlite, else ~/.local/share/norak/historial.sqlite.
    static QString defaultPath();

    // Opens (and makes, or upgrades) the database at `path`. A file that is no database or is
    // damaged is set aside under another name and a new one made; `tell` hears the message
    // before the file is moved. A file shorter than its header says is found at once; the whole
    // check reads every page besides (0.1 s with ten seasons), for the writer's opening at the
    // program's start rather than the window's.
    HistoryOpening open(const QString& path, const std::function<void(const QString&)>& tell = {},
                        bool wholeCheck = true);
    void close();
    bool isOpen() const;
    bool isWritable() const { return m_writable; }
    QString path() const { return m_path; }
    // The UUID of this laptop's history: the origin of every test and player made here.
    QString laptopUuid() const { return m_laptopUuid; }
    int schemaVersion() const;

    // Stores a test, or updates the stored one of the same UUID, in one transaction.
    StoreResult store(const StoredTest& test);
    // Several tests in one transaction (an import): all of them or, on a failure, none.
    QList<StoreResult> storeAll(const QList<StoredTest>& tests);
    bool hasImported(const QString& sourceFingerprint) const;

    std::optional<StoredTest> test(const QString& uuid) const;
    QList<TestSummary> tests() const;
    // Every player with at least one test (merged entries left out), by name.
    QList<PlayerSummary> players() const;
    QList<ProgressPoint> progression(const QString& playerUuid) const;
    QList<TeamEntry> teamRanking() const;

    // The coach's corrections. False with lastError() when nothing was changed.
    bool renamePlayer(const QString& playerUuid, const QString& name, const QString& code);
    // `gone`'s tests become `keep`'s; `gone` stays as a record that points at `keep`.
    bool mergePlayers(const QString& keepUuid, const QString& goneUuid);
    bool deleteTest(const QString& uuid);

    QString lastError() const { return m_lastError; }

    // The connection itself, for the club's sync (club/ClubSync), which writes what other laptops
    // sent with their own identities and dates, in this thread like every other use.
    QSqlDatabase connection() const;

  private:
    QSqlDatabase db() const;
    QString now() const;
    bool begin();
    bool commit();
    void rollback();
    StoreResult failure(const QString& error);
    StoreResult storeOne(const StoredTest& test);
    std::optional<qint64> resolvePlayer(const QString& name, const QString& code);
    bool exec(QSqlQuery& query);
    HistoryOpening openFile(const std::function<void(const QString&)>& tell, bool afterSetAside,
                            bool wholeCheck);
    QString setAside();
    bool configure(QString* error);
    // A history made in pages smaller than kHistoryPageSize is made again in those, when it is
    // small and this connection alone on it.
    bool remakeInLargerPages(QString* error);

    std::function<QDateTime()> m_utcNow;
    QString m_connection;
    QString m_path;
    QString m_laptopUuid;
    bool m_writable = false;
    QString m_lastError;
};

}  // namespace norak
