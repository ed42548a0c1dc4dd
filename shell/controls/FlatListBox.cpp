#include "shell/controls/FlatListBox.h"

namespace norak {

FlatListBox::FlatListBox(QWidget* parent) : QListWidget(parent) {
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(1);
    setUniformItemSizes(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
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

void FlatListBox::setColours(const QColor& ground, const QColor& text) {
    m_ground = ground;
    m_text = text;
    applyStyle();
}

void FlatListBox::setFrameColour(const QColor& colour) {
    m_frame = colour;
    applyStyle();
}

void FlatListBox::setRowHeight(int pixels) {
    m_rowHeight = pixels;
    applyRowHeight();
}

void FlatListBox::applyRowHeight() {
    for (int i = 0; i < count(); ++i)
        item(i)->setSizeHint(QSize(-1, m_rowHeight));
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
