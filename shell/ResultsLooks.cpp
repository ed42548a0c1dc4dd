#include "shell/ResultsLooks.h"

#include "results/CellText.h"
#include "shell/controls/Fonts.h"

namespace norak::results_looks {

namespace {

constexpr QColor kSilver{192, 192, 192};
constexpr QColor kGray{128, 128, 128};

}  // namespace

QColor titleTextColor(int column) {
    return column == kColName || column == kColCode ? QColor(Qt::white) : kSilver;
}

QFont titleFont(int column) {
    // Condensed, so that each result column's title reads whole on its two lines (in bold) and
    // the short titles of the narrow columns fit theirs.
    const bool twoLines = column != kColNumber && column != kColName && column != kColCode;
    const int size = column == kColNumber ? 12 : column == kColCode ? 10 : 11;
    return pixelFont(QStringLiteral("Arial Narrow"), size, twoLines);
}

QColor cellBackground(int column) {
    return column == kColNumber || column == kColVo2max ? kGray : kSilver;
}

QColor cellTextColor(int column) {
    switch (column) {
        case kColNumber:
            return kSilver;
        case kColName:
            return QColor(Qt::black);
        case kColCode:
            return kGray;
        case kColTime:
            return QColor(0, 128, 128);  // teal
        case kColPeriods:
            return QColor(0, 0, 128);  // navy
        case kColDistance:
            return QColor(128, 0, 0);  // maroon
        case kColSpeed:
            return QColor(0, 128, 0);  // green
        default:
            return QColor(0, 255, 0);  // lime
    }
}

QFont cellFont() {
    // Condensed: a five-character code and a long name fit their columns at a size that can be
    // read from a step or two away.
    return pixelFont(QStringLiteral("Arial Narrow"), 12);
}

}  // namespace norak::results_looks
