#pragma once

#include <QRect>
#include <algorithm>

// Fixed rectangles of the main test window (client area 826 × 592), in window coordinates
// unless noted. The window lays its panels out from these values only.
//
//   y 1..53     top button bar, across the window
//   y 58..546   course panel       | y 58..398   athletes and results table, and under a
//                                  |             table of 12 athletes the glance area
//   y 551..588  phase row under    | y 405..588  run counters over which the configuration
//               the course         |             panel lies before a start
//
// The course keeps its fixed size at the left edge; everything else shares one column beside it,
// so the results table gets the width its column formulas need for every title and value to be
// read at a glance.
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

// The course of the edition (CoursePanel, 332 × 489), at the left edge.
inline constexpr QRect kCoursePanel{kGap, 58, 332, 489};

// The column beside the course, down to the bottom edge.
inline constexpr QRect kSideColumn{rightEdge(kCoursePanel) + kColumnGap, kCoursePanel.top(),
                                   kClient.width() - rightEdge(kCoursePanel) - kColumnGap - kGap,
                                   kClient.height() - kCoursePanel.top() - kGap};

// Its lower band: the run counters PanelDuracion over the speed bar PanelVelocidad. The
// configuration panel PanelTipo covers exactly both.
inline constexpr int kRunBandHeight = 183;
inline constexpr QRect kRunBand{kSideColumn.left(), bottomEdge(kSideColumn) - kRunBandHeight,
                                kSideColumn.width(), kRunBandHeight};
inline constexpr QRect kDurationPanel{kRunBand.left(), kRunBand.top(), kRunBand.width(), 97};
inline constexpr QRect kSpeedPanel{kRunBand.left(), bottomEdge(kDurationPanel) + kColumnGap, kRunBand.width(),
                                   bottomEdge(kRunBand) - bottomEdge(kDurationPanel) - kColumnGap};
inline constexpr QRect kConfigPanel = kRunBand;

// Phase row under the course, as wide as the course: PanelRecVel, GaugeRec, PanelStart and
// PanelStop (PhasePanel lays them out inside).
inline constexpr QRect kPhasePanel{kCoursePanel.left(), bottomEdge(kCoursePanel) + kGap, kCoursePanel.width(),
                                   38};

// Lap display (LabelVueltaN beside EditVuelta) in the bottom-right corner of the course panel,
// below every course's cones; it must lie above the course panel in z-order.
inline constexpr QRect kLapPanelInCourse{232, 465, 96, 20};
inline constexpr QRect kLapPanel = kLapPanelInCourse.translated(kCoursePanel.topLeft());

// The upper part of the side column: the athletes' buttons and the results table (the table of
// 14 athletes is 341 pixels high).
inline constexpr QRect kRightArea{kSideColumn.left(), kSideColumn.top(), kSideColumn.width(),
                                  kRunBand.top() - kSideColumn.top() - kColumnGap};

// The glance area PanelResumen: what the upper part leaves under a results panel of the given
// height, across the column. The tables of 12 athletes leave it room; those of 14 fill the part,
// and there the table keeps all of it (the area is empty and stays hidden).
inline constexpr int kGlanceMinHeight = 30;
constexpr QRect glanceArea(int resultsPanelHeight) {
    const int top = kRightArea.top() + resultsPanelHeight + kGap;
    return {kRightArea.left(), top, kRightArea.width(), std::max(0, bottomEdge(kRightArea) - top)};
}

}  // namespace norak::geometry
