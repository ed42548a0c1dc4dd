#include <gtest/gtest.h>

#include "support/SessionHarness.h"

using namespace norak;
using norak::testing::SessionHarness;

TEST(Configuration, StartPeriodOfEachCategory) {
    struct Row {
        int edition;
        int male[3];
        int female[3];
    };
    const Row rows[] = {{0, {1, 8, 12}, {1, 6, 10}},
                        {1, {1, 6, 9}, {1, 5, 7}},
                        {2, {1, 4, 6}, {1, 4, 5}},
                        {3, {1, 3, 6}, {1, 3, 5}},
                        {4, {1, 3, 6}, {1, 3, 5}}};
    for (const Row& row : rows) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(startPeriodForCategory(row.edition, kMasculina, c), row.male[c]);
            EXPECT_EQ(startPeriodForCategory(row.edition, kFemenina, c), row.female[c]);
        }
    }
}

TEST(Configuration, CategoryOfEachStartPeriod) {
    // Edition, sex, period -> category at the range edges.
    EXPECT_EQ(categoryForPeriod(0, kMasculina, 7), kCadete);
    EXPECT_EQ(categoryForPeriod(0, kMasculina, 8), kJuvenil);
    EXPECT_EQ(categoryForPeriod(0, kMasculina, 11), kJuvenil);
    EXPECT_EQ(categoryForPeriod(0, kMasculina, 12), kSenior);
    EXPECT_EQ(categoryForPeriod(0, kFemenina, 30), kSenior);
    EXPECT_EQ(categoryForPeriod(1, kFemenina, 4), kCadete);
    EXPECT_EQ(categoryForPeriod(1, kFemenina, 6), kJuvenil);
    EXPECT_EQ(categoryForPeriod(1, kFemenina, 7), kSenior);
    for (int p = 1; p <= 30; ++p)
        EXPECT_EQ(categoryForPeriod(2, kMasculina, p), kNoCategory);
    EXPECT_EQ(categoryForPeriod(4, kMasculina, 2), kCadete);
    EXPECT_EQ(categoryForPeriod(4, kMasculina, 5), kJuvenil);
    EXPECT_EQ(categoryForPeriod(4, kFemenina, 5), kSenior);
    EXPECT_EQ(categoryForPeriod(4, kMasculina, 20), kSenior);
    EXPECT_EQ(categoryForPeriod(4, kMasculina, 21), kNoCategory);
    EXPECT_EQ(categoryForPeriod(3, kFemenina, 28), kNoCategory);
}

TEST(Configuration, OpeningState) {
    SessionHarness h(kEditionZevez);
    const DisplayState& d = h.session.display();
    EXPECT_EQ(d.mode, TestMode::Completo);
    EXPECT_TRUE(d.warmUpChecked);
    EXPECT_FALSE(d.warmUpShown);
    EXPECT_FALSE(d.categoryShown);
    EXPECT_FALSE(d.startPeriodShown);
    EXPECT_EQ(d.spinMaximum, 25);
    EXPECT_EQ(d.sex, kMasculina);
    EXPECT_EQ(d.category, kNoCategory);
    EXPECT_EQ(h.session.CurrentPeriod(), 0u);
    EXPECT_EQ(h.session.WarmUpPhase(), 1);
    EXPECT_FALSE(d.startEnabled);
    EXPECT_FALSE(d.nuevoEnabled);
}

TEST(Configuration, ChoosingAModePreparesANewTestAndShowsItsControls) {
    SessionHarness h(kEditionZevez);
    h.session.FlatRadioButton1Click(TestMode::Esfuerzo);
    const DisplayState& d = h.session.display();
    EXPECT_TRUE(d.startEnabled);
    EXPECT_EQ(h.hooks.preparations, 1);
    EXPECT_TRUE(d.startPeriodShown);
    EXPECT_TRUE(d.categoryShown);
    EXPECT_TRUE(d.warmUpShown);
    EXPECT_EQ(h.session.CurrentPeriod(), 1u);
    EXPECT_EQ(d.labelVelocidad, QStringLiteral("4,2 Km/h"));
    EXPECT_TRUE(d.modeTextDark[int(TestMode::Esfuerzo)]);
    EXPECT_FALSE(d.modeTextDark[int(TestMode::Repetir)]);

    h.session.FlatRadioButton1Click(TestMode::Repetir);
    EXPECT_FALSE(d.categoryShown);
    EXPECT_FALSE(d.warmUpShown);
    EXPECT_TRUE(d.warmUpChecked);  // hidden, not cleared
    EXPECT_EQ(h.session.WarmUpPhase(), 1);
    EXPECT_TRUE(d.modeTextDark[int(TestMode::Repetir)]);
    EXPECT_EQ(h.hooks.preparations, 2);
    // Selecting the selected button again does nothing.
    h.session.FlatRadioButton1Click(TestMode::Repetir);
    EXPECT_EQ(h.hooks.preparations, 2);
}

TEST(Configuration, CategoriesMoveTheStartPeriodAndBack) {
    SessionHarness probst(kEditionProbst);
    probst.session.FlatRadioButton1Click(TestMode::Esfuerzo);
    probst.session.ComboBoxCategoriaChange(kJuvenil);
    EXPECT_EQ(probst.session.display().spinValue, 8);
    EXPECT_EQ(probst.session.display().labelVelocidad, QStringLiteral("8,4 Km/h"));
    probst.session.SpinEdit1Change(11);
    probst.session.SpinEdit1Change(12);
    EXPECT_EQ(probst.session.display().category, kSenior);
    probst.session.SpinEdit1Change(11);
    EXPECT_EQ(probst.session.display().category, kJuvenil);
    EXPECT_EQ(probst.session.display().spinValue, 11);  // not moved back to 8

    SessionHarness futbol(kEditionFutbol);
    futbol.session.ComboBoxCategoriaChange(kSenior);
    futbol.session.ComboBoxSexoChange(kFemenina);
    EXPECT_EQ(futbol.session.display().spinValue, 7);

    SessionHarness basket(kEditionBasket);
    basket.session.ComboBoxCategoriaChange(kJuvenil);
    EXPECT_EQ(basket.session.display().spinValue, 4);
    basket.session.SpinEdit1Change(12);
    EXPECT_EQ(basket.session.display().category, kJuvenil);

    SessionHarness zevez(kEditionZevez);
    zevez.session.ComboBoxCategoriaChange(kCadete);
    zevez.session.SpinEdit1Change(22);
    EXPECT_EQ(zevez.session.display().category, kCadete);
    zevez.session.SpinEdit1Change(40);
    EXPECT_EQ(zevez.session.display().spinValue, 25);
    zevez.session.SpinEdit1Change(0);
    EXPECT_EQ(zevez.session.display().spinValue, 1);

    // No category selected: switching the sex leaves the period alone.
    SessionHarness none(kEditionZevez);
    none.session.SpinEdit1Change(22);
    none.session.ComboBoxSexoChange(kFemenina);
    EXPECT_EQ(none.session.display().spinValue, 22);
}

TEST(Configuration, PointerColorsOnlyBeforeTheFirstChoice) {
    SessionHarness h(kEditionZevez);
    h.session.PanelTipoMouseMove(TestMode::Repetir);
    EXPECT_TRUE(h.session.display().modeTextDark[int(TestMode::Repetir)]);
    h.session.PanelTipoMouseMove(std::nullopt);
    EXPECT_FALSE(h.session.display().modeTextDark[int(TestMode::Repetir)]);
    h.session.FlatRadioButton1Click(TestMode::Esfuerzo);
    h.session.PanelTipoMouseMove(TestMode::Repetir);
    EXPECT_FALSE(h.session.display().modeTextDark[int(TestMode::Repetir)]);
    EXPECT_TRUE(h.session.display().modeTextDark[int(TestMode::Esfuerzo)]);
}
