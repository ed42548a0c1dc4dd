#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QTest>

#include "engine/Edition.h"
#include "platform/fakes/FakePlatform.h"
#include "results/CellText.h"
#include "results/ResultsTable.h"
#include "results/TestRun.h"
#include "shell/ConfigPanel.h"
#include "shell/GlancePanel.h"
#include "shell/MainGeometry.h"
#include "shell/ResultsPanel.h"
#include "shell/TestFut1.h"
#include "shell/controls/FlatPanel.h"
#include "support/FakeTime.h"

using namespace norak;

namespace {

QStringList valuesOf(const GlancePanel& panel) {
    QStringList values;
    for (int i = 0; i < GlancePanel::kDisplayCount; ++i)
        values << panel.value(i)->text();
    return values;
}

}  // namespace

// Under a table of 12 athletes the glance area fills the olive strip down to the run band;
// a table of 14 keeps the whole upper part, and there the area stays hidden.
TEST(GlancePanel, FillsTheStripUnderATableOfTwelve) {
    for (int edition : {kEditionProbst, kEditionFutbol, kEditionBasket, kEditionFutSal, kEditionZevez}) {
        FakePlatform fakes;
        TForm1 form(edition, fakes.platform());
        form.BitBtnEmpezarClick();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        const GlancePanel* glance = form.glancePanel();
        SCOPED_TRACE(edition);
        ASSERT_TRUE(glance);
        EXPECT_EQ(glance->objectName(), QStringLiteral("PanelResumen"));
        if (form.edition().stationsPerLap == 14) {
            EXPECT_TRUE(glance->isHidden());
            continue;
        }
        EXPECT_FALSE(glance->isHidden());
        EXPECT_GE(glance->height(), geometry::kGlanceMinHeight);
        EXPECT_GT(glance->y(), form.resultsPanel()->geometry().bottom());
        EXPECT_LT(glance->geometry().bottom(), geometry::kRunBand.top());
        EXPECT_EQ(glance->x(), geometry::kSideColumn.x());
        EXPECT_EQ(glance->width(), geometry::kSideColumn.width());
        // The displays lie inside, one after the other, and the longest values read whole.
        const QStringList widest = {QStringLiteral("12 de 12"), QStringLiteral("12"),
                                    QStringLiteral("4419 m · 21,6 Km/h")};
        int previousRight = -1;
        for (int i = 0; i < GlancePanel::kDisplayCount; ++i) {
            const FlatPanel* caption = glance->caption(i);
            const FlatPanel* value = glance->value(i);
            EXPECT_TRUE(glance->rect().contains(caption->geometry().united(value->geometry()))) << i;
            EXPECT_GT(caption->x(), previousRight) << i;
            EXPECT_LE(value->x(), caption->geometry().right()) << i;
            previousRight = value->geometry().right();
            EXPECT_LE(QFontMetrics(value->font()).horizontalAdvance(widest[i]), value->width() - 4) << i;
            EXPECT_LE(QFontMetrics(caption->font()).horizontalAdvance(caption->text()), caption->width() - 4)
                << i;
        }
        // "Avisos" after them, whole, with room for two digits.
        const FlatPanel* warnings = glance->warningValue();
        EXPECT_TRUE(
            glance->rect().contains(glance->warningCaption()->geometry().united(warnings->geometry())));
        EXPECT_GT(glance->warningCaption()->x(), previousRight);
        EXPECT_LE(QFontMetrics(warnings->font()).horizontalAdvance(QStringLiteral("99")),
                  warnings->width() - 4);
        EXPECT_EQ(glance->warningCaption()->text(), QStringLiteral("Avisos"));
    }
}

// The displays follow the run: named players between tests, then runners, those out and the
// best distance as dropouts come; each value carries its caption for assistive tools.
TEST(GlancePanel, ShowsTheRunAsItGoes) {
    FakePlatform fakes;
    TForm1 form(kEditionZevez, fakes.platform());
    norak::testing::FakeTime<TForm1> time(fakes, form);
    form.FormActivate();
    const GlancePanel& glance = *form.glancePanel();
    ResultsTable& table = form.resultsPanel()->table();
    for (int row = 1; row <= 3; ++row)
        table.setData(table.index(row - 1, kColName), QStringLiteral("Jugadora %1").arg(row));
    EXPECT_EQ(valuesOf(glance),
              (QStringList{QStringLiteral("3 de 12"), QStringLiteral("0"), QStringLiteral("–")}));
    EXPECT_EQ(glance.caption(0)->text(), QStringLiteral("Con nombre"));

    form.testRun().chooseMode(TestMode::Esfuerzo);
    if (form.testRun().display().warmUpChecked)
        form.testRun().setWarmUp(false);
    form.BitBtnStartClick();
    ASSERT_GE(time.runUntil([&] { return fakes.sound.m_signals >= 8; }), 0);
    form.resultsPanel()->B01Click(2);
    const QString distance = table.cell(kColDistance, 2);
    EXPECT_EQ(valuesOf(glance), (QStringList{QStringLiteral("2"), QStringLiteral("1"),
                                             distance + QStringLiteral(" m · 4,2 Km/h")}));
    for (int i = 0; i < GlancePanel::kDisplayCount; ++i)
        EXPECT_EQ(glance.value(i)->accessibleDescription(), glance.caption(i)->text()) << i;
    EXPECT_EQ(glance.caption(0)->text(), QStringLiteral("En carrera"));
}
