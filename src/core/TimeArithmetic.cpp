#include "core/TimeArithmetic.h"

#include "core/LocalTimeZone.h"

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

qint64 floorSeconds(qint64 msecs) {
    return msecs >= 0 ? msecs / 1000 : (msecs - 999) / 1000;
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
    const qint64 nowMsecs = now.toMSecsSinceEpoch();
    const QDate today = LocalTimeZone::readingAt(floorSeconds(nowMsecs)).date;
    const QTime time{int(hour), int(minute), int(second)};
    const std::vector<qint64> instants = LocalTimeZone::instantsOf(today, time);
    qint64 chosen = 0;
    if (instants.empty()) {
        // A reading skipped by the clocks becomes the first moment after the skip, what the clocks showed.
        chosen = LocalTimeZone::firstInstantAfter(today, time);
    } else {
        // Read twice when the clocks go back: the first time it is still ahead.
        chosen = instants.back();
        for (const qint64 instant : instants) {
            if (instant * 1000 > nowMsecs) {
                chosen = instant;
                break;
            }
        }
    }
    switch (pastPolicy) {
    case PastTimePolicy::refuseNotLater:
        if (chosen * 1000 <= nowMsecs) {
            return std::nullopt;
        }
        break;
    }
    // A fixed offset carries the local reading without another trip through the time zone code.
    return QDateTime::fromSecsSinceEpoch(chosen, Qt::OffsetFromUTC,
                                         LocalTimeZone::readingAt(chosen).offsetFromUtc);
}

double totalSeconds(qint64 days, qint64 hours, qint64 minutes, qint64 seconds) {
    return double(days) * 86400.0 + double(hours) * 3600.0 + double(minutes) * 60.0 + double(seconds);
}

} // namespace TimeArithmetic
