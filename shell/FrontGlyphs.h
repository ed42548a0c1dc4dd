#pragma once

#include <QColor>
#include <QPixmap>

namespace norak {

// Small glyphs of the front window's buttons, drawn at 16 × 16 (the close cross at 12 × 12).
QPixmap closeGlyph(const QColor& color);
QPixmap updateGlyph(const QColor& color0, const QColor& color1);
QPixmap bookGlyph(const QColor& color0, const QColor& color1);

}  // namespace norak
