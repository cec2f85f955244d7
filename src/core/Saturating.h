#pragma once
// Integer arithmetic for stored or typed values that clamps at the qint64 limits instead of overflowing.

#include <QtGlobal>

#include <limits>

// a + b, or the nearest qint64 limit when the true sum does not fit.
constexpr qint64 saturatingAdd(qint64 a, qint64 b) {
    qint64 result = 0;
    if (__builtin_add_overflow(a, b, &result)) {
        return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    }
    return result;
}

// a × b, or the qint64 limit of the true product's sign when it does not fit.
constexpr qint64 saturatingMul(qint64 a, qint64 b) {
    qint64 result = 0;
    if (__builtin_mul_overflow(a, b, &result)) {
        return (a < 0) != (b < 0) ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    }
    return result;
}
