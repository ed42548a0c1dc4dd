#pragma once

#include <QImage>

namespace norak::art {

QImage makerLogo();            // 303 x 40
QImage funderLogo();           // 120 x 60
QImage programIcon(int size);  // square, the design of assets/icon/norak.svg

}  // namespace norak::art
