#include "shell/controls/FlatListBox.h"

#include <QStyledItemDelegate>

namespace norak {

namespace {

// Every row gets the list's row height, whatever its font or content.
class FixedRowDelegate : public QStyledItemDelegate {
  public:
    FixedRowDelegate(const int& rowHeight, QObject* parent)
        : QStyledItemDelegate(parent), m_rowHeight(rowHeight) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), m_rowHeight);
    }

  private:
    const int& m_rowHeight;
};

}  // namespace

FlatListBox::FlatListBox(QWidget* parent) : QListWidget(parent) {
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(1);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setItemDelegate(new FixedRowDelegate(m_rowHeight, this));
    applyStyle();
}

void FlatListBox::setRows(const QStringList& rows) {
    clear();
    addItems(rows);
    applyRowHeight();
}

QStringList FlatListBox::rows() const {
    QStringList all;
    all.reserve(count());
    for (int i = 0; i < count(); ++i)
        all.push_back(item(i)->text());
    return all;
}

void FlatListBox::setColors(const QColor& ground, const QColor& text) {
    m_ground = ground;
    m_text = text;
    applyStyle();
}

void FlatListBox::setFrameColor(const QColor& color) {
    m_frame = color;
    applyStyle();
}

void FlatListBox::setRowHeight(int pixels) {
    m_rowHeight = pixels;
    applyRowHeight();
}

void FlatListBox::applyRowHeight() {
    doItemsLayout();
}

void FlatListBox::applyStyle() {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, m_ground);
    pal.setColor(QPalette::Window, m_ground);
    pal.setColor(QPalette::Text, m_text);
    pal.setColor(QPalette::WindowText, m_frame);
    pal.setColor(QPalette::Highlight, QColor(0, 0, 128));
    pal.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    setPalette(pal);
    viewport()->setAutoFillBackground(true);
    viewport()->update();
}

}  // namespace norak
