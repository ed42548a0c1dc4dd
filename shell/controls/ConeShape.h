#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace norak {

// A small painted circle marking one station of a course (or the rest marker). The circle takes
// the smaller side of the widget as its diameter and is centred in it. Its accessible name names
// the station; its accessible description tells whether it is lit.
class ConeShape : public QWidget {
    Q_OBJECT

  public:
    enum class FillStyle { Solid, Clear };

    explicit ConeShape(QWidget* parent = nullptr);

    QColor fillColor() const { return m_fillColor; }
    void setFillColor(const QColor& color);
    FillStyle fillStyle() const { return m_fillStyle; }
    void setFillStyle(FillStyle style);
    QColor outlineColor() const { return m_outlineColor; }
    void setOutlineColor(const QColor& color);
    int outlineWidth() const { return m_outlineWidth; }
    void setOutlineWidth(int width);

    // Texts given as the accessible description while the cone is shown with a solid fill, and
    // otherwise ("iluminada" / "apagada" unless changed).
    void setStateTexts(const QString& onText, const QString& offText);
    // Shown with a solid fill.
    bool isLit() const;

    void setVisible(bool visible) override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void updateStateText();

    QColor m_fillColor = Qt::white;
    FillStyle m_fillStyle = FillStyle::Solid;
    QColor m_outlineColor = Qt::black;
    int m_outlineWidth = 1;
    QString m_onText;
    QString m_offText;
};

}  // namespace norak
