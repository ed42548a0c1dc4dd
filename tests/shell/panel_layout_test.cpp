#include <gtest/gtest.h>

#include "shell/HelpPanelLayout.h"
#include "shell/StartPanelLayout.h"
#include "shell/TopBarLayout.h"

using namespace norak;

TEST(TopBarLayout, ButtonsOfTheWindowWidth) {
    const TopBarGeometry bar = topBarLayout(826);
    // Indexed as TopBarButton: "Historial", the last index, stands between Stop and Ayuda.
    const int lefts[] = {1, 126, 251, 376, 582, 707, 501};
    const int widths[] = {124, 124, 124, 124, 124, 118, 80};
    for (int i = 0; i < kTopBarButtonCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(bar[std::size_t(i)].left(), lefts[i]);
        EXPECT_EQ(bar[std::size_t(i)].width(), widths[i]);
        EXPECT_EQ(bar[std::size_t(i)].top(), 1);
        EXPECT_EQ(bar[std::size_t(i)].height(), 53);
    }
}

TEST(TopBarLayout, OnePixelGapsAndLastButtonEndsBeforeTheEdge) {
    // A width that does not divide evenly leaves the remainder to "A cerca de...".
    for (int width : {600, 826, 1000, 1003}) {
        SCOPED_TRACE(width);
        const TopBarGeometry bar = topBarLayout(width);
        EXPECT_EQ(bar[kTopBarSalir].width(), (width - kTopBarHistorialWidth - 1) / 6);
        EXPECT_EQ(bar[kTopBarSalir].left(), 1);
        for (int i = 1; i < kTopBarButtonCount; ++i)
            EXPECT_EQ(bar[kTopBarOrder[std::size_t(i)]].left(),
                      bar[kTopBarOrder[std::size_t(i - 1)]].right() + 2);
        EXPECT_EQ(bar[kTopBarGrupo].right(), width - 2);
    }
}

TEST(StartPanelLayout, ButtonPairAboveTheLegalLine) {
    const QRect empezar = empezarGeometry(826, kAcercadeSize, kEmpezarSize, kLegalLineInitialTop);
    EXPECT_EQ(empezar, QRect(329, 474, 233, 72));
    const QRect about = acercadeGeometry(empezar, kAcercadeSize);
    EXPECT_EQ(about, QRect(264, 474, 65, 72));
    // The two touch and, together, sit (almost) in the middle of the panel.
    EXPECT_EQ(about.right() + 1, empezar.left());
    EXPECT_LE(std::abs((about.left() + empezar.right() + 1) - 826), 1);
    // 12 pixels of gap down to the legal line.
    EXPECT_EQ(empezar.bottom() + 1 + 12, kLegalLineInitialTop);
}

TEST(StartPanelLayout, CreditVariants) {
    const CreditVisibility none;
    const CreditVisibility all{true, true, true, true, true};

    const CreditVisibility fundingOnly{false, false, false, false, true};
    EXPECT_EQ(creditVisibilityForVariant(1, none), fundingOnly);
    EXPECT_EQ(creditVisibilityForVariant(1, all), fundingOnly);
    EXPECT_EQ(creditVisibilityForVariant(2, all), none);
    EXPECT_EQ(creditVisibilityForVariant(2, none), none);

    const CreditVisibility allButFunding{true, true, true, true, false};
    EXPECT_EQ(creditVisibilityForVariant(3, none), allButFunding);
    EXPECT_EQ(creditVisibilityForVariant(3, all), allButFunding);

    // Other variants leave every element as it was.
    const CreditVisibility mixed{true, false, true, false, true};
    for (int variant : {0, 4, 5, -1}) {
        SCOPED_TRACE(variant);
        EXPECT_EQ(creditVisibilityForVariant(variant, mixed), mixed);
        EXPECT_EQ(creditVisibilityForVariant(variant, none), none);
    }
}

TEST(HelpPanelLayout, WindowFigures) {
    const HelpPanelGeometry g =
        helpPanelLayout(QSize(826, 592), kHelpDrawingRect, kHelpMemoTop, kHelpCloseButtonSize);
    EXPECT_EQ(g.drawingTop, 56);
    EXPECT_EQ(g.memo, QRect(326, 26, 485, 525));
    EXPECT_EQ(g.closeButton, QRect(344, 545, 139, 27));
}

TEST(HelpPanelLayout, FollowsThePanelSize) {
    const HelpPanelGeometry g = helpPanelLayout(QSize(1001, 701), kHelpDrawingRect, 30, kHelpCloseButtonSize);
    EXPECT_EQ(g.drawingTop, 350 - 240);
    EXPECT_EQ(g.memo.left(), 326);
    EXPECT_EQ(g.memo.top(), 30);
    EXPECT_EQ(g.memo.right(), 1001 - 15 - 1);
    EXPECT_EQ(g.memo.height(), 701 - 27 - 40);
    EXPECT_EQ(g.closeButton.bottom(), 701 - 20 - 1);
    EXPECT_EQ(g.closeButton.left(), 500 - 69);
}

TEST(HelpPanelLayout, ChoiceByEdition) {
    EXPECT_EQ(helpCourseForEdition(kEditionProbst), Course::Futbol);
    EXPECT_EQ(helpCourseForEdition(kEditionFutbol), Course::Futbol);
    EXPECT_EQ(helpCourseForEdition(kEditionBasket), Course::Basket);
    EXPECT_EQ(helpCourseForEdition(kEditionFutSal), Course::FutSal);
    EXPECT_EQ(helpCourseForEdition(kEditionZevez), Course::Zevez);
    EXPECT_FALSE(helpCourseForEdition(5).has_value());
    EXPECT_FALSE(helpCourseForEdition(-1).has_value());
}
