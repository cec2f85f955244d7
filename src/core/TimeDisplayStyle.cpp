#include "core/TimeDisplayStyle.h"

#include "core/TimerItem.h"

namespace {

template <typename Enum> struct Case {
    Enum value;
    const char* raw;
    const char* label; // shown as written in every interface language, like the sample
    const char* sample;
};

// The labels name the wording that the samples show, so neither is translated: the picker reads the same
// in both interface languages.
const Case<TimeDisplayStyle> styleCases[] = {
    {TimeDisplayStyle::japanese, "japanese", "Japanese", "19:44 まで"},
    {TimeDisplayStyle::english, "english", "English", "until 19:44"},
    {TimeDisplayStyle::symbol, "symbol", "Symbol", "→19:44"},
};

const Case<MenuBarAlarmFormat> formatCases[] = {
    {MenuBarAlarmFormat::targetAndRemaining, "targetAndRemaining", "Target + Remaining", "19:44 · 4:05"},
    {MenuBarAlarmFormat::remainingOnly, "remainingOnly", "Remaining Only", "4:05"},
    {MenuBarAlarmFormat::worded, "worded", "Worded", "until 19:44 · 4:05 left"},
};

const Case<MenuBarRemainingDetail> detailCases[] = {
    {MenuBarRemainingDetail::seconds, "seconds", "Seconds", "2:13:45"},
    {MenuBarRemainingDetail::minutes, "minutes", "Minutes", "2:13"},
    {MenuBarRemainingDetail::words, "words", "Words", "2h 13m 45s"},
};

template <typename Enum, std::size_t N> const Case<Enum>& entry(const Case<Enum> (&cases)[N], Enum value) {
    for (const auto& c : cases) {
        if (c.value == value) {
            return c;
        }
    }
    return cases[0]; // unreachable for a valid enumerator
}

template <typename Enum, std::size_t N>
std::optional<Enum> fromRaw(const Case<Enum> (&cases)[N], const QString& raw) {
    for (const auto& c : cases) {
        if (raw == QLatin1String(c.raw)) {
            return c.value;
        }
    }
    return std::nullopt;
}

template <typename Enum, std::size_t N> QList<Enum> all(const Case<Enum> (&cases)[N]) {
    QList<Enum> out;
    for (const auto& c : cases) {
        out << c.value;
    }
    return out;
}

QString twoDigits(qint64 n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

const QString separator = QStringLiteral(" · ");
const QString arrow = QStringLiteral("→");

} // namespace

QString toRaw(TimeDisplayStyle style) {
    return QString::fromLatin1(entry(styleCases, style).raw);
}
QString toRaw(MenuBarAlarmFormat format) {
    return QString::fromLatin1(entry(formatCases, format).raw);
}
QString toRaw(MenuBarRemainingDetail detail) {
    return QString::fromLatin1(entry(detailCases, detail).raw);
}

std::optional<TimeDisplayStyle> timeDisplayStyleFromRaw(const QString& raw) {
    return fromRaw(styleCases, raw);
}
std::optional<MenuBarAlarmFormat> menuBarAlarmFormatFromRaw(const QString& raw) {
    return fromRaw(formatCases, raw);
}
std::optional<MenuBarRemainingDetail> menuBarRemainingDetailFromRaw(const QString& raw) {
    return fromRaw(detailCases, raw);
}

QString label(TimeDisplayStyle style) {
    return QString::fromUtf8(entry(styleCases, style).label);
}
QString label(MenuBarAlarmFormat format) {
    return QString::fromUtf8(entry(formatCases, format).label);
}
QString label(MenuBarRemainingDetail detail) {
    return QString::fromUtf8(entry(detailCases, detail).label);
}

QString sample(TimeDisplayStyle style) {
    return QString::fromUtf8(entry(styleCases, style).sample);
}
QString sample(MenuBarAlarmFormat format) {
    return QString::fromUtf8(entry(formatCases, format).sample);
}
QString sample(MenuBarRemainingDetail detail) {
    return QString::fromUtf8(entry(detailCases, detail).sample);
}

QList<TimeDisplayStyle> allTimeDisplayStyles() {
    return all(styleCases);
}
QList<MenuBarAlarmFormat> allMenuBarAlarmFormats() {
    return all(formatCases);
}
QList<MenuBarRemainingDetail> allMenuBarRemainingDetails() {
    return all(detailCases);
}

QString remaining(TimeDisplayStyle /*style: the remaining time reads the same in every style*/,
                  qint64 seconds, MenuBarRemainingDetail detail) {
    const qint64 s = seconds < 0 ? 0 : seconds;
    const qint64 h = s / 3600;
    const qint64 m = (s % 3600) / 60;
    const qint64 c = s % 60;
    const bool hourForm = s >= 3600;
    switch (detail) {
    case MenuBarRemainingDetail::seconds:
        break;
    case MenuBarRemainingDetail::minutes:
        if (hourForm) {
            const qint64 totalMinutes =
                s / 60 + (c != 0 ? 1 : 0); // rounded up, without overflowing near the max
            return QStringLiteral("%1:%2").arg(totalMinutes / 60).arg(twoDigits(totalMinutes % 60));
        }
        break;
    case MenuBarRemainingDetail::words:
        if (hourForm) {
            return QStringLiteral("%1h %2m %3s").arg(h).arg(m).arg(c);
        }
        if (s < 60) {
            return QStringLiteral("%1s").arg(c);
        }
        return QStringLiteral("%1m %2s").arg(m).arg(c);
    }
    if (hourForm) {
        return QStringLiteral("%1:%2:%3").arg(h).arg(twoDigits(m), twoDigits(c));
    }
    return QStringLiteral("%1:%2").arg(m).arg(twoDigits(c));
}

QString until(TimeDisplayStyle style, const QDateTime& date) {
    const QString t = TimerItem::formatTimeOfDay(date);
    switch (style) {
    case TimeDisplayStyle::japanese:
        return t + QStringLiteral(" まで");
    case TimeDisplayStyle::english:
        return QStringLiteral("until ") + t;
    case TimeDisplayStyle::symbol:
        return arrow + t;
    }
    return t;
}

QString ends(TimeDisplayStyle style, const QDateTime& date) {
    const QString t = TimerItem::formatTimeOfDay(date);
    switch (style) {
    case TimeDisplayStyle::japanese:
        return QStringLiteral("終了 ") + t;
    case TimeDisplayStyle::english:
        return QStringLiteral("ends ") + t;
    case TimeDisplayStyle::symbol:
        return arrow + t;
    }
    return t;
}

QString menuBarAlarm(TimeDisplayStyle style, const QDateTime& target, qint64 remainingSec,
                     MenuBarAlarmFormat format, MenuBarRemainingDetail detail) {
    const QString r = remaining(style, remainingSec, detail);
    if (format == MenuBarAlarmFormat::remainingOnly) {
        return r;
    }
    const QString t = TimerItem::formatTimeOfDay(target);
    if (style == TimeDisplayStyle::symbol) {
        return arrow + t + separator + r; // both remaining formats read the same with symbols
    }
    if (format == MenuBarAlarmFormat::targetAndRemaining) {
        return t + separator + r;
    }
    if (style == TimeDisplayStyle::japanese) {
        return t + QStringLiteral("まで あと") + r;
    }
    return QStringLiteral("until ") + t + separator + r + QStringLiteral(" left");
}
