#include "shell/CellTextValidator.h"

#include <algorithm>

#include "results/CellText.h"

namespace norak {

CellTextValidator::CellTextValidator(int column, QObject* parent) : QValidator(parent), m_column(column) {}

QValidator::State CellTextValidator::validate(QString& input, int& pos) const {
    if (isAcceptableCellText(m_column, input))
        return Acceptable;
    // Drop refused characters (a surrogate pair counts as one character), keeping the cursor
    // after the same accepted characters, then cut to the limit.
    QString kept;
    int keptPos = 0;
    for (qsizetype i = 0; i < input.size();) {
        const bool pair = input[i].isHighSurrogate() && i + 1 < input.size() && input[i + 1].isLowSurrogate();
        const qsizetype units = pair ? 2 : 1;
        const char32_t point = pair ? QChar::surrogateToUcs4(input[i], input[i + 1]) : input[i].unicode();
        if (!input[i].isSurrogate() || pair) {
            if (isAcceptableCellCharacter(point))
                kept += input.mid(i, units);
        }
        i += units;
        if (i <= pos)
            keptPos = static_cast<int>(kept.size());
    }
    kept.truncate(cellMaxLength(m_column));
    input = kept;
    pos = std::min(keptPos, static_cast<int>(kept.size()));
    return isAcceptableCellText(m_column, input) ? Acceptable : Invalid;
}

void CellTextValidator::fixup(QString& input) const {
    int pos = static_cast<int>(input.size());
    validate(input, pos);
}

}  // namespace norak
