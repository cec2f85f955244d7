#pragma once
// How the engine reports what happened; the service decides the texts and how they are shown.

#include "core/PomodoroPhase.h"

#include <QString>

class NotificationServiceProtocol {
public:
    virtual ~NotificationServiceProtocol() = default;
    virtual void requestAuthorization() = 0;
    virtual void postTimerComplete(const QString& title, qint64 duration, bool isAlarm) = 0;
    virtual void postScheduleActivated(const QString& memo, const QString& formattedDuration) = 0;
    // Posted at once, despite the name.
    virtual void scheduleQueueChainCompleted(const QString& chainName) = 0;
    virtual void postPomodoroPhaseStart(PomodoroPhase phase) = 0;
};
