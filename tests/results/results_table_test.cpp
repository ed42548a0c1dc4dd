#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "engine/Edition.h"
#include "results/CellText.h"
#include "results/ResultsGeometry.h"
#include "results/ResultsTable.h"

using namespace norak;

namespace {

const QStringList kSevenTitles = {
    "Nº", "Sujeto", "Cod.", "Tiempo (mm:ss)", "Periodos complet.", "Distancia (m)", "Vel. Máx. (Km/h)"};

}  // namespace

TEST(ResultsTable, ShapeAndTitlesPerEdition) {
    const struct {
        int edition;
        int rows;
        int columns;
    } cases[] = {{kEditionProbst, 14, 7},
                 {kEditionFutbol, 14, 7},
                 {kEditionBasket, 12, 8},
                 {kEditionFutSal, 14, 7},
                 {kEditionZevez, 12, 7}};
    for (const auto& c : cases) {
        ResultsTable table(c.edition);
        QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::Warning);
        EXPECT_EQ(table.rowCount(), c.rows) << c.edition;
        EXPECT_EQ(table.dataRowCount(), c.rows);
        EXPECT_EQ(table.columnCount(), c.columns);
        QStringList titles;
        for (int column = 0; column < table.columnCount(); ++column)
            titles << table.headerData(column, Qt::Horizontal).toString();
        QStringList expected = kSevenTitles;
        if (c.columns == 8)
            expected << QStringLiteral("VO2max (ml/kg/min)");
        EXPECT_EQ(titles, expected);
        EXPECT_EQ(table.currentRow(), 1);
        EXPECT_EQ(table.resultsExported(), 0);
    }
}

TEST(ResultsTable, CellsAreOneBasedAndNothingOutsideIsAddressed) {
    ResultsTable table(kEditionZevez);
    table.setCell(kColName, 1, QStringLiteral("Ana"));
    table.setCell(kColSpeed, 12, QStringLiteral("9,0"));
    EXPECT_EQ(table.data(table.index(0, kColName)).toString(), QStringLiteral("Ana"));
    EXPECT_EQ(table.data(table.index(11, kColSpeed)).toString(), QStringLiteral("9,0"));

    QSignalSpy changes(&table, &QAbstractItemModel::dataChanged);
    table.setCell(kColName, 0, QStringLiteral("x"));
    table.setCell(kColName, 13, QStringLiteral("x"));
    table.setCell(kColVo2max, 1, QStringLiteral("x"));  // no such column outside Basket
    table.setCell(kColName, 1, QStringLiteral("Ana"));  // unchanged
    EXPECT_EQ(changes.count(), 0);
    EXPECT_TRUE(table.cell(kColName, 13).isEmpty());
    EXPECT_TRUE(table.cell(kColVo2max, 1).isEmpty());

    // The hints give what the narrow columns cut: the whole title, and title and value.
    EXPECT_EQ(table.headerData(kColTime, Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("Tiempo (mm:ss)"));
    table.setCell(kColTime, 1, QStringLiteral("61:05"));
    EXPECT_EQ(table.data(table.index(0, kColTime), Qt::ToolTipRole).toString(),
              QStringLiteral("Tiempo (mm:ss): 61:05"));
    EXPECT_FALSE(table.data(table.index(1, kColTime), Qt::ToolTipRole).isValid());  // empty cell
}

TEST(ResultsTable, OnlyNamesAndCodesAreEditableAndTypedTextIsChecked) {
    ResultsTable table(kEditionBasket);
    for (int column = 0; column < table.columnCount(); ++column) {
        const bool editable = table.flags(table.index(0, column)).testFlag(Qt::ItemIsEditable);
        EXPECT_EQ(editable, column == kColName || column == kColCode) << column;
    }
    EXPECT_TRUE(table.setData(table.index(2, kColName), QStringLiteral("Begoña")));
    EXPECT_EQ(table.cell(kColName, 3), QStringLiteral("Begoña"));
    EXPECT_FALSE(table.setData(table.index(2, kColName), QStringLiteral("Bego;ña")));
    EXPECT_FALSE(table.setData(table.index(2, kColCode), QStringLiteral("123456")));
    EXPECT_FALSE(table.setData(table.index(2, kColTime), QStringLiteral("12:00")));
    EXPECT_EQ(table.cell(kColName, 3), QStringLiteral("Begoña"));
    EXPECT_TRUE(table.cell(kColCode, 3).isEmpty());
    EXPECT_TRUE(table.cell(kColTime, 3).isEmpty());
}

TEST(ResultsTable, NamedRowsResultsAndClearing) {
    ResultsTable table(kEditionBasket);
    EXPECT_FALSE(table.hasNamedAthlete());
    EXPECT_FALSE(table.hasUnexportedResults());
    // Results without a name do not make a named athlete.
    table.setCell(kColPeriods, 2, QStringLiteral("3"));
    EXPECT_FALSE(table.hasNamedAthlete());
    EXPECT_TRUE(table.hasUnexportedResults());
    table.setCell(kColName, 12, QStringLiteral("Zoe"));
    EXPECT_TRUE(table.hasNamedAthlete());

    for (int column = 0; column < 8; ++column)
        table.setCell(column, 5, QStringLiteral("v%1").arg(column));
    table.clearResultColumns();
    EXPECT_EQ(table.cell(kColNumber, 5), QStringLiteral("v0"));
    EXPECT_EQ(table.cell(kColName, 5), QStringLiteral("v1"));
    EXPECT_EQ(table.cell(kColCode, 5), QStringLiteral("v2"));
    for (int column = kColTime; column <= kColVo2max; ++column)
        EXPECT_TRUE(table.cell(column, 5).isEmpty()) << column;
    EXPECT_FALSE(table.hasUnexportedResults());

    table.clearAll();
    for (int row = 1; row <= 12; ++row) {
        for (int column = 0; column < 8; ++column)
            EXPECT_TRUE(table.cell(column, row).isEmpty());
    }
    EXPECT_FALSE(table.hasNamedAthlete());
    table.setResultsExported(5);
    EXPECT_EQ(table.resultsExported(), 1);
}

TEST(CellText, WhatATypedCellAccepts) {
    // Accented names and every character of the code page are welcome.
    EXPECT_TRUE(isAcceptableCellText(kColName, QStringLiteral("Begoña")));
    EXPECT_TRUE(isAcceptableCellText(kColName, QStringLiteral("Íñigo Núñez")));
    EXPECT_TRUE(isAcceptableCellText(kColName, QStringLiteral("Zoë O'Brien-Ça €")));
    EXPECT_TRUE(isAcceptableCellText(kColCode, QStringLiteral("º#ª")));
    EXPECT_TRUE(isAcceptableCellText(kColName, QString()));
    // The separator, in names and codes alike.
    EXPECT_FALSE(isAcceptableCellText(kColName, QStringLiteral("Ana;")));
    EXPECT_FALSE(isAcceptableCellText(kColCode, QStringLiteral("A;1")));
    // Control characters, although the code page has bytes for them.
    EXPECT_FALSE(isAcceptableCellText(kColName, QStringLiteral("Ana\tLuis")));
    EXPECT_FALSE(isAcceptableCellText(kColName, QStringLiteral("Ana\r\n")));
    EXPECT_FALSE(isAcceptableCellText(kColName, QString(QChar(0x7F))));
    EXPECT_FALSE(isAcceptableCellText(kColName, QString(QChar(0x85))));
    // Characters the code page cannot hold.
    EXPECT_FALSE(isAcceptableCellText(kColName, QStringLiteral("Łukasz")));
    EXPECT_FALSE(isAcceptableCellText(kColName, QStringLiteral("Ω")));
    EXPECT_FALSE(isAcceptableCellText(kColName, QStringLiteral("Ana 😀")));
    EXPECT_FALSE(isAcceptableCellText(kColName, QString(QChar(0xD83D))));  // a lone surrogate
    // Lengths: 20 for names, 5 for codes.
    EXPECT_TRUE(isAcceptableCellText(kColName, QString(20, QLatin1Char('a'))));
    EXPECT_FALSE(isAcceptableCellText(kColName, QString(21, QLatin1Char('a'))));
    EXPECT_TRUE(isAcceptableCellText(kColCode, QStringLiteral("ñññññ")));
    EXPECT_FALSE(isAcceptableCellText(kColCode, QStringLiteral("123456")));
    // Nobody types into the other columns.
    EXPECT_FALSE(isAcceptableCellText(kColTime, QStringLiteral("12:00")));
    EXPECT_FALSE(isAcceptableCellText(kColNumber, QString()));
}

TEST(CellText, FilteringTypedAndPastedText) {
    EXPECT_EQ(filterCellInput(kColName, QString(), QStringLiteral("Ana;Luis\tGil\n")),
              QStringLiteral("AnaLuisGil"));
    EXPECT_EQ(filterCellInput(kColName, QString(), QStringLiteral("Łucja 😀 Pérez")),
              QStringLiteral("ucja  Pérez"));
    // A decomposed "ñ" (n + combining tilde) is composed and kept.
    EXPECT_EQ(filterCellInput(kColName, QString(), QStringLiteral("Begon\u0303a")), QStringLiteral("Begoña"));
    // The limit counts what the cell keeps; refused characters take no room.
    EXPECT_EQ(filterCellInput(kColName, QString(18, QLatin1Char('x')), QStringLiteral(";;ab;cd")),
              QStringLiteral("ab"));
    EXPECT_EQ(filterCellInput(kColName, QString(20, QLatin1Char('x')), QStringLiteral("a")), QString());
    EXPECT_EQ(filterCellInput(kColCode, QStringLiteral("AB"), QStringLiteral("1;2\t34")),
              QStringLiteral("123"));
    EXPECT_EQ(filterCellInput(kColDistance, QString(), QStringLiteral("100")), QString());
    // Whatever it returns is acceptable.
    const QString kept = filterCellInput(kColName, QStringLiteral("Ana "), QStringLiteral("😀Ñ\u0085é;ÿ€Ω…"));
    EXPECT_EQ(kept, QStringLiteral("Ñéÿ€…"));
    EXPECT_TRUE(isAcceptableCellText(kColName, QStringLiteral("Ana ") + kept));
}

TEST(ResultsGeometry, ColumnWidthsAndFrame) {
    // Zevez, W = 222: base 219 → 10, 17, 28 each; the name takes the rest.
    EXPECT_EQ(columnWidths(kEditionZevez, 222), (QList<int>{10, 83, 17, 28, 28, 28, 28}));
    EXPECT_EQ(frameSize(kEditionZevez, 12, 222), QSize(230, 273));
    EXPECT_EQ(gridSize(kEditionZevez, 12, 222), QSize(229, 272));
    // Basket, W = 300: base 297 → 8, 14, 38 each; the name gets the rest less 5.
    EXPECT_EQ(columnWidths(kEditionBasket, 300), (QList<int>{8, 83, 14, 38, 38, 38, 38, 38}));
    EXPECT_EQ(frameSize(kEditionBasket, 12, 300), QSize(323, 273));
    // Fourteen rows.
    EXPECT_EQ(frameSize(kEditionFutSal, 14, 250), QSize(258, 313));
    // The grid always fits its frame at (1, 1).
    for (int edition = 0; edition < kEditionCount; ++edition) {
        const int rows = editionRecord(edition).stationsPerLap;
        for (int width : {150, 222, 251, 400}) {
            const QSize frame = frameSize(edition, rows, width);
            const QSize grid = gridSize(edition, rows, width);
            EXPECT_LE(grid.width() + 1, frame.width()) << edition << " " << width;
            EXPECT_EQ(grid.height() + 1, frame.height()) << edition;
        }
    }
}
