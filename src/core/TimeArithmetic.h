#pragma once
// Time pieces shared by the typed-time parser and other time code: full-width folding, clock-time checks,
// today's date at a clock time (local time zone) and the sum of units in seconds.

#include <QDateTime>
#include <QString>

#include <optional>

namespace TimeArithmetic {

enum class PastTimePolicy {
    refuseNotLater, // a clock time that is not strictly later than now gives none
};

// Full-width digits, colon, Latin letters (and the six signs between the letter blocks) become ASCII;
// everything else is kept as it is.
QString normalize(const QString& text);

// Hour 0–23, minute 0–59, second 0–59; negative values are invalid.
bool isValidClockTime(qint64 hour, qint64 minute, qint64 second);

// Today (the local date of `now`) at the given clock time, or none when the time is not a valid clock time,
// `now` is invalid, or the policy refuses it. A time skipped by a daylight-saving change becomes the first
// moment after the skip, which is what the clocks showed.
std::optional<QDateTime> buildClockDate(qint64 hour, qint64 minute, qint64 second, const QDateTime& now,
                                        PastTimePolicy pastPolicy);

// days × 86400 + hours × 3600 + minutes × 60 + seconds, in floating point so that no input overflows.
double totalSeconds(qint64 days, qint64 hours, qint64 minutes, qint64 seconds);

} // namespace TimeArithmetic
