#pragma once

#include <QColor>
#include <QFont>

namespace norak {

// Colors, fonts and fixed rectangles of the results panel, in one place.
namespace results_looks {

inline constexpr QColor kHighlight{0, 128, 255};
inline constexpr QColor kTitleRowBackground{87, 87, 87};
inline constexpr QColor kTitleBarBackground{0, 128, 255};
inline constexpr QColor kTitleBarDisabledText{140, 192, 255};  // white faded into the bar
inline constexpr QColor kAthleteButtonFace{192, 192, 192};     // silver
inline constexpr QColor kAthleteButtonFocused{0, 128, 255};
inline constexpr QColor kAthleteButtonPressed{116, 197, 250};
inline constexpr QColor kAthleteButtonBorder{0, 128, 0};  // green

// The panel PanelDeportistas: title bar across the top, the frame below it with room on its
// left for the athlete buttons.
inline constexpr int kTitleBarHeight = 20;
inline constexpr int kToolButtonSize = 18;
inline constexpr int kFrameLeft = 16;
inline constexpr int kFrameTop = 24;
inline constexpr int kPanelMargin = 4;
inline constexpr int kAthleteButtonWidth = 12;

QColor titleTextColor(int column);
QFont titleFont(int column);
QColor cellBackground(int column);
QColor cellTextColor(int column);
QFont cellFont();

}  // namespace results_looks

}  // namespace norak
