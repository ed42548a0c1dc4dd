#include "shell/CounterPanel.h"

#include "engine/Edition.h"
#include "shell/controls/TextColor.h"

namespace norak {

namespace {

constexpr int kDisplayHeight = 54;
constexpr const char* kCaptionProperty = "norakCaption";

}  // namespace

CounterPanel::CounterPanel(const QString& objectName, QWidget* parent)
    : QFrame(parent), m_layout(new QBoxLayout(QBoxLayout::TopToBottom, this)) {
    setObjectName(objectName);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    m_layout->setContentsMargins(10, 4, 10, 4);
    m_layout->setSpacing(8);  // between counters side by side
    m_layout->addStretch(1);
    const Rgb main = editionRecord(kBuildEdition).colorMain;
    setPanelColor(QColor(main.r, main.g, main.b));
}

CounterDisplay* CounterPanel::addCounter(const QString& displayName, const QString& captionName,
                                         const QString& caption, const QString& text, Shown shown) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(captionName);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    label->setWordWrap(true);  // side by side, a long caption takes two lines
    QFont f = label->font();
    f.setBold(true);
    f.setPixelSize(11);
    label->setFont(f);

    auto* display = new CounterDisplay(caption, text, this);
    display->setObjectName(displayName);
    display->setFixedHeight(kDisplayHeight);
    display->setProperty(kCaptionProperty, QVariant::fromValue<QObject*>(label));

    if (shown == Shown::Never) {
        label->hide();
        display->hide();
        return display;
    }
    // Each counter block sits between two equal stretches, so the blocks spread evenly.
    auto* block = new QVBoxLayout;
    block->setSpacing(0);
    block->addWidget(label);
    block->addSpacing(3);
    block->addWidget(display);
    m_layout->addLayout(block, 4);
    m_layout->addStretch(1);
    return display;
}

void CounterPanel::resizeEvent(QResizeEvent* event) {
    m_layout->setDirection(width() > height() ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    QFrame::resizeEvent(event);
}

QLabel* CounterPanel::captionOf(const CounterDisplay* display) const {
    if (!display)
        return nullptr;
    return qobject_cast<QLabel*>(display->property(kCaptionProperty).value<QObject*>());
}

void CounterPanel::setPanelColor(const QColor& color) {
    m_color = color;
    QPalette p(color);  // window, light and dark shades from the panel color
    p.setColor(QPalette::WindowText, textColorOn(color));
    setPalette(p);
}

}  // namespace norak
