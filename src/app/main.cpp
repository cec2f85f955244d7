// Runs the timer engine without a window until the tray shell exists: it loads, migrates and restores the
// saved state, ticks, and saves the timer list when it is asked to quit (including by signal).
#include "app/LoggingNotificationService.h"
#include "app/SilentSoundService.h"
#include "app/TerminationSignals.h"
#include "core/AppSettings.h"
#include "core/ChainCoordinator.h"
#include "core/HistoryManager.h"
#include "core/PersistenceService.h"
#include "core/PomodoroManager.h"
#include "core/SchemaMigrator.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "platform/TarvolinTimerLogger.h"

#include <QCoreApplication>
#include <QDateTime>

#include <memory>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Before anything else, so a signal during start-up still ends in the save at quit.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &app, [](int signalNumber) {
        TarvolinTimerLogger::info(QStringLiteral("Quitting on signal %1").arg(signalNumber),
                                  QStringLiteral("Main"));
        QCoreApplication::quit();
    });

    // Before any engine object reads the store, so what the migrations bring over (a legacy list of
    // scheduled timers, say) is what the engine loads.
    Preferences& defaults = Preferences::standard();
    SchemaMigrator::migrateLegacyBundleIfNeeded(defaults);
    SchemaMigrator::migrateIfNeeded(defaults, QDateTime::currentDateTimeUtc());

    PersistenceService& persistence = PersistenceService::shared();
    LoggingNotificationService notification;
    SilentSoundService sound;
    HistoryManager& history = HistoryManager::shared();
    AppSettings& settings = AppSettings::shared();
    TimerManager timerManager(persistence, notification, sound, history, settings);
    PomodoroManager pomodoro(persistence, notification, sound, history, settings);
    // Made on first use by whoever starts a chain; the completion hook only asks it when it exists.
    std::unique_ptr<ChainCoordinator> chainCoordinator;

    pomodoro.setTimerManager(&timerManager);
    pomodoro.updateConfig(settings);
    // The Pomodoro manager first, then the chain: each acts only on the timer it started.
    timerManager.onTimerComplete = [&pomodoro, &chainCoordinator](const QUuid& id) {
        pomodoro.onTimerCompleted(id);
        if (chainCoordinator) {
            chainCoordinator->onTimerCompleted(id);
        }
    };
    timerManager.restoreState();
    TarvolinTimerLogger::info(QStringLiteral("Running with %1 timers").arg(timerManager.timers().size()),
                              QStringLiteral("Main"));

    const int status = app.exec();

    timerManager.saveState();
    // The store has already logged why; a failed last save is not reported as success.
    const bool saved = persistence.flush() && defaults.flush();
    return saved ? status : 1;
}
