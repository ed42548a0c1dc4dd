#include "engine/WarningRule.h"

namespace norak {

bool WarningRule::continues(const Miss& earlier, const Miss& later) const {
    if (consecutive && later.leg != earlier.leg + 1)
        return false;
    return !clearedByRecovery || later.recoveries == earlier.recoveries;
}

std::size_t WarningRule::seriesStart(const std::vector<Miss>& misses) const {
    std::size_t start = 0;
    for (std::size_t i = 1; i < misses.size(); ++i) {
        if (!continues(misses[i - 1], misses[i]))
            start = i;
    }
    return start;
}

bool WarningRule::stillCounts(const Miss& last, const Miss& latest) const {
    // A miss at the leg after `last` (not yet pressed, or pressed late) still continues it.
    if (consecutive && latest.leg > last.leg + 1)
        return false;
    return !clearedByRecovery || latest.recoveries == last.recoveries;
}

QString WarningRule::text() const {
    QString out;
    if (outAfter == kOnlyWarnings) {
        out = QStringLiteral("Sólo avisos (sin retirada automática)");
    } else {
        out = QStringLiteral("Retirada tras %1 %2")
                  .arg(outAfter)
                  .arg(outAfter == 1 ? QStringLiteral("aviso") : QStringLiteral("avisos"));
        if (consecutive && outAfter > 1)
            out += QStringLiteral(" consecutivos");
    }
    out += clearedByRecovery ? QStringLiteral("; los avisos se borran en la recuperación")
                             : QStringLiteral("; los avisos no se borran en la recuperación");
    return out;
}

WarningRule WarningRule::normalized() const {
    WarningRule rule = *this;
    if (rule.outAfter < kOnlyWarnings || rule.outAfter > kMostWarnings)
        rule.outAfter = WarningRule{}.outAfter;
    return rule;
}

}  // namespace norak
