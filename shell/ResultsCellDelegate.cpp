#include "shell/ResultsCellDelegate.h"

#include <QPainter>
#include <algorithm>

#include "results/CellText.h"
#include "shell/CellLineEdit.h"
#include "shell/ResultsLooks.h"

namespace norak {

using namespace results_looks;

namespace {

QRect cellArea(const QRect& rect) {
    return rect.adjusted(0, 0, -1, -1);
}

// The warning sign of the row: a yellow triangle with a black outline and "!", then the count.
void paintWarningMark(QPainter* painter, const QRect& area, const ResultsCellDelegate::WarningMark& mark) {
    const QRect box(area.right() - kWarningMarkWidth, area.top(), kWarningMarkWidth, area.height());
    const int side = std::min(12, box.height() - 4);
    const int top = box.center().y() - side / 2;
    const QPolygon triangle({QPoint(box.left() + 2 + side / 2, top),
                             QPoint(box.left() + 2 + side, top + side), QPoint(box.left() + 2, top + side)});
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::black);
    painter->setBrush(mark.counting ? kWarningMark : kWarningMarkLapsed);
    painter->drawPolygon(triangle);
    QFont font = painter->font();
    font.setBold(true);
    font.setPixelSize(9);
    painter->setFont(font);
    painter->drawText(QRect(box.left() + 2, top + 2, side, side - 1), Qt::AlignCenter, QStringLiteral("!"));
    font.setPixelSize(11);
    painter->setFont(font);
    painter->drawText(QRect(box.left() + 4 + side, box.top(), box.width() - side - 4, box.height()),
                      Qt::AlignLeft | Qt::AlignVCenter, QString::number(mark.count));
}

}  // namespace

void ResultsCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const int column = index.column();
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QRect area = cellArea(option.rect);
    painter->save();
    painter->fillRect(option.rect, Qt::black);
    painter->fillRect(area, selected ? kHighlight : cellBackground(column));
    painter->setFont(cellFont(column, area.width()));
    painter->setPen(selected ? QColor(Qt::white) : cellTextColor(column));
    painter->drawText(area, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
    if (column == kColName && m_marks) {
        const WarningMark mark = m_marks(index.row() + 1);
        if (mark.count > 0)
            paintWarningMark(painter, area, mark);
    }
    painter->restore();
}

QWidget* ResultsCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    if (!isUserEditableColumn(index.column()))
        return nullptr;
    auto* editor = new CellLineEdit(index.column(), parent);
    editor->setFrame(false);
    editor->setAlignment(Qt::AlignCenter);
    editor->setFont(cellFont(index.column(), cellArea(option.rect).width()));
    // A line edit keeps two pixels inside its text margins at each side; the painted cell keeps
    // one. Without them, the widest code would scroll in its narrow column while it is typed.
    editor->setTextMargins(-2, 0, -2, 0);
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Base, cellBackground(index.column()));
    palette.setColor(QPalette::Text, cellTextColor(index.column()));
    palette.setColor(QPalette::Highlight, kHighlight);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    editor->setPalette(palette);
    // Every change is written into the table at once, as the grid shows it.
    connect(editor, &QLineEdit::textEdited, this,
            [this, editor] { Q_EMIT const_cast<ResultsCellDelegate*>(this)->commitData(editor); });
    return editor;
}

void ResultsCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    // After a change has been written through, the table holds the editor's own text: setting it
    // again would move the cursor to the end.
    auto* line = qobject_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (line != nullptr && line->text() != text)
        line->setText(text);
}

void ResultsCellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                               const QModelIndex&) const {
    editor->setGeometry(cellArea(option.rect));
}

}  // namespace norak
