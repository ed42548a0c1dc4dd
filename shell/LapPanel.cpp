#include "shell/LapPanel.h"

#include "engine/Edition.h"
#include "shell/controls/TextColor.h"

namespace norak {

namespace {

constexpr int kDisplayWidth = 30;

}  // namespace

LapPanel::LapPanel(QWidget* parent)
    : QWidget(parent), m_caption(new QLabel(QStringLiteral("Vuelta Nº"), this)), m_display(new QLabel(this)) {
    setObjectName(QStringLiteral("PanelVuelta"));
    setAttribute(Qt::WA_TransparentForMouseEvents);

    m_caption->setObjectName(QStringLiteral("LabelVueltaN"));
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setFrameShape(QFrame::Box);
    m_caption->setTextFormat(Qt::PlainText);
    m_caption->setAutoFillBackground(true);
    QFont small = m_caption->font();
    small.setBold(true);
    small.setPixelSize(11);
    m_caption->setFont(small);
    QPalette cp = m_caption->palette();
    cp.setColor(QPalette::Window, Qt::white);
    cp.setColor(QPalette::WindowText, QColor(0x20, 0x20, 0x20));
    cp.setColor(QPalette::Dark, QColor(0x80, 0x80, 0x80));
    m_caption->setPalette(cp);

    m_display->setObjectName(QStringLiteral("EditVuelta"));
    m_display->setText(QStringLiteral("0"));
    m_display->setAccessibleDescription(m_caption->text());
    m_display->setAlignment(Qt::AlignCenter);
    m_display->setTextFormat(Qt::PlainText);
    m_display->setAutoFillBackground(true);
    m_display->setFrameShape(QFrame::Panel);
    m_display->setFrameShadow(QFrame::Raised);
    QFont big = m_display->font();
    big.setBold(true);
    big.setPixelSize(15);
    m_display->setFont(big);
    const Rgb main = editionRecord(kBuildEdition).colorMain;
    setDisplayColor(QColor(main.r, main.g, main.b));

    resize(96, 20);
    m_caption->hide();
    m_display->hide();
}

void LapPanel::setDisplayColor(const QColor& color) {
    QPalette p(color);
    p.setColor(QPalette::WindowText, textColorOn(color));
    m_display->setPalette(p);
}

void LapPanel::resizeEvent(QResizeEvent*) {
    m_caption->setGeometry(0, 0, width() - kDisplayWidth, height());
    m_display->setGeometry(width() - kDisplayWidth, 0, kDisplayWidth, height());
}

}  // namespace norak
