#include "core/ScheduleManager.h"

#include "core/NotificationServiceProtocol.h"
#include "core/PersistenceServiceProtocol.h"
#include "platform/TarvolinTimerLogger.h"

#include <algorithm>
#include <cmath>

ScheduleManager::ScheduleManager(PersistenceServiceProtocol& persistence,
                                 NotificationServiceProtocol& notifications, Clock clock, QObject* parent)
    : QObject(parent), m_persistence(persistence), m_notifications(notifications), m_clock(std::move(clock)) {
    m_wakeUp.setSingleShot(true);
    connect(&m_wakeUp, &QTimer::timeout, this, &ScheduleManager::checkScheduledTimers);
}

void ScheduleManager::loadScheduledTimers() {
    m_scheduledTimers = m_persistence.loadScheduledTimers();
    armWakeUp();
}

void ScheduleManager::startScheduler() {
    m_schedulerStarted = true;
    armWakeUp();
}

void ScheduleManager::checkScheduledTimers() {
    const QDateTime now = m_clock();
    // Walk a snapshot: starting a timer may call back into the engine, and removals come after the walk.
    const QList<ScheduledTimer> snapshot = m_scheduledTimers;
    QList<ScheduledTimer> fired;
    for (const ScheduledTimer& entry : snapshot) {
        if (!entry.isEnabled || !ScheduledTimer::shouldFire(entry.scheduledTime, now, leadIn)) {
            continue;
        }
        const StartOutcome outcome =
            startTimer ? startTimer(entry.taskMemo, entry.durationInSeconds) : StartOutcome::noManager;
        fired.push_back(entry);
        if (outcome == StartOutcome::refused) {
            // Announcing a start that did not happen would mislead; the entry is still used up.
            TT_LOG_WARNING(QStringLiteral("ScheduleManager"),
                           QStringLiteral("Scheduled timer \"%1\" not started: timer limit reached")
                               .arg(entry.taskMemo));
        } else {
            m_notifications.postScheduleActivated(entry.taskMemo, entry.formattedDuration());
        }
    }
    for (const ScheduledTimer& entry : fired) {
        removeScheduledTimer(entry);
    }
    armWakeUp();
}

void ScheduleManager::removeScheduledTimer(const ScheduledTimer& timer) {
    m_scheduledTimers.removeIf([&timer](const ScheduledTimer& t) { return t.id == timer.id; });
    m_persistence.saveScheduledTimers(m_scheduledTimers);
    emit scheduledTimersChanged();
    armWakeUp();
}

std::optional<qint64> ScheduleManager::wakeUpInterval() const {
    if (!m_wakeUp.isActive()) {
        return std::nullopt;
    }
    return m_wakeUp.interval();
}

void ScheduleManager::armWakeUp() {
    if (!m_schedulerStarted) {
        return;
    }
    std::optional<QDateTime> earliest;
    for (const ScheduledTimer& entry : m_scheduledTimers) {
        if (entry.isEnabled && entry.scheduledTime.isValid() &&
            (!earliest || entry.scheduledTime < *earliest)) {
            earliest = entry.scheduledTime;
        }
    }
    if (!earliest) {
        m_wakeUp.stop(); // nothing can fire: sleep until the list changes
        return;
    }
    // An entry fires once it is due strictly less than the lead-in from now, so wake 1 ms past that moment.
    const QDateTime firstFiringMoment = earliest->addMSecs(-qint64(std::llround(leadIn * 1000)) + 1);
    const qint64 wait = std::clamp<qint64>(m_clock().msecsTo(firstFiringMoment), 0, maxWakeUpIntervalMs);
    m_wakeUp.start(int(wait));
}
