#pragma once

#include <QStyledItemDelegate>

namespace norak {

// Draws the cells of the results grid in their column's colors (the selection in the highlight
// color), centred, leaving a 1-pixel black line right and below each cell; gives the "Sujeto"
// and "Cod." cells their filtering editor, whose every change goes straight into the table.
class ResultsCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
};

}  // namespace norak
