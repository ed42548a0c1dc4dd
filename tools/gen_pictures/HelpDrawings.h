#pragma once

#include "Courses.h"

#include <QImage>

namespace norak::art {

// The help panel's drawing of a course: numbered cones, running lines and distances in metres
// (290 x 480; the basketball one 290 x 484).
QImage helpDrawing(Sport sport);

}  // namespace norak::art
