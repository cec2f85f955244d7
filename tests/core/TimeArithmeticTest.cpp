#include "core/TimeArithmetic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(TimeArithmeticTest, NormalizeFoldsFullWidthDigitsColonAndLettersOnly) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"０１２３４５６７８９", "0123456789"},
        {"：", ":"},
        {"ＡＺａｚ", "AZaz"},
        {"［＼］＾＿｀", "[\\]^_`"}, // the six signs between the two letter blocks
        // Neighbours of the folded ranges stay as they are.
        {"；＠｛．－", "；＠｛．－"},
        {"１２：３０ｐｍ and 5m", "12:30pm and 5m"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeArithmetic::normalize(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
    }
}

TEST(TimeArithmeticTest, ClockTimeBoundsIncludeNegativeAndHugeValues) {
    EXPECT_TRUE(TimeArithmetic::isValidClockTime(0, 0, 0));
    EXPECT_TRUE(TimeArithmetic::isValidClockTime(23, 59, 59));
    constexpr qint64 huge = std::numeric_limits<qint64>::max();
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    const qint64 invalid[][3] = {
        {24, 0, 0}, {0, 60, 0}, {0, 0, 60}, {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}, {huge, 0, 0}, {lowest, 0, 0},
    };
    for (const auto& t : invalid) {
        EXPECT_FALSE(TimeArithmetic::isValidClockTime(t[0], t[1], t[2]))
            << t[0] << ":" << t[1] << ":" << t[2];
    }
}

TEST(TimeArithmeticTest, TotalSecondsWeighsEachUnitAndNeverOverflows) {
    EXPECT_EQ(TimeArithmetic::totalSeconds(1, 2, 3, 4), 93784.0);
    EXPECT_EQ(TimeArithmetic::totalSeconds(0, 0, 0, 0), 0.0);
    constexpr qint64 huge = std::numeric_limits<qint64>::max();
    const double big = TimeArithmetic::totalSeconds(huge, huge, huge, huge);
    EXPECT_TRUE(std::isfinite(big));
    EXPECT_GT(big, double(huge));
}

TEST(TimeArithmeticTest, BuildClockDateRefusesTimesNotLaterThanNow) {
    const QDate day(2024, 5, 14);
    const QDateTime now(day, QTime(10, 0), Qt::LocalTime);
    using TimeArithmetic::PastTimePolicy;
    EXPECT_EQ(TimeArithmetic::buildClockDate(10, 0, 1, now, PastTimePolicy::refuseNotLater),
              QDateTime(day, QTime(10, 0, 1), Qt::LocalTime));
    EXPECT_EQ(TimeArithmetic::buildClockDate(10, 0, 0, now, PastTimePolicy::refuseNotLater), std::nullopt);
    EXPECT_EQ(TimeArithmetic::buildClockDate(24, 0, 0, now, PastTimePolicy::refuseNotLater), std::nullopt);
    EXPECT_EQ(TimeArithmetic::buildClockDate(12, 0, 0, QDateTime(), PastTimePolicy::refuseNotLater),
              std::nullopt);
}

} // namespace
