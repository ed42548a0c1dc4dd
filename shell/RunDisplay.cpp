#include "shell/RunDisplay.h"

#include "shell/MainGeometry.h"

namespace norak {

RunDisplay::RunDisplay(QWidget* window)
    : m_duration(new CounterPanel(QStringLiteral("PanelDuracion"), window)),
      m_speed(new CounterPanel(QStringLiteral("PanelVelocidad"), window)),
      m_phase(new PhasePanel(window)),
      m_lap(new LapPanel(window)) {
    m_duration->setGeometry(geometry::kDurationPanel);
    m_speed->setGeometry(geometry::kSpeedPanel);
    m_phase->setGeometry(geometry::kPhasePanel);
    m_lap->setGeometry(geometry::kLapPanel);

    m_crono = m_duration->addCounter(QStringLiteral("EditCrono"), QStringLiteral("LabelCrono"),
                                     QStringLiteral("Tiempo de la prueba (mm:ss)"), QStringLiteral("00:00"));
    m_completados =
        m_duration->addCounter(QStringLiteral("EditCompletados"), QStringLiteral("LabelCompletados"),
                               QStringLiteral("Periodos completados"), QStringLiteral("0"));
    m_distancia = m_duration->addCounter(QStringLiteral("Panel_Distancia"), QStringLiteral("LabelDistancia"),
                                         QStringLiteral("Distancia recorrida (m)"), QStringLiteral("0"));
    m_periodo = m_duration->addCounter(QStringLiteral("EditPeriodo"), QStringLiteral("LabelPeriodo"),
                                       QStringLiteral("Periodo actual"), QStringLiteral("0"),
                                       CounterPanel::Shown::Never);

    m_velocidad = m_speed->addCounter(QStringLiteral("Velocidad"), QStringLiteral("LabelVelocidadActual"),
                                      QStringLiteral("Velocidad actual (km/h)"), QStringLiteral("0"));
    m_velocidad->setToolTip(QStringLiteral("Velocidad de desplazamiento"));
}

void RunDisplay::setPanelColor(const QColor& color) {
    m_duration->setPanelColor(color);
    m_speed->setPanelColor(color);
    m_lap->setDisplayColor(color);
}

}  // namespace norak
