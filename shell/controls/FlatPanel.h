#pragma once

#include <QColor>
#include <QLabel>

namespace norak {

// A flat panel: a coloured (or transparent) ground, an optional frame or bevel and a caption.
// It is a label, so its caption is what assistive tools read; it also serves as a container
// for other controls placed on it.
class FlatPanel : public QLabel {
    Q_OBJECT

  public:
    enum class Frame {
        None,
        Line,     // one-pixel line in the frame colour
        Raised,   // light top-left, dark bottom-right
        Lowered,  // dark top-left, light bottom-right
    };

    explicit FlatPanel(QWidget* parent = nullptr);

    void setCaption(const QString& caption) { setText(caption); }
    QString caption() const { return text(); }

    void setColour(const QColor& colour);
    QColor colour() const { return m_colour; }
    // Transparent: the ground is not painted, the parent shows through.
    void setTransparent(bool transparent);
    bool isTransparent() const { return m_transparent; }
    void setFontColour(const QColor& colour);
    QColor fontColour() const { return m_fontColour; }
    void setFrame(Frame frame);
    Frame frame() const { return m_frame; }
    void setFrameColour(const QColor& colour);
    QColor frameColour() const { return m_frameColour; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor m_colour{255, 255, 255};
    QColor m_fontColour{0, 0, 0};
    QColor m_frameColour{0, 0, 0};
    Frame m_frame = Frame::None;
    bool m_transparent = false;
};

}  // namespace norak
