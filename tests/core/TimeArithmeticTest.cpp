#include "core/TimeArithmetic.h"
#include "support/Requirement.h"

#include "support/ScopedTimeZone.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

TEST(TimeArithmeticTest, NormalizeFoldsFullWidthDigitsColonAndLettersOnly) {
    // The six signs between the two letter blocks fold too; the neighbours of the folded ranges do not.
    // clang-format off
    for (const auto& [in, out] : std::vector<std::pair<const char*, const char*>>{
             {"０１２３４５６７８９", "0123456789"}, {"：", ":"}, {"ＡＺａｚ", "AZaz"}, {"［＼］＾＿｀", "[\\]^_`"},
             {"；＠｛．－", "；＠｛．－"}, {"１２：３０ｐｍ and 5m", "12:30pm and 5m"}, {"", ""}}) {
        // clang-format on
        EXPECT_EQ(TimeArithmetic::normalize(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
    }
}

TEST(TimeArithmeticTest, ClockTimeBoundsAndUnitWeightsHoldForNegativeAndHugeValues) {
    EXPECT_TRUE(TimeArithmetic::isValidClockTime(0, 0, 0));
    EXPECT_TRUE(TimeArithmetic::isValidClockTime(23, 59, 59));
    const qint64 invalid[][3] = {{24, 0, 0}, {0, 60, 0}, {0, 0, 60},   {-1, 0, 0},
                                 {0, -1, 0}, {0, 0, -1}, {kMax, 0, 0}, {kMin, 0, 0}};
    for (const auto& [h, m, s] : invalid) {
        EXPECT_FALSE(TimeArithmetic::isValidClockTime(h, m, s)) << h << ":" << m << ":" << s;
    }
    EXPECT_EQ(TimeArithmetic::totalSeconds(1, 2, 3, 4), 93784.0);
    const double big = TimeArithmetic::totalSeconds(kMax, kMax, kMax, kMax); // never overflows
    EXPECT_TRUE(std::isfinite(big));
    EXPECT_GT(big, double(kMax));
}

TEST(TimeArithmeticTest, BuildClockDateRefusesTimesNotLaterThanNowOrWithoutANow) {
    const QDateTime now(QDate(2024, 5, 14), QTime(10, 0), Qt::LocalTime);
    const auto refuse = TimeArithmetic::PastTimePolicy::refuseNotLater;
    EXPECT_EQ(TimeArithmetic::buildClockDate(10, 0, 1, now, refuse), now.addSecs(1));
    EXPECT_EQ(TimeArithmetic::buildClockDate(10, 0, 0, now, refuse), std::nullopt);
    EXPECT_EQ(TimeArithmetic::buildClockDate(24, 0, 0, now, refuse), std::nullopt);
    EXPECT_EQ(TimeArithmetic::buildClockDate(12, 0, 0, QDateTime(), refuse), std::nullopt);
}

TEST(TimeArithmeticTest, AReadingTheClocksShowTwiceIsTheFirstOneStillAhead) {
    ScopedTimeZone zone("America/New_York"); // 2024-11-03: 02:00 EDT went back to 01:00 EST
    const QDate fallBack(2024, 11, 3);
    const auto utc = [&](int hour, int minute) {
        return QDateTime(fallBack, QTime(hour, minute), QTimeZone::utc());
    };
    if (utc(5, 30).toLocalTime().time() != QTime(1, 30)) {
        TT_SKIP_OR_FAIL("no time zone data for America/New_York"
                        << " (tzdata)");
    }
    const auto refuse = TimeArithmetic::PastTimePolicy::refuseNotLater;
    // clang-format off
    const std::vector<std::tuple<const char*, QDateTime, std::optional<QDateTime>>> rows = {
        {"before both: the first, an hour sooner", utc(4, 30), utc(5, 30)},
        {"between them: the second",               utc(5, 45), utc(6, 30)},
        {"after both: passed",                     utc(6, 45), std::nullopt},
    };
    // clang-format on
    for (const auto& [name, now, expected] : rows) {
        const auto date = TimeArithmetic::buildClockDate(1, 30, 0, now, refuse);
        EXPECT_EQ(date, expected) << name;
        if (date) {
            EXPECT_EQ(date->time(), QTime(1, 30)) << name; // it still reads as the local time asked for
        }
    }
}

} // namespace
