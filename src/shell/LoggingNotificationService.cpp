#include "shell/LoggingNotificationService.h"

#include "platform/TarvolinTimerLogger.h"

namespace {
void note(const QString& message) {
    TarvolinTimerLogger::info(message, QStringLiteral("LoggingNotificationService"));
}
} // namespace

void LoggingNotificationService::requestAuthorization() {
    note(QStringLiteral("Authorization requested"));
}

void LoggingNotificationService::postTimerComplete(const QString& title, qint64 duration, bool isAlarm) {
    note(QStringLiteral("Timer complete: \"%1\", %2 s%3")
             .arg(title)
             .arg(duration)
             .arg(isAlarm ? QStringLiteral(", alarm") : QString()));
}

void LoggingNotificationService::postScheduleActivated(const QString& memo,
                                                       const QString& formattedDuration) {
    note(QStringLiteral("Scheduled timer started: \"%1\", %2").arg(memo, formattedDuration));
}

void LoggingNotificationService::scheduleQueueChainCompleted(const QString& chainName) {
    note(QStringLiteral("Chain complete: \"%1\"").arg(chainName));
}

void LoggingNotificationService::postPomodoroPhaseStart(PomodoroPhase phase) {
    note(QStringLiteral("Pomodoro phase started: %1").arg(toRaw(phase)));
}
