#pragma once

#include <QStyledItemDelegate>
#include <functional>

namespace norak {

// Draws the cells of the results grid in their column's colors (the selection in the highlight
// color), centred, leaving a 1-pixel black line right and below each cell; gives the "Sujeto"
// and "Cod." cells their filtering editor, whose every change goes straight into the table.
class ResultsCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // A row's warnings as the name cell shows them: how many, and whether any still counts.
    struct WarningMark {
        int count = 0;
        bool counting = false;
    };
    // Where the marks come from (row 1 ... N); none: no mark is drawn.
    void setWarningMarks(std::function<WarningMark(int row)> marks) { m_marks = std::move(marks); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

  private:
    std::function<WarningMark(int row)> m_marks;
};

}  // namespace norak
