#pragma once

#include <QString>
#include <array>
#include <vector>

#include "engine/Configuration.h"

namespace norak {

// Color sets of the phase banner and the progress bar.
enum class PhaseLook { Effort, Recovery };

// A cone of the course as it is drawn.
struct ConeState {
    bool visible = false;
    bool red = false;    // red fill color (after New test) instead of yellow
    bool solid = false;  // solid fill; false: transparent fill, only the outline shows
    friend bool operator==(const ConeState&, const ConeState&) = default;
};

// The progress bar with its position text. A position below 0 or above the maximum is ignored.
struct GaugeState {
    int maximum = 30;
    int position = 0;
    QString prefix;
    QString suffix = QStringLiteral("%");
    PhaseLook look = PhaseLook::Effort;
    bool visible = false;
    bool zeroWidth = false;  // New test shrinks it to nothing before sizing it again

    void setPosition(int p) {
        if (p >= 0 && p <= maximum)
            position = p;
    }
    QString text() const { return prefix + QString::number(position) + suffix; }
    friend bool operator==(const GaugeState&, const GaugeState&) = default;
};

// Everything the test window shows of a run and of its configuration, as values. The window
// copies this onto its widgets (the trailing comments give their names); the engine reads some
// texts back, as the operator sees them.
struct DisplayState {
    // Counters and values.
    QString clockText = QStringLiteral("00:00");      // EditCrono
    QString completedText = QStringLiteral("0");      // EditCompletados
    QString distanceText = QStringLiteral("0");       // Panel_Distancia
    QString speedText = QStringLiteral("0");          // Velocidad
    QString speedLabel = QStringLiteral("4,2 Km/h");  // LabelVelocidad
    QString periodText = QStringLiteral("0");         // EditPeriodo
    QString lapText = QStringLiteral("0");            // EditVuelta
    bool lapVisible = false;                          // LabelVueltaN and EditVuelta

    // Phase banner and status signs.
    QString bannerText;
    PhaseLook bannerLook = PhaseLook::Effort;
    bool bannerVisible = false;
    bool startSignVisible = false;  // PanelStart
    bool stopSignVisible = false;   // PanelStop
    bool stopSignInFront = false;   // PanelStop in front of PanelStart

    GaugeState gauge;

    // Course.
    std::vector<ConeState> cones;  // stations 1..StationsPerLap
    int frontPicture = 1;
    bool restMarkerVisible = true;

    // Top bar and table tool buttons.
    bool exitEnabled = true;      // BitBtnSalir
    bool newTestEnabled = false;  // BitBtnNuevo
    bool startEnabled = false;
    bool stopEnabled = false;
    bool helpEnabled = true;   // BitBtnAyuda
    bool aboutEnabled = true;  // BitBtnGrupo
    bool exportEnabled = false;
    bool clearEnabled = false;  // BtnBorrarTabla

    // The configuration panel (PanelTipo).
    bool configVisible = true;
    bool configInFront = true;
    TestMode mode = TestMode::Completo;
    std::array<bool, 3> modeTextDark{};  // by TestMode: text in the dark edition color
    bool warmUpChecked = true;
    bool warmUpShown = false;
    bool categoryShown = false;     // FlatPanel21, FlatPanel15
    bool startPeriodShown = false;  // FlatPanel22, FlatPanel23, FlatPanel8, LabelVelocidad
    bool configEnabled = true;      // SpinEdit1, ComboBoxCategoria, ComboBoxSexo
    int chosenPeriod = 1;           // SpinEdit1
    int periodMaximum = 1;
    int sex = kMasculina;
    int category = kNoCategory;

    friend bool operator==(const DisplayState&, const DisplayState&) = default;
};

}  // namespace norak
