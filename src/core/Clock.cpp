#include "core/Clock.h"

#include <ctime>

qint64 elapsedSinceBoot() {
    timespec now{};
#ifdef CLOCK_BOOTTIME
    if (clock_gettime(CLOCK_BOOTTIME, &now) == 0) {
        return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
    }
#endif
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}
