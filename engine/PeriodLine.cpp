#include "engine/PeriodLine.h"

namespace norak {

std::optional<int> parsePeriodLine(QStringView line) {
    const QStringView text = line.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int runTime = text.toInt(&ok);
    if (!ok || runTime <= 0)
        return std::nullopt;
    return runTime;
}

}  // namespace norak
