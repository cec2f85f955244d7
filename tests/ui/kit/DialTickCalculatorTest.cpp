#include "ui/kit/DialTickCalculator.h"

#include <gtest/gtest.h>

#include <limits>

TEST(DialTickCalculatorTest, LightsOneTickPerSixtiethOfTheLengthElapsed) {
    const struct {
        const char* name;
        qint64 total;
        qint64 remaining;
        int ticks;
    } rows[] = {
        {"nothing elapsed lights nothing", 1500, 1500, 0},
        {"one sixtieth elapsed lights the first tick", 1500, 1475, 1},
        {"just short of a sixtieth still lights nothing", 1500, 1476, 0},
        {"half elapsed lights thirty", 1500, 750, 30},
        {"one second left of a minute still leaves the last tick dark", 60, 1, 59},
        {"the end lights all sixty", 1500, 0, 60},
        {"time past the end counts as the end", 1500, -30, 60},
        {"more left than the length counts as nothing elapsed", 1500, 1800, 0},
        {"a length below one second lights nothing", 0, -5, 0},
        {"a negative length lights nothing", -10, 0, 0},
        {"the longest timer does not overflow", std::numeric_limits<qint64>::max(), 0, 60},
        {"a one-second timer lights nothing until it ends", 1, 1, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(DialTickCalculator::elapsedTickCount(row.total, row.remaining), row.ticks) << row.name;
    }
}
