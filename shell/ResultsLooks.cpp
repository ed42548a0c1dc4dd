#include "shell/ResultsLooks.h"

#include "results/CellText.h"

namespace norak::results_looks {

namespace {

constexpr QColor kSilver{192, 192, 192};
constexpr QColor kGray{128, 128, 128};

}  // namespace

QColor titleTextColor(int column) {
    return column == kColName || column == kColCode ? QColor(Qt::white) : kSilver;
}

QFont titleFont(int column) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(column == kColNumber ? 12 : column == kColVo2max ? 11 : 10);
    return font;
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
    QFont font;
    font.setFamilies(
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(12);
    return font;
}

}  // namespace norak::results_looks
