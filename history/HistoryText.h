#pragma once

#include <QString>
#include <optional>

namespace norak {

// The texts of the history (Spanish, as every text of the program).
inline const QString kHistoryCaption = QStringLiteral("Historial");

// A name as the history compares it: no case, no accents, blanks trimmed and collapsed.
QString playerNameKey(const QString& name);

// The numbers of the table's texts. Decimals are read with a comma or a point.
std::optional<int> secondsFromTimeText(const QString& text);  // "05:12" -> 312
std::optional<int> integerFromText(const QString& text);
std::optional<double> decimalFromText(const QString& text);
// A number with a decimal comma and at most `decimals` decimals, trailing zeros dropped.
QString decimalCommaText(double value, int decimals);

}  // namespace norak
