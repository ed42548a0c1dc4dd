// The club sync's figures: a club of LAPTOPS laptops (20 by default) with TESTS tests each
// (250 by default) syncs with a PostgreSQL server this program starts (tests/support's
// PostgresCluster, with the server's durable defaults: fsync on), one laptop after another, each
// receiving what the ones before sent; then a new laptop with 400 tests makes its first sync
// (sends its 400, receives the whole club), then one new test is synced.
//   club_sync_bench [tests-per-laptop] [laptops]
// Every test holds 14 named rows (a real table's), as in the history's tests.
#include <QCoreApplication>
#include <QElapsedTimer>
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
