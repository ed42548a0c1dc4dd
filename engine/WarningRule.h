#pragma once

#include <QString>
#include <vector>

namespace norak {

// When warnings put a player out. A player who does not reach the cone at a signal is warned;
// the warnings of a series add up, and a series that reaches `outAfter` puts the player out.
// The published rules differ (out at the second consecutive miss, at the third, one miss
// allowed, recoveries that clear or not), hence the three choices; the default is the most
// common: out after two consecutive warnings, not cleared by the recovery.
struct WarningRule {
    static constexpr int kOnlyWarnings = 0;  // warnings are noted, never an automatic out
    static constexpr int kMostWarnings = 3;

    int outAfter = 2;                // 1 ... 3, or kOnlyWarnings
    bool consecutive = true;         // a warning lapses when the player completes a leg without one
    bool clearedByRecovery = false;  // a recovery begins a new series

    // A leg missed: its number among the test's legs (1 the first leg signal after Start) and how
    // many recoveries had begun by its signal.
    struct Miss {
        int leg = 0;
        int recoveries = 0;
    };

    // Whether a miss at `later` adds to the series whose last miss is `earlier`.
    bool continues(const Miss& earlier, const Miss& later) const;
    // Where the series that ends with the last of `misses` (in leg order) begins; 0 when empty.
    std::size_t seriesStart(const std::vector<Miss>& misses) const;
    // Whether a series of `length` warnings puts the player out.
    bool putsOut(int length) const { return outAfter != kOnlyWarnings && length >= outAfter; }
    // Whether a series whose last miss is `last` can still grow, now that the test has given
    // `latest` (its latest leg and the recoveries begun so far).
    bool stillCounts(const Miss& last, const Miss& latest) const;

    // The rule as the report prints it, e.g. "Retirada tras 2 avisos consecutivos; los avisos no
    // se borran en la recuperación".
    QString text() const;
    // A stored rule made valid: a count out of range becomes the default's.
    WarningRule normalized() const;

    bool operator==(const WarningRule&) const = default;
};

}  // namespace norak
