#include <gtest/gtest.h>

#include "engine/Edition.h"

using namespace norak;

TEST(Edition, TablesHaveTheirPeriodCountAndListedValues) {
    struct Row {
        int edition;
        int periods;
        QString first;
        QString last;
    };
    const Row rows[] = {{kEditionProbst, 30, "8571", "1667"},
                        {kEditionFutbol, 30, "7843", "1525"},
                        {kEditionBasket, 30, "5333", "1263"},
                        {kEditionFutSal, 28, "6857", "1412"},
                        {kEditionZevez, 25, "4214", "951"}};
    for (const Row& row : rows) {
        const QStringList table = sourcePeriodTable(row.edition);
        EXPECT_EQ(table.size(), row.periods) << row.edition;
        EXPECT_EQ(table.first(), row.first) << row.edition;
        EXPECT_EQ(table.last(), row.last) << row.edition;
    }
    // Used as listed, not as the speed rule would give it.
    EXPECT_EQ(sourcePeriodTable(kEditionZevez).at(2), QStringLiteral("3227"));
    EXPECT_EQ(sourcePeriodTable(kEditionProbst).at(26), QStringLiteral("1818"));
}

TEST(Edition, PeriodOneLastsSignalsTimesRunTime) {
    const int expected[] = {239988, 219604, 191988, 191996, 151704};
    for (int e = 0; e < kEditionCount; ++e) {
        const EditionRecord r = editionRecord(e);
        EXPECT_EQ(r.signalsPerPeriod * sourcePeriodTable(e).first().toInt(), expected[e]) << e;
        EXPECT_EQ(r.lapsPerPeriod(), r.stationsPerLap == 14 ? 2 : 3);
    }
}

TEST(Edition, RecordsOfTheFiveEditions) {
    EXPECT_EQ(editionRecord(kEditionZevez).editionTitle, QStringLiteral("NORAK-Zevez"));
    EXPECT_EQ(editionRecord(kEditionZevez).editionVariant, 4);
    EXPECT_EQ(zevezTitleForVariant(1), QStringLiteral("NORAK-Voleibol"));
    EXPECT_EQ(editionRecord(kEditionFutbol).editionTitle, QStringLiteral("NORAK-Fútbol 2.0"));
    EXPECT_EQ(editionRecord(kEditionFutSal).sportName, QStringLiteral("Fútbol-Sala"));
    EXPECT_EQ(editionRecord(kEditionProbst).course, Course::Futbol);
    EXPECT_EQ(editionRecord(kEditionBasket).colorMain, (Rgb{237, 184, 44}));
    EXPECT_DOUBLE_EQ(editionRecord(kEditionFutSal).stationDistance, 7.43);
    // An unknown code falls back to the build's edition.
    EXPECT_EQ(editionRecord(99).edition, kBuildEdition);
}

TEST(Edition, NominalSpeedTexts) {
    EXPECT_EQ(nominalSpeedText(1), QStringLiteral("4,2"));
    EXPECT_EQ(nominalSpeedText(4), QStringLiteral("6,0"));
    EXPECT_EQ(nominalSpeedText(26), QStringLiteral("19,2"));
    EXPECT_EQ(nominalSpeedText(27), QStringLiteral("20,8"));
    EXPECT_EQ(nominalSpeedText(30), QStringLiteral("22,6"));
    EXPECT_TRUE(nominalSpeedText(0).isEmpty());
    EXPECT_TRUE(nominalSpeedText(31).isEmpty());
}

TEST(Edition, StationOrderAlternatesExceptOnTheVolleyballCourse) {
    // 14 cones, even completed count: 1, 2, ..., 14, 1
    for (int b = 0; b < 28; ++b)
        EXPECT_EQ(stationForSignal(kEditionFutbol, 14, b, 0), b % 14 + 1);
    // odd: 1, 14, 13, ..., 2, 1, 14
    const int odd[] = {1, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 14};
    for (int b = 0; b < 16; ++b)
        EXPECT_EQ(stationForSignal(kEditionFutbol, 14, b, 1), odd[b]) << b;
    EXPECT_EQ(stationForSignal(kEditionBasket, 12, 1, 3), 12);
    for (int d = 0; d < 4; ++d)
        EXPECT_EQ(stationForSignal(kEditionZevez, 12, 1, d), 2);
    EXPECT_EQ(stationForSignal(kEditionZevez, 12, 36, 1), 1);
}

TEST(Edition, DistanceRoundsHalvesAwayFromZero) {
    EXPECT_EQ(roundMetres(distanceCovered(2, 5, 28, 9.15)), 558);  // 558.15
    EXPECT_EQ(roundMetres(distanceCovered(1, 0, 28, 9.15)), 256);  // 256.2
    EXPECT_EQ(roundMetres(distanceCovered(1, 0, 36, 4.91)), 177);  // 176.76
    EXPECT_EQ(roundMetres(2.5), 3);
}
