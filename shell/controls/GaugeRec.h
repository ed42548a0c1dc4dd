#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace norak {

// Progress bar with a position text (prefix + position + suffix) centred on it. The bar is
// blended from three colors, light at the top to strong at the bottom, over a flat background.
// A position below 0 or above the maximum is ignored: the bar keeps the last one it accepted.
// Its accessible name is always the visible text.
class GaugeRec : public QWidget {
    Q_OBJECT

  public:
    struct BarColors {
        QColor light;
        QColor middle;
        QColor strong;
    };

    explicit GaugeRec(QWidget* parent = nullptr);

    int maximum() const { return m_maximum; }
    // A negative maximum is ignored; a position above the new maximum is brought down to it.
    void setMaximum(int maximum);
    int position() const { return m_position; }
    void setPosition(int position);
    QString prefix() const { return m_prefix; }
    void setPrefix(const QString& prefix);
    QString suffix() const { return m_suffix; }
    void setSuffix(const QString& suffix);
    BarColors barColors() const { return m_barColors; }
    void setBarColors(const BarColors& colors);
    QColor backgroundColor() const { return m_background; }
    void setBackgroundColor(const QColor& color);

    // The visible text: prefix, position, suffix.
    QString text() const;

    // Counting the stations of an effort period: "Estación Nº: " + position, warm colors.
    void setEffortMode(int maximum);
    // Counting the seconds of a recovery: position + " seg.", green colors.
    void setRecoveryMode(int maximum);

    static BarColors effortColors();
    static BarColors recoveryColors();

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void textChanged();

    int m_maximum = 30;
    int m_position = 0;
    QString m_prefix;
    QString m_suffix = QStringLiteral("%");
    BarColors m_barColors;
    QColor m_background = QColor(0xEF, 0xEF, 0xEF);
};

}  // namespace norak
