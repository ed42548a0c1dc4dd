#pragma once

#include <QList>
#include <QSize>

namespace norak {

// Sizes of the results grid and of its frame, from the table width W in pixels.

inline constexpr int kTitleRowHeight = 31;
inline constexpr int kDataRowHeight = 19;
inline constexpr int kGridLineWidth = 1;

// Number of columns of the results table: 8 in the Basket edition, 7 in the others.
int resultsColumnCount(int edition);

// Width of every column (without grid lines), all divisions truncating.
QList<int> columnWidths(int edition, int tableWidth);

// Width and height of the frame `PanelReg_SJp` around the grid.
int frameWidth(int edition, int tableWidth);
int frameHeight(int stationsPerLap);
QSize frameSize(int edition, int stationsPerLap, int tableWidth);

// The grid itself: its columns and rows with their 1-pixel lines.
QSize gridSize(int edition, int stationsPerLap, int tableWidth);

}  // namespace norak
