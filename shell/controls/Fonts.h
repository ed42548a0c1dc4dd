#pragma once

#include <QFont>
#include <QString>

namespace norak {

// The windows ask for the classic Windows faces by name ("Arial", "Arial Black", "Arial Narrow",
// "MS Sans Serif"). The program carries its own faces for them (Liberation Sans and Liberation
// Sans Narrow, metric-compatible with Arial and Arial Narrow; DejaVu Sans for "MS Sans Serif" and,
// in bold, for the heavy "Arial Black"), so that its look never depends on the fonts of the
// machine. Registers them, maps the classic names to them and makes DejaVu Sans the default face
// of the widgets that set none. Needs the application object; safe to call more than once.
void installFontSubstitutions();

// The embedded face that stands for a classic face name; other names are kept.
QString embeddedFamily(const QString& family);

// A font of the given face at a size in pixels, drawn with the embedded face. "Arial Black" is
// the heavy weight of its face, so it comes out heavy whatever the face.
QFont pixelFont(const QString& family, int pixelSize, bool bold = false, bool italic = false);

}  // namespace norak
