#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QHeaderView>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "results/CellText.h"
#include "results/ResultsGeometry.h"
#include "results/ResultsTable.h"
#include "shell/AthleteButton.h"
#include "shell/MainGeometry.h"
#include "shell/ResultsGrid.h"
#include "shell/ResultsLooks.h"
#include "shell/ResultsPanel.h"
#include "shell/TestFut1.h"

using namespace norak;
using namespace norak::results_looks;

// In the fixed window, with the program's own fonts, every column title and the longest value
// the program writes or the operator can type is seen whole, without a hint on hover.
namespace {

// The widest values of each column: the athlete numbers, a name of the longest length in letters
// of ordinary width, a code of the longest length, and the longest results of a test.
QStringList longestValues(int column, int athletes) {
    switch (column) {
        case kColNumber:
            return {QString::number(athletes)};
        case kColName:
            return {QStringLiteral("María Fernández Ruiz"), QStringLiteral("Juan Pablo Gutiérrez")};
        case kColCode:
            return {QStringLiteral("V0123"), QStringLiteral("MZ-88")};
        case kColTime:
            return {QStringLiteral("61:05"), QStringLiteral("40:00")};
        case kColPeriods:
            return {QStringLiteral("25"), QStringLiteral("30")};
        case kColDistance:
            return {QStringLiteral("1473"), QStringLiteral("4419")};
        case kColSpeed:
            return {QStringLiteral("18,6"), QStringLiteral("21,6")};
        default:
            return {QStringLiteral("41,595")};
    }
}

}  // namespace

TEST(ResultsTableFit, EveryTitleAndLongestValueIsSeenWhole) {
    for (int edition : {kEditionProbst, kEditionFutbol, kEditionBasket, kEditionFutSal, kEditionZevez}) {
        FakePlatform fakes;
        TForm1 form(edition, fakes.platform());
        const EditionRecord& e = form.session().edition();
        SCOPED_TRACE(e.editionTitle.toStdString());
        const QHeaderView* header = form.resultsPanel()->grid()->horizontalHeader();
        const int columns = resultsColumnCount(edition);
        ASSERT_EQ(header->count(), columns);
        for (int column = 0; column < columns; ++column) {
            // A column's section includes its grid line; titles keep a pixel clear at each side.
            const int cellWidth = header->sectionSize(column) - 1;
            const QString title = ResultsTable::columnTitle(column);
            const QRect titleRect = QFontMetrics(titleFont(column, cellWidth))
                                        .boundingRect(QRect(0, 0, cellWidth - 2, 1000),
                                                      Qt::AlignCenter | Qt::TextWordWrap, title);
            EXPECT_LE(titleRect.width(), cellWidth - 2) << title.toStdString();
            EXPECT_LE(titleRect.height(), kTitleRowHeight) << title.toStdString();

            // Where a column is too narrow at the program's fonts, its face is condensed, never
            // made smaller, and keeps well over half the narrow face's width.
            EXPECT_EQ(titleFont(column, cellWidth).pixelSize(), titleFont(column).pixelSize());
            EXPECT_EQ(cellFont(column, cellWidth).pixelSize(), cellFont().pixelSize());
            const int stretch = cellFont(column, cellWidth).stretch();
            EXPECT_TRUE(stretch == QFont::AnyStretch || stretch >= 45) << stretch;
            const QFontMetrics cells(cellFont(column, cellWidth));
            for (const QString& value : longestValues(column, e.stationsPerLap))
                EXPECT_LE(cells.horizontalAdvance(value), cellWidth - 2)
                    << value.toStdString() << " in " << cellWidth;
        }
    }
}

// Beside the readable table, the athlete buttons are the test master's targets during a run: at
// least 18 pixels wide, inside the panel, and the panel inside the column beside the course.
TEST(ResultsTableFit, AthleteButtonsAreWideTargetsBesideTheTable) {
    for (int edition : {kEditionProbst, kEditionBasket, kEditionZevez}) {
        FakePlatform fakes;
        TForm1 form(edition, fakes.platform());
        SCOPED_TRACE(edition);
        const ResultsPanel* panel = form.resultsPanel();
        EXPECT_TRUE(geometry::kRightArea.contains(panel->geometry()));
        for (int i = 1; i <= form.edition().stationsPerLap; ++i) {
            const AthleteButton* button = panel->athleteButton(i);
            EXPECT_GE(button->width(), 18) << i;
            EXPECT_GE(button->x(), 0) << i;
            EXPECT_EQ(button->geometry().right() + 2, panel->frame()->x()) << i;
        }
    }
}
