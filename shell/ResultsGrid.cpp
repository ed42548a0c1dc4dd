#include "shell/ResultsGrid.h"

#include <QHeaderView>

#include "results/CellText.h"
#include "results/ResultsGeometry.h"
#include "results/ResultsTable.h"
#include "shell/ResultsCellDelegate.h"
#include "shell/ResultsHeaderView.h"
#include "shell/ResultsLooks.h"

namespace norak {

namespace {

constexpr QAbstractItemView::EditTriggers kCellEditingTriggers =
    QAbstractItemView::CurrentChanged | QAbstractItemView::DoubleClicked |
    QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed;

}  // namespace

ResultsGrid::ResultsGrid(ResultsTable& table, const QList<int>& columnWidths, QWidget* parent)
    : QTableView(parent), m_table(table) {
    setObjectName(QStringLiteral("HyperGrid_Sujetos"));
    setHorizontalHeader(new ResultsHeaderView(this));
    setItemDelegate(new ResultsCellDelegate(this));
    setModel(&table);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kDataRowHeight + kGridLineWidth);
    for (int column = 0; column < columnWidths.size(); ++column)
        horizontalHeader()->resizeSection(column, columnWidths[column] + kGridLineWidth);

    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setShowGrid(false);  // the delegate leaves the black lines between the cells
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    QPalette colors = palette();
    colors.setColor(QPalette::Base, Qt::black);
    colors.setColor(QPalette::Window, Qt::black);
    colors.setColor(QPalette::Highlight, results_looks::kHighlight);
    colors.setColor(QPalette::HighlightedText, Qt::white);
    setPalette(colors);

    // At creation: row-selection mode, and the Tab key moves within the grid.
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(true);
    setCurrentIndex(table.index(table.currentRow() - 1, table.currentColumn()));

    connect(&table, &ResultsTable::currentRowChanged, this, &ResultsGrid::showTableCurrentRow);
    connect(this, &QAbstractItemView::clicked, this, &ResultsGrid::HyperGrid_SujetosClick);
    connect(this, &QAbstractItemView::doubleClicked, this, &ResultsGrid::HyperGrid_SujetosDblClick);
}

void ResultsGrid::setWarningMarks(std::function<ResultsCellDelegate::WarningMark(int row)> marks) {
    static_cast<ResultsCellDelegate*>(itemDelegate())->setWarningMarks(std::move(marks));
    viewport()->update();
}

int ResultsGrid::currentColumn() const {
    return currentIndex().isValid() ? currentIndex().column() : 0;
}

void ResultsGrid::closeOpenEditor() {
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void ResultsGrid::setRowSelectionMode() {
    closeOpenEditor();
    m_rowSelectionMode = true;
    setTabKeyNavigation(false);  // once the mode has been set, Tab leaves the grid
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    if (currentIndex().isValid())
        selectionModel()->select(currentIndex(),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ResultsGrid::setCellEditingMode() {
    m_rowSelectionMode = false;
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(kCellEditingTriggers);
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    if (isUserEditableColumn(current.column()) && state() != QAbstractItemView::EditingState)
        edit(current);
}

void ResultsGrid::HyperGrid_SujetosClick() {
    const int column = currentColumn();
    if (column == kColVo2max)
        return;
    if (isUserEditableColumn(column))
        setCellEditingMode();
    else
        setRowSelectionMode();
}

void ResultsGrid::HyperGrid_SujetosDblClick() {
    setCellEditingMode();
}

void ResultsGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!current.isValid())
        return;
    m_table.setCurrentColumn(current.column());
    m_table.setCurrentRow(current.row() + 1);
}

void ResultsGrid::showTableCurrentRow(int row) {
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() == row - 1)
        return;
    setCurrentIndex(m_table.index(row - 1, current.isValid() ? current.column() : 0));
}

}  // namespace norak
