#pragma once

#include <QColor>
#include <QPixmap>

namespace norak {

// Small glyphs of the front window's buttons, drawn at 16 × 16 (the close cross at 12 × 12).
QPixmap closeGlyph(const QColor& colour);
QPixmap updateGlyph(const QColor& colour0, const QColor& colour1);
QPixmap bookGlyph(const QColor& colour0, const QColor& colour1);

}  // namespace norak
