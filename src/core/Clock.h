#pragma once
// The engine's source of the current time, replaceable so tests can freeze and advance it.

#include <QDateTime>

#include <functional>

using Clock = std::function<QDateTime()>;

inline Clock systemClock() {
    return [] { return QDateTime::currentDateTimeUtc(); };
}
