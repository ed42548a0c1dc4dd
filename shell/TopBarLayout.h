#pragma once

#include <QRect>
#include <array>

namespace norak {

// The tool buttons of the top bar. Left to right they stand Salir, Nuevo, Start, Stop, Historial,
// Ayuda, A cerca de...; "Historial" came last, so its index is the last.
enum TopBarButton : int {
    kTopBarSalir = 0,  // BitBtnSalir
    kTopBarNuevo,      // BitBtnNuevo
    kTopBarStart,      // BitBtnStart
    kTopBarStop,       // BitBtnStop
    kTopBarAyuda,      // BitBtnAyuda
    kTopBarGrupo,      // BitBtnGrupo
    kTopBarHistorial,  // BitBtnHistorial
};
inline constexpr int kTopBarButtonCount = 7;
inline constexpr int kTopBarTop = 1;
inline constexpr int kTopBarHeight = 53;
inline constexpr int kTopBarFirstLeft = 1;
// "Historial" has the shortest caption but one; the six others share the rest of the width, so
// that "Fin de la prueba" still fits its button in the widest fallback font (DejaVu Sans: 121 px).
inline constexpr int kTopBarHistorialWidth = 80;
// The buttons by their place, left to right.
inline constexpr std::array<TopBarButton, kTopBarButtonCount> kTopBarOrder = {
    kTopBarSalir, kTopBarNuevo, kTopBarStart, kTopBarStop, kTopBarHistorial, kTopBarAyuda, kTopBarGrupo};

using TopBarGeometry = std::array<QRect, kTopBarButtonCount>;

// Bounds of the tool buttons for a client area `clientWidth` wide, indexed by TopBarButton, each
// one pixel after the one at its left: "Historial" is kTopBarHistorialWidth wide, "Salir" takes a
// sixth of the rest and the next four of the six take its width, and "A cerca de..." takes what
// is left up to one pixel before the right edge. For 826: lefts 1, 126, 251, 376, 501 (Historial,
// 80), 582, 707; widths 124 and 118 for the last.
TopBarGeometry topBarLayout(int clientWidth);

}  // namespace norak
