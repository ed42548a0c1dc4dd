#pragma once

#include <QRect>

// Fixed rectangles of the main test window (client area 826 × 592), in window coordinates
// unless noted. The window lays its panels out from these values only.
//
//   y 1..53     top button bar, across the window
//   y 58..546   left column (counters over the speed bar, covered by the configuration panel
//               before a start) | course panel | right area (athletes and results)
//   y 551..588  phase row under the course: banner over progress bar, status sign at the right
namespace norak::geometry {

// First row and column past a rectangle (QRect's right() and bottom() are the last ones inside).
constexpr int rightEdge(const QRect& r) {
    return r.x() + r.width();
}
constexpr int bottomEdge(const QRect& r) {
    return r.y() + r.height();
}

inline constexpr QRect kClient{0, 0, 826, 592};

// Six buttons in one row; their widths are worked out at creation from the client width.
inline constexpr QRect kTopBar{1, 1, 824, 53};

// Gap kept to the window edges and between rows of panels; columns are set a little further apart.
inline constexpr int kGap = 4;
inline constexpr int kColumnGap = 6;

// The course of the edition (CoursePanel, 332 × 489).
inline constexpr QRect kCoursePanel{232, 58, 332, 489};

// Left column, the course's height: the run counters PanelDuracion over the speed bar
// PanelVelocidad. The configuration panel PanelTipo covers exactly both (same left, width, top
// as the course, bottom of PanelVelocidad).
inline constexpr QRect kLeftColumn{kGap, kCoursePanel.top(), 222, kCoursePanel.height()};
inline constexpr QRect kDurationPanel{kLeftColumn.left(), kLeftColumn.top(), kLeftColumn.width(), 352};
inline constexpr QRect kSpeedPanel{kLeftColumn.left(), bottomEdge(kDurationPanel) + kColumnGap,
                                   kLeftColumn.width(),
                                   bottomEdge(kLeftColumn) - bottomEdge(kDurationPanel) - kColumnGap};
inline constexpr QRect kConfigPanel = kLeftColumn;

// Phase row under the course, as wide as the course: PanelRecVel, GaugeRec, PanelStart and
// PanelStop (PhasePanel lays them out inside).
inline constexpr QRect kPhasePanel{kCoursePanel.left(), bottomEdge(kCoursePanel) + kGap, kCoursePanel.width(),
                                   38};

// Lap display (LabelVueltaN beside EditVuelta) in the bottom-right corner of the course panel,
// below every course's cones; it must lie above the course panel in z-order.
inline constexpr QRect kLapPanelInCourse{232, 465, 96, 20};
inline constexpr QRect kLapPanel = kLapPanelInCourse.translated(kCoursePanel.topLeft());

// What is left on the right of the course, down to the bottom edge: the athletes' buttons and
// the results table.
inline constexpr QRect kRightArea{rightEdge(kCoursePanel) + kColumnGap, kCoursePanel.top(),
                                  kClient.width() - rightEdge(kCoursePanel) - kColumnGap - kGap,
                                  kClient.height() - kCoursePanel.top() - kGap};

}  // namespace norak::geometry
