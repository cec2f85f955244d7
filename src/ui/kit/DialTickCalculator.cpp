#include "ui/kit/DialTickCalculator.h"

#include <algorithm>
#include <cmath>

int DialTickCalculator::elapsedTickCount(qint64 totalDuration, qint64 remaining) {
    if (totalDuration < 1) {
        return 0;
    }
    const qint64 left = std::clamp<qint64>(remaining, 0, totalDuration);
    const double elapsed = double(totalDuration - left);
    const double ticks = std::floor(elapsed / double(totalDuration) * double(tickCount));
    return std::clamp(int(ticks), 0, tickCount);
}
