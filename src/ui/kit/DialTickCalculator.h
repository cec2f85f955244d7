#pragma once
// How many of the minute dial's sixty ticks a timer has lit, from its length and the time it has left.

#include <QtGlobal>

class DialTickCalculator {
public:
    static constexpr int tickCount = 60;

    // 0 for a length below one second; the time left is held within 0…length first, so a timer past its
    // end shows every tick and one with more left than its length shows none.
    static int elapsedTickCount(qint64 totalDuration, qint64 remaining);

    DialTickCalculator() = delete;
};
