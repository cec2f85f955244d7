#include "core/TimeArithmetic.h"

namespace {

constexpr char16_t fullWidthDigitZero = 0xFF10;
constexpr char16_t fullWidthColon = 0xFF1A;
constexpr char16_t fullWidthCapitalA = 0xFF21;
constexpr char16_t fullWidthSmallZ = 0xFF5A;
constexpr char16_t fullWidthOffset = 0xFEE0;

bool isFoldedFullWidth(char16_t c) {
    return (c >= fullWidthDigitZero && c <= fullWidthColon) ||
           (c >= fullWidthCapitalA && c <= fullWidthSmallZ);
}

// A local reading as seconds since the epoch, as if it were UTC: comparable with other readings, and no
// second trip through the C library's time zone code.
qint64 wallSeconds(const QDateTime& local) {
    return QDateTime(local.date(), local.time(), Qt::UTC).toSecsSinceEpoch();
}

// The first moment whose local wall clock reads later than `date` `time`, for a reading that does not exist
// (it lies in a daylight-saving gap). Offsets stay within ±14 h, so the answer lies within a day either
// side; the wall clock only moves forward across one gap, so a binary search finds the jump.
QDateTime firstMomentAfterGap(QDate date, QTime time) {
    const qint64 target = QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
    constexpr qint64 window = 26 * 3600;
    qint64 earlier = target - window; // wall clock before the target
    qint64 later = target + window;   // wall clock after the target
    while (later - earlier > 1) {
        const qint64 middle = earlier + (later - earlier) / 2;
        if (wallSeconds(QDateTime::fromSecsSinceEpoch(middle, Qt::LocalTime)) > target) {
            later = middle;
        } else {
            earlier = middle;
        }
    }
    return QDateTime::fromSecsSinceEpoch(later, Qt::LocalTime);
}

} // namespace

namespace TimeArithmetic {

QString normalize(const QString& text) {
    // Most input is plain ASCII: hand back the shared string without copying it.
    const QChar* data = text.constData();
    qsizetype first = 0;
    while (first < text.size() && !isFoldedFullWidth(data[first].unicode())) {
        ++first;
    }
    if (first == text.size()) {
        return text;
    }
    QString folded = text;
    QChar* out = folded.data();
    for (qsizetype i = first; i < folded.size(); ++i) {
        const char16_t c = out[i].unicode();
        if (isFoldedFullWidth(c)) {
            out[i] = QChar(char16_t(c - fullWidthOffset));
        }
    }
    return folded;
}

bool isValidClockTime(qint64 hour, qint64 minute, qint64 second) {
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

std::optional<QDateTime> buildClockDate(qint64 hour, qint64 minute, qint64 second, const QDateTime& now,
                                        PastTimePolicy pastPolicy) {
    if (!now.isValid() || !isValidClockTime(hour, minute, second)) {
        return std::nullopt;
    }
    const QDate today = now.toLocalTime().date();
    const QTime time{int(hour), int(minute), int(second)};
    QDateTime date(today, time, Qt::LocalTime);
    if (!date.isValid()) {
        // Qt reports a reading skipped by the clocks as invalid rather than moving it.
        date = firstMomentAfterGap(today, time);
    }
    if (!date.isValid()) {
        return std::nullopt;
    }
    switch (pastPolicy) {
    case PastTimePolicy::refuseNotLater:
        if (date <= now) {
            return std::nullopt;
        }
        break;
    }
    return date;
}

double totalSeconds(qint64 days, qint64 hours, qint64 minutes, qint64 seconds) {
    return double(days) * 86400.0 + double(hours) * 3600.0 + double(minutes) * 60.0 + double(seconds);
}

} // namespace TimeArithmetic
