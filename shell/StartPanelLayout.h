#pragma once

#include <QRect>
#include <QSize>

namespace norak {

// Fixed sizes and places of the start panel's elements; lefts are computed at creation.
inline constexpr QSize kAcercadeSize{65, 72};
inline constexpr QSize kEmpezarSize{233, 72};
inline constexpr QSize kTitleLabelSize{633, 109};  // LabelEffect3
inline constexpr int kTitleLabelTop = 153;
inline constexpr QSize kSportLabelSize{721, 42};  // LabelEffect4
inline constexpr int kSportLabelTop = 220;
inline constexpr QSize kLegalLineSize{300, 14};  // FlatPanel5
inline constexpr int kLegalLineInitialTop = 558;
inline constexpr int kEmpezarGapAboveLegalLine = 12;

// Which optional credit elements of the start panel are visible.
struct CreditVisibility {
    bool authors = false;      // Label34, Label39, Label40
    bool legalLine = false;    // FlatPanel5
    bool legalNotice = false;  // Label2
    bool webLink = false;      // URLLabel4
    bool funding = false;      // PanelFinanciado
    friend bool operator==(const CreditVisibility&, const CreditVisibility&) = default;
};

// The credit elements after the edition variant has been applied to `current`: variants 1 and 2
// hide the authors, legal line, legal notice and web link and show (1) or hide (2) the funding
// panel; variant 3 shows those four and hides the funding panel; any other variant changes nothing.
CreditVisibility creditVisibilityForVariant(int editionVariant, CreditVisibility current);

// Left that centres something `ownWidth` wide in `containerWidth`: the halves are truncated
// separately, as the window has always placed its headings.
int centredLeft(int containerWidth, int ownWidth);

// Size of the funding panel around its logo picture placed at `logo` inside it: the picture's
// left margin on both sides, its top margin above and half of it below.
QSize fundingPanelSize(const QRect& logo);

// "&Empezar...": the pair [about button | start button] centred in the panel, standing 12 pixels
// above the legal line (329, 474 for 826 wide with the legal line at 558).
QRect empezarGeometry(int panelWidth, const QSize& acercade, const QSize& empezar, int legalLineTop);

// The about button just left of "&Empezar...", on the same top (264, 474).
QRect acercadeGeometry(const QRect& empezar, const QSize& acercade);

}  // namespace norak
