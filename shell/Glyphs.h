#pragma once

#include <QColor>
#include <QPixmap>
#include <QRectF>
#include <functional>

class QPainter;

#include "engine/Edition.h"

namespace norak {

// The pictures of the window's buttons. Each is drawn in two colors: color 0 for outlines and
// solid shapes, color 1 for fills and the symbol inside them; the rest stays transparent.
enum class Glyph {
    Exit,      // "Salir": an open door with an arrow leaving it
    NewSheet,  // "Nuevo Test": a sheet with a folded corner and ruled lines
    Play,      // "Iniciar prueba": a disc with a play triangle
    Stop,      // "Fin de la prueba": a disc with a stop square
    Help,      // "Ayuda": a disc with a question mark
    Info,      // "A cerca de..." and the start panel's about button: a disc with an "i"
    Start,     // "&Empezar...": a bold arrow pointing right
    Close,     // " Cerrar ventana": a disc with a cross
    History,   // "Historial": three rising bars on a pair of axes
};

inline constexpr int kGlyphSize = 32;

// Paints `glyph` into `rect` (a square is best; other shapes are letterboxed), antialiased.
// A disabled glyph is painted in greys of the same lightness.
void paintGlyph(QPainter& painter, const QRectF& rect, Glyph glyph, const QColor& color0,
                const QColor& color1, bool enabled = true);

// A painter callable for buttons that draw their glyph themselves with their two glyph colors
// (the signature of FlatButton::GlyphPainter).
std::function<void(QPainter&, const QRect&, const QColor&, const QColor&, bool)> glyphPainter(Glyph glyph);

// Draws `glyph` on a transparent square pixmap of `size` logical pixels, antialiased.
QPixmap drawGlyph(Glyph glyph, const QColor& color0, const QColor& color1, int size = kGlyphSize,
                  qreal devicePixelRatio = 1.0);

// The glyph in an edition's tool-button colors: color 0 the dark, color 1 the light edition color.
QPixmap editionGlyph(Glyph glyph, const EditionRecord& edition, int size = kGlyphSize,
                     qreal devicePixelRatio = 1.0);

}  // namespace norak
