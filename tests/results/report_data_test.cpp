#include <gtest/gtest.h>

#include "engine/Edition.h"
#include "results/CellText.h"
#include "results/ReportData.h"
#include "results/ResultsTable.h"

using namespace norak;

namespace {

void fillRow(ResultsTable& table, int row, const QStringList& cells) {
    for (int column = 0; column < cells.size(); ++column)
        table.setCell(column, row, cells[column]);
}

QString valueOf(const QList<ReportFigure>& figures, const QString& label) {
    for (const ReportFigure& f : figures) {
        if (f.label == label)
            return f.value;
    }
    return QStringLiteral("<none>");
}

}  // namespace

TEST(ReportData, FiguresOfTheGroup) {
    ResultsTable table(kEditionZevez);
    fillRow(table, 1, {"1", "Ana", "A1", "05:10", "2", "707", "5,4"});
    fillRow(table, 2, {"2", "Bea", "", "09:00", "4", "1414", "6,6"});
    fillRow(table, 4, {"4", "Cris", "C", "06:30", "3", "1061", "6,0"});
    fillRow(table, 5, {"5", "Dani", "D", "09:01", "5", "1414", "6,6"});
    fillRow(table, 6, {"", "", "", "01:00", "1", "9999", "4,2"});  // unnamed: not in the report
    table.setCell(kColName, 7, QStringLiteral("Eva"));             // named after the test: no results

    TimingRecord record;
    record.start = QDateTime(QDate(2026, 12, 8), QTime(10, 15, 30));
    record.signalsGiven.push_back(
        {TimingRecord::SignalKind::Start, 0, 0, 0, 1, 0, 1, TimingRecord::Phase::Effort});
    for (int i = 0; i < 100; ++i) {
        TimingRecord::Signal s;
        s.dueTick = 1000 * (i + 1);
        s.givenTick = s.dueTick + (99 - i);  // lateness 99 ... 0
        record.signalsGiven.push_back(s);
    }
    record.recoveries.push_back({0, 0, 180007, 180000, 0, true});
    record.recoveries.push_back({200000, 0, 230004, 30000, 1, false});
    record.recoveries.push_back({300000, 0, -1, 30000, 2, false});

    ReportSettings settings;
    settings.mode = TestMode::Esfuerzo;
    settings.startPeriod = 3;
    settings.startSpeedText = QStringLiteral("5,4");
    settings.warmUp = true;
    settings.soundOutput = QStringLiteral("Altavoces integrados");
    const ReportData data = ReportData::compute(table, record, settings);

    EXPECT_EQ(data.editionTitle, QStringLiteral("NORAK-Zevez"));
    EXPECT_EQ(data.sportName, QStringLiteral("Voleibol"));
    EXPECT_EQ(data.colorMain, editionRecord(kEditionZevez).colorMain);
    ASSERT_EQ(data.rows.size(), 5);
    EXPECT_EQ(data.rows[2], QStringList({"4", "Cris", "C", "06:30", "3", "1061", "6,0"}));
    EXPECT_EQ(data.rows[4][kColName], QStringLiteral("Eva"));
    EXPECT_EQ(data.columnTitles.size(), 7);

    // Longest first; on equal distances the table's order.
    QStringList order;
    for (const ReportData::Bar& bar : data.bars)
        order << bar.name;
    EXPECT_EQ(order, QStringList({"Bea", "Dani", "Cris", "Ana"}));
    EXPECT_EQ(data.bars[0].periods, QStringLiteral("4"));

    const QList<ReportFigure> group = data.groupFigures();
    EXPECT_EQ(valueOf(group, QStringLiteral("Deportistas")), QStringLiteral("5"));
    EXPECT_EQ(valueOf(group, QStringLiteral("Distancia media")), QStringLiteral("1149,0 m"));
    EXPECT_EQ(valueOf(group, QStringLiteral("Distancia mediana")), QStringLiteral("1237,5 m"));
    EXPECT_EQ(valueOf(group, QStringLiteral("Mejor distancia")), QStringLiteral("1414 m"));
    EXPECT_EQ(valueOf(group, QStringLiteral("Periodos completados (media)")), QStringLiteral("3,5"));

    // The Start signal counts as given but has no lateness.
    const QList<ReportFigure> timing = data.timingFigures();
    EXPECT_EQ(valueOf(timing, QStringLiteral("Señales dadas")), QStringLiteral("101"));
    EXPECT_EQ(valueOf(timing, QStringLiteral("Retraso p50 / p99 / máx.")), QStringLiteral("49 / 98 / 99 ms"));
    EXPECT_EQ(valueOf(timing, QStringLiteral("Salida de sonido")), QStringLiteral("Altavoces integrados"));

    const QList<ReportFigure> rests = data.recoveryFigures();
    ASSERT_EQ(rests.size(), 3);
    EXPECT_EQ(rests[0].label, QStringLiteral("Tras el calentamiento"));
    EXPECT_EQ(rests[0].value, QStringLiteral("180,01 s de 180 s"));
    EXPECT_EQ(rests[1].label, QStringLiteral("Tras el periodo 1"));
    EXPECT_EQ(rests[1].value, QStringLiteral("30,00 s de 30 s"));
    EXPECT_EQ(rests[2].value, QStringLiteral("interrumpida (de 30 s)"));

    const QList<ReportFigure> test = data.testFigures();
    EXPECT_EQ(valueOf(test, QStringLiteral("Modo")), QStringLiteral("Test de esfuerzo"));
    EXPECT_EQ(valueOf(test, QStringLiteral("Velocidad inicial")), QStringLiteral("5,4 km/h"));
    EXPECT_EQ(valueOf(test, QStringLiteral("Calentamiento")), QStringLiteral("Sí"));
    EXPECT_EQ(data.startDateText(), QStringLiteral("08/12/2026"));
    EXPECT_EQ(data.startTimeText(), QStringLiteral("10:15:30"));
    EXPECT_EQ(ReportData::proposedFileName(data.editionTitle, QDate(2026, 12, 8)),
              QStringLiteral("NORAK-Zevez_08-12-26.pdf"));
    EXPECT_EQ(reportFailedText(data.editionTitle),
              QStringLiteral("No se ha podido guardar el informe de NORAK-Zevez."));
}

TEST(ReportData, ATableWithoutResultsHasNoFigures) {
    ResultsTable table(kEditionBasket);
    table.setCell(kColName, 2, QStringLiteral("Pau"));
    const ReportData data = ReportData::compute(table, TimingRecord{}, ReportSettings{});
    EXPECT_EQ(data.rows.size(), 1);
    EXPECT_EQ(data.columnTitles.size(), 8);
    EXPECT_TRUE(data.bars.isEmpty());
    EXPECT_FALSE(data.meanDistance || data.latenessP50Ms);
    EXPECT_EQ(valueOf(data.groupFigures(), QStringLiteral("Distancia media")), QStringLiteral("–"));
    EXPECT_EQ(valueOf(data.timingFigures(), QStringLiteral("Retraso p50 / p99 / máx.")),
              QStringLiteral("– / – / – ms"));
}

// Lateness p50 and p99 are nearest-rank percentiles whatever the count, not only for 100 values.
TEST(ReportData, LatenessPercentilesAreNearestRankForAnyCount) {
    using P50P99 = std::pair<qint64, qint64>;
    const auto latenessOf = [](std::initializer_list<qint64> lateness) {
        TimingRecord record;
        qint64 due = 1000;
        for (qint64 ms : lateness) {
            TimingRecord::Signal s;
            s.dueTick = due;
            s.givenTick = due + ms;
            record.signalsGiven.push_back(s);
            due += 1000;
        }
        const ReportData data = ReportData::compute(ResultsTable(kEditionZevez), record, ReportSettings{});
        return std::pair(data.latenessP50Ms.value_or(-1), data.latenessP99Ms.value_or(-1));
    };
    EXPECT_EQ(latenessOf({2, 0, 1}), P50P99(1, 2));
    EXPECT_EQ(latenessOf({7}), P50P99(7, 7));
    EXPECT_EQ(latenessOf({4, 3}), P50P99(3, 4));
    EXPECT_EQ(latenessOf({5, 1, 2, 3, 4, 0, 6}), P50P99(3, 6));
}
