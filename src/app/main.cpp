// Runs the timer engine without a window until the tray shell exists: it loads, migrates and restores the
// saved state, ticks, and saves the timer list when it is asked to quit (including by signal).
#include "app/LoggingNotificationService.h"
#include "app/SilentSoundService.h"
#include "app/TerminationSignals.h"
#include "core/AppSettings.h"
#include "core/HistoryManager.h"
#include "core/PersistenceService.h"
#include "core/SchemaMigrator.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "platform/TarvolinTimerLogger.h"

#include <QCoreApplication>
#include <QDateTime>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Before anything else, so a signal during start-up still ends in the save at quit.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &app, [](int signalNumber) {
        TarvolinTimerLogger::info(QStringLiteral("Quitting on signal %1").arg(signalNumber),
                                  QStringLiteral("Main"));
        QCoreApplication::quit();
    });

    PersistenceService& persistence = PersistenceService::shared();
    LoggingNotificationService notification;
    SilentSoundService sound;
    HistoryManager& history = HistoryManager::shared();
    AppSettings& settings = AppSettings::shared();
    TimerManager timerManager(persistence, notification, sound, history, settings);

    Preferences& defaults = Preferences::standard();
    SchemaMigrator::migrateLegacyBundleIfNeeded(defaults);
    SchemaMigrator::migrateIfNeeded(defaults, QDateTime::currentDateTimeUtc());

    // The Pomodoro manager and the chain coordinator attach here once they exist.
    timerManager.onTimerComplete = [](const QUuid&) {};
    timerManager.restoreState();
    TarvolinTimerLogger::info(QStringLiteral("Running with %1 timers").arg(timerManager.timers().size()),
                              QStringLiteral("Main"));

    const int status = app.exec();

    timerManager.saveState();
    persistence.flush();
    defaults.flush();
    return status;
}
