#include "ui/kit/MenuBarLabelModel.h"

#include "core/AppSettings.h"
#include "core/TimerManager.h"

namespace {

bool sameContent(const MenuBarDisplayContent& a, const MenuBarDisplayContent& b) {
    return a.mode == b.mode && a.iconStyle == b.iconStyle && a.isActive == b.isActive &&
           a.isPaused == b.isPaused && a.timeText == b.timeText;
}

} // namespace

MenuBarLabelModel::MenuBarLabelModel(TimerManager& timers, AppSettings& settings, QObject* parent)
    : QObject(parent), m_timers(timers), m_settings(settings) {
    readSettings();
    refresh();
    connect(&m_timers, &TimerManager::timersChanged, this, &MenuBarLabelModel::refresh);
    connect(&m_settings, &AppSettings::changed, this, [this] {
        readSettings();
        refresh();
    });
}

void MenuBarLabelModel::readSettings() {
    // A stored text that names no choice reads as the default.
    m_style = timeDisplayStyleFromRaw(m_settings.displayStyleRaw()).value_or(TimeDisplayStyle::japanese);
    m_alarmFormat = menuBarAlarmFormatFromRaw(m_settings.menuBarAlarmFormatRaw())
                        .value_or(MenuBarAlarmFormat::targetAndRemaining);
    m_detail = menuBarRemainingDetailFromRaw(m_settings.menuBarRemainingDetailRaw())
                   .value_or(MenuBarRemainingDetail::seconds);
    m_mode =
        menuBarDisplayModeFromRaw(m_settings.menuBarDisplayModeRaw()).value_or(MenuBarDisplayMode::timeOnly);
    m_iconStyle =
        menuBarIconStyleFromRaw(m_settings.menuBarIconStyleRaw()).value_or(MenuBarIconStyle::windup);
}

void MenuBarLabelModel::refresh() {
    MenuBarDisplayContent next;
    next.mode = m_mode;
    next.iconStyle = m_iconStyle;
    const auto primary = m_timers.primaryTimer();
    next.isActive = primary.has_value();
    next.isPaused = primary && primary->state == TimerState::paused;
    next.timeText = m_timers.menuBarText(m_style, m_alarmFormat, m_detail);
    QString toolTip = next.isActive ? next.timeText : QString();
    const qint64 remaining = primary ? primary->remaining : 0;
    const qint64 total = primary ? primary->totalDuration : 0;
    if (sameContent(next, m_content) && toolTip == m_toolTip && remaining == m_remaining &&
        total == m_total) {
        return;
    }
    m_content = std::move(next);
    m_toolTip = std::move(toolTip);
    m_remaining = remaining;
    m_total = total;
    emit changed();
}
