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
    EXPECT_EQ(d.periodMaximum, 25);
    EXPECT_EQ(d.sex, kMasculina);
    EXPECT_EQ(d.category, kNoCategory);
    EXPECT_EQ(h.session.CurrentPeriod(), 0u);
    EXPECT_EQ(h.session.WarmUpPhase(), 1);
    EXPECT_FALSE(d.startEnabled);
    EXPECT_FALSE(d.newTestEnabled);
}

TEST(Configuration, ChoosingAModePreparesANewTestAndShowsItsControls) {
    SessionHarness h(kEditionZevez);
    h.session.chooseMode(TestMode::Esfuerzo);
    const DisplayState& d = h.session.display();
    EXPECT_TRUE(d.startEnabled);
    EXPECT_EQ(h.hooks.preparations, 1);
    EXPECT_TRUE(d.startPeriodShown);
    EXPECT_TRUE(d.categoryShown);
    EXPECT_TRUE(d.warmUpShown);
    EXPECT_EQ(h.session.CurrentPeriod(), 1u);
    EXPECT_EQ(d.speedLabel, QStringLiteral("4,2 Km/h"));
    EXPECT_TRUE(d.modeTextDark[int(TestMode::Esfuerzo)]);
    EXPECT_FALSE(d.modeTextDark[int(TestMode::Repetir)]);

    h.session.chooseMode(TestMode::Repetir);
    EXPECT_FALSE(d.categoryShown);
    EXPECT_FALSE(d.warmUpShown);
    EXPECT_TRUE(d.warmUpChecked);  // hidden, not cleared
    EXPECT_EQ(h.session.WarmUpPhase(), 1);
    EXPECT_TRUE(d.modeTextDark[int(TestMode::Repetir)]);
    EXPECT_EQ(h.hooks.preparations, 2);
    // Selecting the selected button again does nothing.
    h.session.chooseMode(TestMode::Repetir);
    EXPECT_EQ(h.hooks.preparations, 2);
}

TEST(Configuration, CategoriesMoveTheStartPeriodAndBack) {
    SessionHarness probst(kEditionProbst);
    probst.session.chooseMode(TestMode::Esfuerzo);
    probst.session.setCategory(kJuvenil);
    EXPECT_EQ(probst.session.display().chosenPeriod, 8);
    EXPECT_EQ(probst.session.display().speedLabel, QStringLiteral("8,4 Km/h"));
    probst.session.setStartPeriod(11);
    probst.session.setStartPeriod(12);
    EXPECT_EQ(probst.session.display().category, kSenior);
    probst.session.setStartPeriod(11);
    EXPECT_EQ(probst.session.display().category, kJuvenil);
    EXPECT_EQ(probst.session.display().chosenPeriod, 11);  // not moved back to 8

    SessionHarness futbol(kEditionFutbol);
    futbol.session.setCategory(kSenior);
    futbol.session.setSex(kFemenina);
    EXPECT_EQ(futbol.session.display().chosenPeriod, 7);

    SessionHarness basket(kEditionBasket);
    basket.session.setCategory(kJuvenil);
    EXPECT_EQ(basket.session.display().chosenPeriod, 4);
    basket.session.setStartPeriod(12);
    EXPECT_EQ(basket.session.display().category, kJuvenil);

    SessionHarness zevez(kEditionZevez);
    zevez.session.setCategory(kCadete);
    zevez.session.setStartPeriod(22);
    EXPECT_EQ(zevez.session.display().category, kCadete);
    zevez.session.setStartPeriod(40);
    EXPECT_EQ(zevez.session.display().chosenPeriod, 25);
    zevez.session.setStartPeriod(0);
    EXPECT_EQ(zevez.session.display().chosenPeriod, 1);

    // No category selected: switching the sex leaves the period alone.
    SessionHarness none(kEditionZevez);
    none.session.setStartPeriod(22);
    none.session.setSex(kFemenina);
    EXPECT_EQ(none.session.display().chosenPeriod, 22);
}

TEST(Configuration, PointerColorsOnlyBeforeTheFirstChoice) {
    SessionHarness h(kEditionZevez);
    h.session.pointAtMode(TestMode::Repetir);
    EXPECT_TRUE(h.session.display().modeTextDark[int(TestMode::Repetir)]);
    h.session.pointAtMode(std::nullopt);
    EXPECT_FALSE(h.session.display().modeTextDark[int(TestMode::Repetir)]);
    h.session.chooseMode(TestMode::Esfuerzo);
    h.session.pointAtMode(TestMode::Repetir);
    EXPECT_FALSE(h.session.display().modeTextDark[int(TestMode::Repetir)]);
    EXPECT_TRUE(h.session.display().modeTextDark[int(TestMode::Esfuerzo)]);
}
