#pragma once

#include <QColor>
#include <QLabel>

namespace norak {

// A flat panel: a colored (or transparent) ground, an optional frame or bevel and a caption.
// It is a label, so its caption is what assistive tools read; it also serves as a container
// for other controls placed on it.
class FlatPanel : public QLabel {
    Q_OBJECT

  public:
    enum class Frame {
        None,
        Line,     // one-pixel line in the frame color
        Raised,   // light top-left, dark bottom-right
        Lowered,  // dark top-left, light bottom-right
    };

    explicit FlatPanel(QWidget* parent = nullptr);

    void setCaption(const QString& caption) { setText(caption); }
    QString caption() const { return text(); }

    void setColor(const QColor& color);
    QColor color() const { return m_color; }
    // Transparent: the ground is not painted, the parent shows through.
    void setTransparent(bool transparent);
    bool isTransparent() const { return m_transparent; }
    void setFontColor(const QColor& color);
    QColor fontColor() const { return m_fontColor; }
    void setFrame(Frame frame);
    Frame frame() const { return m_frame; }
    void setFrameColor(const QColor& color);
    QColor frameColor() const { return m_frameColor; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor m_color{255, 255, 255};
    QColor m_fontColor{0, 0, 0};
    QColor m_frameColor{0, 0, 0};
    Frame m_frame = Frame::None;
    bool m_transparent = false;
};

}  // namespace norak
