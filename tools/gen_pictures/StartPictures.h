#pragma once

#include <QImage>

namespace norak::art {

enum class StartScene { Volleyball, Football, Futsal };

// The start panel's picture (826 x 592): a player running past a cone on the sport's ground.
// The band where the title is written (around y = 150..270) is kept light and quiet.
QImage startPicture(StartScene scene);

}  // namespace norak::art
