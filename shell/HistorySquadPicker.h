#pragma once

#include <QDialog>
#include <QList>

#include "history/HistoryDatabase.h"
#include "results/SquadFile.h"

class QPushButton;
class QTableWidget;

namespace norak {

// "Cargar" → "Desde una prueba del historial…": the past tests of the edition, newest first;
// the one chosen gives its players as the squad, each in the row they ran in, under the name and
// code the history has for them now (a player renamed or merged since comes as they are now).
class HistorySquadPicker : public QDialog {
    Q_OBJECT

  public:
    HistorySquadPicker(const HistoryDatabase& db, int edition, QWidget* parent = nullptr);

    QTableWidget* testList() const { return m_tests; }
    QPushButton* loadButton() const { return m_load; }
    bool isEmpty() const { return m_testRows.isEmpty(); }
    // The squad of the selected test; empty when none is selected.
    QList<SquadRow> selectedSquad() const;

  private:
    const HistoryDatabase& m_db;
    QList<TestSummary> m_testRows;
    QTableWidget* m_tests = nullptr;
    QPushButton* m_load = nullptr;
};

}  // namespace norak
