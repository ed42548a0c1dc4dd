#include "shell/PhasePanel.h"

namespace norak {

namespace {

constexpr int kBandHeight = 18;
constexpr int kSignWidth = 34;

}  // namespace

PhasePanel::PhasePanel(QWidget* parent)
    : QWidget(parent),
      m_banner(new QLabel(this)),
      m_gauge(new GaugeRec(this)),
      m_start(new StatusSign(StatusSign::Sign::Play, this)),
      m_stop(new StatusSign(StatusSign::Sign::Pause, this)) {
    setObjectName(QStringLiteral("PanelFase"));
    resize(kWidth, kHeight);

    const QRect sign(kWidth - kSignWidth, 0, kSignWidth, kHeight);
    m_start->setObjectName(QStringLiteral("PanelStart"));
    m_start->setGeometry(sign);
    m_stop->setObjectName(QStringLiteral("PanelStop"));
    m_stop->setGeometry(sign);

    m_banner->setObjectName(QStringLiteral("PanelRecVel"));
    m_banner->setGeometry(kBarOffset, 0, sign.left() - 2 * kBarOffset, kBandHeight);
    m_banner->setAlignment(Qt::AlignCenter);
    m_banner->setTextFormat(Qt::PlainText);
    m_banner->setAutoFillBackground(true);
    QFont f = m_banner->font();
    f.setBold(true);
    f.setPixelSize(13);
    m_banner->setFont(f);
    setBannerColors(Qt::white, QColor(0xFF, 0x00, 0x00));

    m_gauge->setObjectName(QStringLiteral("GaugeRec"));
    m_gauge->setGeometry(kBarOffset, kHeight - kBandHeight, 0, kBandHeight);
    fitGaugeToSigns();

    for (QWidget* w : {static_cast<QWidget*>(m_banner), static_cast<QWidget*>(m_gauge),
                       static_cast<QWidget*>(m_start), static_cast<QWidget*>(m_stop)})
        w->hide();
}

void PhasePanel::setEffortBanner(const QString& text) {
    m_banner->setText(text);
    setBannerColors(Qt::white, QColor(0xFF, 0x00, 0x00));
}

void PhasePanel::setRecoveryBanner(const QString& text) {
    m_banner->setText(text);
    setBannerColors(QColor(0x00, 0x80, 0x00), QColor(0x95, 0xFF, 0x95));
}

void PhasePanel::showStartSign() {
    m_start->raise();
    m_start->show();
}

void PhasePanel::showStopSign() {
    m_stop->raise();
    m_stop->show();
}

void PhasePanel::fitGaugeToSigns() {
    m_gauge->resize(m_start->x() - 2 * m_gauge->x(), m_gauge->height());
}

void PhasePanel::setBannerColors(const QColor& text, const QColor& band) {
    QPalette p = m_banner->palette();
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Window, band);
    m_banner->setPalette(p);
}

}  // namespace norak
