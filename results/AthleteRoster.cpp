#include "results/AthleteRoster.h"

#include "engine/Edition.h"
#include "results/CellText.h"
#include "results/ResultsTable.h"

namespace norak {

QString EstimateVO2max(const QString& distanceText, QChar decimalSeparator) {
    QString number = distanceText.trimmed();
    number.replace(decimalSeparator, QLatin1Char('.'));
    const double metres = number.toDouble();
    QString text = QString::number(metres * 0.013 + 2.5951, 'f', 3);
    text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}

AthleteRoster::AthleteRoster(ResultsTable& table, QObject* parent) : QObject(parent), m_table(table) {}

bool AthleteRoster::isShown(int athlete) const {
    return athlete >= 1 && athlete <= kButtonCount && m_shown[athlete - 1];
}

int AthleteRoster::shownCount() const {
    int count = 0;
    for (const bool shown : m_shown)
        count += shown ? 1 : 0;
    return count;
}

void AthleteRoster::setShown(int athlete, bool shown) {
    if (athlete < 1 || athlete > kButtonCount || m_shown[athlete - 1] == shown)
        return;
    m_shown[athlete - 1] = shown;
    Q_EMIT buttonVisibilityChanged(athlete, shown);
}

void AthleteRoster::activateAthleteButtons() {
    for (int i = 1; i <= kButtonCount; ++i) {
        // Rows beyond the table have no name, so their buttons stay hidden.
        const bool named = !m_table.cell(kColName, i).isEmpty();
        setShown(i, named);
        m_table.setCell(kColNumber, i, named ? QString::number(i) : QString());
    }
}

void AthleteRoster::dropout(int athlete, const LiveValues& values) {
    if (athlete < 1 || athlete > kButtonCount)
        return;
    setShown(athlete, false);
    m_table.setCell(kColTime, athlete, values.clockText);
    m_table.setCell(kColPeriods, athlete,
                    QString::number(values.periodText.trimmed().toInt() - values.startPeriod));
    m_table.setCell(kColDistance, athlete, values.distanceText);
    m_table.setCell(kColSpeed, athlete, values.speedText);
    if (values.edition == kEditionBasket)
        m_table.setCell(kColVo2max, athlete, EstimateVO2max(values.distanceText, values.decimalSeparator));
    m_table.setCurrentRow(athlete);
}

void AthleteRoster::recordRemainingAthletes(const LiveValues& values) {
    for (int i = 1; i <= kButtonCount; ++i) {
        if (isShown(i))
            dropout(i, values);
    }
}

bool AthleteRoster::canReactivate(int row, bool stopEnabled, int warmUpPhase) const {
    return !m_table.cell(kColName, row).isEmpty() && !m_table.cell(kColPeriods, row).isEmpty() &&
           stopEnabled && warmUpPhase == 0;
}

void AthleteRoster::reactivate(int row) {
    if (row < 1 || row > m_table.dataRowCount())
        return;
    m_table.setCell(kColNumber, row, QString::number(row));
    for (int column = kColTime; column <= kColSpeed; ++column)
        m_table.setCell(column, row, QString());
    if (m_table.isBasket())
        m_table.setCell(kColVo2max, row, QString());
    setShown(row, true);
}

void AthleteRoster::hideAll() {
    for (int i = 1; i <= kButtonCount; ++i)
        setShown(i, false);
}

}  // namespace norak
