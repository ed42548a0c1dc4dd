#pragma once

#include <QFont>
#include <QString>

namespace norak {

// The windows ask for the classic Windows faces by name ("Arial", "Arial Black",
// "MS Sans Serif"). Maps them once to the metric-compatible faces of this system
// (Liberation Sans, then DejaVu Sans). Safe to call more than once.
void installFontSubstitutions();

// A font of the given face at a size in pixels. "Arial Black" is the heavy weight of the
// Arial face, so it comes out heavy even where only the substitute exists.
QFont pixelFont(const QString& family, int pixelSize, bool bold = false, bool italic = false);

}  // namespace norak
