#include <gtest/gtest.h>

#include <QAccessible>

#include "shell/controls/GaugeRec.h"

using namespace norak;

TEST(GaugeRec, StartsAsAnEmptyPercentageBar) {
    GaugeRec gauge;
    EXPECT_EQ(gauge.maximum(), 30);
    EXPECT_EQ(gauge.position(), 0);
    EXPECT_EQ(gauge.text(), QStringLiteral("0%"));
    EXPECT_EQ(gauge.backgroundColor(), QColor(0xEF, 0xEF, 0xEF));
}

TEST(GaugeRec, EffortModeCountsStationsAndKeepsTheLastAcceptedPosition) {
    GaugeRec gauge;
    gauge.setEffortMode(28);
    EXPECT_EQ(gauge.barColors().light, QColor(0xF5, 0xD9, 0x8B));
    EXPECT_EQ(gauge.barColors().strong, QColor(0xFF, 0x80, 0x00));
    gauge.setPosition(12);
    EXPECT_EQ(gauge.text(), QStringLiteral("Estación Nº: 12"));
    gauge.setPosition(28);
    gauge.setPosition(29);  // a repeated period goes on past the end: the bar stays full
    gauge.setPosition(-1);
    EXPECT_EQ(gauge.position(), 28);
    EXPECT_EQ(gauge.text(), QStringLiteral("Estación Nº: 28"));
}

TEST(GaugeRec, RecoveryModeCountsSeconds) {
    GaugeRec gauge;
    gauge.setEffortMode(36);
    gauge.setPosition(36);
    gauge.setRecoveryMode(30);
    EXPECT_EQ(gauge.position(), 30);  // brought down to the new maximum
    gauge.setPosition(17);
    EXPECT_EQ(gauge.text(), QStringLiteral("17 seg."));
    EXPECT_EQ(gauge.barColors().middle, QColor(0x95, 0xFF, 0x95));
    gauge.setPosition(31);
    EXPECT_EQ(gauge.text(), QStringLiteral("17 seg."));
    gauge.setRecoveryMode(180);
    gauge.setPosition(177);
    EXPECT_EQ(gauge.text(), QStringLiteral("177 seg."));
}

TEST(GaugeRec, PaintsTheBarInProportionOverTheBackground) {
    GaugeRec gauge;
    gauge.resize(202, 18);
    gauge.setEffortMode(4);
    gauge.setPosition(1);
    QImage shot = gauge.grab().toImage();
    // Light at the top, strong orange at the bottom, over the first quarter only.
    const QColor top = shot.pixelColor(20, 2);
    const QColor bottom = shot.pixelColor(20, 15);
    EXPECT_GT(top.blue(), 0x60);
    EXPECT_EQ(bottom.red(), 0xFF);
    EXPECT_LT(bottom.green(), 0xB0);
    EXPECT_LT(bottom.blue(), 0x30);
    EXPECT_EQ(shot.pixelColor(190, 9), QColor(0xEF, 0xEF, 0xEF));  // beyond the first quarter

    gauge.setMaximum(0);  // nothing to show, nothing to divide by
    shot = gauge.grab().toImage();
    EXPECT_EQ(shot.pixelColor(20, 9), QColor(0xEF, 0xEF, 0xEF));
}

TEST(GaugeRec, ItsAccessibleNameFollowsTheVisibleText) {
    GaugeRec gauge;
    gauge.setEffortMode(28);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&gauge);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::ProgressBar);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Estación Nº: 0"));
    gauge.setPosition(5);
    gauge.setPosition(40);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Estación Nº: 5"));
    gauge.setRecoveryMode(30);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("5 seg."));
}
