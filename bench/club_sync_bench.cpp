// The club sync's figures, against a PostgreSQL server this program starts (tests/support's
// PostgresCluster, with the server's durable defaults: fsync on).
//
//   club_sync_bench [tests-per-laptop] [laptops]
// A club of LAPTOPS laptops (20 by default) with TESTS tests each (250 by default) syncs one
// laptop after another, each receiving what the ones before sent; then a new laptop with 400
// tests makes its first sync (sends its 400, receives the whole club), then one new test is
// synced. Every test holds 14 named rows (a real table's), as in the history's tests.
//
//   club_sync_bench --generated [seasons]
// A club of 20 laptops and SEASONS seasons (50 by default) of 100 tests each, written on the
// server directly (100,000 tests and 1.4 million rows for 50 seasons): then an empty laptop joins
// the club, a laptop with 400 tests of its own (a history of an earlier version, in 4 KB pages)
// joins it, the first receives those 400, then one new test goes from the second to the first.
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

#include "club/ClubSync.h"
#include "history/HistoryDatabase.h"
#include "tests/support/HistorySamples.h"
#include "tests/support/PostgresCluster.h"

using namespace norak;

namespace {

bool fillLaptop(const QString& path, quint32 seed, int tests) {
    HistoryDatabase db;
    if (db.open(path).status != HistoryOpening::Status::Ready)
        return false;
    QList<StoredTest> batch;
    for (int i = 0; i < tests; ++i) {
        batch << sampleTest(kEditionFutbol, seed, i);
        if (batch.size() == 500 || i == tests - 1) {
            for (const StoreResult& result : db.storeAll(batch)) {
                if (!result.ok())
                    return false;
            }
            batch.clear();
        }
    }
    return true;
}

void print(const char* what, const ClubSyncReport& report, double wallMs);

bool inSmallPages(const QString& path) {
    bool made = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("pages"));
        db.setDatabaseName(path);
        made = db.open();
        QSqlQuery query(db);
        for (const char* statement : {"PRAGMA journal_mode = DELETE", "PRAGMA page_size = 4096", "VACUUM",
                                      "PRAGMA journal_mode = WAL"})
            made = made && query.exec(QString::fromLatin1(statement));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("pages"));
    return made;
}

double loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.readAll().split(' ').value(0).toDouble();
}

// A literal of `text` for the generating SQL.
QString literal(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// Writes `seasons` seasons of a club of 20 laptops on the server, as if each had sent them: per
// laptop and season 100 tests of 14 players, 4 of whom are new each season (4,280 players for
// 50 seasons), every change numbered from the server's sequence in the order of the tests' dates.
// Identities are made from the laptop, season and test numbers (md5 as UUID). The values repeat a
// real test's (an edition's title, its speeds' text); the figures vary with the numbers.
bool generateClub(const ClubServerSettings& server, int seasons) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("generator"));
    db.setHostName(server.host);
    db.setPort(server.port);
    db.setDatabaseName(server.database);
    db.setUserName(server.user);
    db.setPassword(server.password);
    if (!db.open()) {
        std::fprintf(stderr, "generator: %s\n", qPrintable(db.lastError().text()));
        return false;
    }
    const StoredTest model = sampleTest(kEditionFutbol, 1, 0);
    QSqlQuery query(db);
    auto run = [&](const QString& sql) {
        if (query.exec(sql))
            return true;
        std::fprintf(stderr, "generator: %s\n%s\n", qPrintable(query.lastError().text()), qPrintable(sql));
        return false;
    };
    // The rows' foreign keys are known to hold: no trigger per row (a superuser's setting).
    if (!run(QStringLiteral("SET session_replication_role = replica")))
        return false;
    const int players = seasons * 4 + 14;
    if (!run(QStringLiteral(
                 "INSERT INTO players (uuid, name, name_key, code, created_at, modified_at, origin, seq, "
                 "sent_by)"
                 " SELECT md5('p' || l || '-' || k)::uuid, 'Jugador ' || k || ' del equipo ' || l,"
                 " 'jugador ' || k || ' del equipo ' || l, 'C' || k, '2020-01-01T10:00:00.000Z',"
                 " '2020-01-01T10:00:00.000Z', md5('laptop' || l)::uuid, nextval('norak_change'),"
                 " md5('laptop' || l)::uuid FROM generate_series(0, 19) l, generate_series(0, %1) k")
                 .arg(players - 1)))
        return false;
    for (int season = 0; season < seasons; ++season) {
        // One season: the tests, then their rows, in one transaction.
        const QString tests =
            QStringLiteral(
                "SELECT l, i, md5('t' || l || '-' || %1 || '-' || i)::uuid AS uuid,"
                " to_char(timestamp '1977-08-29 17:00' + (%1 * 365 + i * 3) * interval '1 day'"
                " + l * interval '7 minutes', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS') AS started"
                " FROM generate_series(0, 99) i, generate_series(0, 19) l")
                .arg(season);
        if (!run(QStringLiteral("BEGIN")) ||
            !run(
                QStringLiteral(
                    "INSERT INTO tests (uuid, edition, edition_title, period_table_fingerprint, started_at,"
                    " stopped_at, mode, start_period, start_speed_text, warm_up, sound_output, signals_given,"
                    " lateness_p50_ms, lateness_p99_ms, lateness_max_ms, date_separator, time_separator,"
                    " table_rows, source_fingerprint, created_at, modified_at, origin, seq, sent_by)"
                    " SELECT uuid, %2, %3, %4, started, started, i %% 3, 1 + i %% 5, %5, i %% 2, %6,"
                    " 100 + (l * 7 + i * 13) %% 400, 0, (l + i) %% 3, (l + i) %% 3 + 1, '/', ':', %7, NULL,"
                    " started || 'Z', started || 'Z', md5('laptop' || l)::uuid, nextval('norak_change'),"
                    " md5('laptop' || l)::uuid FROM (%1) AS t ORDER BY started")
                    .arg(tests)
                    .arg(model.edition)
                    .arg(literal(model.editionTitle), literal(model.periodTableFingerprint),
                         literal(model.startSpeedText), literal(model.soundOutput))
                    .arg(model.tableRows)
                    .replace(QStringLiteral("%%"), QStringLiteral("%"))) ||
            !run(QStringLiteral(
                     "INSERT INTO results (test_uuid, row, player_uuid, cells, seconds, periods, metres,"
                     " speed_kmh, vo2max, warnings, out_by_warnings)"
                     " SELECT uuid, r, md5('p' || l || '-' || (%2 * 4 + r - 1))::uuid,"
                     " r || ';Jugador ' || (%2 * 4 + r - 1) || ';C' || (%2 * 4 + r - 1) || ';08:05;'"
                     " || (3 + (l + i + r) %% 9) || ';' || (400 + 40 * ((l * 7 + i * 13 + r * 31) %% 50)) || "
                     "';12,5',"
                     " 485, 3 + (l + i + r) %% 9, 400 + 40 * ((l * 7 + i * 13 + r * 31) %% 50), 8.5 + 0.5 * "
                     "((l + i + r) %% 9),"
                     " NULL, CASE WHEN (i + r) %% 23 = 0 THEN 'P6·4' END, 0"
                     " FROM (%1) AS t, generate_series(1, 14) r")
                     .arg(tests)
                     .arg(season)
                     .replace(QStringLiteral("%%"), QStringLiteral("%"))) ||
            !run(QStringLiteral("COMMIT")))
            return false;
    }
    // The server's own writing of what was generated is done before anything is measured.
    const bool analysed = run(QStringLiteral("ANALYZE")) && run(QStringLiteral("CHECKPOINT"));
    query.finish();
    db.close();
    return analysed;
}

// The figures of the club of 100,000 tests (see the top of this file).
int generatedClub(int seasons) {
    PostgresCluster cluster;
    if (!cluster.start(true) || !cluster.createDatabase(QStringLiteral("club"))) {
        std::fprintf(stderr, "no PostgreSQL server: %s\n", qPrintable(cluster.error()));
        return 1;
    }
    const ClubServerSettings server{cluster.host(),      cluster.port(),     QStringLiteral("club"),
                                    cluster.superuser(), cluster.password(), 5};
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty.sqlite"));
    const QString newcomer = dir.filePath(QStringLiteral("newcomer.sqlite"));
    ClubSync sync;
    // The empty laptop's first sync makes the schema.
    if (!fillLaptop(empty, 1, 0) || !sync.run(empty, server).ok())
        return 1;
    QElapsedTimer timer;
    timer.start();
    if (!generateClub(server, seasons))
        return 1;
    std::printf(
        "club: 20 laptops x %d seasons x 100 tests = %d tests (%d results) written on the server in %.1f s\n",
        seasons, seasons * 2000, seasons * 28000, double(timer.elapsed()) / 1e3);

    auto measure = [&](const char* what, const QString& laptop) {
        // Each sync measured from a settled disk: without this the second laptop's join ran
        // while the system still wrote out the first one's 300 MB, and was slower for it.
        ::sync();
        const double before = loadAverage();
        timer.restart();
        const ClubSyncReport report = sync.run(laptop, server);
        print(what, report, double(timer.nsecsElapsed()) / 1e6);
        std::printf("%-44s load average %.1f before, %.1f after\n", "", before, loadAverage());
        return report.ok();
    };
    if (!measure("an empty laptop joins the club", empty))
        return 1;
    std::printf("%-44s %8.0f MB\n", "  its history file", double(QFileInfo(empty).size()) / 1e6);
    // The second laptop's history as an earlier version of the program made it, in SQLite's 4 KB
    // pages: its sync remakes it in 16 KB ones first.
    if (!fillLaptop(newcomer, 9999, 400) || !inSmallPages(newcomer) ||
        !measure("a laptop with 400 tests joins the club", newcomer))
        return 1;
    if (!measure("the first laptop receives those 400", empty))
        return 1;
    {
        HistoryDatabase db;
        if (db.open(newcomer).status != HistoryOpening::Status::Ready ||
            !db.store(sampleTest(kEditionFutbol, 9999, 400)).ok())
            return 1;
    }
    if (!measure("one new test on the second, then sync", newcomer) ||
        !measure("the first laptop receives it", empty) || !measure("and again, nothing changed", empty))
        return 1;
    cluster.stop();
    return 0;
}

void print(const char* what, const ClubSyncReport& report, double wallMs) {
    std::printf("%-44s %8.0f ms  (receiving %6lld ms, sending %6lld ms; %5d tests sent, %6d received)%s\n",
                what, wallMs, static_cast<long long>(report.receivingMs),
                static_cast<long long>(report.sendingMs), report.testsSent, report.testsReceived,
                report.ok() ? "" : "  FAILED");
    if (!report.ok())
        std::printf("  %s\n", qPrintable(report.summary()));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--generated") == 0)
        return generatedClub(argc > 2 ? std::atoi(argv[2]) : 50);
    const int testsPerLaptop = argc > 1 ? std::atoi(argv[1]) : 250;
    const int laptops = argc > 2 ? std::atoi(argv[2]) : 20;
    constexpr int kNewLaptopTests = 400;

    PostgresCluster cluster;
    if (!cluster.start(true) || !cluster.createDatabase(QStringLiteral("club"))) {
        std::fprintf(stderr, "no PostgreSQL server: %s\n", qPrintable(cluster.error()));
        return 1;
    }
    const ClubServerSettings server{cluster.host(),      cluster.port(),     QStringLiteral("club"),
                                    cluster.superuser(), cluster.password(), 5};
    QTemporaryDir dir;
    auto path = [&](int laptop) { return dir.filePath(QStringLiteral("laptop-%1.sqlite").arg(laptop)); };

    QElapsedTimer timer;
    timer.start();
    for (int laptop = 0; laptop < laptops; ++laptop) {
        if (!fillLaptop(path(laptop), quint32(laptop + 1), testsPerLaptop)) {
            std::fprintf(stderr, "cannot make laptop %d's history\n", laptop);
            return 1;
        }
    }
    std::printf("club: %d laptops x %d tests = %d tests (%d results); histories made in %.1f s\n", laptops,
                testsPerLaptop, laptops * testsPerLaptop, laptops * testsPerLaptop * 14,
                double(timer.elapsed()) / 1e3);

    ClubSync sync;
    double totalMs = 0;
    for (int laptop = 0; laptop < laptops; ++laptop) {
        timer.restart();
        const ClubSyncReport report = sync.run(path(laptop), server);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        totalMs += ms;
        if (laptop == 0 || laptop == laptops - 1 || !report.ok())
            print(qPrintable(QStringLiteral("first sync of laptop %1").arg(laptop + 1)), report, ms);
    }
    std::printf("%-44s %8.0f ms\n", "all laptops' first syncs, one after another", totalMs);

    // A second round: each laptop receives what the ones after it sent.
    timer.restart();
    ClubSyncReport last;
    for (int laptop = 0; laptop < laptops; ++laptop)
        last = sync.run(path(laptop), server);
    std::printf("%-44s %8.0f ms  (the last laptop received %d tests)\n", "second round, every laptop",
                double(timer.nsecsElapsed()) / 1e6, last.testsReceived);

    const QString newcomer = dir.filePath(QStringLiteral("new-laptop.sqlite"));
    if (!fillLaptop(newcomer, 9999, kNewLaptopTests))
        return 1;
    timer.restart();
    const ClubSyncReport first = sync.run(newcomer, server);
    print("first sync of a new laptop with 400 tests", first, double(timer.nsecsElapsed()) / 1e6);

    {
        HistoryDatabase db;
        db.open(newcomer);
        db.store(sampleTest(kEditionFutbol, 9999, kNewLaptopTests));
    }
    timer.restart();
    const ClubSyncReport one = sync.run(newcomer, server);
    print("one new test, then sync", one, double(timer.nsecsElapsed()) / 1e6);
    timer.restart();
    const ClubSyncReport nothing = sync.run(path(0), server);
    print("a laptop receives that one test", nothing, double(timer.nsecsElapsed()) / 1e6);
    cluster.stop();
    return 0;
}
