#pragma once

#include <QColor>

#include "engine/Edition.h"

namespace norak {

// An edition color as Qt draws it.
inline QColor qColor(const Rgb& rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

}  // namespace norak
