#pragma once

#include <QColor>

namespace norak {

// Near-black on light backgrounds, white on dark ones.
inline QColor textColorOn(const QColor& background) {
    return qGray(background.rgb()) > 150 ? QColor(0x20, 0x20, 0x20) : QColor(Qt::white);
}

}  // namespace norak
