#pragma once
// Owns the long-lived objects of the running program, starts them in a fixed order at launch, turns outside
// requests (URLs, hotkeys, the panel item, later launches) into engine calls and window changes, and saves
// the timer list at quit.

#include "core/ChainCoordinator.h"
#include "core/Clock.h"
#include "core/PomodoroManager.h"
#include "core/TimerManager.h"
#include "shell/FloatingPanel.h"
#include "theme/ModuleVisibilityStore.h"
#include "theme/ThemeStore.h"

#include <QByteArray>
#include <QColor>
#include <QDBusConnection>
#include <QDateTime>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <optional>

class AppSettings;
class GlobalHotkeysBridge;
struct ApplicationHotkeyActions;
class HistoryManagerProtocol;
class MenuBarLabelModel;
class MenuBarPopoverView;
class NotificationServiceProtocol;
class OnboardingWindowController;
#include "shell/PanelItem.h"
class PersistenceServiceProtocol;
class Preferences;
class QuickAddPanelController;
class ReduceMotionWatcher;
class SoundServiceProtocol;
class TarvolinTimerMainView;
class UpdateChannel;
class UpdateWindowController;

class QProcessEnvironment;

class AppDelegate : public QObject {
    Q_OBJECT
public:
    static inline const QString logContext = QStringLiteral("AppDelegate");
    // What a later launch hands over: "url:" and the URL text, or the request to be shown.
    static inline const QByteArray showMessage = QByteArrayLiteral("show");
    static inline const QByteArray urlMessagePrefix = QByteArrayLiteral("url:");

    // What the engine is given: the program passes the standard services, tests pass fakes.
    struct Services {
        PersistenceServiceProtocol& persistence;
        NotificationServiceProtocol& notification;
        SoundServiceProtocol& sound;
        HistoryManagerProtocol& history;
        AppSettings& settings;
        Clock clock = systemClock();
        // What countdowns spend: time that has passed, asleep or not.
        ElapsedClock elapsed = bootClock();
        // None: the feed-reading channel of this build (which does nothing when the build has no feed).
        UpdateChannel* updateChannel = nullptr;
        // None: the session bus. Where the panel item is published and its panels are looked for.
        std::optional<QDBusConnection> panelBus = std::nullopt;
        // How long the panel item waits at start for a panel before the program falls back.
        int panelWatcherGraceMs = PanelItem::watcherGraceMs;
    };

    // Builds the timer manager (which loads its stored data), the Pomodoro manager, the theme store, the
    // module store and the update channel, in that order.
    explicit AppDelegate(const Services& services, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Brings stored preferences into the current layout: the appearance is made light, then the stored
    // data migrates, then the menu-bar display mode, and last the number settings are held to their ranges.
    // Run before any engine object exists, so that what the migrations bring over (a legacy list of
    // scheduled timers, say) is what the engine loads.
    static void migratePreferences(Preferences& defaults, const QDateTime& now);

    // The start-up sequence: appearance and language, update checks, the URL handler, hotkeys, the preset
    // and floating-window subscriptions, the Pomodoro manager, the completion hook, the restored list, the
    // notification permission, the panel item, then the floating window and onboarding, queued in that
    // order.
    void applicationDidFinishLaunching();
    // Saves the whole timer list, running and paused timers included, then releases the hotkeys.
    void applicationWillTerminate();
    // For an end on the way out of the process (Qt calls exit() when the display goes), when statics the
    // windows draw with may be gone already: from here on the engine works on and saves, but no window hears
    // of it, and none is built or shown.
    void leaveTheScreen();

    TimerManager& timerManager() { return m_timerManager; }
    PomodoroManager& pomodoroManager() { return m_pomodoroManager; }
    ThemeStore& themeStore() { return m_themeStore; }
    ModuleVisibilityStore& moduleVisibilityStore() { return m_moduleVisibilityStore; }
    UpdateChannel& updateChannel() { return *m_updateChannel; }
    // The update window and its model: the answers of checks the user asked for, and newer versions found.
    UpdateWindowController& updateWindow() { return *m_updateWindow; }
    AppSettings& settings() const { return m_settings; }
    // None before start-up. Its presence() says whether the desktop shows it in some tray.
    PanelItem* panelItem() const { return m_panelItem.get(); }
    // Made on first read; finished timers are handed to it only once it exists.
    ChainCoordinator& chainCoordinator();
    bool hasChainCoordinator() const { return m_chainCoordinator != nullptr; }
    // Made on first read.
    QuickAddPanelController& quickAddController();
    bool hasQuickAddController() const { return m_quickAddController != nullptr; }
    // None before start-up and after termination.
    GlobalHotkeysBridge* globalHotkeysBridge() const { return m_globalHotkeysBridge.get(); }
    OnboardingWindowController* onboardingController() const { return m_onboardingController.get(); }
    FloatingPanel* floatingPanel() const { return m_floatingPanel; }
    // None until the popover is first shown.
    MenuBarPopoverView* popover() const { return m_popover.get(); }
    bool isLaunched() const { return m_launched; }

    // ---- Requests from outside ----
    // A URL given to the program; held until start-up registers the URL handler, then handled.
    void openURL(const QString& text);
    // The URL handler: adds and starts the timer a "quorvane://start" URL asks for; ignores other URLs.
    void handleURL(const QString& text);
    // A later launch's message (see showMessage and urlMessagePrefix).
    void handleInstanceMessage(const QByteArray& message);

    // ---- Actions ----
    // The one-key timer: adds, removes or pauses a timer after "bl.quickPreset.behavior".
    void runQuickPreset();
    void toggleFloatingWindow();
    void showFloatingWindow();
    void hideFloatingWindow();
    // Shows onboarding even when it was seen before.
    void replayOnboarding();
    // Opens the quick-add panel with a countdown of `minutes` (no title) waiting for confirmation.
    void showQuickAddPreparation(int minutes);
    // The panel item's click at `anchor` (screen coordinates): opens or closes the popover.
    void togglePopover(const QPoint& anchor);
    // Shows the popover where it can be found: at the top right of the screen as a popover unless the desktop
    // is known to have no tray, as an ordinary window when it has none.
    void showPopover();
    // Brings the program's visible windows to the front.
    void activateApplication();

    // ---- The system ----
    // The wall clock jumped or the machine woke up: countdowns and alarms that ran out meanwhile complete and
    // scheduled timers that fell due start, now rather than at the next tick.
    void systemTimeChanged();

    // The Qt platform to use for this environment, when the program should choose one: xcb in a Wayland
    // session with XWayland, unless the user set QT_QPA_PLATFORM; empty otherwise.
    static QString displayPlatformFor(const QProcessEnvironment& environment);
    // The whole program: single instance, migrations, the delegate on the standard services, launch, the
    // event loop and the save at quit; also quits in order on SIGTERM, SIGINT, SIGHUP, at session end and
    // when the display goes away. Returns the exit status (1 when the last save could not be written).
    static int run(int argc, char** argv);

signals:
    // After start-up has run.
    void launched();

private:
    ApplicationHotkeyActions hotkeyActions();
    void setupGlobalHotkeys();
    void observePresetShortcuts();
    void applyLanguage();
    void startPanelItem(const QColor& ink);
    void panelPresenceChanged();
    void endStandInWindow();
    bool eventFilter(QObject* watched, QEvent* event) override;
    MenuBarPopoverView& ensurePopover();
    TarvolinTimerMainView* makePopoverRoot(QWidget* parent);
    // Where the popover's tabs get their content, once, right after the root is built.
    void installPopoverTabs(TarvolinTimerMainView& root);

    AppSettings& m_settings;
    NotificationServiceProtocol& m_notification;
    Clock m_clock;
    TimerManager m_timerManager;
    PomodoroManager m_pomodoroManager;
    ThemeStore m_themeStore;
    ModuleVisibilityStore m_moduleVisibilityStore;
    std::unique_ptr<UpdateChannel> m_ownUpdateChannel;
    UpdateChannel* m_updateChannel = nullptr;
    std::unique_ptr<UpdateWindowController> m_updateWindow;
    QDBusConnection m_panelBus;
    int m_panelWatcherGraceMs;
    std::unique_ptr<ChainCoordinator> m_chainCoordinator;
    QPointer<FloatingPanel> m_floatingPanel;
    std::unique_ptr<OnboardingWindowController> m_onboardingController;
    std::unique_ptr<QuickAddPanelController> m_quickAddController;
    std::unique_ptr<GlobalHotkeysBridge> m_globalHotkeysBridge;
    std::unique_ptr<MenuBarLabelModel> m_menuBarLabel;
    std::unique_ptr<PanelItem> m_panelItem;
    std::unique_ptr<ReduceMotionWatcher> m_reduceMotion;
    std::unique_ptr<MenuBarPopoverView> m_popover;

    // Whether the panel item's first answer (a tray or none) has come.
    bool m_trayDetermined = false;
    // The timers window opened because no panel was there; it goes when a panel comes, unless the user has
    // clicked or typed in it, or closed it, since.
    bool m_standInWindow = false;
    bool m_urlHandlerRegistered = false;
    QStringList m_pendingURLs;
    bool m_launched = false;
    bool m_offScreen = false; // see leaveTheScreen()
};
