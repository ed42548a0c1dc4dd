#include <gtest/gtest.h>

#include <QSignalSpy>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/GlanceFigures.h"
#include "results/ResultsTable.h"
#include "results/TestRun.h"
#include "support/FakeTime.h"

using namespace norak;

namespace {

using Phase = GlanceFigures::Phase;

// The three displays as the glance area shows them: "caption: value".
QStringList shown(const GlanceFigures& figures) {
    QStringList texts;
    for (const GlanceTexts::Display& d : GlanceTexts::of(figures).displays)
        texts << d.caption + QStringLiteral(": ") + d.value;
    return texts;
}

// A Zevez run on fake time: five named players, "Test de esfuerzo" from period 1.
struct Squad {
    Squad() : run(kEditionZevez, fakes.platform()), time(fakes, run) {
        run.activate();
        const char* names[] = {"Ana", "Lucía", "Marta", "Irene", "Nerea"};
        for (int row = 1; row <= 5; ++row)
            run.table().setData(run.table().index(row - 1, kColName), QString::fromUtf8(names[row - 1]));
        run.chooseMode(TestMode::Esfuerzo);
        run.setStartPeriod(1);
    }
    void start(bool warmUp) {
        if (run.display().warmUpChecked != warmUp)
            run.setWarmUp(warmUp);
        run.start();
    }
    void runToSignal(int count) {
        ASSERT_GE(time.runUntil([&] { return fakes.sound.m_signals >= count; }), 0);
    }

    FakePlatform fakes;
    TestRun run;
    norak::testing::FakeTime<TestRun> time;
};

}  // namespace

// During a test: the runners, those out, and the best distance among those out, through
// dropouts, a re-activation that takes a result back, and the stop that records the rest.
TEST(GlanceFigures, DuringATestRunningOutAndTheBestDistance) {
    Squad r;
    EXPECT_EQ(shown(r.run.glance()),
              (QStringList{QStringLiteral("Con nombre: 5 de 12"), QStringLiteral("Resultados: 0"),
                           QStringLiteral("Mejor distancia: –")}));
    r.start(false);
    EXPECT_EQ(r.run.glance().phase, Phase::Timed);
    EXPECT_EQ(shown(r.run.glance()),
              (QStringList{QStringLiteral("En carrera: 5"), QStringLiteral("Retirados: 0"),
                           QStringLiteral("Mejor distancia: –")}));

    r.runToSignal(6);
    r.run.dropOut(2);
    const QString first = r.run.table().cell(kColDistance, 2);
    r.runToSignal(20);
    r.run.dropOut(4);
    const QString second = r.run.table().cell(kColDistance, 4);
    ASSERT_GT(second.toInt(), first.toInt());
    GlanceFigures f = r.run.glance();
    EXPECT_EQ(f.running, 3);
    EXPECT_EQ(f.out, 2);
    EXPECT_EQ(f.bestDistance, second);
    EXPECT_EQ(
        shown(f)[2],
        QStringLiteral("Mejor distancia: %1 m · %2 Km/h").arg(second, r.run.table().cell(kColSpeed, 4)));

    // Irene's dropout was pressed by mistake: she runs again, and the best is Lucía's once more.
    r.run.table().setCurrentRow(4);
    r.run.reactivateCurrentRow();
    f = r.run.glance();
    EXPECT_EQ(f.running, 4);
    EXPECT_EQ(f.out, 1);
    EXPECT_EQ(f.bestDistance, first);

    // The stop records the four still running: between tests the table's figures.
    r.runToSignal(30);
    r.run.stop();
    f = r.run.glance();
    EXPECT_EQ(f.phase, Phase::BetweenTests);
    EXPECT_EQ(f.running, 0);
    EXPECT_EQ(f.withResults, 5);
    EXPECT_EQ(f.bestDistance, r.run.table().cell(kColDistance, 1));
    EXPECT_EQ(shown(f)[0], QStringLiteral("Con nombre: 5 de 12"));
    EXPECT_EQ(shown(f)[1], QStringLiteral("Resultados: 5"));
}

// Every change the glance area counts reaches the views: a name typed between tests, and a
// dropout's distance, which is written after its button is hidden.
TEST(GlanceFigures, TheRunSaysWhenTheFiguresChange) {
    Squad r;
    QSignalSpy changes(&r.run, &TestRun::changed);
    GlanceFigures drawn;
    QObject::connect(&r.run, &TestRun::changed, [&] { drawn = r.run.glance(); });
    r.run.table().setData(r.run.table().index(5, kColName), QStringLiteral("Sara"));
    EXPECT_FALSE(changes.isEmpty());
    EXPECT_EQ(drawn.named, 6);

    r.start(false);
    r.runToSignal(6);
    r.run.dropOut(1);
    EXPECT_EQ(drawn, r.run.glance());
    EXPECT_FALSE(drawn.bestDistance.isEmpty());
}

// In the warm-up no button is shown yet: the named players warm up, nobody is out.
TEST(GlanceFigures, TheWarmUpCountsTheNamedPlayers) {
    Squad r;
    r.start(true);
    EXPECT_EQ(r.run.glance().phase, Phase::WarmUp);
    EXPECT_EQ(shown(r.run.glance()),
              (QStringList{QStringLiteral("Calentando: 5"), QStringLiteral("Retirados: 0"),
                           QStringLiteral("Mejor distancia: –")}));
}

// Results that an earlier test left in a row without a player in this test are not this test's:
// neither out nor best during the test, but the table's figures between tests.
TEST(GlanceFigures, ResultsOfAnEarlierTestCountOnlyBetweenTests) {
    ResultsTable table(kEditionZevez);
    AthleteRoster roster(table);
    table.setCell(kColName, 1, QStringLiteral("Ana"));
    table.setCell(kColName, 7, QStringLiteral("Zoe"));
    table.setCell(kColPeriods, 7, QStringLiteral("9"));
    table.setCell(kColDistance, 7, QStringLiteral("1473"));
    table.setCell(kColSpeed, 7, QStringLiteral("9,6"));
    table.setCell(kColName, 7, QString());  // her name erased before the test began
    roster.activateAthleteButtons();

    const GlanceFigures during = GlanceFigures::of(table, roster, Phase::Timed);
    EXPECT_EQ(during.running, 1);
    EXPECT_EQ(during.out, 0);
    EXPECT_TRUE(during.bestDistance.isEmpty());

    const GlanceFigures between = GlanceFigures::of(table, roster, Phase::BetweenTests);
    EXPECT_EQ(between.withResults, 1);
    EXPECT_EQ(shown(between)[2], QStringLiteral("Mejor distancia: 1473 m · 9,6 Km/h"));
}
