#include "shell/PanelShortForm.h"

#include <algorithm>

namespace {

constexpr qint64 kMinute = 60;
constexpr qint64 kHour = 3600;
constexpr qint64 kLongestMinutes = 99;

qint64 roundedUp(qint64 seconds, qint64 unit) {
    return seconds / unit + (seconds % unit != 0 ? 1 : 0);
}

bool rowHas(const QList<MenuBarDisplayContent::Item>& row, MenuBarDisplayContent::Item::Kind kind) {
    return std::any_of(row.begin(), row.end(),
                       [kind](const MenuBarDisplayContent::Item& item) { return item.kind == kind; });
}

} // namespace

const QString PanelLabelParts::pauseMark = QStringLiteral("\u2016 ");

QString PanelShortForm::figure() const {
    switch (kind) {
    case Kind::glyph:
        return {};
    case Kind::hours:
        return QString::number(value) + QLatin1Char('h');
    case Kind::minutes:
    case Kind::seconds:
        return QString::number(value);
    }
    return {};
}

QString PanelShortForm::unitMark() const {
    return kind == Kind::seconds ? QStringLiteral("s") : QString();
}

PanelShortForm PanelShortForm::of(const MenuBarDisplayContent& content, qint64 remaining, qint64 total) {
    PanelShortForm form;
    form.iconStyle = content.iconStyle;
    const QList<MenuBarDisplayContent::Item> row = content.items();
    if (!rowHas(row, MenuBarDisplayContent::Item::Kind::time)) {
        return form; // the label shows the icon alone
    }
    remaining = std::max<qint64>(0, remaining);
    qint64 shownSeconds = remaining;
    if (remaining < kMinute) {
        form.kind = Kind::seconds;
        form.value = remaining;
    } else if (roundedUp(remaining, kMinute) <= kLongestMinutes) {
        form.kind = Kind::minutes;
        form.value = roundedUp(remaining, kMinute);
        shownSeconds = form.value * kMinute;
    } else {
        form.kind = Kind::hours;
        form.value = roundedUp(remaining, kHour);
        shownSeconds = form.value * kHour;
    }
    form.paused = content.isPaused;
    form.gauge = rowHas(row, MenuBarDisplayContent::Item::Kind::icon);
    if (form.gauge && total > 0) {
        // From the figure rather than the second, so the gauge moves when the figure does.
        const double left = std::clamp(double(std::min(shownSeconds, total)) / double(total), 0.0, 1.0);
        form.gaugeFill = int(left * gaugeSteps + 0.5);
    }
    return form;
}

QString PanelLabelParts::glyphName(MenuBarIconStyle style) {
    switch (style) {
    case MenuBarIconStyle::windup:
        return QStringLiteral("tarvolintimer-timer-symbolic");
    case MenuBarIconStyle::clock:
        return QStringLiteral("tarvolintimer-clock-symbolic");
    case MenuBarIconStyle::minimal:
        return QStringLiteral("tarvolintimer-dashed-symbolic");
    }
    return QStringLiteral("tarvolintimer-timer-symbolic");
}

QString PanelLabelParts::pausedGlyphName() {
    return QStringLiteral("tarvolintimer-paused-symbolic");
}

PanelLabelParts PanelLabelParts::of(const MenuBarDisplayContent& content) {
    using Kind = MenuBarDisplayContent::Item::Kind;
    const QList<MenuBarDisplayContent::Item> row = content.items();
    PanelLabelParts parts;
    const bool icon = rowHas(row, Kind::icon);
    const bool pause = rowHas(row, Kind::pauseMark);
    const bool time = rowHas(row, Kind::time);
    if (icon) {
        parts.iconName = glyphName(content.iconStyle);
    } else if (pause) {
        parts.iconName = pausedGlyphName(); // the pause mark stands where the icon would
    }
    if (time) {
        parts.label = (icon && pause ? pauseMark : QString()) + content.timeText;
        // Every digit as the widest one, so the panel keeps the same room while the time counts down.
        parts.guide = parts.label;
        for (QChar& c : parts.guide) {
            if (c.isDigit()) {
                c = QLatin1Char('0');
            }
        }
    }
    return parts;
}
