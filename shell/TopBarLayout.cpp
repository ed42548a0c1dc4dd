#include "shell/TopBarLayout.h"

namespace norak {

TopBarGeometry topBarLayout(int clientWidth) {
    TopBarGeometry bar;
    bar[kTopBarSalir] = QRect(kTopBarFirstLeft, kTopBarTop, clientWidth / 6, kTopBarHeight);
    for (int i = kTopBarNuevo; i <= kTopBarAyuda; ++i) {
        const QRect& before = bar[std::size_t(i - 1)];
        bar[std::size_t(i)] =
            QRect(before.left() + before.width() + 1, kTopBarTop, before.width(), kTopBarHeight);
    }
    const QRect& ayuda = bar[kTopBarAyuda];
    const int grupoLeft = ayuda.left() + ayuda.width() + 1;
    bar[kTopBarGrupo] = QRect(grupoLeft, kTopBarTop, clientWidth - grupoLeft - 1, kTopBarHeight);
    return bar;
}

}  // namespace norak
