#pragma once

#include <QRect>
#include <QSize>
#include <optional>

#include "engine/Edition.h"

namespace norak {

// Fixed sizes and places of the help panel's elements.
inline constexpr QRect kHelpDrawingRect{16, 0, 290, 480};        // ImageHlp_Futbol, _FutSal, _Zevez
inline constexpr QRect kHelpBasketDrawingRect{20, 0, 290, 484};  // ImageHlp_Basket
inline constexpr int kHelpMemoTop = 26;                          // Memo1
inline constexpr QSize kHelpCloseButtonSize{139, 27};            // BitBtn3

// Where the help panel's elements go when it opens on a panel of `panel` size.
struct HelpPanelGeometry {
    int drawingTop = 0;  // top of every course drawing
    QRect memo;          // Memo1
    QRect closeButton;   // BitBtn3
};

// The drawings are centred vertically by the volleyball drawing `zevezDrawing`; the text area
// starts 20 pixels right of it, keeps its top and leaves 15 pixels on the right and room for the
// close button below; the button sits 20 pixels above the bottom, centred. For 826 × 592:
// drawing top 56, text area left 326 width 485 height 525, button top 545 left 344.
HelpPanelGeometry helpPanelLayout(const QSize& panel, const QRect& zevezDrawing, int memoTop,
                                  const QSize& closeButton);

// The course whose drawing and text the help panel shows for an edition: editions 0 and 1 share
// the football help. No help for a code outside 0..4.
std::optional<Course> helpCourseForEdition(int sportEdition);

}  // namespace norak
