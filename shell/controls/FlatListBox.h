#pragma once

#include <QColor>
#include <QListWidget>

namespace norak {

// A flat list box: no 3-D frame, a ground and text colour, a fixed row height and scroll bars
// as needed. Its rows are plain text items, read by assistive tools as list items.
class FlatListBox : public QListWidget {
    Q_OBJECT

  public:
    explicit FlatListBox(QWidget* parent = nullptr);

    // Replaces all rows.
    void setRows(const QStringList& rows);
    QStringList rows() const;

    void setColours(const QColor& ground, const QColor& text);
    QColor groundColour() const { return m_ground; }
    QColor textColour() const { return m_text; }
    void setFrameColour(const QColor& colour);
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
