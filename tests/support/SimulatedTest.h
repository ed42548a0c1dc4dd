#pragma once

#include <QList>
#include <QRandomGenerator>
#include <QString>

#include "engine/Edition.h"
#include "results/CellText.h"
#include "results/Journal.h"
#include "results/ResultsGeometry.h"

namespace norak {

// The states of the journal through a made-up test, the same for every process that replays it
// from the same seed: names and codes typed in, Start, dropouts written row by row, Stop, an
// export, and more of the same over the same table. State 0 is the empty table; each step()
// makes one change.
class SimulatedTest {
  public:
    explicit SimulatedTest(quint32 seed) : m_random(seed) {
        m_state.edition = kEditionZevez;
        m_state.cells = QList<QStringList>(editionRecord(kEditionZevez).stationsPerLap,
                                           QStringList(resultsColumnCount(kEditionZevez), QString()));
    }
    const JournalState& state() const { return m_state; }

    void step() {
        static const QStringList names = {
            "Begoña Ibáñez",   "Iñaki Olaño", "Zoë \"la rápida\"", "  ", "Ana; María",
            "José-Luis Ñúñez", "Łucja",       "€uro 2026"};
        ++m_step;
        QStringList& row = m_state.cells[m_random.bounded(int(m_state.cells.size()))];
        // A test begins with a name: a table with nothing in it keeps no journal.
        const int pick = m_state.isEmpty() ? 0 : m_random.bounded(100);
        if (pick < 30) {
            row[kColName] = names[m_random.bounded(int(names.size()))] + QString::number(m_step);
            row[kColNumber] = QString::number(m_step % 12 + 1);
        } else if (pick < 40) {
            row[kColCode] = QStringLiteral("V%1").arg(m_random.bounded(100), 2, 10, QLatin1Char('0'));
        } else if (pick < 85) {
            const int seconds = m_random.bounded(3600);
            row[kColTime] = QStringLiteral("%1:%2")
                                .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                                .arg(seconds % 60, 2, 10, QLatin1Char('0'));
            row[kColPeriods] = QString::number(m_random.bounded(1, 20));
            row[kColDistance] = QString::number(m_random.bounded(100, 3000));
            row[kColSpeed] = QStringLiteral("%1,%2").arg(m_random.bounded(8, 18)).arg(m_random.bounded(10));
            m_state.resultsExported = false;
        } else if (pick < 90) {
            m_state.running = true;
            m_state.mode = static_cast<TestMode>(m_random.bounded(3));
            m_state.startPeriod = m_random.bounded(1, 12);
            m_state.startSpeedText = QStringLiteral("8,%1").arg(m_random.bounded(10));
            m_state.startedAt = QDateTime(QDate(2026, 12, 8), QTime(17, 0).addMSecs(m_step * 1000 + 7));
            m_state.stoppedAt = QDateTime();
        } else if (pick < 95) {
            m_state.running = false;
            m_state.stoppedAt = QDateTime(QDate(2026, 12, 8), QTime(17, 30).addMSecs(m_step));
        } else {
            m_state.resultsExported = true;
        }
    }

  private:
    QRandomGenerator m_random;
    JournalState m_state;
    int m_step = 0;
};

// States 0 ... count of a simulated test.
inline QList<JournalState> simulatedStates(quint32 seed, int count) {
    SimulatedTest test(seed);
    QList<JournalState> states{test.state()};
    for (int n = 1; n <= count; ++n) {
        test.step();
        states.append(test.state());
    }
    return states;
}

}  // namespace norak
