#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "history/HistoryDatabase.h"
#include "history/HistoryKeeper.h"
#include "history/HistorySchema.h"
#include "history/HistoryText.h"
#include "history/HistoryWriter.h"
#include "support/HistorySamples.h"

using namespace norak;

namespace {

QString dbPath(const QTemporaryDir& dir) {
    return dir.filePath(QStringLiteral("norak/historial.sqlite"));
}

// The test as read back, without the players' UUIDs the history gave its rows.
StoredTest withoutPlayers(StoredTest test) {
    for (StoredRow& row : test.rows)
        row.playerUuid.clear();
    return test;
}

QString pragma(const QString& path, const QString& name) {
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("pragma"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        if (query.exec(QStringLiteral("PRAGMA ") + name) && query.next())
            value = query.value(0).toString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("pragma"));
    return value;
}

class HistoryStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const HistoryOpening opening = db.open(dbPath(dir));
        ASSERT_EQ(opening.status, HistoryOpening::Status::Ready) << opening.message.toStdString();
        EXPECT_TRUE(opening.message.isEmpty());
    }
    QTemporaryDir dir;
    HistoryDatabase db;
};

}  // namespace

// Every field and every value of a stored test comes back, in all five editions (the basket
// rows with their VO2max); a test run here and an imported one (fields left empty) alike.
TEST_F(HistoryStoreTest, EveryEditionReadsBackEqual) {
    for (int edition = 0; edition < kEditionCount; ++edition) {
        const StoredTest test = sampleTest(edition, 3, edition, 5);
        ASSERT_EQ(db.store(test).outcome, StoreResult::Outcome::Stored);
        const std::optional<StoredTest> back = db.test(test.uuid);
        ASSERT_TRUE(back);
        EXPECT_EQ(withoutPlayers(*back), test) << "edition " << edition;
        EXPECT_EQ(back->rows[2].seconds, test.rows[2].seconds);
        EXPECT_EQ(back->rows[0].vo2max.has_value(), edition == kEditionBasket);
        for (const StoredRow& row : back->rows)
            EXPECT_FALSE(row.playerUuid.isEmpty());
    }
    StoredTest bare = sampleTest(kEditionFutbol, 4, 1, 2);
    bare.mode.reset();
    bare.warmUp.reset();
    bare.signalsGiven.reset();
    bare.latenessP50Ms.reset();
    bare.latenessP99Ms.reset();
    bare.latenessMaxMs.reset();
    bare.stoppedAt = QDateTime();
    bare.periodTableFingerprint.clear();
    bare.soundOutput.clear();
    bare.dateSeparator = QLatin1Char('-');
    bare.timeSeparator = QLatin1Char('.');
    bare.rows[1].cells[kColTime].clear();  // a row without results
    bare.rows[1].computeNumbers();
    ASSERT_TRUE(db.store(bare).ok());
    EXPECT_EQ(withoutPlayers(*db.test(bare.uuid)), bare);
    EXPECT_EQ(db.tests().size(), kEditionCount + 1);
}

// A corrected code after Stop stores the test again under its UUID: one test, the new code, and
// the row now belongs to the player of that code. A test without a name is not stored.
TEST_F(HistoryStoreTest, SameUuidUpdatesAndUnnamedTestIsNotStored) {
    const StoredTest first = sampleTest(kEditionZevez, 1, 1, 4);
    ASSERT_EQ(db.store(first).outcome, StoreResult::Outcome::Stored);
    StoredTest corrected = first;
    corrected.rows[3].cells[kColCode] = sampleCode(2);  // row 4 was player 2 all along
    corrected.rows[3].cells[kColName] = first.rows[1].name();
    EXPECT_EQ(db.store(corrected).outcome, StoreResult::Outcome::Updated);
    EXPECT_EQ(db.store(corrected).outcome, StoreResult::Outcome::Updated);  // the same again: once
    ASSERT_EQ(db.tests().size(), 1);
    const StoredTest back = *db.test(first.uuid);
    EXPECT_EQ(back.rows[3].code(), sampleCode(2));
    EXPECT_EQ(back.rows[3].playerUuid, back.rows[1].playerUuid);
    // The player of the wrong code has no test left and leaves the list.
    EXPECT_EQ(db.players().size(), 3);

    StoredTest unnamed = sampleTest(kEditionZevez, 1, 2, 3);
    for (StoredRow& row : unnamed.rows)
        row.cells[kColName].clear();
    EXPECT_EQ(db.store(unnamed).outcome, StoreResult::Outcome::NoNamedRow);
    EXPECT_FALSE(db.test(unnamed.uuid));
}

// A player is the same across tests by code; without a code, by the name whatever its case and
// accents; the same name with another code is another player.
TEST_F(HistoryStoreTest, PlayersRecognisedByCodeElseByName) {
    EXPECT_EQ(playerNameKey(QStringLiteral("  Lucía   PÉREZ ")), QStringLiteral("lucia perez"));
    EXPECT_EQ(playerNameKey(QStringLiteral("Iñaki")), QStringLiteral("inaki"));

    auto testWith = [](int index, const QList<QPair<QString, QString>>& players) {
        StoredTest test = sampleTest(kEditionZevez, 9, index, int(players.size()));
        for (int i = 0; i < players.size(); ++i) {
            test.rows[i].cells[kColName] = players[i].first;
            test.rows[i].cells[kColCode] = players[i].second;
        }
        return test;
    };
    ASSERT_TRUE(db.store(testWith(1, {{QStringLiteral("Lucía Pérez"), QString()},
                                      {QStringLiteral("Ana"), QStringLiteral("A1")}}))
                    .ok());
    ASSERT_TRUE(db.store(testWith(2, {{QStringLiteral("LUCIA perez"), QString()},           // by name
                                      {QStringLiteral("Ana María"), QStringLiteral("A1")},  // by code
                                      {QStringLiteral("Ana"), QStringLiteral("A2")}}))      // another Ana
                    .ok());
    ASSERT_TRUE(db.store(testWith(3, {{QStringLiteral("Lucia Perez"), QStringLiteral("L7")}})).ok());
    const QList<PlayerSummary> players = db.players();
    ASSERT_EQ(players.size(), 3);
    EXPECT_EQ(players[0].name, QStringLiteral("Ana"));
    EXPECT_EQ(players[0].code, QStringLiteral("A1"));
    EXPECT_EQ(players[0].tests, 2);
    EXPECT_EQ(players[1].code, QStringLiteral("A2"));
    EXPECT_EQ(players[1].tests, 1);
    EXPECT_EQ(players[2].name, QStringLiteral("Lucía Pérez"));
    EXPECT_EQ(players[2].code, QStringLiteral("L7"));  // the code given later is now hers
    EXPECT_EQ(players[2].tests, 3);
}

// Rename changes the player's name and code; merge gives one player both entries' tests, and a
// later test under the merged entry's code goes to the player kept.
TEST_F(HistoryStoreTest, RenameAndMerge) {
    StoredTest one = sampleTest(kEditionZevez, 2, 1, 2);
    StoredTest two = sampleTest(kEditionZevez, 2, 2, 2);
    two.rows[1].cells[kColName] = QStringLiteral("Angel R.");
    two.rows[1].cells[kColCode] = QStringLiteral("X9");
    ASSERT_TRUE(db.store(one).ok());
    ASSERT_TRUE(db.store(two).ok());
    QList<PlayerSummary> players = db.players();
    ASSERT_EQ(players.size(), 3);
    const QString keep = db.test(one.uuid)->rows[1].playerUuid;
    const QString gone = db.test(two.uuid)->rows[1].playerUuid;

    ASSERT_TRUE(db.renamePlayer(keep, QStringLiteral("Ángel Ruiz Soto"), QStringLiteral("V02")));
    EXPECT_FALSE(db.renamePlayer(keep, QStringLiteral("  "), QString()));
    ASSERT_TRUE(db.mergePlayers(keep, gone));
    EXPECT_FALSE(db.mergePlayers(keep, gone));  // gone is no player any more
    players = db.players();
    ASSERT_EQ(players.size(), 2);
    const auto merged =
        std::find_if(players.begin(), players.end(), [&](const PlayerSummary& p) { return p.uuid == keep; });
    ASSERT_NE(merged, players.end());
    EXPECT_EQ(merged->name, QStringLiteral("Ángel Ruiz Soto"));
    EXPECT_EQ(merged->tests, 2);

    StoredTest three = sampleTest(kEditionZevez, 2, 3, 2);
    three.rows[1].cells[kColCode] = QStringLiteral("X9");
    ASSERT_TRUE(db.store(three).ok());
    EXPECT_EQ(db.test(three.uuid)->rows[1].playerUuid, keep);
    EXPECT_EQ(db.progression(keep).size(), 3);
}

// The window's figures: best and its date, latest, the change since the test before, the
// progression oldest first, and the squad's ranking by each player's latest test in thirds.
TEST_F(HistoryStoreTest, PlayerFiguresProgressionAndTeamThirds) {
    const std::vector<std::vector<qint64>> metres = {{500, 620, 580}, {700, 640, 660}, {300, 300, 900},
                                                     {400, 410, 420}, {800, 100, 200}, {550, 560, 570}};
    for (int t = 0; t < 3; ++t) {
        StoredTest test = sampleTest(kEditionZevez, 5, t, int(metres.size()));
        for (int p = 0; p < int(metres.size()); ++p) {
            test.rows[p].cells[kColDistance] = QString::number(metres[p][t]);
            test.rows[p].computeNumbers();
        }
        ASSERT_TRUE(db.store(test).ok());
    }
    const QList<PlayerSummary> players = db.players();
    ASSERT_EQ(players.size(), 6);
    const StoredTest last = sampleTest(kEditionZevez, 5, 2, 6);
    const StoredTest first = sampleTest(kEditionZevez, 5, 0, 6);
    for (const PlayerSummary& player : players) {
        const int p = sampleNames().indexOf(player.name);
        ASSERT_GE(p, 0);
        const auto& m = metres[p];
        EXPECT_EQ(player.tests, 3);
        EXPECT_EQ(player.bestMetres, *std::max_element(m.begin(), m.end()));
        EXPECT_EQ(player.latestMetres, m[2]);
        EXPECT_EQ(player.latestDate, last.startedAt);
        EXPECT_EQ(player.change, m[2] - m[1]);
    }
    // Player 3 ran 300 twice: the best is the later 900; player 5's best is the first test's.
    EXPECT_EQ(std::find_if(players.begin(), players.end(),
                           [](const PlayerSummary& p) { return p.code == sampleCode(5); })
                  ->bestDate,
              first.startedAt);

    const QList<ProgressPoint> points = db.progression(players[0].uuid);
    ASSERT_EQ(points.size(), 3);
    EXPECT_LT(points[0].date, points[1].date);
    EXPECT_LT(points[1].date, points[2].date);
    EXPECT_TRUE(points[0].periods.has_value());

    const QList<TeamEntry> team = db.teamRanking();
    ASSERT_EQ(team.size(), 6);
    const QList<qint64> order = {900, 660, 580, 570, 420, 200};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(team[i].metres, order[i]);
        EXPECT_EQ(team[i].rank, i + 1);
        EXPECT_EQ(team[i].third, i / 2);
    }
    ASSERT_TRUE(db.deleteTest(last.uuid));
    EXPECT_FALSE(db.deleteTest(last.uuid));
    EXPECT_EQ(db.teamRanking()[0].metres, 640);  // the latest tests are now the second's
}

// The keeper hands a finished test to the writer's thread: it is stored under the UUID made from
// the laptop and the Start; a corrected name updates it; the same test kept again (a table the
// journal brought back) stays one test; a test without names is not kept.
TEST(HistoryKeeperTest, KeepsCorrectsAndStoresOnce) {
    QTemporaryDir dir;
    const StoredTest sample = sampleTest(kEditionBasket, 8, 1, 6);
    FinishedTest finished;
    finished.edition = sample.edition;
    finished.editionTitle = sample.editionTitle;
    finished.periodTable = sourcePeriodTable(sample.edition);
    finished.startedAt = sample.startedAt;
    finished.stoppedAt = sample.stoppedAt;
    finished.mode = *sample.mode;
    finished.startPeriod = sample.startPeriod;
    finished.startSpeedText = sample.startSpeedText;
    finished.warmUp = *sample.warmUp;
    finished.soundOutput = sample.soundOutput;
    finished.signalsGiven = *sample.signalsGiven;
    finished.latenessP50Ms = sample.latenessP50Ms;
    finished.latenessP99Ms = sample.latenessP99Ms;
    finished.latenessMaxMs = sample.latenessMaxMs;
    for (int row = 1; row <= sample.tableRows; ++row)
        finished.rows << (row <= sample.rows.size() ? sample.rows[row - 1].cells : QStringList(8, QString()));

    QStringList told;
    {
        HistoryWriter writer(dbPath(dir));
        HistoryKeeper keeper(writer, [&](const QString& text) { told << text; });
        QSignalSpy stored(&writer, &HistoryWriter::storeFinished);
        keeper.keep(finished);
        QList<QStringList> corrected = finished.rows;
        corrected[2][kColName] = QStringLiteral("Nerea Gómez Sanz");
        keeper.correct(corrected);
        FinishedTest restored = finished;  // brought back by the journal and ended again
        restored.rows = corrected;
        keeper.keep(restored);
        FinishedTest empty = finished;
        empty.startedAt = empty.startedAt.addDays(1);
        for (QStringList& row : empty.rows)
            row[kColName].clear();
        keeper.keep(empty);
        writer.flush();
        ASSERT_TRUE(stored.count() == 3 || stored.wait(5000));
        while (stored.count() < 3)
            ASSERT_TRUE(stored.wait(5000));
        EXPECT_EQ(stored.at(0).at(1).value<StoreResult>().outcome, StoreResult::Outcome::Stored);
        EXPECT_EQ(stored.at(1).at(1).value<StoreResult>().outcome, StoreResult::Outcome::Updated);
        EXPECT_EQ(stored.at(2).at(1).value<StoreResult>().outcome, StoreResult::Outcome::Updated);
        EXPECT_EQ(stored.at(0).at(0).toString(), stored.at(2).at(0).toString());
    }
    EXPECT_TRUE(told.isEmpty());
    HistoryDatabase db;
    ASSERT_EQ(db.open(dbPath(dir)).status, HistoryOpening::Status::Ready);
    ASSERT_EQ(db.tests().size(), 1);
    const QString uuid = runTestUuid(db.laptopUuid(), sample.edition, sample.startedAt);
    StoredTest expected = sample;
    expected.uuid = uuid;
    const StoredTest back = withoutPlayers(*db.test(uuid));
    expected.rows[2].cells[kColName] = QStringLiteral("Nerea Gómez Sanz");
    EXPECT_EQ(back, expected);
}

// A test's warnings go into its players' rows (their legs, and the out by the rule), and come back
// from the history as they were stored.
TEST(HistoryKeeperTest, KeepsEachPlayersWarnings) {
    FinishedTest finished;
    finished.edition = kEditionZevez;
    finished.editionTitle = QStringLiteral("NORAK-Zevez");
    finished.startedAt = QDateTime(QDate(2026, 12, 8), QTime(10, 15));
    finished.rows = {{"1", "Ana", "V01", "02:24", "1", "187", "6,6"},
                     {"2", "Eva", "", "05:00", "3", "500", "7,8"},
                     {"3", "Iker", "", "05:00", "3", "500", "7,8"}};
    finished.warnings = {Warning{1, QStringLiteral("Ana"), 10, 3, 4, 3, 3, false},
                         Warning{2, QStringLiteral("Eva"), 20, 7, 4, 7, 7, false},
                         Warning{1, QStringLiteral("Ana"), 30, 4, 4, 4, 4, true}};
    StoredTest stored = HistoryKeeper::toStored(finished);
    ASSERT_EQ(stored.rows.size(), 3);
    EXPECT_EQ(stored.rows[0].warnings, (QStringList{QStringLiteral("P4·3"), QStringLiteral("P4·4")}));
    EXPECT_TRUE(stored.rows[0].outByWarnings);
    EXPECT_EQ(stored.rows[1].warnings, QStringList{QStringLiteral("P4·7")});
    EXPECT_FALSE(stored.rows[1].outByWarnings);
    EXPECT_TRUE(stored.rows[2].warnings.isEmpty());

    QTemporaryDir dir;
    HistoryDatabase db;
    ASSERT_EQ(db.open(dbPath(dir)).status, HistoryOpening::Status::Ready);
    stored.uuid = QStringLiteral("cc7c1f00-0000-4000-8000-000000000003");
    ASSERT_TRUE(db.store(stored).ok());
    EXPECT_EQ(withoutPlayers(*db.test(stored.uuid)), stored);
}

// A writer that ends (the program closing) stores what was handed to it first.
TEST(HistoryWriterTest, StoresEverythingHandedOverBeforeItEnds) {
    QTemporaryDir dir;
    QList<StoredTest> handed;
    {
        HistoryWriter writer(dbPath(dir));
        for (int n = 1; n <= 5; ++n) {
            handed << sampleTest(kEditionFutSal, 41, n, 3);
            writer.store(handed.back());
        }
    }
    HistoryDatabase db;
    ASSERT_EQ(db.open(dbPath(dir)).status, HistoryOpening::Status::Ready);
    ASSERT_EQ(db.tests().size(), handed.size());
    for (const StoredTest& test : handed)
        EXPECT_EQ(withoutPlayers(*db.test(test.uuid)), test);
}

// The keeper says once why the history is not kept, and the writer goes on refusing quietly.
TEST(HistoryKeeperTest, SaysOnceWhenTheHistoryIsNotKept) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("norak")));  // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QStringList told;
    HistoryWriter writer(dbPath(dir));
    HistoryKeeper keeper(writer, [&](const QString& text) { told << text; });
    QSignalSpy opened(&writer, &HistoryWriter::opened);
    QSignalSpy stored(&writer, &HistoryWriter::storeFinished);
    FinishedTest finished;
    finished.edition = kEditionZevez;
    finished.startedAt = QDateTime(QDate(2026, 3, 1), QTime(10, 0));
    finished.rows = {
        {QStringLiteral("1"), QStringLiteral("Ana"), QString(), QString(), QString(), QString(), QString()}};
    keeper.keep(finished);
    finished.startedAt = finished.startedAt.addDays(1);
    keeper.keep(finished);
    writer.flush();
    while (stored.count() < 2)
        ASSERT_TRUE(stored.wait(5000));
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.at(0).at(0).value<HistoryOpening>().status, HistoryOpening::Status::Unavailable);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(QStringLiteral("no se guardará"))) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains(QStringLiteral("norak"))) << told[0].toStdString();
}

// A new file is made at the current version, in WAL with foreign keys; a file of the previous
// version (written here as that version's program wrote it) keeps its tests and gains what the
// new version added; a file of a newer program is read and never altered.
TEST(HistorySchemaTest, UpgradesFromEmptyAndFromTheVersionBefore) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historial.sqlite"));
    {
        QFile empty(path);  // an empty file is an empty database
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    }
    {
        HistoryDatabase db;
        ASSERT_EQ(db.open(path).status, HistoryOpening::Status::Ready);
        EXPECT_EQ(db.schemaVersion(), kHistorySchemaVersion);
        EXPECT_FALSE(db.laptopUuid().isEmpty());
    }
    EXPECT_EQ(pragma(path, QStringLiteral("journal_mode")), QStringLiteral("wal"));

    const QString v1 = dir.filePath(QStringLiteral("v1.sqlite"));
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v1"));
        raw.setDatabaseName(v1);
        ASSERT_TRUE(raw.open());
        QSqlQuery q(raw);
        const QStringList script = {
            QStringLiteral("CREATE TABLE laptop (id INTEGER PRIMARY KEY CHECK (id = 1), uuid TEXT NOT NULL)"),
            QStringLiteral(
                "CREATE TABLE players (id INTEGER PRIMARY KEY, uuid TEXT NOT NULL UNIQUE, name TEXT NOT NULL,"
                " name_key TEXT NOT NULL, code TEXT NOT NULL DEFAULT '', created_at TEXT NOT NULL,"
                " modified_at TEXT NOT NULL, origin TEXT NOT NULL)"),
            QStringLiteral("CREATE INDEX players_name_key ON players (name_key)"),
            QStringLiteral("CREATE INDEX players_code ON players (code) WHERE code <> ''"),
            QStringLiteral(
                "CREATE TABLE tests (id INTEGER PRIMARY KEY, uuid TEXT NOT NULL UNIQUE, edition INTEGER NOT "
                "NULL,"
                " edition_title TEXT NOT NULL, period_table_fingerprint TEXT, started_at TEXT NOT NULL,"
                " stopped_at TEXT, mode INTEGER, start_period INTEGER NOT NULL, start_speed_text TEXT NOT "
                "NULL,"
                " warm_up INTEGER, sound_output TEXT NOT NULL DEFAULT '', signals_given INTEGER,"
                " lateness_p50_ms INTEGER, lateness_p99_ms INTEGER, lateness_max_ms INTEGER,"
                " date_separator TEXT NOT NULL, time_separator TEXT NOT NULL, table_rows INTEGER NOT NULL,"
                " created_at TEXT NOT NULL, modified_at TEXT NOT NULL, origin TEXT NOT NULL)"),
            QStringLiteral("CREATE INDEX tests_started_at ON tests (started_at)"),
            QStringLiteral(
                "CREATE TABLE results (test_id INTEGER NOT NULL REFERENCES tests (id) ON DELETE CASCADE,"
                " row INTEGER NOT NULL, player_id INTEGER REFERENCES players (id), cells TEXT NOT NULL,"
                " seconds INTEGER, periods INTEGER, metres INTEGER, speed_kmh REAL, vo2max REAL,"
                " PRIMARY KEY (test_id, row))"),
            QStringLiteral("CREATE INDEX results_player ON results (player_id)"),
            QStringLiteral("INSERT INTO laptop VALUES (1, '5d1f7c7e-1111-4e2a-9b55-0c3d2e1f0a99')"),
            QStringLiteral(
                "INSERT INTO players VALUES (1, 'aa7c1f00-0000-4000-8000-000000000001', 'Ana', 'ana', 'V01',"
                " '2025-01-01T10:00:00.000Z', '2025-01-01T10:00:00.000Z', "
                "'5d1f7c7e-1111-4e2a-9b55-0c3d2e1f0a99')"),
            QStringLiteral(
                "INSERT INTO tests VALUES (1, 'bb7c1f00-0000-4000-8000-000000000001', 4, 'NORAK-Zevez', NULL,"
                " '2025-01-01T10:00:00.000', NULL, 1, 3, '5,4', 0, '', NULL, NULL, NULL, NULL, '/', ':', 12,"
                " '2025-01-01T10:30:00.000Z', '2025-01-01T10:30:00.000Z', "
                "'5d1f7c7e-1111-4e2a-9b55-0c3d2e1f0a99')"),
            QStringLiteral(
                "INSERT INTO results VALUES (1, 1, 1, '1;Ana;V01;04:10;2;412;7,2', 250, 2, 412, 7.2, NULL)"),
            QStringLiteral("PRAGMA user_version = 1")};
        for (const QString& statement : script)
            ASSERT_TRUE(q.exec(statement)) << statement.toStdString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("v1"));
    {
        HistoryDatabase db;
        ASSERT_EQ(db.open(v1).status, HistoryOpening::Status::Ready);
        EXPECT_EQ(db.schemaVersion(), kHistorySchemaVersion);
        EXPECT_EQ(db.laptopUuid(), QStringLiteral("5d1f7c7e-1111-4e2a-9b55-0c3d2e1f0a99"));
        const std::optional<StoredTest> old = db.test(QStringLiteral("bb7c1f00-0000-4000-8000-000000000001"));
        ASSERT_TRUE(old);
        ASSERT_EQ(old->rows.size(), 1);
        EXPECT_EQ(old->rows[0].metres, 412);
        EXPECT_TRUE(old->rows[0].warnings.isEmpty());  // a result of before warnings has none
        EXPECT_FALSE(old->rows[0].outByWarnings);
        EXPECT_EQ(old->startedAt, QDateTime(QDate(2025, 1, 1), QTime(10, 0)));
        StoredTest next = sampleTest(kEditionZevez, 1, 1, 2);
        next.rows[0].cells[kColName] = QStringLiteral("ANA");  // she of V01
        ASSERT_TRUE(db.store(next).ok());
        ASSERT_EQ(db.players().size(), 2);
        EXPECT_EQ(db.progression(QStringLiteral("aa7c1f00-0000-4000-8000-000000000001")).size(), 2);
        ASSERT_TRUE(db.mergePlayers(QStringLiteral("aa7c1f00-0000-4000-8000-000000000001"),
                                    db.test(next.uuid)->rows[1].playerUuid));
    }
}

// A new history is made in 16 KB pages; a small one of before, in 4 KB pages, is made again in
// them when it is opened alone, whole; with another connection on it, it opens as it is.
TEST(HistorySchemaTest, SmallPagesAreRemadeLargerWhenTheHistoryIsAlone) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historial.sqlite"));
    QList<StoredTest> stored;
    {
        HistoryDatabase db;
        ASSERT_EQ(db.open(path).status, HistoryOpening::Status::Ready);
        for (int n = 1; n <= 3; ++n) {
            stored << sampleTest(kEditionZevez, 8, n);
            ASSERT_TRUE(db.store(stored.back()).ok());
        }
    }
    EXPECT_EQ(pragma(path, QStringLiteral("page_size")), QStringLiteral("16384"));
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        raw.setDatabaseName(path);
        ASSERT_TRUE(raw.open());
        QSqlQuery q(raw);
        for (const char* statement : {"PRAGMA journal_mode = DELETE", "PRAGMA page_size = 4096", "VACUUM",
                                      "PRAGMA journal_mode = WAL"})
            ASSERT_TRUE(q.exec(QString::fromLatin1(statement))) << statement;
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));
    ASSERT_EQ(pragma(path, QStringLiteral("page_size")), QStringLiteral("4096"));

    auto allThere = [&](HistoryDatabase& db) {
        ASSERT_EQ(db.tests().size(), stored.size());
        for (const StoredTest& test : stored)
            EXPECT_EQ(withoutPlayers(*db.test(test.uuid)), test);
    };
    {
        QSqlDatabase window = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("window"));
        window.setDatabaseName(path);
        ASSERT_TRUE(window.open());
        QSqlQuery reading(window);
        ASSERT_TRUE(reading.exec(QStringLiteral("SELECT count(*) FROM tests")) && reading.next());
        reading.finish();  // open, idle, as a window's between two readings
        HistoryDatabase db;
        ASSERT_EQ(db.open(path).status, HistoryOpening::Status::Ready);
        allThere(db);
        EXPECT_TRUE(db.store(sampleTest(kEditionZevez, 8, 9)).ok());
        stored << sampleTest(kEditionZevez, 8, 9);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("window"));
    EXPECT_EQ(pragma(path, QStringLiteral("page_size")), QStringLiteral("4096"));
    {
        HistoryDatabase db;
        ASSERT_EQ(db.open(path).status, HistoryOpening::Status::Ready);
        allThere(db);
    }
    EXPECT_EQ(pragma(path, QStringLiteral("page_size")), QStringLiteral("16384"));
    EXPECT_EQ(pragma(path, QStringLiteral("journal_mode")), QStringLiteral("wal"));
}

TEST(HistorySchemaTest, NewerSchemaIsReadAndNeverAltered) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historial.sqlite"));
    const StoredTest test = sampleTest(kEditionZevez, 6, 1, 3);
    {
        HistoryDatabase db;
        ASSERT_EQ(db.open(path).status, HistoryOpening::Status::Ready);
        ASSERT_TRUE(db.store(test).ok());
    }
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
        raw.setDatabaseName(path);
        ASSERT_TRUE(raw.open());
        QSqlQuery q(raw);
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kHistorySchemaVersion + 1)));
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA journal_mode = DELETE")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("newer"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    HistoryDatabase db;
    const HistoryOpening opening = db.open(path);
    EXPECT_EQ(opening.status, HistoryOpening::Status::ReadOnlyNewer);
    EXPECT_TRUE(opening.message.contains(QStringLiteral("más reciente"))) << opening.message.toStdString();
    EXPECT_FALSE(db.isWritable());
    EXPECT_EQ(withoutPlayers(*db.test(test.uuid)), test);
    EXPECT_EQ(db.store(sampleTest(kEditionZevez, 6, 2, 3)).outcome, StoreResult::Outcome::Failed);
    EXPECT_FALSE(db.renamePlayer(db.players()[0].uuid, QStringLiteral("Otro"), QString()));
    db.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral("-wal")));
}
