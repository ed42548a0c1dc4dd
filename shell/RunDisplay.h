#pragma once

#include <QColor>
#include <QLabel>

#include "shell/CounterPanel.h"
#include "shell/LapPanel.h"
#include "shell/PhasePanel.h"
#include "shell/controls/CounterDisplay.h"
#include "shell/controls/GaugeRec.h"
#include "shell/controls/StatusSign.h"

namespace norak {

// The live displays of a test, created as children of the main window at the places of
// MainGeometry.h:
//   PanelDuracion  (left column)  EditCrono, EditCompletados, Panel_Distancia, hidden EditPeriodo
//   PanelVelocidad (left column)  Velocidad
//   PanelFase      (under course) PanelRecVel, GaugeRec, PanelStart, PanelStop
//   PanelVuelta    (course corner) LabelVueltaN, EditVuelta
// Texts at load: "00:00" on the clock, "0" on every other counter. The window owns the widgets;
// this object only keeps the pointers. Create it after the course panel, or raise lapPanel(),
// so that the lap display lies in front of the course.
class RunDisplay {
  public:
    explicit RunDisplay(QWidget* window);

    CounterPanel* durationPanel() const { return m_duration; }
    CounterPanel* speedPanel() const { return m_speed; }
    PhasePanel* phasePanel() const { return m_phase; }
    LapPanel* lapPanel() const { return m_lap; }

    CounterDisplay* crono() const { return m_crono; }               // EditCrono
    CounterDisplay* completados() const { return m_completados; }   // EditCompletados
    CounterDisplay* distancia() const { return m_distancia; }       // Panel_Distancia
    CounterDisplay* periodo() const { return m_periodo; }           // EditPeriodo, never shown
    CounterDisplay* velocidad() const { return m_velocidad; }       // Velocidad
    QLabel* vuelta() const { return m_lap->display(); }             // EditVuelta
    QLabel* vueltaLabel() const { return m_lap->caption(); }        // LabelVueltaN
    QLabel* banner() const { return m_phase->banner(); }            // PanelRecVel
    GaugeRec* gauge() const { return m_phase->gauge(); }            // GaugeRec
    StatusSign* startSign() const { return m_phase->startSign(); }  // PanelStart
    StatusSign* stopSign() const { return m_phase->stopSign(); }    // PanelStop

    // Dresses PanelDuracion, PanelVelocidad and EditVuelta in the edition's main color.
    void setPanelColor(const QColor& color);

  private:
    CounterPanel* m_duration;
    CounterPanel* m_speed;
    PhasePanel* m_phase;
    LapPanel* m_lap;
    CounterDisplay* m_crono;
    CounterDisplay* m_completados;
    CounterDisplay* m_distancia;
    CounterDisplay* m_periodo;
    CounterDisplay* m_velocidad;
};

}  // namespace norak
