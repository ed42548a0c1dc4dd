#pragma once

#include <QList>
#include <QTableView>

#include "shell/ResultsCellDelegate.h"

namespace norak {

class ResultsTable;

// The results grid `HyperGrid_Sujetos`: one title row and the table's data rows, in one of two
// modes. Row-selection mode selects and highlights whole rows and edits nothing; cell-editing
// mode selects single cells and opens the editor of a "Sujeto" or "Cod." cell as it becomes
// current. The grid and the table keep the same current row either way round.
class ResultsGrid : public QTableView {
    Q_OBJECT

  public:
    ResultsGrid(ResultsTable& table, const QList<int>& columnWidths, QWidget* parent = nullptr);

    bool isRowSelectionMode() const { return m_rowSelectionMode; }
    void setRowSelectionMode();
    void setCellEditingMode();
    // Current column of the grid (0 ... 7).
    int currentColumn() const;
    // The players' warnings drawn at the end of their name cells (see ResultsCellDelegate).
    void setWarningMarks(std::function<ResultsCellDelegate::WarningMark(int row)> marks);

    // After a click: the result and number columns select rows, the name and code columns edit;
    // a click in "VO2max (ml/kg/min)" leaves the mode as it is.
    void HyperGrid_SujetosClick();
    // After a double click: cell-editing mode, whatever the column.
    void HyperGrid_SujetosDblClick();

  protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

  private:
    void showTableCurrentRow(int row);
    void closeOpenEditor();

    ResultsTable& m_table;
    bool m_rowSelectionMode = true;
};

}  // namespace norak
