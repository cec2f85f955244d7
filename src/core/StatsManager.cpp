#include "core/StatsManager.h"

#include "core/HistoryManagerProtocol.h"
#include "core/Saturating.h"

#include <algorithm>

StatsManager::StatsManager(HistoryManagerProtocol& history, Clock clock, QObject* parent)
    : QObject(parent), m_history(history), m_clock(std::move(clock)) {
    m_dayChangeTimer.setSingleShot(true);
    // One wake-up a day (or per cap); precision keeps the label from showing yesterday's total past midnight.
    m_dayChangeTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_dayChangeTimer, &QTimer::timeout, this, &StatsManager::onDayChanged);
}

QDateTime StatsManager::startOfToday() const {
    // startOfDay copes with a midnight skipped by a daylight-saving change.
    return m_clock().toLocalTime().date().startOfDay();
}

void StatsManager::refreshTodayStats(bool force) {
    const QDateTime today = startOfToday();
    if (!force && m_lastStatsDate && m_lastStatsDate->date() == today.date()) {
        return;
    }
    m_lastStatsDate = today;

    qint64 total = 0;
    for (const TimerHistoryEntry& entry : m_history.loadHistory()) {
        if (entry.completedAt.toLocalTime().date() == today.date()) {
            total = saturatingAdd(total, entry.duration);
        }
    }
    m_todayTotalSeconds = total;
    armDayChangeTimer();
}

void StatsManager::addToTodayStats(qint64 seconds) {
    const QDateTime today = startOfToday();
    if (m_lastStatsDate && m_lastStatsDate->date() == today.date()) {
        m_todayTotalSeconds = saturatingAdd(m_todayTotalSeconds, seconds);
    } else {
        refreshTodayStats(true);
    }
    emit todayTotalSecondsChanged();
}

void StatsManager::onDayChanged() {
    if (m_lastStatsDate && m_lastStatsDate->date() == startOfToday().date()) {
        armDayChangeTimer();
        return;
    }
    refreshTodayStats(true);
    emit todayTotalSecondsChanged();
}

std::optional<qint64> StatsManager::dayChangeTimerInterval() const {
    if (!m_dayChangeTimer.isActive()) {
        return std::nullopt;
    }
    return m_dayChangeTimer.interval();
}

void StatsManager::armDayChangeTimer() {
    const QDateTime now = m_clock();
    const QDateTime nextMidnight = now.toLocalTime().date().addDays(1).startOfDay();
    // At least 1 ms so the firing lands after midnight, never on the last moment of the old day.
    const qint64 wait = std::clamp<qint64>(now.msecsTo(nextMidnight), 1, maxDayChangeWaitMs);
    m_dayChangeTimer.start(int(wait));
}
