#include <gtest/gtest.h>

#include <QAccessible>

#include "shell/CoursePanel.h"
#include "shell/MainGeometry.h"
#include "shell/RunDisplay.h"

using namespace norak;
namespace geo = norak::geometry;

namespace {

struct CounterCase {
    const char* name;
    const char* caption;
    const char* textAtLoad;
};

const CounterCase kCounters[] = {
    {"EditCrono", "Tiempo de la prueba (mm:ss)", "00:00"},
    {"EditCompletados", "Periodos completados", "0"},
    {"Panel_Distancia", "Distancia recorrida (m)", "0"},
    {"Velocidad", "Velocidad actual (km/h)", "0"},
    {"EditPeriodo", "Periodo actual", "0"},
    {"EditVuelta", "Vuelta Nº", "0"},
};

class RunDisplayTest : public ::testing::Test {
  protected:
    RunDisplayTest() : run(&window) {
        window.resize(geo::kClient.size());
        window.show();
    }
    QWidget window;
    RunDisplay run;
};

}  // namespace

TEST_F(RunDisplayTest, CountersShowTheirLoadTextsAndCarryTheirCaptions) {
    for (const CounterCase& c : kCounters) {
        SCOPED_TRACE(c.name);
        auto* display = window.findChild<QLabel*>(QLatin1String(c.name));
        ASSERT_NE(display, nullptr);
        EXPECT_EQ(display->text(), QString::fromUtf8(c.textAtLoad));
        EXPECT_EQ(display->accessibleDescription(), QString::fromUtf8(c.caption));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(display);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(c.textAtLoad));
    }
    EXPECT_EQ(run.velocidad()->toolTip(), QStringLiteral("Velocidad de desplazamiento"));
    EXPECT_EQ(run.vueltaLabel()->objectName(), QStringLiteral("LabelVueltaN"));
    EXPECT_EQ(run.vueltaLabel()->text(), QStringLiteral("Vuelta Nº"));
    EXPECT_EQ(run.durationPanel()->captionOf(run.crono())->text(),
              QStringLiteral("Tiempo de la prueba (mm:ss)"));
}

TEST_F(RunDisplayTest, OnlyTheCountersAreShownAtLoad) {
    const std::vector<QWidget*> shown = {run.crono(), run.completados(), run.distancia(), run.velocidad()};
    for (QWidget* w : shown)
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
    const std::vector<QWidget*> hidden = {run.periodo(),   run.durationPanel()->captionOf(run.periodo()),
                                          run.vuelta(),    run.vueltaLabel(),
                                          run.banner(),    run.gauge(),
                                          run.startSign(), run.stopSign()};
    for (QWidget* w : hidden)
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
}

TEST_F(RunDisplayTest, TextsFitTheirDisplays) {
    run.crono()->setText(QStringLiteral("59:59"));
    run.distancia()->setText(QStringLiteral("12345"));
    for (CounterDisplay* d : {run.crono(), run.completados(), run.distancia(), run.velocidad()}) {
        SCOPED_TRACE(d->objectName().toStdString());
        EXPECT_LE(d->fontMetrics().horizontalAdvance(d->text()), d->contentsRect().width());
        QLabel* caption = (d == run.velocidad() ? run.speedPanel() : run.durationPanel())->captionOf(d);
        ASSERT_NE(caption, nullptr);
        EXPECT_LE(caption->fontMetrics().horizontalAdvance(caption->text()), caption->contentsRect().width());
        EXPECT_LT(caption->geometry().bottom(), d->geometry().top());
    }
    run.vueltaLabel()->show();
    EXPECT_LE(run.vueltaLabel()->fontMetrics().horizontalAdvance(run.vueltaLabel()->text()),
              run.vueltaLabel()->contentsRect().width());
    run.gauge()->setRecoveryMode(180);
    run.gauge()->setPosition(180);
    run.phasePanel()->setRecoveryBanner(QStringLiteral("RECUPERACIÓN previa al Test"));
    EXPECT_LE(run.banner()->fontMetrics().horizontalAdvance(run.banner()->text()), run.banner()->width());
}

TEST_F(RunDisplayTest, BannerLooksAndStatusSigns) {
    PhasePanel* phase = run.phasePanel();
    phase->setRecoveryBanner(QStringLiteral("Periodo de RECUPERACIÓN"));
    EXPECT_EQ(run.banner()->palette().color(QPalette::WindowText), QColor(0x00, 0x80, 0x00));
    EXPECT_EQ(run.banner()->palette().color(QPalette::Window), QColor(0x95, 0xFF, 0x95));
    phase->setEffortBanner(QStringLiteral("CALENTAMIENTO"));
    EXPECT_EQ(run.banner()->text(), QStringLiteral("CALENTAMIENTO"));
    EXPECT_EQ(run.banner()->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(run.banner()->palette().color(QPalette::Window), QColor(Qt::red));

    EXPECT_EQ(run.startSign()->geometry(), run.stopSign()->geometry());
    EXPECT_FALSE(run.startSign()->isEnabled());
    EXPECT_FALSE(run.stopSign()->isEnabled());
    const QObjectList& stack = phase->children();
    phase->showStopSign();
    EXPECT_GT(stack.indexOf(run.stopSign()), stack.indexOf(run.startSign()));
    phase->showStartSign();
    EXPECT_GT(phase->children().indexOf(run.startSign()), phase->children().indexOf(run.stopSign()));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(run.startSign())->text(QAccessible::Name),
              QStringLiteral("Esfuerzo"));

    // New test first empties the bar, then fits it to end where the signs begin.
    run.gauge()->resize(0, run.gauge()->height());
    phase->fitGaugeToSigns();
    EXPECT_EQ(run.gauge()->width(), run.startSign()->x() - 2 * run.gauge()->x());
    EXPECT_GT(run.gauge()->x(), 0);
    EXPECT_EQ(run.gauge()->geometry().right() + 1 + run.gauge()->x(), run.startSign()->x());
    EXPECT_TRUE(phase->rect().contains(run.startSign()->geometry()));
    EXPECT_LT(run.banner()->geometry().bottom(), run.gauge()->geometry().top());
}

TEST_F(RunDisplayTest, PanelColorDressesPanelsAndPicksReadableCaptions) {
    run.setPanelColor(QColor(237, 184, 44));  // a light edition color
    EXPECT_EQ(run.durationPanel()->palette().color(QPalette::Window), QColor(237, 184, 44));
    EXPECT_LT(run.durationPanel()->captionOf(run.crono())->palette().color(QPalette::WindowText).lightness(),
              80);
    run.setPanelColor(QColor(73, 85, 51));  // a dark one
    EXPECT_EQ(run.speedPanel()->palette().color(QPalette::Window), QColor(73, 85, 51));
    EXPECT_EQ(run.speedPanel()->captionOf(run.velocidad())->palette().color(QPalette::WindowText),
              QColor(Qt::white));
    EXPECT_EQ(run.vuelta()->palette().color(QPalette::Window), QColor(73, 85, 51));
    EXPECT_EQ(run.crono()->palette().color(QPalette::Window), QColor(Qt::white));
}

TEST(MainGeometry, PanelsFitTheWindowWithoutOverlapping) {
    const QRect rects[] = {geo::kTopBar, geo::kCoursePanel, geo::kPhasePanel, geo::kRightArea, geo::kRunBand};
    for (const QRect& r : rects)
        EXPECT_TRUE(geo::kClient.contains(r)) << r.x() << "," << r.y();
    for (std::size_t i = 0; i < std::size(rects); ++i)
        for (std::size_t j = i + 1; j < std::size(rects); ++j)
            EXPECT_FALSE(rects[i].intersects(rects[j])) << i << " " << j;

    EXPECT_EQ(geo::kCoursePanel.size(), QSize(CoursePanel::kWidth, CoursePanel::kHeight));
    EXPECT_EQ(geo::kPhasePanel.size(), QSize(PhasePanel::kWidth, PhasePanel::kHeight));
    // Beside the course one column: the results table of 14 athletes over the run band, which
    // the configuration panel covers exactly (counters and speed bar).
    EXPECT_EQ(geo::kSideColumn, geo::kRightArea.united(geo::kRunBand));
    EXPECT_GE(geo::kRightArea.height(), 341);
    EXPECT_EQ(geo::kConfigPanel, geo::kDurationPanel.united(geo::kSpeedPanel));
    EXPECT_EQ(geo::kConfigPanel, geo::kRunBand);
    EXPECT_FALSE(geo::kDurationPanel.intersects(geo::kSpeedPanel));
    EXPECT_GT(geo::kCoursePanel.top(), geo::kTopBar.bottom());
}

TEST(MainGeometry, LapDisplayStaysClearOfEveryCoursesCones) {
    EXPECT_TRUE(QRect(QPoint(0, 0), geo::kCoursePanel.size()).contains(geo::kLapPanelInCourse));
    EXPECT_EQ(geo::kLapPanel, geo::kLapPanelInCourse.translated(geo::kCoursePanel.topLeft()));
    for (Course course : {Course::Futbol, Course::Basket, Course::FutSal, Course::Zevez}) {
        CoursePanel panel(course);
        for (int s = 1; s <= panel.coneCount(); ++s)
            EXPECT_FALSE(panel.cone(s)->geometry().intersects(geo::kLapPanelInCourse))
                << panel.objectName().toStdString() << " " << s;
    }
}
