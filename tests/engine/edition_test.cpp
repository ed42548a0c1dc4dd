#include <gtest/gtest.h>

#include "engine/Edition.h"

using namespace norak;

TEST(Edition, PeriodCountsAndFirstPeriods) {
    EXPECT_EQ(sourcePeriodTable(kEditionProbst).size(), 30);
    EXPECT_EQ(sourcePeriodTable(kEditionFutSal).size(), 28);
    EXPECT_EQ(sourcePeriodTable(kEditionZevez).size(), 25);
    EXPECT_EQ(sourcePeriodTable(kEditionZevez).at(2), QStringLiteral("3227"));
}
