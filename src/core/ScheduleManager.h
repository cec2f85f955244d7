#pragma once
// Holds the scheduled timers and, when one falls due, starts its countdown, announces it and removes it.

#include "core/Clock.h"
#include "core/ScheduledTimer.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class NotificationServiceProtocol;
class PersistenceServiceProtocol;

class ScheduleManager : public QObject {
    Q_OBJECT
public:
    // What became of a request to start a due entry's countdown.
    enum class StartOutcome { noManager, started, refused };

    // An entry fires when it is due less than this many seconds from now.
    static constexpr double leadIn = 10.0;
    // The longest sleep between checks while entries are pending, so a wall-clock change or a machine
    // that slept is noticed within a minute.
    static constexpr qint64 maxWakeUpIntervalMs = 60 * 1000;

    ScheduleManager(PersistenceServiceProtocol& persistence, NotificationServiceProtocol& notifications,
                    Clock clock = systemClock(), QObject* parent = nullptr);

    QList<ScheduledTimer> scheduledTimers() const { return m_scheduledTimers; }

    // Replaces the list with the stored one (entries already past are dropped by the persistence service).
    void loadScheduledTimers();
    // From now on, checks run by themselves whenever the earliest enabled entry falls due.
    void startScheduler();
    // Fires every enabled entry that is due, then removes each fired entry (one save and one
    // scheduledTimersChanged apiece).
    void checkScheduledTimers();
    // Removes every entry with the timer's id, saves the list, then emits scheduledTimersChanged.
    void removeScheduledTimer(const ScheduledTimer& timer);

    // Milliseconds until the next check, or none when no check is armed (scheduler not started, or no
    // enabled entry pending).
    std::optional<qint64> wakeUpInterval() const;

    // Starts a running countdown; set by the timer manager. Unset means there is no timer manager.
    std::function<StartOutcome(const QString& title, qint64 duration)> startTimer;

signals:
    // After the list of scheduled timers changed.
    void scheduledTimersChanged();

private:
    void armWakeUp();

    PersistenceServiceProtocol& m_persistence;
    NotificationServiceProtocol& m_notifications;
    Clock m_clock;
    QList<ScheduledTimer> m_scheduledTimers;
    bool m_schedulerStarted = false;
    QTimer m_wakeUp;
};
