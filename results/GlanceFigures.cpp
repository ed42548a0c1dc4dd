#include "results/GlanceFigures.h"

#include "results/AthleteRoster.h"
#include "results/CellText.h"
#include "results/ResultsTable.h"

namespace norak {

namespace {

const QString kNoValue = QStringLiteral("–");

}  // namespace

GlanceFigures GlanceFigures::of(const ResultsTable& table, const AthleteRoster& roster, Phase phase) {
    GlanceFigures f;
    f.phase = phase;
    f.rows = table.dataRowCount();
    int best = -1;
    for (int row = 1; row <= f.rows; ++row) {
        const bool recorded = !table.cell(kColPeriods, row).isEmpty();
        f.named += table.cell(kColName, row).isEmpty() ? 0 : 1;
        f.withResults += recorded ? 1 : 0;
        f.running += roster.isShown(row) ? 1 : 0;
        // In a timed test an athlete of this test carries its number; one whose button is hidden
        // again has its dropout in the row. Results of an earlier test count only between tests.
        const bool outOfThisTest = recorded && !roster.isShown(row) && !table.cell(kColNumber, row).isEmpty();
        f.out += phase == Phase::Timed && outOfThisTest ? 1 : 0;
        const bool counted = phase == Phase::Timed ? outOfThisTest : phase == Phase::BetweenTests && recorded;
        bool isNumber = false;
        const int metres = table.cell(kColDistance, row).trimmed().toInt(&isNumber);
        if (counted && isNumber && metres > best) {
            best = metres;
            f.bestDistance = table.cell(kColDistance, row).trimmed();
            f.bestSpeed = table.cell(kColSpeed, row).trimmed();
        }
    }
    return f;
}

GlanceTexts GlanceTexts::of(const GlanceFigures& f) {
    QString best = kNoValue;
    if (!f.bestDistance.isEmpty()) {
        best = f.bestDistance + QStringLiteral(" m");
        if (!f.bestSpeed.isEmpty())
            best += QStringLiteral(" · ") + f.bestSpeed + QStringLiteral(" Km/h");
    }
    const GlanceTexts::Display bestDisplay{QStringLiteral("Mejor distancia"), best};
    switch (f.phase) {
        case GlanceFigures::Phase::Timed:
            return {{{{QStringLiteral("En carrera"), QString::number(f.running)},
                      {QStringLiteral("Retirados"), QString::number(f.out)},
                      bestDisplay}}};
        case GlanceFigures::Phase::WarmUp:
            // Every named player warms up; the buttons come when the test proper begins.
            return {{{{QStringLiteral("Calentando"), QString::number(f.named)},
                      {QStringLiteral("Retirados"), QString::number(0)},
                      bestDisplay}}};
        default:
            return {{{{QStringLiteral("Con nombre"), QStringLiteral("%1 de %2").arg(f.named).arg(f.rows)},
                      {QStringLiteral("Resultados"), QString::number(f.withResults)},
                      bestDisplay}}};
    }
}

}  // namespace norak
