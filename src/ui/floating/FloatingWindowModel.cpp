#include "ui/floating/FloatingWindowModel.h"

#include "core/PomodoroManager.h"
#include "core/SettingsKeys.h"
#include "core/TimeDisplayStyle.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "theme/ThemeSettingsKeys.h"
#include "theme/ThemeStore.h"

FloatingWindowModel::FloatingWindowModel(TimerManager& timerManager, PomodoroManager& pomodoroManager,
                                         const Preferences& preferences, QObject* parent)
    : QObject(parent), m_timerManager(&timerManager), m_pomodoroManager(&pomodoroManager),
      m_preferences(preferences) {
    connect(&timerManager, &TimerManager::changed, this, &FloatingWindowModel::changed);
    connect(&pomodoroManager, &PomodoroManager::changed, this, &FloatingWindowModel::changed);
    // The accent and the wording can change while nothing ticks.
    connect(&preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == SettingsKeys::displayStyle.key || key == SettingsKeys::floatingShowTaskName.key ||
            key == ThemeSettingsKeys::accent.key || key == ThemeSettingsKeys::customAccentHex.key) {
            emit changed();
        }
    });
}

std::optional<TimerItem> FloatingWindowModel::heroTimer() const {
    if (!m_timerManager) {
        return std::nullopt;
    }
    if (m_pomodoroManager && m_pomodoroManager->session().isActive) {
        if (const auto id = m_pomodoroManager->activeTimerID()) {
            for (const TimerItem& timer : m_timerManager->timers()) {
                if (timer.id == *id) {
                    return timer;
                }
            }
            return std::nullopt; // the phase timer is gone: no stand-in
        }
    }
    return m_timerManager->primaryTimer();
}

QString FloatingWindowModel::heroLabel() const {
    if (m_pomodoroManager && m_pomodoroManager->session().isActive) {
        return label(m_pomodoroManager->session().currentPhase);
    }
    const auto hero = heroTimer();
    if (!hero) {
        return {};
    }
    if (SettingsKeys::floatingShowTaskName.read(m_preferences) && !hero->title.isEmpty()) {
        return hero->title;
    }
    if (hero->isAlarm && hero->alarmTargetTime) {
        const TimeDisplayStyle style = timeDisplayStyleFromRaw(SettingsKeys::displayStyle.read(m_preferences))
                                           .value_or(TimeDisplayStyle::japanese);
        return until(style, *hero->alarmTargetTime);
    }
    return {};
}

QString FloatingWindowModel::timeText() const {
    if (const auto hero = heroTimer()) {
        return hero->displayTime();
    }
    return m_timerManager ? m_timerManager->displayTime() : QString();
}

bool FloatingWindowModel::isRunning() const {
    const auto hero = heroTimer();
    return hero && hero->state == TimerState::running;
}

bool FloatingWindowModel::isFinished() const {
    const auto hero = heroTimer();
    return hero && hero->state == TimerState::finished;
}

double FloatingWindowModel::progress() const {
    const auto hero = heroTimer();
    if (!hero || hero->totalDuration < 1) {
        return 0;
    }
    return double(hero->totalDuration - hero->remaining) / double(hero->totalDuration);
}

QColor FloatingWindowModel::accent() const {
    return ThemeStore::resolveAccentColor(m_preferences);
}

void FloatingWindowModel::primaryAction() {
    if (m_pomodoroManager && m_pomodoroManager->session().isActive) {
        if (m_pomodoroManager->session().isPaused) {
            m_pomodoroManager->resumeSession();
        } else {
            m_pomodoroManager->pauseSession();
        }
        return;
    }
    if (const auto hero = heroTimer(); hero && m_timerManager) {
        m_timerManager->toggle(hero->id);
    }
}
