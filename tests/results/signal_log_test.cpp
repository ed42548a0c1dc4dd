#include <gtest/gtest.h>

#include "results/SignalLog.h"
#include "support/SessionHarness.h"

using namespace norak;
using norak::testing::SessionHarness;
using Timer = TestSession::Timer;

namespace {

struct Expected {
    qint64 ms;
    QString phase;
};

}  // namespace

TEST(SignalLog, AWholeTestGivesOneLinePerSignalAndRecoveryAtTheClocksTimes) {
    SessionHarness h(kEditionZevez);
    h.fakes.clock.set(QDateTime(QDate(2026, 12, 8), QTime(10, 15, 30, 250)));
    const qint64 startTick = h.fakes.ticks.ticks();
    h.start(TestMode::Esfuerzo, 6, true);

    // The fake clock's own account of the test: when a signal sounded, when a recovery began.
    std::vector<Expected> expected = {{0, QStringLiteral("calentamiento")}};
    bool warmUp = true;
    int periodsDone = 0;
    while (periodsDone < 3 || h.session.BeepCount() < 10) {
        const bool wasEffort = h.session.isTimerOn(Timer::Effort);
        const int sounded = h.step();
        const qint64 now = h.fakes.ticks.ticks() - startTick;
        ASSERT_LE(sounded, 1);
        const bool recoveryBegan = wasEffort && h.session.isTimerOn(Timer::Recovery);
        if (sounded == 1) {
            // A departure after a recovery begins effort; a leg is of the warm-up while it lasts.
            const bool departure = !wasEffort;
            if (departure)
                warmUp = false;
            expected.push_back({now, warmUp ? QStringLiteral("calentamiento") : QStringLiteral("esfuerzo")});
        }
        if (recoveryBegan) {
            expected.push_back({now, QStringLiteral("recuperacion")});
            periodsDone += warmUp ? 0 : 1;
        }
        ASSERT_LT(h.time.elapsed(), 7200000);
    }
    h.session.stop();

    const qint64 t1 = h.session.timingRecord().signalsGiven[100].givenTick;
    const QList<DropoutMark> dropouts = {{t1, 3, QStringLiteral("Begoña"), {}},
                                         {t1 + 5, 7, QStringLiteral("Pau"), {}}};
    const QStringList lines = SignalLog::lines(h.session.timingRecord(), dropouts);

    ASSERT_EQ(lines.size(), 1 + qsizetype(expected.size()) + dropouts.size());
    EXPECT_EQ(
        lines[0],
        QStringLiteral(";ms desde Inicio 08/12/2026 10:15:30,250;Periodo;Señal;Estación;Fase;Nº;Sujeto;"));
    qsizetype next = 0;
    int dropoutLines = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(QLatin1Char(';'));
        if (fields.value(5) == QLatin1String("abandono")) {
            const DropoutMark& mark = dropouts[dropoutLines++];
            EXPECT_EQ(fields[1], QString::number(mark.tick - startTick) + QStringLiteral(",000"));
            EXPECT_EQ(fields[6], QString::number(mark.athlete));
            EXPECT_EQ(fields[7], mark.name);
            continue;
        }
        ASSERT_LT(next, qsizetype(expected.size()));
        EXPECT_EQ(fields[1], QString::number(expected[next].ms) + QStringLiteral(",000")) << i;
        EXPECT_EQ(fields[5], expected[next].phase) << i;
        ++next;
    }
    EXPECT_EQ(dropoutLines, 2);
    // 36 legs per period: the warm-up, then three whole periods and 10 legs of the fourth.
    EXPECT_EQ(h.fakes.sound.m_signals, 1 + 36 + 1 + 3 * (36 + 1) + 10);

    // A leg line: period, signal within it, station.
    const QStringList leg = lines[2].split(QLatin1Char(';'));
    EXPECT_EQ(leg.mid(2, 4), QStringList({"6", "1", "2", "calentamiento"}));

    const QByteArray bytes = SignalLog::encode(lines).value();
    EXPECT_EQ(bytes.count("\r\n"), lines.size());
    EXPECT_TRUE(
        bytes.contains("Se\xF1"
                       "al;Estaci\xF3n"));
    EXPECT_EQ(SignalLog::fileNameFor(QStringLiteral("/x/Export/NORAK-Zevez_08-12-26.pdf")),
              QStringLiteral("/x/Export/NORAK-Zevez_08-12-26_senales.txt"));
}
