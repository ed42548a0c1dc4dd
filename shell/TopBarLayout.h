#pragma once

#include <QRect>
#include <array>

namespace norak {

// The six tool buttons of the top bar, left to right.
enum TopBarButton : int {
    kTopBarSalir = 0,  // BitBtnSalir
    kTopBarNuevo,      // BitBtnNuevo
    kTopBarStart,      // BitBtnStart
    kTopBarStop,       // BitBtnStop
    kTopBarAyuda,      // BitBtnAyuda
    kTopBarGrupo,      // BitBtnGrupo
};
inline constexpr int kTopBarButtonCount = 6;
inline constexpr int kTopBarTop = 1;
inline constexpr int kTopBarHeight = 53;
inline constexpr int kTopBarFirstLeft = 1;

using TopBarGeometry = std::array<QRect, kTopBarButtonCount>;

// Bounds of the tool buttons for a client area `clientWidth` wide, indexed by TopBarButton:
// "Salir" takes a sixth of the width, the next four follow it one pixel apart with its width,
// and "A cerca de..." takes what is left up to one pixel before the right edge. For 826: lefts
// 1, 139, 277, 415, 553, 691; widths 137 × 5 and 134.
TopBarGeometry topBarLayout(int clientWidth);

}  // namespace norak
