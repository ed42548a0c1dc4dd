#include "shell/ResultsLooks.h"

#include <QFontMetrics>
#include <QHash>
#include <QStringList>
#include <algorithm>

#include "results/CellText.h"
#include "results/ResultsGeometry.h"
#include "results/ResultsTable.h"
#include "shell/controls/Fonts.h"

namespace norak::results_looks {

namespace {

constexpr QColor kSilver{192, 192, 192};
constexpr QColor kGray{128, 128, 128};

// The widest texts a narrow column must show whole in its cells: the athlete numbers, and codes
// of five ordinary letters and digits. The other columns are wide enough at the cell font.
QStringList widestCellTexts(int column) {
    if (column == kColNumber)
        return {QStringLiteral("14")};
    if (column == kColCode)
        return {QStringLiteral("V0123"), QStringLiteral("MZ-88")};
    return {};
}

// `font`, or the same face narrowed just enough for `fits`: the letters keep their height, so the
// narrow columns read from a step away as well as their neighbours. Qt takes a stretch against the
// width class of the face (the narrow face is Condensed, 75). Worked out once per column and
// width, whether it needed narrowing or not: the cells are painted one by one, and measuring a
// text for each cell was a fifth of the grid's drawing.
template <typename Fits>
QFont condensedToFit(QFont font, int key, Fits fits) {
    static QHash<int, QFont> fitted;
    if (const auto found = fitted.constFind(key); found != fitted.constEnd())
        return *found;
    if (!fits(font)) {
        for (int stretch = QFont::Condensed; stretch > 40 && !fits(font); --stretch)
            font.setStretch(stretch);
    }
    fitted.insert(key, font);
    return font;
}

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

QFont titleFont(int column, int cellWidth) {
    // A pixel stays clear at each side; the title may take the title row's two lines.
    const QString title = ResultsTable::columnTitle(column);
    return condensedToFit(titleFont(column), column * 10000 + cellWidth, [&](const QFont& font) {
        const QRect used = QFontMetrics(font).boundingRect(QRect(0, 0, cellWidth - 2, 1000),
                                                           Qt::AlignCenter | Qt::TextWordWrap, title);
        return used.width() <= cellWidth - 2 && used.height() <= kTitleRowHeight;
    });
}

QFont cellFont(int column, int cellWidth) {
    // A pixel stays clear at each side, in the cell as in its editor.
    const QStringList texts = widestCellTexts(column);
    return condensedToFit(cellFont(), -(column * 10000 + cellWidth) - 1, [&](const QFont& font) {
        const QFontMetrics metrics(font);
        return std::all_of(texts.begin(), texts.end(), [&](const QString& text) {
            return metrics.horizontalAdvance(text) <= cellWidth - 2;
        });
    });
}

}  // namespace norak::results_looks
