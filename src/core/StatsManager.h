#pragma once
// Today's focused total: the sum of the durations of the runs logged since local midnight.

#include "core/Clock.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <optional>

class HistoryManagerProtocol;

class StatsManager : public QObject {
    Q_OBJECT
public:
    // The midnight timer runs on the monotonic clock, which stands still while the machine sleeps and ignores
    // wall-clock changes; waking at least this often bounds how late a missed midnight is noticed.
    static constexpr qint64 maxDayChangeWaitMs = 10 * 60 * 1000;

    explicit StatsManager(HistoryManagerProtocol& history, Clock clock = systemClock(),
                          QObject* parent = nullptr);

    qint64 todayTotalSeconds() const { return m_todayTotalSeconds; }
    // Local midnight of the day the total belongs to; none before the first refresh.
    std::optional<QDateTime> lastStatsDate() const { return m_lastStatsDate; }

    // Recomputes the total from the history, unless it is already today's and force is false.
    // Emits nothing.
    void refreshTodayStats(bool force);
    // Adds to today's total (saturating). On a new day the total is recomputed from the history instead,
    // which already holds the run being added. Always emits todayTotalSecondsChanged.
    void addToTodayStats(qint64 seconds);

    // Milliseconds until the date check fires, or none when it is not armed (before the first refresh).
    std::optional<qint64> dayChangeTimerInterval() const;

signals:
    // After every add and every recomputation for a new day, even when the total stayed the same.
    void todayTotalSecondsChanged();

public slots:
    // Fired at local midnight: recomputes the total for the new day and emits todayTotalSecondsChanged. A
    // firing before the date has actually changed (early timer, clock set back) only re-arms.
    void onDayChanged();

private:
    QDateTime startOfToday() const;
    void armDayChangeTimer();

    HistoryManagerProtocol& m_history;
    Clock m_clock;
    qint64 m_todayTotalSeconds = 0;
    std::optional<QDateTime> m_lastStatsDate;
    QTimer m_dayChangeTimer;
};
