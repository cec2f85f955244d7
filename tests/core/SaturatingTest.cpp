#include "core/Saturating.h"

#include <gtest/gtest.h>

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

TEST(Saturating, AddClampsAtBothEnds) {
    EXPECT_EQ(saturatingAdd(2, 3), 5);
    EXPECT_EQ(saturatingAdd(kMax, 1), kMax);
    EXPECT_EQ(saturatingAdd(kMax - 1, 1), kMax);
    EXPECT_EQ(saturatingAdd(kMin, -1), kMin);
    EXPECT_EQ(saturatingAdd(kMax, kMin), -1);
}

TEST(Saturating, MultiplyClampsByTheSignOfTheTrueProduct) {
    EXPECT_EQ(saturatingMul(25, 60), 1500);
    EXPECT_EQ(saturatingMul(kMax / 60 + 1, 60), kMax); // minutes × 60 past the limit
    EXPECT_EQ(saturatingMul(-(kMax / 60) - 2, 60), kMin);
    EXPECT_EQ(saturatingMul(kMin, -1), kMax);
    EXPECT_EQ(saturatingMul(kMin, 1), kMin);
    EXPECT_EQ(saturatingMul(-4, -5), 20);
    static_assert(saturatingMul(kMax, 2) == kMax);
}

} // namespace
