#include "results/CellText.h"

#include <QChar>
#include <QList>

#include "results/Windows1252.h"

namespace norak {

bool isUserEditableColumn(int column) {
    return column == kColName || column == kColCode;
}

int cellMaxLength(int column) {
    switch (column) {
        case kColName:
            return kNameMaxLength;
        case kColCode:
            return kCodeMaxLength;
        default:
            return 0;
    }
}

bool isAcceptableCellCharacter(char32_t codePoint) {
    if (codePoint == U';')
        return false;
    if (QChar::category(codePoint) == QChar::Other_Control)
        return false;
    return isWindows1252Character(codePoint);
}

bool isAcceptableCellText(int column, const QString& text) {
    if (!isUserEditableColumn(column) || text.size() > cellMaxLength(column))
        return false;
    for (const uint point : text.toUcs4()) {
        if (!isAcceptableCellCharacter(point))
            return false;
    }
    return true;
}

QString filterCellInput(int column, const QString& existing, const QString& typed) {
    if (!isUserEditableColumn(column))
        return {};
    const qsizetype room = cellMaxLength(column) - existing.size();
    QString kept;
    // Every acceptable character is in the Basic Multilingual Plane, so one QChar each.
    for (const uint point : typed.normalized(QString::NormalizationForm_C).toUcs4()) {
        if (kept.size() >= room)
            break;
        if (isAcceptableCellCharacter(point))
            kept.append(QChar(static_cast<char16_t>(point)));
    }
    return kept;
}

}  // namespace norak
