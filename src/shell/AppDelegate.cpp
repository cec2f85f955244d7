#include "shell/AppDelegate.h"

#include "core/AppSettings.h"
#include "core/HistoryManager.h"
#include "core/PersistenceService.h"
#include "core/SchemaMigrator.h"
#include "platform/Preferences.h"
#include "platform/TarvolinTimerLogger.h"
#include "services/NotificationService.h"
#include "services/SoundService.h"
#include "shell/TerminationSignals.h"

#include <QCoreApplication>

namespace {

const QString kLogContext = QStringLiteral("Main");

} // namespace

AppDelegate::AppDelegate(const Services& services, QObject* parent)
    : QObject(parent), m_notification(services.notification), m_clock(services.clock),
      m_timerManager(services.persistence, services.notification, services.sound, services.history,
                     services.settings, services.clock),
      m_pomodoroManager(services.persistence, services.notification, services.sound, services.history,
                        services.settings),
      m_settings(services.settings) {}

AppDelegate::~AppDelegate() {
    // The hook reaches the managers below; nothing may call it while they go.
    m_timerManager.onTimerComplete = nullptr;
}

void AppDelegate::migratePreferences(Preferences& defaults, const QDateTime& now) {
    SchemaMigrator::migrateLegacyBundleIfNeeded(defaults);
    SchemaMigrator::migrateIfNeeded(defaults, now);
}

ChainCoordinator& AppDelegate::chainCoordinator() {
    if (!m_chainCoordinator) {
        m_chainCoordinator = std::make_unique<ChainCoordinator>(&m_timerManager, m_notification, m_clock);
    }
    return *m_chainCoordinator;
}

void AppDelegate::applicationDidFinishLaunching() {
    m_pomodoroManager.setTimerManager(&m_timerManager);
    m_pomodoroManager.updateConfig(m_settings);
    // The Pomodoro manager first, then the chain: each acts only on the timer it started.
    m_timerManager.onTimerComplete = [this](const QUuid& id) {
        m_pomodoroManager.onTimerCompleted(id);
        if (m_chainCoordinator) {
            m_chainCoordinator->onTimerCompleted(id);
        }
    };
    m_timerManager.restoreState();
    // The answer only reaches the log.
    m_notification.requestAuthorization();
    TT_LOG_INFO(kLogContext, QStringLiteral("Running with %1 timers").arg(m_timerManager.timers().size()));
}

void AppDelegate::applicationWillTerminate() {
    m_timerManager.saveState();
}

int AppDelegate::runHeadless(QCoreApplication& app) {
    // Before anything else, so a signal during start-up still ends in the save at quit.
    TerminationSignals termination;
    connect(&termination, &TerminationSignals::received, &app, [](int signalNumber) {
        TT_LOG_INFO(kLogContext, QStringLiteral("Quitting on signal %1").arg(signalNumber));
        QCoreApplication::quit();
    });

    Preferences& defaults = Preferences::standard();
    migratePreferences(defaults, QDateTime::currentDateTimeUtc());

    PersistenceService& persistence = PersistenceService::shared();
    // The notification service connects to the session bus here, at start-up, never from a tick.
    NotificationService& notification = NotificationService::shared();
    SoundService& sound = SoundService::shared();
    // Braced members are built left to right: the history store before the settings, as always.
    AppDelegate delegate({persistence, notification, sound, HistoryManager::shared(), AppSettings::shared()});
    delegate.applicationDidFinishLaunching();

    const int status = QCoreApplication::exec();

    delegate.applicationWillTerminate();
    // The stores have already logged why; a failed last save is not reported as success.
    const bool saved = persistence.flush() && defaults.flush();
    return saved ? status : 1;
}
