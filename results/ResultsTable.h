#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>

namespace norak {

// The results table: the players' names and codes and their results, the only store of either.
// Data rows are numbered 1 ... N (N = StationsPerLap) in the cell API, as athlete i is row i; the
// model rows of Qt's item views are 0-based (model row = data row - 1) and the title row is the
// horizontal header.
class ResultsTable : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit ResultsTable(int edition, QObject* parent = nullptr);

    int edition() const { return m_edition; }
    bool isBasket() const;
    // N, the number of data rows.
    int dataRowCount() const { return static_cast<int>(m_rows.size()); }

    // The title of a column, as shown in the title row.
    static QString columnTitle(int column);

    // Cell text of a column and a data row 1 ... N; empty outside the table.
    QString cell(int column, int row) const;
    // Writes a cell as the program does (numbers and results); outside the table nothing happens.
    // Typed text goes through setData, which refuses what the column does not accept.
    void setCell(int column, int row, const QString& text);

    // The current row (1 ... N) and column; setting the row makes the views select it.
    int currentRow() const { return m_currentRow; }
    void setCurrentRow(int row);
    int currentColumn() const { return m_currentColumn; }
    void setCurrentColumn(int column);

    // At least one data row has a name.
    bool hasNamedAthlete() const;
    // At least one data row has a "Periodos complet." value.
    bool hasUnexportedResults() const;
    // Empties column 3 up to the last of every data row; numbers, names and codes stay.
    void clearResultColumns();
    // Empties every cell of every data row.
    void clearAll();

    // ResultsExported: 1 after a successful export; 0 once a new test is prepared or a result is
    // written or erased after the export.
    int resultsExported() const { return m_resultsExported; }
    void setResultsExported(int value) { m_resultsExported = value != 0 ? 1 : 0; }

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  Q_SIGNALS:
    void currentRowChanged(int row);

  private:
    bool contains(int column, int row) const;
    void clearColumns(int firstColumn);

    int m_edition;
    int m_columnCount;
    QList<QStringList> m_rows;
    int m_currentRow = 1;
    int m_currentColumn = 0;
    int m_resultsExported = 0;
};

}  // namespace norak
