#pragma once
// Stands in for the desktop notification service until it exists: every request becomes one log line.

#include "core/NotificationServiceProtocol.h"

class LoggingNotificationService : public NotificationServiceProtocol {
public:
    void requestAuthorization() override;
    void postTimerComplete(const QString& title, qint64 duration, bool isAlarm) override;
    void postScheduleActivated(const QString& memo, const QString& formattedDuration) override;
    void scheduleQueueChainCompleted(const QString& chainName) override;
    void postPomodoroPhaseStart(PomodoroPhase phase) override;
};
