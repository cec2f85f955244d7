#pragma once
// Local-time conversions for code that runs often (every typed clock time). The C library's own checks
// /etc/localtime on each conversion when TZ is unset; here the zone is looked up again only when TZ changes
// or a second has passed since the last look, which still follows a change of the system's zone.

#include <QDate>
#include <QTime>

#include <optional>
#include <vector>

namespace LocalTimeZone {

struct Reading {
    QDate date;
    QTime time;
    int offsetFromUtc = 0; // seconds ahead of UTC
};

// What the local clock reads at `utcSeconds` (seconds since 1970).
Reading readingAt(qint64 utcSeconds);

// Every instant (seconds since 1970, earliest first) at which the local clock reads `date` `time`: one
// usually, two when the clocks go back over it, none when they skip it.
std::vector<qint64> instantsOf(QDate date, QTime time);

// The first instant whose local reading is later than `date` `time`: for a reading the clocks skipped,
// the end of the skip.
qint64 firstInstantAfter(QDate date, QTime time);

} // namespace LocalTimeZone
