#pragma once

#include <QString>

namespace norak {

// Columns of the results table.
inline constexpr int kColNumber = 0;    // "Nº"
inline constexpr int kColName = 1;      // "Sujeto"
inline constexpr int kColCode = 2;      // "Cod."
inline constexpr int kColTime = 3;      // "Tiempo (mm:ss)"
inline constexpr int kColPeriods = 4;   // "Periodos complet."
inline constexpr int kColDistance = 5;  // "Distancia (m)"
inline constexpr int kColSpeed = 6;     // "Vel. Máx. (Km/h)"
inline constexpr int kColVo2max = 7;    // "VO2max (ml/kg/min)", Basket only

inline constexpr int kNameMaxLength = 20;
inline constexpr int kCodeMaxLength = 5;

// True for the two columns the test master types into ("Sujeto" and "Cod.").
bool isUserEditableColumn(int column);

// Longest text of a user-editable column; 0 for the other columns.
int cellMaxLength(int column);

// True when a single character may stand in a typed cell: it must have a place in Windows-1252,
// must not be a control character (tab, line break ...), and must not be the ";" that separates
// the exported fields.
bool isAcceptableCellCharacter(char32_t codePoint);

// True when the text may be the content of a user-editable cell: acceptable characters only and
// not longer than the column's limit. Always false for the other columns.
bool isAcceptableCellText(int column, const QString& text);

// The part of `typed` (keys, a paste, an input method's commit) that may be added to a cell that
// will keep `existing`: composed to NFC (so that "n" + combining tilde becomes "ñ"), refused
// characters dropped, and cut so that existing + result stays within the column's limit.
QString filterCellInput(int column, const QString& existing, const QString& typed);

}  // namespace norak
