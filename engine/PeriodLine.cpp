#include "engine/PeriodLine.h"

namespace norak {

std::optional<int> parsePeriodLine(QStringView line) {
    const QStringView text = line.trimmed();
    // Digits one by one: the number reader would also take a sign ("+500"), which no table line
    // holds. Nine digits at most keep the sum within an int (a leg has five at most).
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value < kMinLegMs || value > kMaxLegMs)
        return std::nullopt;
    return value;
}

}  // namespace norak
