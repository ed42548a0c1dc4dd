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
// copies this onto its widgets; the engine reads some texts back, as the operator sees them.
struct DisplayState {
    // Counters and values.
    QString editCrono = QStringLiteral("00:00");
    QString editCompletados = QStringLiteral("0");
    QString panelDistancia = QStringLiteral("0");
    QString velocidad = QStringLiteral("0");
    QString labelVelocidad = QStringLiteral("4,2 Km/h");
    QString editPeriodo = QStringLiteral("0");
    QString editVuelta = QStringLiteral("0");
    bool vueltaVisible = false;  // LabelVueltaN and EditVuelta

    // Phase banner and status signs.
    QString bannerText;
    PhaseLook bannerLook = PhaseLook::Effort;
    bool bannerVisible = false;
    bool panelStartVisible = false;
    bool panelStopVisible = false;
    bool stopSignInFront = false;  // PanelStop in front of PanelStart

    GaugeState gauge;

    // Course.
    std::vector<ConeState> cones;  // stations 1..StationsPerLap
    int frontPicture = 1;
    bool restMarkerVisible = true;

    // Top bar and table tool buttons.
    bool salirEnabled = true;
    bool nuevoEnabled = false;
    bool startEnabled = false;
    bool stopEnabled = false;
    bool ayudaEnabled = true;
    bool grupoEnabled = true;
    bool exportEnabled = false;
    bool borrarEnabled = false;

    // Configuration panel PanelTipo.
    bool panelTipoVisible = true;
    bool panelTipoInFront = true;
    TestMode mode = TestMode::Completo;
    std::array<bool, 3> modeTextDark{};  // by TestMode: text in the dark edition color
    bool warmUpChecked = true;
    bool warmUpShown = false;
    bool categoryShown = false;     // FlatPanel21, FlatPanel15
    bool startPeriodShown = false;  // FlatPanel22, FlatPanel23, FlatPanel8, LabelVelocidad
    bool configEnabled = true;      // SpinEdit1, ComboBoxCategoria, ComboBoxSexo
    int spinValue = 1;
    int spinMaximum = 1;
    int sex = kMasculina;
    int category = kNoCategory;

    friend bool operator==(const DisplayState&, const DisplayState&) = default;
};

}  // namespace norak
