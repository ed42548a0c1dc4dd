#include "results/ResultsGeometry.h"

#include <numeric>

#include "engine/Edition.h"

namespace norak {

int resultsColumnCount(int edition) {
    return edition == kEditionBasket ? 8 : 7;
}

QList<int> columnWidths(int edition, int tableWidth) {
    const int base = tableWidth - 3;
    QList<int> widths;
    if (edition == kEditionBasket) {
        const int result = base * 13 / 100;
        widths = {base * 3 / 100, 0, base * 5 / 100, result, result, result, result, result};
        widths[1] = tableWidth - std::accumulate(widths.begin(), widths.end(), 0) - 5;
    } else {
        const int result = base * 13 / 100;
        widths = {base * 5 / 100, 0, base * 8 / 100, result, result, result, result};
        widths[1] = tableWidth - std::accumulate(widths.begin(), widths.end(), 0);
    }
    return widths;
}

int frameWidth(int edition, int tableWidth) {
    const QList<int> widths = columnWidths(edition, tableWidth);
    const int sum = std::accumulate(widths.begin(), widths.end(), 0);
    return sum + (edition == kEditionBasket ? 28 : 8);
}

int frameHeight(int stationsPerLap) {
    return kTitleRowHeight + (stationsPerLap + 1) * 20 - 18;
}

QSize frameSize(int edition, int stationsPerLap, int tableWidth) {
    return {frameWidth(edition, tableWidth), frameHeight(stationsPerLap)};
}

QSize gridSize(int edition, int stationsPerLap, int tableWidth) {
    const QList<int> widths = columnWidths(edition, tableWidth);
    const int width =
        std::accumulate(widths.begin(), widths.end(), 0) + static_cast<int>(widths.size()) * kGridLineWidth;
    const int height = kTitleRowHeight + kGridLineWidth + stationsPerLap * (kDataRowHeight + kGridLineWidth);
    return {width, height};
}

}  // namespace norak
