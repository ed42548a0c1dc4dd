#include <gtest/gtest.h>

#include <QSignalSpy>

#include "engine/Edition.h"
#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/ResultsTable.h"

using namespace norak;

namespace {

LiveValues shown(const char* crono, const char* periodo, const char* distancia, const char* velocidad,
                 int startPeriod = 1, int edition = kEditionZevez) {
    LiveValues values;
    values.clockText = QString::fromUtf8(crono);
    values.periodText = QString::fromUtf8(periodo);
    values.distanceText = QString::fromUtf8(distancia);
    values.speedText = QString::fromUtf8(velocidad);
    values.startPeriod = startPeriod;
    values.edition = edition;
    return values;
}

QStringList rowOf(const ResultsTable& table, int row) {
    QStringList cells;
    for (int column = 0; column < table.columnCount(); ++column)
        cells << table.cell(column, row);
    return cells;
}

}  // namespace

TEST(AthleteRoster, ActivationShowsNamedRowsOnly) {
    ResultsTable table(kEditionZevez);
    AthleteRoster roster(table);
    table.setCell(kColName, 1, QStringLiteral("Ana"));
    table.setCell(kColName, 3, QStringLiteral("Íñigo"));
    table.setCell(kColName, 12, QStringLiteral("Zoe"));
    // Row 2 was in an earlier test and has lost its name since; its results stay.
    table.setCell(kColNumber, 2, QStringLiteral("2"));
    table.setCell(kColPeriods, 2, QStringLiteral("7"));
    table.setCell(kColPeriods, 3, QStringLiteral("4"));

    QSignalSpy spy(&roster, &AthleteRoster::buttonVisibilityChanged);
    roster.activateAthleteButtons();
    for (int i = 1; i <= 14; ++i)
        EXPECT_EQ(roster.isShown(i), i == 1 || i == 3 || i == 12) << i;
    EXPECT_EQ(spy.count(), 3);
    EXPECT_EQ(table.cell(kColNumber, 1), QStringLiteral("1"));
    EXPECT_EQ(table.cell(kColNumber, 3), QStringLiteral("3"));
    EXPECT_EQ(table.cell(kColNumber, 12), QStringLiteral("12"));
    EXPECT_TRUE(table.cell(kColNumber, 2).isEmpty());
    EXPECT_EQ(table.cell(kColPeriods, 2), QStringLiteral("7"));
    EXPECT_EQ(table.cell(kColPeriods, 3), QStringLiteral("4"));

    // A second activation after names changed hides the button of an erased name.
    table.setCell(kColName, 1, QString());
    roster.activateAthleteButtons();
    EXPECT_FALSE(roster.isShown(1));
    EXPECT_TRUE(table.cell(kColNumber, 1).isEmpty());
    EXPECT_EQ(roster.shownCount(), 2);
}

TEST(AthleteRoster, DropoutDuringEffortAndDuringRecovery) {
    ResultsTable table(kEditionZevez);
    AthleteRoster roster(table);
    for (int row : {1, 2, 5})
        table.setCell(kColName, row, QStringLiteral("P%1").arg(row));
    table.setCell(kColCode, 1, QStringLiteral("V07"));
    roster.activateAthleteButtons();

    // Effort period 9 of a test started at period 1: 8 periods completed.
    roster.dropout(1, shown("12:40", "9", "1473", "9,0"));
    EXPECT_EQ(rowOf(table, 1), (QStringList{"1", "P1", "V07", "12:40", "8", "1473", "9,0"}));
    EXPECT_FALSE(roster.isShown(1));
    EXPECT_EQ(table.currentRow(), 1);

    // Recovery after period 9: the display already shows period 10 and its speed.
    roster.dropout(5, shown("13:05", "10", "1591", "9,5"));
    EXPECT_EQ(rowOf(table, 5), (QStringList{"5", "P5", "", "13:05", "9", "1591", "9,5"}));
    EXPECT_EQ(table.currentRow(), 5);

    // A test started at period 4 ("Test de esfuerzo"): period 6 means 2 completed.
    roster.dropout(2, shown("03:10", "6", "410", "6,1", 4));
    EXPECT_EQ(table.cell(kColPeriods, 2), QStringLiteral("2"));
    // "Repetir periodo ...": the period never advances, 0 completed.
    roster.reactivate(2);
    roster.dropout(2, shown("05:00", "4", "600", "5,6", 4));
    EXPECT_EQ(table.cell(kColPeriods, 2), QStringLiteral("0"));
    EXPECT_EQ(roster.shownCount(), 0);
}

TEST(AthleteRoster, BasketEstimatesVo2max) {
    EXPECT_EQ(EstimateVO2max(QStringLiteral("1000"), QLatin1Char(',')), QStringLiteral("15,595"));
    EXPECT_EQ(EstimateVO2max(QStringLiteral("1000"), QLatin1Char('.')), QStringLiteral("15.595"));
    EXPECT_EQ(EstimateVO2max(QStringLiteral("0"), QLatin1Char(',')), QStringLiteral("2,595"));
    EXPECT_EQ(EstimateVO2max(QStringLiteral("2304"), QLatin1Char(',')), QStringLiteral("32,547"));
}

TEST(AthleteRoster, StopRecordsEveryRunnerWithTheSameValues) {
    ResultsTable table(kEditionFutSal);
    AthleteRoster roster(table);
    for (int row : {2, 4, 7, 14})
        table.setCell(kColName, row, QStringLiteral("P%1").arg(row));
    roster.activateAthleteButtons();
    roster.dropout(4, shown("02:00", "2", "150", "8,1"));

    QList<int> order;
    QObject::connect(&roster, &AthleteRoster::buttonVisibilityChanged,
                     [&order](int athlete, bool isShown) { order << (isShown ? -athlete : athlete); });
    roster.recordRemainingAthletes(shown("06:30", "4", "480", "9,3"));
    EXPECT_EQ(order, (QList<int>{2, 7, 14}));
    for (int row : {2, 7, 14}) {
        EXPECT_EQ(rowOf(table, row).mid(kColTime), (QStringList{"06:30", "3", "480", "9,3"})) << row;
    }
    // The athlete who dropped out earlier keeps his own values.
    EXPECT_EQ(table.cell(kColTime, 4), QStringLiteral("02:00"));
    EXPECT_EQ(table.currentRow(), 14);
    EXPECT_EQ(roster.shownCount(), 0);
}

TEST(AthleteRoster, ReactivationRules) {
    ResultsTable table(kEditionBasket);
    AthleteRoster roster(table);
    table.setCell(kColName, 3, QStringLiteral("Ana"));
    table.setCell(kColName, 6, QStringLiteral("Eva"));
    roster.activateAthleteButtons();
    roster.dropout(3, shown("04:00", "3", "500", "9,0", 1, kEditionBasket));

    EXPECT_TRUE(roster.canReactivate(3, true, 0));
    EXPECT_FALSE(roster.canReactivate(3, false, 0));  // no test running
    EXPECT_FALSE(roster.canReactivate(3, true, 1));   // warm-up
    EXPECT_FALSE(roster.canReactivate(6, true, 0));   // still running: nothing recorded
    EXPECT_FALSE(roster.canReactivate(9, true, 0));   // no name
    table.setCell(kColName, 3, QString());
    EXPECT_FALSE(roster.canReactivate(3, true, 0));
    table.setCell(kColName, 3, QStringLiteral("Ana"));

    table.setCell(kColNumber, 3, QString());
    roster.reactivate(3);
    EXPECT_TRUE(roster.isShown(3));
    EXPECT_EQ(rowOf(table, 3), (QStringList{"3", "Ana", "", "", "", "", "", ""}));
    roster.dropout(3, shown("05:00", "4", "620", "9,5", 1, kEditionBasket));
    EXPECT_EQ(table.cell(kColPeriods, 3), QStringLiteral("3"));
}
