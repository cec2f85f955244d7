#include "core/LocalTimeZone.h"

#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <limits>

namespace {

constexpr qint64 kSecondsPerDay = 86'400;
constexpr qint64 kUnixEpochJulianDay = 2'440'588;

// localtime_r never looks at the zone again once the C library has it; tzset() does (and so does anyone
// else's call of it, Qt's among them). Looking at most once a second follows a change of the system's zone
// without a file check on every conversion.
void refreshZone() {
    static std::atomic<qint64> nextLookMsecs{std::numeric_limits<qint64>::min()};
    const qint64 now = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now().time_since_epoch())
                           .count();
    qint64 next = nextLookMsecs.load(std::memory_order_relaxed);
    if (now >= next && nextLookMsecs.compare_exchange_strong(next, now + 1000, std::memory_order_relaxed)) {
        tzset();
    }
}

qint64 wallSeconds(QDate date, QTime time) {
    return (date.toJulianDay() - kUnixEpochJulianDay) * kSecondsPerDay + time.msecsSinceStartOfDay() / 1000;
}

struct Local {
    qint64 wall;   // the reading as seconds since 1970, as if it were UTC
    qint64 offset; // wall - utc
};

Local localAt(qint64 utcSeconds) {
    const time_t t = time_t(utcSeconds);
    struct tm parts = {};
    if (!localtime_r(&t, &parts)) {
        return {utcSeconds, 0};
    }
    return {utcSeconds + parts.tm_gmtoff, parts.tm_gmtoff};
}

} // namespace

namespace LocalTimeZone {

Reading readingAt(qint64 utcSeconds) {
    refreshZone();
    const qint64 wall = localAt(utcSeconds).wall;
    const qint64 day = wall >= 0 ? wall / kSecondsPerDay : (wall - kSecondsPerDay + 1) / kSecondsPerDay;
    return {QDate::fromJulianDay(day + kUnixEpochJulianDay),
            QTime::fromMSecsSinceStartOfDay(int((wall - day * kSecondsPerDay) * 1000)),
            int(wall - utcSeconds)};
}

std::vector<qint64> instantsOf(QDate date, QTime time) {
    refreshZone();
    const qint64 target = wallSeconds(date, time);
    // An instant that reads `target` lies within a day of it (offsets stay within ±26 h) and has an offset
    // in force in that window; zones change their offset at most once in such a window, so the offsets at
    // its two ends are the only candidates.
    const qint64 before = localAt(target - 26 * 3600).offset;
    const qint64 after = localAt(target + 26 * 3600).offset;
    if (before == after) {
        return {target - before};
    }
    std::vector<qint64> found;
    for (const qint64 candidate : {target - before, target - after}) {
        if (localAt(candidate).wall == target) {
            found.push_back(candidate);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

qint64 firstInstantAfter(QDate date, QTime time) {
    refreshZone();
    const qint64 target = wallSeconds(date, time);
    // Offsets stay within ±26 h, so the answer lies within a day either side; the wall clock moves forward
    // across a skip, so a binary search finds the jump.
    qint64 earlier = target - 26 * 3600; // reads before the target
    qint64 later = target + 26 * 3600;   // reads after the target
    while (later - earlier > 1) {
        const qint64 middle = earlier + (later - earlier) / 2;
        if (localAt(middle).wall > target) {
            later = middle;
        } else {
            earlier = middle;
        }
    }
    return later;
}

} // namespace LocalTimeZone
