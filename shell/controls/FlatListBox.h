#pragma once

#include <QColor>
#include <QListWidget>

namespace norak {

// A flat list box: no 3-D frame, a ground and text color, a fixed row height and scroll bars
// as needed. Its rows are plain text items, read by assistive tools as list items.
class FlatListBox : public QListWidget {
    Q_OBJECT

  public:
    explicit FlatListBox(QWidget* parent = nullptr);

    // Replaces all rows.
    void setRows(const QStringList& rows);
    QStringList rows() const;

    void setColors(const QColor& ground, const QColor& text);
    QColor groundColor() const { return m_ground; }
    QColor textColor() const { return m_text; }
    void setFrameColor(const QColor& color);
    // Height of every row in pixels.
    void setRowHeight(int pixels);
    int rowHeight() const { return m_rowHeight; }

  private:
    void applyRowHeight();
    void applyStyle();

    QColor m_ground{255, 255, 255};
    QColor m_text{0, 0, 0};
    QColor m_frame{128, 128, 128};
    int m_rowHeight = 13;
};

}  // namespace norak
