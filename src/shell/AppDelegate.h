#pragma once
// Owns the engine objects of the running program, starts them in a fixed order at launch and saves the
// timer list at quit. For now the program runs headless; the tray, popover and windows join it here.

#include "core/ChainCoordinator.h"
#include "core/Clock.h"
#include "core/PomodoroManager.h"
#include "core/TimerManager.h"

#include <QDateTime>
#include <QObject>

#include <memory>

class AppSettings;
class HistoryManagerProtocol;
class NotificationServiceProtocol;
class PersistenceServiceProtocol;
class Preferences;
class QCoreApplication;
class SoundServiceProtocol;

class AppDelegate : public QObject {
    Q_OBJECT
public:
    // What the engine is given: the program passes the standard services, tests pass fakes.
    struct Services {
        PersistenceServiceProtocol& persistence;
        NotificationServiceProtocol& notification;
        SoundServiceProtocol& sound;
        HistoryManagerProtocol& history;
        AppSettings& settings;
        Clock clock = systemClock();
    };

    // Builds the timer manager (which loads its stored data) and then the Pomodoro manager.
    explicit AppDelegate(const Services& services, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Brings stored preferences into the current layout. Run before any engine object exists, so that what
    // the migrations bring over (a legacy list of scheduled timers, say) is what the engine loads.
    static void migratePreferences(Preferences& defaults, const QDateTime& now);

    // Gives the Pomodoro manager its engine and settings, installs the completion hook, then restores the
    // timer list saved at the last quit and logs how many timers there are.
    void applicationDidFinishLaunching();
    // Saves the whole timer list, running and paused timers included.
    void applicationWillTerminate();

    TimerManager& timerManager() { return m_timerManager; }
    PomodoroManager& pomodoroManager() { return m_pomodoroManager; }
    // Made on first read, by whoever starts a chain; finished timers are handed to it only once it exists.
    ChainCoordinator& chainCoordinator();
    bool hasChainCoordinator() const { return m_chainCoordinator != nullptr; }

    // The whole program: quits in order on SIGTERM, SIGINT and SIGHUP, migrates, builds the delegate on the
    // standard services, launches, runs the event loop and saves at quit. Returns the loop's exit status,
    // or 1 when the last save could not be written.
    static int runHeadless(QCoreApplication& app);

private:
    NotificationServiceProtocol& m_notification;
    Clock m_clock;
    TimerManager m_timerManager;
    PomodoroManager m_pomodoroManager;
    std::unique_ptr<ChainCoordinator> m_chainCoordinator;
    AppSettings& m_settings;
};
