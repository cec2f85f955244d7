#include "core/QuickLaunchParser.h"

#include "core/TimeArithmetic.h"

#include <QRegularExpression>
#include <QStringView>

#include <limits>
#include <optional>

namespace {

// Every typed number is bounded by this, whatever its unit.
constexpr qint64 maxUnitValue = 999999;

QuickLaunchParseResult fail(QuickLaunchParseError::Case error) {
    return QuickLaunchParseError(std::move(error));
}

QuickLaunchParseResult invalidFormat(const QString& text) {
    return fail(QuickLaunchParseError::invalidFormat{text});
}

// Base 10 with an optional sign and nothing else, not even spaces ("9 " is not 9). A number too long for
// 64 bits saturates instead of overflowing: callers compare it with small ranges, so it is simply too big.
std::optional<qint64> toStrictInteger(QStringView text) {
    qsizetype i = 0;
    bool negative = false;
    if (!text.isEmpty() && (text[0] == u'+' || text[0] == u'-')) {
        negative = text[0] == u'-';
        i = 1;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        const int digit = c - u'0';
        value = value > (max - digit) / 10 ? max : value * 10 + digit;
    }
    return negative ? -value : value;
}

bool isAllAsciiDigits(QStringView text) {
    for (QChar c : text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return !text.isEmpty();
}

QString normalize(const QString& text) {
    return TimeArithmetic::normalize(text).trimmed().toLower();
}

bool isAbsoluteTimeFormat(const QString& text) {
    return text.contains(u':') || text.endsWith(u"am") || text.endsWith(u"pm");
}

// A group that took no part gives none. Groups hold ASCII digits only, so conversion fails only by length,
// which saturates above the range instead.
std::optional<qint64> extractInt(const QRegularExpressionMatch& match, int group) {
    if (match.capturedStart(group) < 0) {
        return std::nullopt;
    }
    return toStrictInteger(match.capturedView(group));
}

QuickLaunchParseResult parseRelativeDuration(const QString& text) {
    if (text.contains(u'.') || text.contains(u'-')) {
        return invalidFormat(text);
    }

    // A bare number is minutes; one too long for 64 bits is out of range like any other above the bound.
    if (isAllAsciiDigits(text)) {
        const qint64 minutes = *toStrictInteger(text);
        if (minutes > maxUnitValue) {
            return fail(QuickLaunchParseError::outOfRange{});
        }
        if (minutes == 0) {
            return fail(QuickLaunchParseError::zeroDuration{});
        }
        return ParsedQuickLaunch(ParsedQuickLaunch::duration{double(minutes) * 60.0});
    }

    // [0-9] rather than \d: digits of other scripts are not numbers here.
    static const QRegularExpression unitForm(
        QStringLiteral("^(?:([0-9]+)d)?(?:([0-9]+)(?:hr|h))?(?:([0-9]+)(?:min|m))?(?:([0-9]+)(?:sec|s))?$"));
    if (!unitForm.isValid()) {
        return invalidFormat(text);
    }
    const QRegularExpressionMatch match = unitForm.match(text);
    if (!match.hasMatch()) {
        return invalidFormat(text);
    }
    const std::optional<qint64> days = extractInt(match, 1);
    const std::optional<qint64> hours = extractInt(match, 2);
    const std::optional<qint64> minutes = extractInt(match, 3);
    const std::optional<qint64> seconds = extractInt(match, 4);
    if (!days && !hours && !minutes && !seconds) {
        return invalidFormat(text);
    }
    for (const std::optional<qint64>& value : {days, hours, minutes, seconds}) {
        if (value.value_or(0) > maxUnitValue) {
            return fail(QuickLaunchParseError::outOfRange{});
        }
    }
    const double total = TimeArithmetic::totalSeconds(days.value_or(0), hours.value_or(0),
                                                      minutes.value_or(0), seconds.value_or(0));
    if (!(total > 0)) {
        return fail(QuickLaunchParseError::zeroDuration{});
    }
    return ParsedQuickLaunch(ParsedQuickLaunch::duration{total});
}

QuickLaunchParseResult buildAlarmDate(qint64 hour, qint64 minute, qint64 second, const QDateTime& now) {
    // Today only: a time that has passed, or is exactly now, is refused rather than moved to tomorrow.
    std::optional<QDateTime> date = TimeArithmetic::buildClockDate(
        hour, minute, second, now, TimeArithmetic::PastTimePolicy::refuseNotLater);
    if (!date) {
        return fail(QuickLaunchParseError::pastTime{});
    }
    return ParsedQuickLaunch(ParsedQuickLaunch::alarm{std::move(*date)});
}

QuickLaunchParseResult parseAmPmTime(const QString& text, const QDateTime& now) {
    const bool isPm = text.endsWith(u"pm");
    const QStringView rest = QStringView(text).chopped(2);
    if (rest.isEmpty()) {
        return invalidFormat(text);
    }
    std::optional<qint64> hour;
    std::optional<qint64> minute = 0;
    if (rest.contains(u':')) {
        const QList<QStringView> pieces = rest.split(u':', Qt::SkipEmptyParts);
        if (pieces.size() != 2) {
            return invalidFormat(text);
        }
        hour = toStrictInteger(pieces[0]);
        minute = toStrictInteger(pieces[1]);
    } else {
        hour = toStrictInteger(rest);
    }
    if (!hour || !minute) {
        return invalidFormat(text);
    }
    if (*hour < 1 || *hour > 12 || *minute < 0 || *minute > 59) {
        return fail(QuickLaunchParseError::outOfRange{});
    }
    const qint64 hour24 = isPm ? (*hour == 12 ? 12 : *hour + 12) : (*hour == 12 ? 0 : *hour);
    return buildAlarmDate(hour24, *minute, 0, now);
}

QuickLaunchParseResult parseAbsoluteTime(const QString& text, const QDateTime& now) {
    if (text.endsWith(u"am") || text.endsWith(u"pm")) {
        return parseAmPmTime(text, now);
    }
    const QList<QStringView> pieces = QStringView(text).split(u':', Qt::SkipEmptyParts);
    if (pieces.size() < 2 || pieces.size() > 3) {
        return invalidFormat(text);
    }
    const std::optional<qint64> hour = toStrictInteger(pieces[0]);
    const std::optional<qint64> minute = toStrictInteger(pieces[1]);
    const std::optional<qint64> second = pieces.size() == 3 ? toStrictInteger(pieces[2]) : 0;
    if (!hour || !minute || !second) {
        return invalidFormat(text);
    }
    if (!TimeArithmetic::isValidClockTime(*hour, *minute, *second)) {
        return fail(QuickLaunchParseError::outOfRange{});
    }
    return buildAlarmDate(*hour, *minute, *second, now);
}

} // namespace

QuickLaunchParseResult QuickLaunchParser::parse(const QString& text, const QDateTime& now) {
    const QString normalized = normalize(text);
    if (normalized.isEmpty()) {
        return fail(QuickLaunchParseError::empty{});
    }
    if (isAbsoluteTimeFormat(normalized)) {
        return parseAbsoluteTime(normalized, now);
    }
    return parseRelativeDuration(normalized);
}

QuickLaunchParseResult QuickLaunchParser::parse(const QString& text) {
    return parse(text, QDateTime::currentDateTimeUtc());
}
