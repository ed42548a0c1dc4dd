#include "shell/TopBarLayout.h"

namespace norak {

TopBarGeometry topBarLayout(int clientWidth) {
    TopBarGeometry bar;
    const int width = (clientWidth - kTopBarHistorialWidth - 1) / 6;
    int left = kTopBarFirstLeft;
    for (const TopBarButton button : kTopBarOrder) {
        const int w = button == kTopBarHistorial ? kTopBarHistorialWidth
                      : button == kTopBarGrupo   ? clientWidth - left - 1
                                                 : width;
        bar[std::size_t(button)] = QRect(left, kTopBarTop, w, kTopBarHeight);
        left += w + 1;
    }
    return bar;
}

}  // namespace norak
