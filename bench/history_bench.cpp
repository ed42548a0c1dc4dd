// The season history's figures on a generated history of ten seasons: 60 players, 40 tests a
// season (400 tests) and 24,000 results. A real table holds 12 or 14 rows; here every test holds
// the whole squad of 60, so that the history has the 24,000 results the figures are asked for.
//   history_bench [folder]   (a temporary folder by default; the database is made anew)
// Prints: storing the 400 tests, opening the history with the window's three lists, a player's
// progression, storing one test of a real table into the full history, importing 1,000 export
// files and the history's export.
#include <time.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "history/HistoryDatabase.h"
#include "history/HistoryExport.h"
#include "history/HistoryImport.h"
#include "tests/support/HistorySamples.h"

using namespace norak;

namespace {

constexpr int kPlayers = 60;
constexpr int kSeasons = 10;
constexpr int kTestsPerSeason = 40;
constexpr int kImportFiles = 1000;

double msSince(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// The processor time of this thread: on a machine loaded by other programs the wall time grows
// with the wait for a core, this does not.
double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// A test of the whole squad: the sample's first row repeated with each player's name and code.
StoredTest squadTest(int index) {
    StoredTest test = sampleTest(kEditionZevez, 77, index, 1);
    const StoredRow model = test.rows.front();
    test.rows.clear();
    QRandomGenerator random(quint32(index) * 31u + 7u);
    for (int p = 1; p <= kPlayers; ++p) {
        StoredRow row = model;
        row.row = p;
        row.cells[kColNumber] = QString::number(p);
        row.cells[kColName] = QStringLiteral("Jugador %1").arg(p);
        row.cells[kColCode] = QStringLiteral("J%1").arg(p);
        row.cells[kColDistance] = QString::number(300 + random.bounded(900));
        row.cells[kColPeriods] = QString::number(random.bounded(12));
        row.computeNumbers();
        test.rows.push_back(row);
    }
    return test;
}

QByteArray exportFile(int index) {
    // The bytes the export would have had for that test.
    return *HistoryExport::testBytes(sampleTest(kEditionZevez, 88, index));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString folder = app.arguments().size() > 1 ? app.arguments()[1] : scratch.path();
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/historial.sqlite");
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));

    QElapsedTimer timer;
    std::vector<double> storeMs;
    {
        HistoryDatabase db;
        if (db.open(path).status != HistoryOpening::Status::Ready) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
            return 1;
        }
        timer.start();
        for (int t = 0; t < kSeasons * kTestsPerSeason; ++t) {
            QElapsedTimer one;
            one.start();
            if (!db.store(squadTest(t)).ok())
                return 1;
            storeMs.push_back(msSince(one));
        }
        std::printf(
            "generated: %d tests, %d players, %d results in %.0f ms (a test of %d rows: median %.1f ms)\n",
            kSeasons * kTestsPerSeason, kPlayers, kSeasons * kTestsPerSeason * kPlayers, msSince(timer),
            kPlayers, median(storeMs));
    }

    // Opening the window: open the file, then its three lists.
    std::vector<double> openMs;
    std::vector<double> openCpuMs;
    std::vector<double> progressionMs;
    std::vector<double> progressionCpuMs;
    for (int round = 0; round < 5; ++round) {
        timer.start();
        double cpu = threadCpuMs();
        HistoryDatabase db;
        db.open(path, {}, false);  // as the window opens it
        const auto tests = db.tests();
        const auto players = db.players();
        const auto team = db.teamRanking();
        openMs.push_back(msSince(timer));
        openCpuMs.push_back(threadCpuMs() - cpu);
        if (tests.size() != kSeasons * kTestsPerSeason || players.size() != kPlayers ||
            team.size() != kPlayers)
            return 1;
        for (int p = 0; p < 10; ++p) {
            timer.start();
            cpu = threadCpuMs();
            const auto points = db.progression(players[p * 6].uuid);
            progressionMs.push_back(msSince(timer));
            progressionCpuMs.push_back(threadCpuMs() - cpu);
            if (points.size() != kSeasons * kTestsPerSeason)
                return 1;
        }
    }
    std::printf("open + tests, players and team lists: median %.1f ms, worst %.1f ms (processor %.1f ms)\n",
                median(openMs), *std::max_element(openMs.begin(), openMs.end()), median(openCpuMs));
    std::printf("a player's progression (%d tests): median %.2f ms, worst %.2f ms (processor %.2f ms)\n",
                kSeasons * kTestsPerSeason, median(progressionMs),
                *std::max_element(progressionMs.begin(), progressionMs.end()), median(progressionCpuMs));

    {
        HistoryDatabase db;
        db.open(path);
        std::vector<double> oneMs;
        for (int t = 0; t < 20; ++t) {
            StoredTest test = sampleTest(kEditionZevez, 99, t);
            timer.start();
            if (!db.store(test).ok())
                return 1;
            oneMs.push_back(msSince(timer));
        }
        std::printf("storing one test of 12 rows into the full history: median %.1f ms, worst %.1f ms\n",
                    median(oneMs), *std::max_element(oneMs.begin(), oneMs.end()));
        timer.start();
        const std::optional<QByteArray> all = HistoryExport::historyBytes(HistoryExport::allTests(db));
        std::printf("history export: %lld bytes in %.0f ms\n", all ? qint64(all->size()) : -1LL,
                    msSince(timer));
    }

    const QString exports = folder + QStringLiteral("/exportaciones");
    QDir(exports).removeRecursively();
    QDir().mkpath(exports);
    for (int i = 0; i < kImportFiles; ++i) {
        QFile file(exports + QStringLiteral("/export_%1.txt").arg(i, 4, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(exportFile(i)) < 0)
            return 1;
    }
    const QString importPath = folder + QStringLiteral("/importado.sqlite");
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(importPath + QLatin1String(suffix));
    HistoryDatabase imported;
    imported.open(importPath);
    timer.start();
    const HistoryImport::Report report = HistoryImport::importFolder(imported, exports);
    std::printf("import of %d export files: %d tests in %.0f ms\n", kImportFiles, report.imported,
                msSince(timer));
    timer.start();
    const HistoryImport::Report again = HistoryImport::importFolder(imported, exports);
    std::printf("the same files again: %d new, %d already there, in %.0f ms\n", again.imported,
                again.alreadyThere, msSince(timer));
    return report.imported == kImportFiles ? 0 : 1;
}
