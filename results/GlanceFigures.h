#pragma once

#include <QString>
#include <array>

namespace norak {

class AthleteRoster;
class ResultsTable;

// What the test master takes in at a glance beside the results table, read from the table and
// the athlete slots: during a test how many players are still running, how many are out and the
// best distance recorded so far; between tests how many rows have a name and what the last test
// left in the table.
struct GlanceFigures {
    enum class Phase {
        BetweenTests,
        WarmUp,  // the warm-up and its recovery: no button is shown yet
        Timed,   // the test proper, from the activation of the athletes' buttons
    };

    Phase phase = Phase::BetweenTests;
    int rows = 0;         // N, the table's data rows
    int named = 0;        // rows with a name
    int running = 0;      // buttons shown
    int out = 0;          // Timed: athletes of this test whose dropout is recorded
    int withResults = 0;  // rows with a "Periodos complet." value
    // The longest distance among the recorded results counted (those of the athletes out in a
    // timed test, every row's between tests), as the table shows it, with the speed of the same
    // row; both empty when there is none.
    QString bestDistance;
    QString bestSpeed;

    static GlanceFigures of(const ResultsTable& table, const AthleteRoster& roster, Phase phase);

    bool operator==(const GlanceFigures&) const = default;
};

// The three displays of the glance area, each a caption and its value, in Spanish as the
// program's other texts ("255 m · 6,6 Km/h"; "–" where there is no value).
struct GlanceTexts {
    struct Display {
        QString caption;
        QString value;
    };
    std::array<Display, 3> displays;

    static GlanceTexts of(const GlanceFigures& figures);
};

}  // namespace norak
