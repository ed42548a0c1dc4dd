#pragma once

#include <QChar>
#include <QString>

namespace norak {

// What a dropout copies into the athlete's row: the texts the live display shows at that moment
// and the facts needed to interpret them.
struct LiveValues {
    QString clockText;     // EditCrono, "mm:ss"
    QString periodText;    // EditPeriodo, the current period as a decimal integer
    QString distanceText;  // Panel_Distancia, whole metres
    QString speedText;     // Velocidad, km/h with one decimal ("4,2")
    int startPeriod = 1;   // 1 in "Test completo", otherwise the period chosen
    int edition = 0;       // SportEdition
    QChar decimalSeparator = QLatin1Char(',');
};

}  // namespace norak
