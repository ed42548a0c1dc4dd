#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>

#include "club/ClubSchema.h"
#include "club/ClubSync.h"
#include "history/HistoryDatabase.h"
#include "support/HistorySamples.h"
#include "support/PostgresCluster.h"

using namespace norak;

// Every case runs against one PostgreSQL cluster, started once for this program (ctest runs the
// program as one entry, see tests/CMakeLists.txt), each case in a database of its own.

namespace {

PostgresCluster* g_cluster = nullptr;

class ClubEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        g_cluster = new PostgresCluster;
        ASSERT_TRUE(g_cluster->start()) << g_cluster->error().toStdString();
    }
    void TearDown() override {
        if (g_cluster) {
            EXPECT_TRUE(g_cluster->stop()) << g_cluster->error().toStdString();
        }
        delete g_cluster;
        g_cluster = nullptr;
    }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new ClubEnvironment);

// A laptop: its own history file, with a clock the test sets for renames and merges.
struct Laptop {
    explicit Laptop(const QString& path) : db([this] { return clock; }) { opening = db.open(path); }
    QDateTime clock = QDateTime(QDate(2026, 3, 1), QTime(10, 0), Qt::UTC);
    HistoryDatabase db;
    HistoryOpening opening;
    void tick(int seconds = 1) { clock = clock.addSecs(seconds); }
};

// Everything a laptop's history holds that another laptop's should hold equally after a sync,
// one line per test (with its rows and their players), player and deletion, sorted.
std::string historyDump(HistoryDatabase& db) {
    QStringList lines;
    QSqlQuery query(db.connection());
    auto dump = [&](const QString& sql) {
        EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
        while (query.next()) {
            QStringList fields;
            for (int c = 0; c < query.record().count(); ++c)
                fields << (query.value(c).isNull() ? QStringLiteral("∅") : query.value(c).toString());
            lines << fields.join(QLatin1Char('|'));
        }
    };
    dump(QStringLiteral(
        "SELECT 'T', uuid, edition, edition_title, period_table_fingerprint, started_at, stopped_at, mode,"
        " start_period, start_speed_text, warm_up, sound_output, signals_given, lateness_p50_ms, "
        "lateness_p99_ms,"
        " lateness_max_ms, date_separator, time_separator, table_rows, source_fingerprint, created_at, "
        "modified_at,"
        " origin FROM tests"));
    dump(QStringLiteral(
        "SELECT 'R', t.uuid, r.row, p.uuid, r.cells, r.seconds, r.periods, r.metres, r.speed_kmh,"
        " r.vo2max, r.started_at, r.warnings, r.out_by_warnings FROM results r JOIN tests t ON t.id = "
        "r.test_id"
        " LEFT JOIN players p ON p.id = r.player_id"));
    dump(
        QStringLiteral("SELECT 'P', uuid, name, name_key, code, created_at, origin, renamed_at, merged_into"
                       " FROM players"));
    dump(QStringLiteral("SELECT 'D', uuid, deleted_at, origin FROM deleted_tests"));
    lines.sort();
    return lines.join(QLatin1Char('\n')).toStdString();
}

class ClubSyncTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(g_cluster && g_cluster->isRunning());
        ASSERT_TRUE(dir.isValid());
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        database = QStringLiteral("club_%1").arg(QString::fromLatin1(info->name()).toLower());
        ASSERT_TRUE(g_cluster->createDatabase(database)) << g_cluster->error().toStdString();
    }

    ClubServerSettings server() const {
        return {g_cluster->host(),      g_cluster->port(),     database,
                g_cluster->superuser(), g_cluster->password(), 5};
    }
    QString path(const QString& name) const { return dir.filePath(name + QStringLiteral(".sqlite")); }
    ClubSyncReport sync(const QString& name) { return syncer.run(path(name), server()); }
    int serverCount(const QString& sql) {
        QString out;
        EXPECT_TRUE(g_cluster->psql(database, sql, &out)) << g_cluster->error().toStdString();
        return out.trimmed().toInt();
    }

    QTemporaryDir dir;
    QString database;
    ClubSync syncer;
};

QString playerWithCode(HistoryDatabase& db, const QString& code) {
    for (const PlayerSummary& player : db.players()) {
        if (player.code == code)
            return player.uuid;
    }
    return {};
}

}  // namespace

// Two laptops with tests of their own, a rename, a merge and a deletion: after syncing (A, B,
// then A again) both hold the same history, which is the server's.
TEST_F(ClubSyncTest, TwoLaptopsEndWithTheSameHistory) {
    QString keep, gone;
    {
        Laptop a(path(QStringLiteral("a")));
        Laptop b(path(QStringLiteral("b")));
        ASSERT_EQ(a.opening.status, HistoryOpening::Status::Ready);
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(a.db.store(sampleTest(kEditionFutbol, 1, i, 8)).ok());
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(b.db.store(sampleTest(kEditionBasket, 2, i, 6)).ok());
        a.tick();
        ASSERT_TRUE(a.db.renamePlayer(playerWithCode(a.db, sampleCode(2)), QStringLiteral("Ángel Ruiz Soto"),
                                      sampleCode(2)));
        keep = playerWithCode(a.db, sampleCode(3));
        gone = playerWithCode(a.db, sampleCode(4));
        ASSERT_TRUE(a.db.mergePlayers(keep, gone));
        ASSERT_TRUE(b.db.deleteTest(sampleTest(kEditionBasket, 2, 1).uuid));
    }
    const ClubSyncReport first = sync(QStringLiteral("a"));
    ASSERT_TRUE(first.ok()) << first.summary().toStdString();
    EXPECT_EQ(first.testsSent, 5);
    EXPECT_EQ(first.playersSent, 8);
    const ClubSyncReport second = sync(QStringLiteral("b"));
    ASSERT_TRUE(second.ok()) << second.summary().toStdString();
    EXPECT_EQ(second.testsReceived, 5);
    EXPECT_EQ(second.testsSent, 3);
    EXPECT_EQ(second.deletionsSent, 1);
    const ClubSyncReport third = sync(QStringLiteral("a"));
    ASSERT_TRUE(third.ok()) << third.summary().toStdString();
    EXPECT_EQ(third.testsReceived, 3);
    EXPECT_EQ(third.testsSent, 0);
    EXPECT_TRUE(third.conflicts.isEmpty());

    Laptop a(path(QStringLiteral("a")));
    Laptop b(path(QStringLiteral("b")));
    EXPECT_EQ(historyDump(a.db), historyDump(b.db));
    EXPECT_EQ(a.db.tests().size(), 8);
    // The merge reached B: A's V04 is in A's V03, and B's own V03 (same name and code) joined
    // them: one entry with A's five tests twice and B's three remaining tests. B's V04 stays.
    // A player renamed on A before B's entry met it stays apart from B's entry of the old name.
    auto entriesOf = [](HistoryDatabase& db, const QString& code) {
        QList<PlayerSummary> found;
        for (const PlayerSummary& player : db.players()) {
            if (player.code == code)
                found << player;
        }
        return found;
    };
    for (HistoryDatabase* db : {&a.db, &b.db}) {
        const QList<PlayerSummary> v03 = entriesOf(*db, sampleCode(3));
        ASSERT_EQ(v03.size(), 1);
        EXPECT_EQ(v03.front().tests, 5 * 2 + 3);
        EXPECT_EQ(entriesOf(*db, sampleCode(1)).size(), 1);
        EXPECT_EQ(entriesOf(*db, sampleCode(2)).size(), 2);
        EXPECT_EQ(entriesOf(*db, sampleCode(4)).size(), 1);
    }
    EXPECT_TRUE(b.db.progression(gone).isEmpty());
    EXPECT_EQ(second.playersJoined, 4);  // V01, V03, V05, V06
    EXPECT_EQ(serverCount(QStringLiteral("SELECT count(*) FROM tests")), 8);
    EXPECT_EQ(serverCount(QStringLiteral("SELECT count(*) FROM results")), 5 * 8 + 3 * 6);

    // Nothing left to do: a sync of each sends and receives nothing.
    for (const QString& name : {QStringLiteral("a"), QStringLiteral("b")}) {
        const ClubSyncReport again = sync(name);
        EXPECT_TRUE(again.ok());
        EXPECT_EQ(again.testsSent + again.testsReceived + again.playersSent + again.playersReceived, 0)
            << again.summary().toStdString();
    }

    // A test of B's deleted on A, and a name B corrects after Stop in another, reach the other.
    const QString deleted = sampleTest(kEditionBasket, 2, 0).uuid;
    ASSERT_TRUE(a.db.deleteTest(deleted));
    StoredTest corrected = sampleTest(kEditionBasket, 2, 2, 6);
    corrected.rows[0].cells[kColName] = QStringLiteral("Lucía Pérez Gil");
    b.tick(60);
    ASSERT_EQ(b.db.store(corrected).outcome, StoreResult::Outcome::Updated);
    for (const QString& name : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("a")})
        ASSERT_TRUE(sync(name).ok());
    EXPECT_FALSE(b.db.test(deleted).has_value());
    ASSERT_TRUE(a.db.test(corrected.uuid).has_value());
    EXPECT_EQ(a.db.test(corrected.uuid)->rows[0].cells[kColName], QStringLiteral("Lucía Pérez Gil"));
    EXPECT_EQ(historyDump(a.db), historyDump(b.db));
    EXPECT_EQ(serverCount(QStringLiteral("SELECT count(*) FROM tests")), 7);
}

// The same test on two laptops (one UUID) is one test; the same export file imported on two
// laptops (two UUIDs, one content) is one test too, under the UUID the server had first.
TEST_F(ClubSyncTest, TheSameTestTwiceGivesOne) {
    StoredTest imported = sampleTest(kEditionFutbol, 5, 0, 4);
    imported.sourceFingerprint = contentFingerprint(QByteArrayLiteral("export file"));
    {
        Laptop a(path(QStringLiteral("a")));
        Laptop b(path(QStringLiteral("b")));
        const StoredTest shared = sampleTest(kEditionFutbol, 4, 0, 4);
        ASSERT_TRUE(a.db.store(shared).ok());
        ASSERT_TRUE(b.db.store(shared).ok());
        ASSERT_TRUE(a.db.store(imported).ok());
        StoredTest again = imported;
        again.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        ASSERT_TRUE(b.db.store(again).ok());
    }
    for (const QString& name : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("a")})
        ASSERT_TRUE(sync(name).ok());
    EXPECT_EQ(serverCount(QStringLiteral("SELECT count(*) FROM tests")), 2);
    EXPECT_EQ(serverCount(QStringLiteral("SELECT count(*) FROM results")), 8);
    Laptop a(path(QStringLiteral("a")));
    Laptop b(path(QStringLiteral("b")));
    EXPECT_EQ(b.db.tests().size(), 2);
    EXPECT_TRUE(b.db.test(imported.uuid).has_value());
    // The players: each laptop made its own entries for the same people, the tests are equal.
    auto testsOnly = [](const std::string& dump) {
        return QString::fromStdString(dump)
            .split(QLatin1Char('\n'))
            .filter(QRegularExpression(QStringLiteral("^T\\|")))
            .join(QLatin1Char('\n'))
            .toStdString();
    };
    EXPECT_EQ(testsOnly(historyDump(a.db)), testsOnly(historyDump(b.db)));
}

// A player renamed on both laptops since they last synced: the latest rename stays everywhere,
// and the laptop that finds the other's rename lists the conflict, whichever of them wins.
TEST_F(ClubSyncTest, RenameOnBothSidesKeepsTheLatestAndIsReported) {
    {
        Laptop a(path(QStringLiteral("a")));
        ASSERT_TRUE(a.db.store(sampleTest(kEditionFutbol, 6, 0, 3)).ok());
    }
    ASSERT_TRUE(sync(QStringLiteral("a")).ok());
    ASSERT_TRUE(sync(QStringLiteral("b")).ok());

    struct Round {
        int aSecond, bSecond;  // when each renames
        QString winner;
    };
    for (const Round& round : {Round{10, 20, QStringLiteral("B")}, Round{40, 30, QStringLiteral("A")}}) {
        QString player;
        {
            Laptop a(path(QStringLiteral("a")));
            Laptop b(path(QStringLiteral("b")));
            player = playerWithCode(a.db, sampleCode(1));
            ASSERT_FALSE(player.isEmpty());
            a.tick(round.aSecond);
            b.tick(round.bSecond);
            ASSERT_TRUE(
                a.db.renamePlayer(player, QStringLiteral("Lucía A %1").arg(round.aSecond), sampleCode(1)));
            ASSERT_TRUE(
                b.db.renamePlayer(player, QStringLiteral("Lucía B %1").arg(round.bSecond), sampleCode(1)));
        }
        const QString expected = round.winner == QStringLiteral("B")
                                     ? QStringLiteral("Lucía B %1").arg(round.bSecond)
                                     : QStringLiteral("Lucía A %1").arg(round.aSecond);
        const ClubSyncReport first = sync(QStringLiteral("a"));
        ASSERT_TRUE(first.ok()) << first.summary().toStdString();
        EXPECT_TRUE(first.conflicts.isEmpty());
        const ClubSyncReport second = sync(QStringLiteral("b"));
        ASSERT_TRUE(second.ok()) << second.summary().toStdString();
        ASSERT_EQ(second.conflicts.size(), 1) << second.summary().toStdString();
        EXPECT_TRUE(second.conflicts.front().endsWith(QStringLiteral("queda «%1» (V01)").arg(expected)))
            << second.conflicts.front().toStdString();
        EXPECT_TRUE(second.summary().contains(second.conflicts.front()));
        const ClubSyncReport third = sync(QStringLiteral("a"));
        ASSERT_TRUE(third.ok());
        EXPECT_TRUE(third.conflicts.isEmpty());

        Laptop a(path(QStringLiteral("a")));
        Laptop b(path(QStringLiteral("b")));
        EXPECT_EQ(historyDump(a.db), historyDump(b.db));
        ASSERT_EQ(b.db.players().size(), 3);
        for (const PlayerSummary& entry : a.db.players()) {
            if (entry.uuid == player) {
                EXPECT_EQ(entry.name, expected) << round.winner.toStdString();
            }
        }
    }
}

// The server stopped (as by a crash) in the middle of a laptop's sending, and a laptop killed
// between the server's commit and its own mark: the next sync completes the work, and nothing is
// lost or doubled on either side.
TEST_F(ClubSyncTest, InterruptedSyncIsCompletedByTheNext) {
    constexpr int kTests = 24;
    {
        Laptop a(path(QStringLiteral("a")));
        for (int i = 0; i < kTests; ++i)
            ASSERT_TRUE(a.db.store(sampleTest(kEditionFutbol, 7, i, 5)).ok());
    }
    syncer.setBatchSize(5, 5);
    int commits = 0;
    syncer.setAfterBatch([&] {
        if (++commits == 3) {  // the players' batch and two batches of tests
            EXPECT_TRUE(g_cluster->stop(true)) << g_cluster->error().toStdString();
        }
        return true;
    });
    const ClubSyncReport cut = sync(QStringLiteral("a"));
    EXPECT_EQ(cut.problem.kind, ClubProblem::Kind::Interrupted) << cut.summary().toStdString();
    EXPECT_TRUE(cut.summary().contains(QStringLiteral("próxima sincronización")))
        << cut.summary().toStdString();
    EXPECT_EQ(cut.testsSent, 10);
    ASSERT_TRUE(g_cluster->start()) << g_cluster->error().toStdString();
    EXPECT_EQ(serverCount(QStringLiteral("SELECT count(*) FROM tests")), 10);

    // Killed right after the server committed the next batch: that batch is sent again.
    commits = 0;
    syncer.setAfterBatch([&] { return ++commits < 2; });
    const ClubSyncReport killed = sync(QStringLiteral("a"));
    EXPECT_EQ(killed.problem.kind, ClubProblem::Kind::Interrupted);
    EXPECT_EQ(serverCount(QStringLiteral("SELECT count(*) FROM tests")), 20);

    syncer.setAfterBatch({});
    const ClubSyncReport rest = sync(QStringLiteral("a"));
    ASSERT_TRUE(rest.ok()) << rest.summary().toStdString();
    // The batch the server had before the kill goes again, and changes nothing there.
    EXPECT_EQ(rest.testsSent, kTests - 20);
    EXPECT_EQ(serverCount(QStringLiteral("SELECT count(*) FROM tests")), kTests);
    EXPECT_EQ(serverCount(QStringLiteral("SELECT count(*) FROM results")), kTests * 5);

    // Receiving cut off after its first page: the mark stays, and the next sync receives all.
    commits = 0;
    syncer.setAfterBatch([&] {
        if (++commits == 1) {
            EXPECT_TRUE(g_cluster->stop(true));
        }
        return true;
    });
    const ClubSyncReport cutReceiving = sync(QStringLiteral("b"));
    EXPECT_EQ(cutReceiving.problem.kind, ClubProblem::Kind::Interrupted)
        << cutReceiving.summary().toStdString();
    // The pages written before the cut (the first, and any read ahead before the server went
    // down) are not asked for again.
    qsizetype before = 0;
    {
        Laptop b(path(QStringLiteral("b")));
        QSqlQuery mark(b.db.connection());
        ASSERT_TRUE(mark.exec(QStringLiteral("SELECT received_up_to FROM club_state")) && mark.next());
        EXPECT_GT(mark.value(0).toLongLong(), 0);
        before = b.db.tests().size();
        EXPECT_GE(before, 5);
        EXPECT_LT(before, kTests);
    }
    ASSERT_TRUE(g_cluster->start()) << g_cluster->error().toStdString();
    syncer.setAfterBatch({});
    const ClubSyncReport received = sync(QStringLiteral("b"));
    ASSERT_TRUE(received.ok()) << received.summary().toStdString();
    EXPECT_EQ(received.testsReceived, kTests - before);

    Laptop a(path(QStringLiteral("a")));
    Laptop b(path(QStringLiteral("b")));
    EXPECT_EQ(b.db.tests().size(), kTests);
    EXPECT_EQ(historyDump(a.db), historyDump(b.db));
}

// A test that starts while a sync runs stops it after the batch under way; the next sync, after
// the test, sends the rest.
TEST_F(ClubSyncTest, ATestStartingStopsTheSyncAfterItsBatch) {
    {
        Laptop a(path(QStringLiteral("a")));
        for (int i = 0; i < 12; ++i)
            ASSERT_TRUE(a.db.store(sampleTest(kEditionFutbol, 8, i, 4)).ok());
    }
    syncer.setBatchSize(5, 5);
    int batches = 0;
    syncer.setAfterBatch([&] {
        if (++batches == 2)  // the players, then the first five tests
            syncer.setTestRunning(true);
        return true;
    });
    const ClubSyncReport stopped = sync(QStringLiteral("a"));
    EXPECT_EQ(stopped.problem.kind, ClubProblem::Kind::TestRunning);
    EXPECT_TRUE(stopped.summary().contains(QStringLiteral("ha empezado una prueba")));
    EXPECT_EQ(serverCount(QStringLiteral("SELECT count(*) FROM tests")), 5);
    syncer.setTestRunning(false);
    syncer.setAfterBatch({});
    const ClubSyncReport rest = sync(QStringLiteral("a"));
    ASSERT_TRUE(rest.ok()) << rest.summary().toStdString();
    EXPECT_EQ(rest.testsSent, 7);
    EXPECT_EQ(serverCount(QStringLiteral("SELECT count(*) FROM tests")), 12);
}

// Each way a server can fail a coach gives its own words; a test running refuses the sync.
TEST_F(ClubSyncTest, ProblemsAreToldApart) {
    ClubServerSettings wrongPassword = server();
    wrongPassword.password = QStringLiteral("otra");
    ClubProblem problem = testClubServer(wrongPassword);
    EXPECT_EQ(problem.kind, ClubProblem::Kind::WrongPassword) << problem.message.toStdString();
    EXPECT_TRUE(problem.message.contains(QStringLiteral("contraseña")));

    ClubServerSettings nobodyThere = server();
    nobodyThere.port = freeLocalPort();
    problem = testClubServer(nobodyThere);
    EXPECT_EQ(problem.kind, ClubProblem::Kind::Unreachable) << problem.message.toStdString();
    EXPECT_TRUE(problem.message.contains(QStringLiteral("No se puede llegar")));
    const ClubSyncReport unreachable = syncer.run(path(QStringLiteral("a")), nobodyThere);
    EXPECT_EQ(unreachable.problem.kind, ClubProblem::Kind::Unreachable);

    ClubServerSettings noDatabase = server();
    noDatabase.database = QStringLiteral("no_such_club");
    problem = testClubServer(noDatabase);
    EXPECT_EQ(problem.kind, ClubProblem::Kind::Refused) << problem.message.toStdString();
    EXPECT_TRUE(problem.message.contains(QStringLiteral("no_such_club")));

    // A user the server knows but who may not use that database.
    ASSERT_TRUE(g_cluster->psql(database, QStringLiteral("CREATE ROLE coach LOGIN PASSWORD 'coach';"
                                                         " REVOKE CONNECT ON DATABASE %1 FROM PUBLIC")
                                              .arg(database)));
    ClubServerSettings notAllowed = server();
    notAllowed.user = QStringLiteral("coach");
    notAllowed.password = QStringLiteral("coach");
    problem = testClubServer(notAllowed);
    EXPECT_EQ(problem.kind, ClubProblem::Kind::Refused) << problem.message.toStdString();

    QString note;
    EXPECT_FALSE(testClubServer(server(), &note)) << "an empty database is fine";
    EXPECT_TRUE(note.contains(QStringLiteral("vacía")));

    ASSERT_TRUE(g_cluster->psql(database, QStringLiteral("CREATE TABLE invoices (id integer)")));
    problem = testClubServer(server());
    EXPECT_EQ(problem.kind, ClubProblem::Kind::NotNorak) << problem.message.toStdString();
    EXPECT_TRUE(problem.message.contains(QStringLiteral("no es un historial")));
    ASSERT_TRUE(g_cluster->psql(database, QStringLiteral("DROP TABLE invoices")));

    ASSERT_TRUE(sync(QStringLiteral("a")).ok());
    ASSERT_TRUE(
        g_cluster->psql(database, QStringLiteral("UPDATE norak_club SET value = '%1' WHERE key = 'schema'")
                                      .arg(kClubSchemaVersion + 1)));
    const ClubSyncReport newer = sync(QStringLiteral("a"));
    EXPECT_EQ(newer.problem.kind, ClubProblem::Kind::NewerSchema);
    EXPECT_TRUE(newer.summary().contains(QStringLiteral("más reciente")));
    EXPECT_EQ(serverCount(QStringLiteral("SELECT value FROM norak_club WHERE key = 'schema'")),
              kClubSchemaVersion + 1);

    syncer.setTestRunning(true);
    const ClubSyncReport during = sync(QStringLiteral("a"));
    EXPECT_EQ(during.problem.kind, ClubProblem::Kind::TestRunning);
}

// A laptop receiving many tests writes their rows without the results' indexes by player and
// makes them after: a sync cut in between makes them before it returns, one killed in between
// leaves them to the history's next opening, and the sync after the cut receives the rest.
TEST_F(ClubSyncTest, ManyTestsReceivedKeepTheResultsIndexesByPlayer) {
    constexpr int kTests = 12;
    {
        Laptop a(path(QStringLiteral("a")));
        for (int i = 0; i < kTests; ++i)
            ASSERT_TRUE(a.db.store(sampleTest(kEditionFutbol, 3, i, 4)).ok());
    }
    ASSERT_TRUE(sync(QStringLiteral("a")).ok());
    auto indexes = [](const QString& file) {
        HistoryDatabase db;
        db.open(file);
        QSqlQuery query(db.connection());
        const bool asked =
            query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index'"
                                      " AND name IN ('results_player_time', 'results_player_best')"));
        return asked && query.next() ? query.value(0).toInt() : -1;
    };
    syncer.setIndexDeferral(kTests);
    syncer.setBatchSize(5, 5);
    int pages = 0;
    syncer.setAfterBatch([&] {
        // Killed after the first page: the indexes are not there in between.
        if (++pages == 1) {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peek"));
            raw.setDatabaseName(path(QStringLiteral("b")));
            EXPECT_TRUE(raw.open());
            {
                QSqlQuery query(raw);
                EXPECT_TRUE(query.exec(
                    QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name LIKE 'results_player_%'")));
                EXPECT_TRUE(query.next());
                EXPECT_EQ(query.value(0).toInt(), 0);
            }
            raw.close();
        }
        return pages < 2;
    });
    const ClubSyncReport cut = sync(QStringLiteral("b"));
    EXPECT_EQ(cut.problem.kind, ClubProblem::Kind::Interrupted) << cut.summary().toStdString();
    EXPECT_EQ(cut.testsReceived, 10);
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
    EXPECT_EQ(indexes(path(QStringLiteral("b"))), 2);

    syncer.setAfterBatch({});
    const ClubSyncReport rest = sync(QStringLiteral("b"));
    ASSERT_TRUE(rest.ok()) << rest.summary().toStdString();
    EXPECT_EQ(rest.testsReceived, kTests - 10);
    {
        Laptop a(path(QStringLiteral("a")));
        Laptop b(path(QStringLiteral("b")));
        EXPECT_EQ(historyDump(a.db), historyDump(b.db));
        EXPECT_EQ(b.db.progression(playerWithCode(b.db, sampleCode(2))).size(), kTests);
    }

    // A test started after the first page: the sync stops there and leaves the indexes to the
    // next sync, which receives the rest.
    syncer.setAfterBatch([&] {
        syncer.setTestRunning(true);
        return true;
    });
    const ClubSyncReport stopped = sync(QStringLiteral("c"));
    EXPECT_EQ(stopped.problem.kind, ClubProblem::Kind::TestRunning) << stopped.summary().toStdString();
    EXPECT_EQ(stopped.testsReceived, 5);
    syncer.setTestRunning(false);
    syncer.setAfterBatch({});
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peek"));
        raw.setDatabaseName(path(QStringLiteral("c")));
        ASSERT_TRUE(raw.open());
        QSqlQuery query(raw);
        ASSERT_TRUE(query.exec(
            QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name LIKE 'results_player_%'")));
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toInt(), 0);
        query.finish();
        raw.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
    const ClubSyncReport after = sync(QStringLiteral("c"));
    ASSERT_TRUE(after.ok()) << after.summary().toStdString();
    EXPECT_EQ(after.testsReceived, kTests - 5);
    EXPECT_EQ(indexes(path(QStringLiteral("c"))), 2);

    // A program killed with the indexes left out: the next opening makes them.
    {
        Laptop b(path(QStringLiteral("b")));
        QSqlQuery query(b.db.connection());
        ASSERT_TRUE(query.exec(QStringLiteral("DROP INDEX results_player_time")));
        ASSERT_TRUE(query.exec(QStringLiteral("DROP INDEX results_player_best")));
    }
    EXPECT_EQ(indexes(path(QStringLiteral("b"))), 2);
}

// A player warned and a player out by warnings arrive on the other laptop as they were kept, through
// a server made by an older program (schema step 1 only), which the first sync brings up to date.
TEST_F(ClubSyncTest, WarningsReachTheOtherLaptopThroughAnUpgradedServer) {
    ASSERT_TRUE(g_cluster->psqlFile(database, QStringLiteral(NORAK_SOURCE_DIR "/club/sql/step_001.sql")))
        << g_cluster->error().toStdString();
    ASSERT_EQ(serverCount(QStringLiteral("SELECT value FROM norak_club WHERE key = 'schema'")), 1);

    StoredTest warned = sampleTest(kEditionFutbol, 7, 0, 5);
    warned.rows[1].warnings = {QStringLiteral("P4·12")};
    warned.rows[3].warnings = {QStringLiteral("P5·3"), QStringLiteral("P5·9")};
    warned.rows[3].outByWarnings = true;
    {
        Laptop a(path(QStringLiteral("a")));
        ASSERT_TRUE(a.db.store(warned).ok());
    }
    const ClubSyncReport sent = sync(QStringLiteral("a"));
    ASSERT_TRUE(sent.ok()) << sent.summary().toStdString();
    EXPECT_EQ(serverCount(QStringLiteral("SELECT value FROM norak_club WHERE key = 'schema'")),
              kClubSchemaVersion);
    EXPECT_EQ(serverCount(QStringLiteral("SELECT count(*) FROM results WHERE out_by_warnings = 1"
                                         " AND warnings = 'P5·3 P5·9'")),
              1);
    const ClubSyncReport received = sync(QStringLiteral("b"));
    ASSERT_TRUE(received.ok()) << received.summary().toStdString();
    ASSERT_EQ(received.testsReceived, 1);

    Laptop a(path(QStringLiteral("a")));
    Laptop b(path(QStringLiteral("b")));
    const std::optional<StoredTest> arrived = b.db.test(warned.uuid);
    ASSERT_TRUE(arrived);
    ASSERT_EQ(arrived->rows.size(), warned.rows.size());
    for (qsizetype i = 0; i < warned.rows.size(); ++i) {
        EXPECT_EQ(arrived->rows[i].warnings, warned.rows[i].warnings) << "row " << i;
        EXPECT_EQ(arrived->rows[i].outByWarnings, warned.rows[i].outByWarnings) << "row " << i;
    }
    EXPECT_EQ(historyDump(a.db), historyDump(b.db));
}

// The administrator's script runs the program's own steps: a database made by it is one the
// program takes as its current schema, with the same tables and columns as one the program made.
TEST_F(ClubSyncTest, AdministratorScriptMatchesTheProgramsSteps) {
    QFile script(QStringLiteral(NORAK_SOURCE_DIR "/club/sql/club_schema.sql"));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(script.readAll());
    QStringList included;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("\\ir ")))
            included << line.mid(4).trimmed();
    }
    QStringList expected;
    for (int step = 1; step <= kClubSchemaVersion; ++step)
        expected << QStringLiteral("step_%1.sql").arg(step, 3, 10, QLatin1Char('0'));
    EXPECT_EQ(included, expected);

    const QString byScript = database + QStringLiteral("_script");
    ASSERT_TRUE(g_cluster->createDatabase(byScript));
    ASSERT_TRUE(g_cluster->psqlFile(byScript, script.fileName())) << g_cluster->error().toStdString();
    ClubServerSettings scripted = server();
    scripted.database = byScript;
    QString note;
    EXPECT_FALSE(testClubServer(scripted, &note));
    EXPECT_TRUE(note.contains(QStringLiteral("historial de club")));
    ASSERT_TRUE(sync(QStringLiteral("a")).ok());  // the program makes its own in `database`

    const QString columns = QStringLiteral(
        "SELECT string_agg(table_name || '.' || column_name || ':' || data_type || ':' || is_nullable, ','"
        " ORDER BY table_name, column_name) FROM information_schema.columns WHERE table_schema = 'public'");
    QString fromScript, fromProgram;
    ASSERT_TRUE(g_cluster->psql(byScript, columns, &fromScript));
    ASSERT_TRUE(g_cluster->psql(database, columns, &fromProgram));
    EXPECT_EQ(fromScript, fromProgram);
    EXPECT_TRUE(fromProgram.contains(QStringLiteral("tests.uuid:uuid:NO")));
}
