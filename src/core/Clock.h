#pragma once
// The engine's sources of time, replaceable so tests can freeze and advance them: the wall clock, which says
// what time it is, and the elapsed clock, which says how much time has passed.

#include <QDateTime>

#include <functional>

using Clock = std::function<QDateTime()>;

inline Clock systemClock() {
    return [] { return QDateTime::currentDateTimeUtc(); };
}

// Milliseconds on a clock that keeps running while the machine sleeps and is not moved when the wall clock
// is set: what a countdown spends. Only differences between two readings mean anything.
using ElapsedClock = std::function<qint64()>;

// The kernel's boot-time clock, or its monotonic clock where there is none (that one stops during sleep).
qint64 elapsedSinceBoot();

inline ElapsedClock bootClock() {
    return [] { return elapsedSinceBoot(); };
}
