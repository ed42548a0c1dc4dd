#include <gtest/gtest.h>

#include <QString>

#include "engine/Edition.h"
#include "engine/PeriodLine.h"

using namespace norak;

TEST(PeriodLine, EveryLineOfEveryEditionsTableIsItsLegTime) {
    for (int edition = 0; edition < kEditionCount; ++edition) {
        for (const QString& line : sourcePeriodTable(edition))
            EXPECT_EQ(parsePeriodLine(line), line.toInt()) << edition << " " << line.toStdString();
    }
}

TEST(PeriodLine, PlainDigitsWithBlanksAroundThemAndLeadingZeros) {
    EXPECT_EQ(parsePeriodLine(u" 2000 "), 2000);
    EXPECT_EQ(parsePeriodLine(u"\t00951\r"), 951);
    EXPECT_EQ(parsePeriodLine(u"100"), kMinLegMs);
    EXPECT_EQ(parsePeriodLine(u"60000"), kMaxLegMs);
}

// Each of these once gave (or would give) a leg time: "+500" was taken by the number reader
// (found by the fuzz target, fuzz/corpus/period_line/crash-plus-sign), and "1" to "99" gave a
// signal every few milliseconds.
TEST(PeriodLine, NoLegTimeFromSignsOtherDigitsOrLegsNoPlayerCanRun) {
    for (const char16_t* line : {u"+500", u"-500", u"0", u"1", u"99", u"60001", u"2147483648", u"999999999",
                                 u"1,5", u"1e3", u"4x14", u"1 000", u"", u"   ", u"٤٢١٤", u"１２３４"})
        EXPECT_FALSE(parsePeriodLine(line).has_value()) << QString::fromUtf16(line).toStdString();
}
