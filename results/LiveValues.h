#pragma once

#include <QChar>
#include <QString>

namespace norak {

// What a dropout copies into the athlete's row: the texts the live display shows at that moment
// and the facts needed to interpret them.
struct LiveValues {
    QString crono;        // EditCrono, "mm:ss"
    QString periodo;      // EditPeriodo, the current period as a decimal integer
    QString distancia;    // Panel_Distancia, whole metres
    QString velocidad;    // Velocidad, km/h with one decimal ("4,2")
    int startPeriod = 1;  // 1 in "Test completo", otherwise SpinEdit1's value
    int edition = 0;      // SportEdition
    QChar decimalSeparator = QLatin1Char(',');
};

}  // namespace norak
