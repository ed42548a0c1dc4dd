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
// A player's warnings at the right end of the name cell: a yellow triangle and the count, grey
// once none of them counts towards the rule any more.
inline constexpr QColor kWarningMark{255, 204, 0};
inline constexpr QColor kWarningMarkLapsed{150, 150, 150};
inline constexpr int kWarningMarkWidth = 28;

// The panel PanelDeportistas: title bar across the top, the frame below it with room on its
// left for the athlete buttons.
inline constexpr int kTitleBarHeight = 20;
inline constexpr int kToolButtonSize = 18;
// The athlete buttons are the test master's targets during a run: as wide as they can be with no
// result column narrower than beside 18-pixel buttons (the Basket edition's eight columns bind),
// a margin at their left and one pixel before the frame.
inline constexpr int kAthleteButtonWidth = 22;
inline constexpr int kPanelMargin = 4;
inline constexpr int kAthleteButtonLeft = 3;
inline constexpr int kFrameLeft = kAthleteButtonLeft + kAthleteButtonWidth + 1;
inline constexpr int kFrameTop = 24;

QColor titleTextColor(int column);
QFont titleFont(int column);
QColor cellBackground(int column);
QColor cellTextColor(int column);
QFont cellFont();
// The fonts of a column `cellWidth` pixels wide: as above, condensed where the column is too
// narrow for its title, or for its widest value at the cell font (the Basket edition's "Nº" and
// "Cod.", 3 % and 5 % of the table: no five-letter code reads whole in 21 pixels otherwise).
QFont titleFont(int column, int cellWidth);
QFont cellFont(int column, int cellWidth);

}  // namespace results_looks

}  // namespace norak
