#include "results/ResultsTable.h"

#include "engine/Edition.h"
#include "results/CellText.h"
#include "results/ResultsGeometry.h"

namespace norak {

ResultsTable::ResultsTable(int edition, QObject* parent)
    : QAbstractTableModel(parent),
      m_edition(edition),
      m_columnCount(resultsColumnCount(edition)),
      m_rows(editionRecord(edition).stationsPerLap, QStringList(resultsColumnCount(edition), QString())) {}

bool ResultsTable::isBasket() const {
    return m_edition == kEditionBasket;
}

QString ResultsTable::columnTitle(int column) {
    switch (column) {
        case kColNumber:
            return QStringLiteral("Nº");
        case kColName:
            return QStringLiteral("Sujeto");
        case kColCode:
            return QStringLiteral("Cod.");
        case kColTime:
            return QStringLiteral("Tiempo (mm:ss)");
        case kColPeriods:
            return QStringLiteral("Periodos complet.");
        case kColDistance:
            return QStringLiteral("Distancia (m)");
        case kColSpeed:
            return QStringLiteral("Vel. Máx. (Km/h)");
        case kColVo2max:
            return QStringLiteral("VO2max (ml/kg/min)");
        default:
            return {};
    }
}

bool ResultsTable::contains(int column, int row) const {
    return column >= 0 && column < m_columnCount && row >= 1 && row <= dataRowCount();
}

QString ResultsTable::cell(int column, int row) const {
    return contains(column, row) ? m_rows[row - 1][column] : QString();
}

void ResultsTable::setCell(int column, int row, const QString& text) {
    if (!contains(column, row) || m_rows[row - 1][column] == text)
        return;
    m_rows[row - 1][column] = text;
    // The flag describes the table as it stands: a result written or erased after an export has
    // not been exported.
    if (column >= kColTime)
        m_resultsExported = 0;
    const QModelIndex changed = index(row - 1, column);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void ResultsTable::setCurrentRow(int row) {
    if (row < 1 || row > dataRowCount() || row == m_currentRow)
        return;
    m_currentRow = row;
    Q_EMIT currentRowChanged(row);
}

void ResultsTable::setCurrentColumn(int column) {
    if (column >= 0 && column < m_columnCount)
        m_currentColumn = column;
}

bool ResultsTable::hasNamedAthlete() const {
    for (const QStringList& row : m_rows) {
        if (!row[kColName].isEmpty())
            return true;
    }
    return false;
}

bool ResultsTable::hasUnexportedResults() const {
    for (const QStringList& row : m_rows) {
        if (!row[kColPeriods].isEmpty())
            return true;
    }
    return false;
}

void ResultsTable::clearColumns(int firstColumn) {
    bool erasedResult = false;
    for (QStringList& row : m_rows) {
        for (int column = firstColumn; column < m_columnCount; ++column) {
            erasedResult = erasedResult || (column >= kColTime && !row[column].isEmpty());
            row[column].clear();
        }
    }
    if (erasedResult)
        m_resultsExported = 0;
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, firstColumn), index(dataRowCount() - 1, m_columnCount - 1),
                           {Qt::DisplayRole, Qt::EditRole});
}

void ResultsTable::clearResultColumns() {
    clearColumns(kColTime);
}

void ResultsTable::clearAll() {
    clearColumns(kColNumber);
}

int ResultsTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : dataRowCount();
}

int ResultsTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columnCount;
}

QVariant ResultsTable::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return m_rows[index.row()][index.column()];
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        case Qt::ToolTipRole: {
            // The narrow columns cut their titles and longer values: the hint tells both.
            const QString& text = m_rows[index.row()][index.column()];
            if (text.isEmpty())
                return {};
            return columnTitle(index.column()) + QStringLiteral(": ") + text;
        }
        default:
            return {};
    }
}

QVariant ResultsTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section < m_columnCount) {
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return columnTitle(section);
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    }
    if (orientation == Qt::Vertical && role == Qt::DisplayRole && section >= 0 && section < dataRowCount())
        return section + 1;
    return {};
}

Qt::ItemFlags ResultsTable::flags(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (isUserEditableColumn(index.column()))
        result |= Qt::ItemIsEditable;
    return result;
}

bool ResultsTable::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    const QString text = value.toString();
    if (!isAcceptableCellText(index.column(), text))
        return false;
    setCell(index.column(), index.row() + 1, text);
    return true;
}

}  // namespace norak
