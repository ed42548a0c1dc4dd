// The remote's press to row: four phones on 127.0.0.1 (the bound address, NORAK_REMOTE_BIND),
// each pressing "Aviso" and "Deshacer" in turn for its own player; measured from the moment a
// phone's message is sent to the moment the run announces the warning (its mark in the row),
// on one monotonic clock since everything runs in this process. The run is on fake time, which
// moves 150 ms per press so that the rate limit lets the presses through; the network, the
// server, the parser and the run's verbs are the real ones.
//
//   remote_press [presses per phone, default 250]
// Prints the count, median, p99 and maximum in milliseconds.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QUrlQuery>
#include <QWebSocket>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "remote/PhoneMessage.h"
#include "remote/RemoteAuthority.h"
#include "remote/RemoteServer.h"
#include "results/CellText.h"
#include "results/RunWarnings.h"
#include "results/TestRun.h"
#include "tests/support/FakeTime.h"

using namespace norak;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int presses = argc > 1 ? std::max(1, atoi(argv[1])) : 250;
    constexpr int kPhones = 4;

    FakePlatform fakes;
    TestRun run(kEditionZevez, fakes.platform());
    norak::testing::FakeTime<TestRun> time(fakes, run);
    RunWarnings warnings(run);
    RemoteAuthority authority(run, warnings, fakes.ticks);
    RemoteServer server(authority, fakes.ticks);
    run.activate();
    for (int row = 1; row <= kPhones; ++row)
        run.table().setCell(kColName, row, QStringLiteral("J%1").arg(row));
    run.chooseMode(TestMode::Esfuerzo);
    if (run.display().warmUpChecked)
        run.setWarmUp(false);
    run.start();
    while (authority.currentLeg() < 2)
        time.step();
    if (!server.start(QHostAddress::LocalHost)) {
        std::fprintf(stderr, "cannot listen: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    const QString token = QUrlQuery(server.pageUrl()).queryItemValue(QStringLiteral("t"));
    const QString origin = QStringLiteral("http://127.0.0.1:%1").arg(server.port());

    std::vector<std::unique_ptr<QWebSocket>> phones;
    for (int i = 0; i < kPhones; ++i) {
        phones.push_back(std::make_unique<QWebSocket>(origin));
        phones.back()->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws?t=%2").arg(server.port()).arg(token)));
    }
    for (int i = 0; i < 300 && int(server.phones().size()) < kPhones; ++i)
        QTest::qWait(10);
    for (const RemoteServer::Phone& p : server.phones())
        server.allow(p.number);
    QTest::qWait(100);

    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> sentNs(kPhones + 1, 0);
    std::vector<double> ms;
    QObject::connect(&run, &TestRun::warned, [&](const Warning& w) {
        ms.push_back(double(clock.nsecsElapsed() - sentNs[std::size_t(w.athlete)]) / 1e6);
    });
    int answers = 0;
    for (auto& phone : phones)
        QObject::connect(phone.get(), &QWebSocket::textMessageReceived, [&](const QString& m) {
            answers += m.contains(QLatin1String("\"answer\"")) ? 1 : 0;
        });
    int id = 0;
    for (int round = 0; round < presses; ++round) {
        for (const bool undo : {false, true}) {
            const int expected = answers + kPhones;
            for (int p = 0; p < kPhones; ++p) {
                const int athlete = p + 1;
                const PhoneCommand c{undo ? PhoneCommand::Type::Undo : PhoneCommand::Type::Warning,
                                     QStringLiteral("b%1").arg(++id), qint64(authority.epoch()),
                                     authority.currentLeg(), undo ? 0 : athlete};
                sentNs[std::size_t(athlete)] = clock.nsecsElapsed();
                phones[std::size_t(p)]->sendTextMessage(QString::fromUtf8(PhoneMessage::encode(c)));
            }
            for (int i = 0; i < 2000 && answers < expected; ++i)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            fakes.ticks.advance(150);
        }
    }
    if (ms.empty()) {
        std::fprintf(stderr, "no press was recorded\n");
        return 1;
    }
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) { return ms[std::min(ms.size() - 1, std::size_t(q * double(ms.size())))]; };
    std::printf("presses recorded: %zu of %d (4 phones)\nmedian %.2f ms, p99 %.2f ms, max %.2f ms\n",
                ms.size(), presses * kPhones, at(0.5), at(0.99), ms.back());
    return 0;
}
