#pragma once

#include "Courses.h"

#include <QImage>

namespace norak::art {

// Course picture `role` (1..5; the volleyball course has 1..3) of a course panel, 332 x 489:
// 1 the course as a dotted loop and the runner beside station 1, 2 arrows in station order,
// 3 the cones and the runner, 4 arrows against station order, 5 the cones and the runner
// turned the other way.
QImage coursePicture(Sport sport, int role);

}  // namespace norak::art
