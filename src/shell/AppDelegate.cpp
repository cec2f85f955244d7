#include "shell/AppDelegate.h"

#include "core/AppSettings.h"
#include "core/HistoryManager.h"
#include "core/PersistenceService.h"
#include "core/Saturating.h"
#include "core/SchemaMigrator.h"
#include "core/SettingsKeys.h"
#include "core/TimerStartRequest.h"
#include "hotkeys/ApplicationHotkeys.h"
#include "hotkeys/GlobalHotkeysBridge.h"
#include "platform/DescriptorLimit.h"
#include "platform/InProcessNotifications.h"
#include "platform/LoginManagerWatcher.h"
#include "platform/Preferences.h"
#include "platform/ReduceMotionWatcher.h"
#include "platform/SingleInstance.h"
#include "platform/TarvolinTimerLogger.h"
#include "platform/TranslationCatalog.h"
#include "platform/WallClockWatcher.h"
#include "services/AppcastUpdateChannel.h"
#include "services/BuildInfo.h"
#include "services/NotificationService.h"
#include "services/SoundService.h"
#include "services/UserSoundStore.h"
#include "services/XdgAutostartControl.h"
#include "shell/DisplayConnectionWatcher.h"
#include "shell/FloatingPanel.h"
#include "shell/LightAppearance.h"
#include "shell/MenuBarPopoverView.h"
#include "shell/OnboardingWindowController.h"
#include "shell/PanelItem.h"
#include "shell/QuickAddPanelController.h"
#include "shell/StartURL.h"
#include "shell/TerminationSignals.h"
#include "shell/UpdateWindowController.h"
#include "shell/WindowTitleKeeper.h"
#include "shell/X11WindowHints.h"
#include "theme/MenuBarDisplayMode.h"
#include "ui/floating/FloatingWindowView.h"
#include "ui/home/TimersTab.h"
#include "ui/kit/MenuBarLabelModel.h"
#include "ui/kit/ShapedWindow.h"
#include "ui/popover/TarvolinTimerMainView.h"
#include "ui/presets/PresetsTab.h"
#include "ui/quickentry/QuickEntrySections.h"
#include "ui/settings/SettingsTab.h"
#include "ui/updates/UpdateCheckModel.h"

#include <QApplication>
#include <QEvent>
#include <QProcessEnvironment>
#include <QDBusConnection>
#include <QGuiApplication>
#include <QIcon>
#include <QPalette>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <QUrl>

#include <cstdlib>
#include <functional>
#include <utility>

namespace {

const QString kMainContext = QStringLiteral("Main");
// How long a later launch keeps trying to reach a copy that is still starting.
constexpr int kClaimTimeoutMs = 10'000;
// Below this open-file limit windows are not drawn through shared memory (see run()).
constexpr qint64 kSharedMemoryLimit = 1024;

// The end of a run that has started, whatever ends it: a quit (the menu, a signal, the session, the system,
// the display watcher) returns from the event loop, while Qt itself calls exit() from inside it when the X
// server goes away. Both take this one way out; it runs once, told whether the process is already on its way
// out. False when the last save failed.
std::function<bool(bool onTheWayOut)> g_ending;

bool endRun(bool onTheWayOut) {
    const std::function<bool(bool)> ending = std::exchange(g_ending, nullptr);
    return !ending || ending(onTheWayOut);
}

void endAtExit() {
    if (g_ending) {
        TT_LOG_INFO(kMainContext, QStringLiteral("Ended from inside the event loop: ending on the way out"));
        endRun(true);
    }
}

} // namespace

AppDelegate::AppDelegate(const Services& services, QObject* parent)
    : QObject(parent), m_settings(services.settings), m_notification(services.notification),
      m_clock(services.clock),
      m_timerManager(services.persistence, services.notification, services.sound, services.history,
                     services.settings, services.clock, services.elapsed),
      m_pomodoroManager(services.persistence, services.notification, services.sound, services.history,
                        services.settings),
      m_themeStore(services.settings.preferences()), m_moduleVisibilityStore(services.settings.preferences()),
      m_panelBus(services.panelBus.value_or(QDBusConnection::sessionBus())),
      m_panelWatcherGraceMs(services.panelWatcherGraceMs) {
    if (services.updateChannel) {
        m_updateChannel = services.updateChannel;
    } else {
        m_ownUpdateChannel = std::make_unique<AppcastUpdateChannel>();
        m_updateChannel = m_ownUpdateChannel.get();
    }
    m_updateWindow = std::make_unique<UpdateWindowController>(
        *m_updateChannel, m_themeStore, BuildInfo::applicationVersion(), [this] { return m_popover.get(); });
}

AppDelegate::~AppDelegate() {
    // The hook reaches the managers below; nothing may call it while they go.
    m_timerManager.onTimerComplete = nullptr;
    // The handlers outlive the bridge in the hotkey library; they go with the delegate they act on.
    if (m_globalHotkeysBridge) {
        m_globalHotkeysBridge->unbindAll();
    }
    delete m_floatingPanel.data();
}

void AppDelegate::migratePreferences(Preferences& defaults, const QDateTime& now) {
    // The stored appearance is light before anything migrates; a store made for this does nothing else.
    ThemeStore(defaults).enforceLightAppearance();
    SchemaMigrator::migrateLegacyBundleIfNeeded(defaults);
    SchemaMigrator::migrateIfNeeded(defaults, now);
    MenuBarDisplayModeMigration::migrateLegacyPreference(defaults);
    AppSettings::holdStoredNumbersInRange(defaults);
}

ChainCoordinator& AppDelegate::chainCoordinator() {
    if (!m_chainCoordinator) {
        m_chainCoordinator = std::make_unique<ChainCoordinator>(&m_timerManager, m_notification, m_clock);
    }
    return *m_chainCoordinator;
}

QuickAddPanelController& AppDelegate::quickAddController() {
    if (!m_quickAddController) {
        m_quickAddController =
            std::make_unique<QuickAddPanelController>(&m_timerManager, m_settings.preferences());
    }
    return *m_quickAddController;
}

void AppDelegate::applicationDidFinishLaunching() {
    // The panel's label is drawn on the desktop's panel, so in the desktop's text colour: taken before the
    // program puts its own light palette in place.
    const QColor desktopInk =
        qGuiApp ? QGuiApplication::palette().color(QPalette::WindowText) : QColor(Qt::black);
    // 1–2. No dock here to leave; the program draws light whatever the desktop uses, in the in-app language.
    m_themeStore.enforceLightAppearance();
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        LightAppearance::apply();
    }
    applyLanguage();
    // The desktop's reduced-motion wish, read on the delegate's session bus without waiting for it.
    m_reduceMotion = std::make_unique<ReduceMotionWatcher>(m_panelBus);
    m_reduceMotion->start();
    connect(&m_settings, &AppSettings::keyChanged, this, [this](const QString& key) {
        if (key == SettingsKeys::appLanguage.key) {
            applyLanguage();
        }
    });
    // 3. The migrations ran before the engine was built (migratePreferences).
    // 4. Automatic update checks, once start-up has returned.
    QTimer::singleShot(0, this, [this] { m_updateChannel->setAutoCheck(true); });
    // 5. URLs are handled from now on; those that came earlier follow once start-up has returned.
    m_urlHandlerRegistered = true;
    if (!m_pendingURLs.isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            const QStringList pending = std::exchange(m_pendingURLs, {});
            for (const QString& url : pending) {
                handleURL(url);
            }
        });
    }
    // 6–7. Hotkeys, then the per-preset hotkeys that follow the preset list.
    setupGlobalHotkeys();
    m_globalHotkeysBridge->applyDefaultsIfNeeded(m_settings.preferences());
    observePresetShortcuts();
    // 8. The popover's floating-window button.
    connect(
        &InProcessNotifications::defaultCenter(), &InProcessNotifications::posted, this,
        [this](const QString& name) {
            if (name == InProcessNotifications::toggleFloating) {
                toggleFloatingWindow();
            }
        },
        Qt::QueuedConnection);
    // 9–10. The Pomodoro manager gets its engine; finished timers go to it, then to a running chain.
    m_pomodoroManager.setTimerManager(&m_timerManager);
    m_pomodoroManager.updateConfig(m_settings);
    m_timerManager.onTimerComplete = [self = QPointer<AppDelegate>(this)](const QUuid& id) {
        if (!self) {
            return;
        }
        self->m_pomodoroManager.onTimerCompleted(id);
        if (self) {
            self->chainCoordinator().onTimerCompleted(id);
        }
    };
    // 11–12. The list saved at the last quit; then permission for notifications (the answer is only logged).
    m_timerManager.restoreState();
    m_notification.requestAuthorization();
    // The panel item, showing the restored list's main timer from its first picture.
    startPanelItem(desktopInk);
    // 13–14. The windows, after start-up has returned: the floating window first, then onboarding.
    if (m_settings.showFloatingOnStart()) {
        QTimer::singleShot(0, this, [this] { showFloatingWindow(); });
    }
    if (!m_settings.hasSeenOnboarding()) {
        m_onboardingController =
            std::make_unique<OnboardingWindowController>(&m_timerManager, &m_themeStore, m_settings);
        QTimer::singleShot(0, this, [this] {
            if (m_onboardingController && !m_offScreen) {
                m_onboardingController->show(false);
            }
        });
    }

    m_launched = true;
    TT_LOG_INFO(kMainContext, QStringLiteral("Running with %1 timers").arg(m_timerManager.timers().size()));
    emit launched();
}

void AppDelegate::applicationWillTerminate() {
    m_timerManager.saveState();
    if (m_globalHotkeysBridge) {
        m_globalHotkeysBridge->unbindAll();
        // Gone with it: its subscription to the preset list, which would bind the presets again.
        m_globalHotkeysBridge.reset();
    }
}

void AppDelegate::leaveTheScreen() {
    m_offScreen = true;
    // The views follow the engine through these; the list is saved from the engine itself.
    m_timerManager.blockSignals(true);
    m_pomodoroManager.blockSignals(true);
}

void AppDelegate::startPanelItem(const QColor& ink) {
    const QPointer<AppDelegate> self(this);
    PanelCallbacks callbacks{
        [self](QPoint point) {
            if (self) {
                self->togglePopover(point);
            }
        },
        [self](int minutes) {
            if (self) {
                self->showQuickAddPreparation(minutes);
            }
        },
        [self] {
            if (self) {
                self->toggleFloatingWindow();
            }
        },
        [] { QCoreApplication::quit(); },
    };
    PanelItem::Options options;
    options.ink = ink;
    options.watcherGraceMs = m_panelWatcherGraceMs;
    m_menuBarLabel = std::make_unique<MenuBarLabelModel>(m_timerManager, m_settings);
    m_panelItem = std::make_unique<PanelItem>(*m_menuBarLabel, m_timerManager, m_settings, m_panelBus,
                                              std::move(callbacks), options);
    connect(m_panelItem.get(), &PanelItem::presenceChanged, this, &AppDelegate::panelPresenceChanged);
    m_panelItem->start();
}

void AppDelegate::panelPresenceChanged() {
    const PanelItem::Presence presence = m_panelItem->presence();
    if (presence == PanelItem::Presence::unknown) {
        return;
    }
    if (!m_trayDetermined) {
        m_trayDetermined = true;
        if (presence == PanelItem::Presence::none && !(m_popover && m_popover->isVisible())) {
            // With nowhere to show the panel item, the popover opens as an ordinary window.
            TT_LOG_INFO(logContext, QStringLiteral("No system tray: showing the timers in a window"));
            showPopover();
            m_standInWindow = true;
            qApp->installEventFilter(this);
        }
        return;
    }
    if (m_standInWindow && m_panelItem->isTrayAvailable()) {
        // A panel that started after the program (at login, say) now shows the item, and the window that
        // stood in for it meanwhile was left alone: it goes.
        endStandInWindow();
        if (m_popover && m_popover->isVisible()) {
            TT_LOG_INFO(logContext, QStringLiteral("A panel shows the item now: closing the timers window"));
            m_popover->hide();
        }
    }
}

void AppDelegate::endStandInWindow() {
    m_standInWindow = false;
    qApp->removeEventFilter(this);
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event) {
    // Watched only while the stand-in window is open and untouched: a click, key or wheel in it means the
    // user took it up, and once closed, whatever shows it again was the user's asking. Either way it is
    // the user's window from then on.
    const QEvent::Type type = event->type();
    if (m_standInWindow && m_popover) {
        const bool closed = type == QEvent::Hide && watched == m_popover.get();
        const bool touched =
            type == QEvent::MouseButtonPress || type == QEvent::KeyPress || type == QEvent::Wheel;
        if (closed) {
            endStandInWindow();
        } else if (touched) {
            if (auto* widget = qobject_cast<QWidget*>(watched);
                widget && widget->window() == m_popover.get()) {
                endStandInWindow();
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void AppDelegate::applyLanguage() {
    if (!TranslationCatalog::install(m_settings.appLanguageRaw())) {
        TT_LOG_WARNING(logContext,
                       QStringLiteral("No catalogue for language \"%1\"").arg(m_settings.appLanguageRaw()));
    }
}

// ---- URLs ----

void AppDelegate::openURL(const QString& text) {
    if (!m_urlHandlerRegistered) {
        m_pendingURLs << text;
        return;
    }
    handleURL(text);
}

void AppDelegate::handleURL(const QString& text) {
    const QUrl url(text);
    if (text.isEmpty() || !url.isValid()) {
        TT_LOG_WARNING(logContext, QStringLiteral("URL event received but no URL"));
        return;
    }
    TT_LOG_INFO(logContext, QStringLiteral("URL event received: ") + text);
    const std::optional<StartURL> request = StartURL::parse(url);
    if (!request) {
        return; // another scheme or host: not ours, nothing to say
    }
    // One arg() for both: a title holding "%1" must not be substituted into.
    TT_LOG_INFO(logContext, QStringLiteral("Adding timer: title=\"%1\" minutes=%2")
                                .arg(request->title, QString::number(request->minutes)));
    const QString title = request->title;
    const qint64 duration = request->durationSeconds();
    QTimer::singleShot(0, this, [this, title, duration] {
        if (!m_timerManager.addTimer(title, duration, true)) {
            TT_LOG_WARNING(logContext, QStringLiteral("addTimer returned nil (limit reached?)"));
        }
        activateApplication();
    });
}

void AppDelegate::handleInstanceMessage(const QByteArray& message) {
    if (message.startsWith(urlMessagePrefix)) {
        openURL(QString::fromUtf8(message.mid(urlMessagePrefix.size())));
    } else if (message == showMessage) {
        showPopover();
    }
}

// ---- Hotkeys ----

ApplicationHotkeyActions AppDelegate::hotkeyActions() {
    const QPointer<AppDelegate> self(this);
    ApplicationHotkeyActions actions = ApplicationHotkeyActions::forTimers(
        [self]() -> TimerManager* { return self ? &self->m_timerManager : nullptr; });
    const auto action = [self](void (*body)(AppDelegate&)) {
        return [self, body] {
            if (self) {
                body(*self);
            }
        };
    };
    actions.quickLaunch = action([](AppDelegate& d) {
        if (!d.m_offScreen) {
            d.quickAddController().toggle();
        }
    });
    actions.toggleFloating = action([](AppDelegate& d) { d.toggleFloatingWindow(); });
    actions.quickPreset = action([](AppDelegate& d) { d.runQuickPreset(); });
    return actions;
}

void AppDelegate::setupGlobalHotkeys() {
    m_globalHotkeysBridge = std::make_unique<GlobalHotkeysBridge>();
    bindApplicationHotkeys(*m_globalHotkeysBridge, m_timerManager.presets(), hotkeyActions());
}

void AppDelegate::observePresetShortcuts() {
    followPresetHotkeys(*m_globalHotkeysBridge, m_timerManager, hotkeyActions().startPreset);
}

void AppDelegate::runQuickPreset() {
    const qint64 length = saturatingMul(std::max<qint64>(m_settings.quickPresetMinutes(), 1), 60);
    const auto addOne = [&] { m_timerManager.addTimer(QString(), length, true); };
    switch (m_settings.quickPresetBehavior()) {
    case QuickPresetBehavior::start:
        addOne();
        break;
    case QuickPresetBehavior::toggle:
        if (const auto primary = m_timerManager.primaryTimer()) {
            m_timerManager.removeTimer(primary->id);
        } else {
            addOne();
        }
        break;
    case QuickPresetBehavior::pauseResume:
        if (const auto primary = m_timerManager.primaryTimer()) {
            m_timerManager.toggle(primary->id);
        } else {
            addOne();
        }
        break;
    }
}

// ---- Windows ----

void AppDelegate::toggleFloatingWindow() {
    if (m_offScreen) {
        return;
    }
    if (m_floatingPanel && m_floatingPanel->isVisible()) {
        hideFloatingWindow();
    } else {
        showFloatingWindow();
    }
}

void AppDelegate::showFloatingWindow() {
    if (m_offScreen) {
        return;
    }
    if (m_floatingPanel) {
        m_floatingPanel->present();
        return;
    }
    auto* view = new FloatingWindowView(m_timerManager, m_pomodoroManager, m_settings.preferences(),
                                        [self = QPointer<AppDelegate>(this)] {
                                            if (self) {
                                                self->hideFloatingWindow();
                                            }
                                        });
    auto* panel = new FloatingPanel(view);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        panel->move(panel->placement(screen->availableGeometry()));
    }
    panel->present();
    m_floatingPanel = panel;
}

void AppDelegate::hideFloatingWindow() {
    if (m_floatingPanel) {
        m_floatingPanel->close(); // deletes itself
        m_floatingPanel = nullptr;
    }
}

void AppDelegate::replayOnboarding() {
    if (m_offScreen) {
        return;
    }
    if (!m_onboardingController) {
        m_onboardingController =
            std::make_unique<OnboardingWindowController>(&m_timerManager, &m_themeStore, m_settings);
    }
    m_onboardingController->show(true);
}

void AppDelegate::showQuickAddPreparation(int minutes) {
    if (m_offScreen) {
        return;
    }
    const TimerStartRequest request(QUuid::createUuid(), QString(),
                                    TimerStartRequest::duration{saturatingMul(minutes, 60)});
    quickAddController().show(request);
}

MenuBarPopoverView& AppDelegate::ensurePopover() {
    if (!m_popover) {
        m_popover = std::make_unique<MenuBarPopoverView>(
            m_settings, [this](QWidget* parent) { return makePopoverRoot(parent); });
    }
    return *m_popover;
}

TarvolinTimerMainView* AppDelegate::makePopoverRoot(QWidget* parent) {
    const QPointer<AppDelegate> self(this);
    TarvolinTimerMainView::Dependencies dependencies{
        m_timerManager,
        m_pomodoroManager,
        m_themeStore,
        // The popover lives inside the delegate; the coordinator is made only when a tab asks for it.
        [this]() -> ChainCoordinator& { return chainCoordinator(); },
        m_moduleVisibilityStore,
        m_settings,
        m_settings.preferences(),
        [self] {
            if (self) {
                self->m_updateWindow->model().checkForUpdates();
            }
        },
        [self] {
            if (self) {
                self->replayOnboarding();
            }
        },
        m_clock,
    };
    auto* root = new TarvolinTimerMainView(std::move(dependencies), parent);
    installPopoverTabs(*root);
    return root;
}

void AppDelegate::installPopoverTabs(TarvolinTimerMainView& root) {
    // The screen families' tab contents are installed here (root.setTabContentFactory or setTabContent, one
    // per tab) as they land; until then a tab without content shows the root's own empty page.
    installTimersTab(root, TimersTabSections::entry(&QuickEntrySections::makeQuickAddBar,
                                                    &QuickEntrySections::makeQuickLaunchPane));
    installPresetsTab(root);
    installSettingsTab(root, {&UserSoundStore::shared, &SoundService::shared,
                              [] { return std::make_unique<XdgAutostartControl>(); }});
}

void AppDelegate::togglePopover(const QPoint& anchor) {
    if (m_offScreen) {
        return;
    }
    ensurePopover().toggleAt(anchor);
}

void AppDelegate::showPopover() {
    if (m_offScreen) {
        return;
    }
    MenuBarPopoverView& popover = ensurePopover();
    if (m_panelItem && m_panelItem->presence() == PanelItem::Presence::none) {
        popover.showAsWindow();
        return;
    }
    // Near the panel's usual corner: the placement keeps it on screen.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    popover.showAt(QPoint(available.x() + available.width() - 1, available.y()));
}

void AppDelegate::activateApplication() {
    if (m_offScreen) {
        return;
    }
    for (QWidget* window :
         {static_cast<QWidget*>(m_popover.get()), static_cast<QWidget*>(m_floatingPanel.data())}) {
        if (window && window->isVisible()) {
            window->raise();
            window->activateWindow();
            return;
        }
    }
}

void AppDelegate::systemTimeChanged() {
    m_timerManager.catchUp();
    // Both re-arm themselves from the new time.
    m_timerManager.schedule().checkScheduledTimers();
    m_timerManager.stats().onDayChanged();
}

// ---- The program ----

QString AppDelegate::displayPlatformFor(const QProcessEnvironment& environment) {
    // A native Wayland window cannot be placed at the panel item, and key grabs see only keys typed into X
    // windows: in a Wayland session the program runs through XWayland, unless the user chose a platform.
    if (!environment.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty() ||
        environment.value(QStringLiteral("DISPLAY")).isEmpty()) {
        return {};
    }
    const bool wayland = environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland") ||
                         !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    return wayland ? QStringLiteral("xcb") : QString();
}

int AppDelegate::run(int argc, char** argv) {
    // What this launch asks of the running copy: the first argument that reads as a URL, or to be shown.
    QString url;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        const QUrl candidate(argument);
        if (candidate.isValid() && !candidate.scheme().isEmpty()) {
            url = argument;
            break;
        }
    }

    // Claimed before the slow start-up, and before connecting to the display: a later launch only hands over.
    // Declared first, so it goes last: the door stays held until the last save is done.
    SingleInstance instance(Preferences::configDirectory());
    QString claimError;
    const QByteArray message = url.isEmpty() ? showMessage : urlMessagePrefix + url.toUtf8();
    const SingleInstance::Claim claim = instance.claim(message, kClaimTimeoutMs, &claimError);
    switch (claim) {
    case SingleInstance::Claim::handedOver:
        TT_LOG_INFO(kMainContext, QStringLiteral("Handed over to the running copy"));
        return 0;
    case SingleInstance::Claim::failed:
        TT_LOG_ERROR(kMainContext, QStringLiteral("Could not reach the running copy: ") + claimError);
        return 1;
    case SingleInstance::Claim::lockedOnly:
        // Whoever holds the door's name cannot keep the user from their timers; the lock keeps this copy
        // alone.
        TT_LOG_WARNING(kMainContext, QStringLiteral("Running where later launches cannot reach this copy, "
                                                    "kept alone by the data folder's lock: ") +
                                         claimError);
        break;
    case SingleInstance::Claim::unguarded:
        // Refusing to start would keep the user from their timers; a second copy is the lesser harm.
        TT_LOG_WARNING(kMainContext, QStringLiteral("Running without the single-copy guard: ") + claimError);
        break;
    case SingleInstance::Claim::primary:
        if (!instance.lockError().isEmpty()) {
            TT_LOG_WARNING(kMainContext,
                           instance.lockError() + QStringLiteral("; the door alone keeps out a second copy"));
        }
        break;
    }
    // Room for many clients of the socket at once besides the files the program itself must write.
    QString limitReport;
    if (!DescriptorLimit::raiseToHardLimit(&limitReport)) {
        TT_LOG_WARNING(kMainContext, limitReport);
    } else if (!limitReport.isEmpty()) {
        TT_LOG_INFO(kMainContext, limitReport);
    }
    // Through shared memory, each window's buffer comes from the X server as a descriptor; one that cannot be
    // received leaves the display connection waiting for good, and the program with it. Under a low limit
    // the buffers go over the socket instead, a little slower.
    bool setNoSharedMemory = false;
    if (const qint64 limit = DescriptorLimit::softLimit();
        limit >= 0 && limit < kSharedMemoryLimit && !qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
        setNoSharedMemory = true;
        TT_LOG_INFO(
            kMainContext,
            QStringLiteral("Drawing without shared memory under the open-file limit of %1").arg(limit));
    }

    if (const QString platform = displayPlatformFor(QProcessEnvironment::systemEnvironment());
        !platform.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", platform.toUtf8());
    }
    QApplication app(argc, argv);
    // Read once, as the display connection is made: the programs this one opens (a browser) keep their own.
    if (setNoSharedMemory) {
        qunsetenv("QT_XCB_NO_MITSHM");
    }
    // Before anything else, so a signal during start-up still ends in the save at quit.
    TerminationSignals termination;
    connect(&termination, &TerminationSignals::received, &app, [](int signalNumber) {
        TT_LOG_INFO(kMainContext, QStringLiteral("Quitting on signal %1").arg(signalNumber));
        QCoreApplication::quit();
    });
    QApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvolintimer"));
    // What a window without a title of its own is called (the first-run guide), instead of the binary's
    // name; titled windows keep their titles as they are.
    QGuiApplication::setApplicationDisplayName(QStringLiteral("TarvolinTimer"));
    WindowTitleKeeper titles;
    app.installEventFilter(&titles);
    // Windows with rounded corners ask the display whether anything blends them with what lies behind,
    // and change their edges when a compositor comes or goes; presses on a shadow reach what lies behind.
    if (X11WindowHints::isAvailable()) {
        ShapedWindow::setCompositorProbe(&X11WindowHints::compositorRunning);
        ShapedWindow::setInputShaper(&X11WindowHints::setInputRegion);
        X11WindowHints::watchCompositor(&app, [] {
            TT_LOG_INFO(kMainContext, X11WindowHints::compositorRunning()
                                          ? QStringLiteral("A compositor blends the windows now")
                                          : QStringLiteral("No compositor blends the windows now"));
            ShapedWindow::compositorChanged();
        });
    }
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("tarvolintimer"), QIcon(QStringLiteral(":/app/tarvolintimer.svg"))));

    Preferences& defaults = Preferences::standard();
    migratePreferences(defaults, QDateTime::currentDateTimeUtc());

    PersistenceService& persistence = PersistenceService::shared();
    // The notification service connects to the session bus here, at start-up, never from a tick.
    NotificationService& notification = NotificationService::shared();
    SoundService& sound = SoundService::shared();
    // Braced members are built left to right: the history store before the settings, as always.
    AppDelegate delegate({persistence, notification, sound, HistoryManager::shared(), AppSettings::shared()});
    const auto saveNow = [&delegate, &persistence, &defaults] {
        delegate.timerManager().saveState();
        return persistence.flush() && defaults.flush();
    };
    connect(&instance, &SingleInstance::messageReceived, &delegate, &AppDelegate::handleInstanceMessage);
    if (!url.isEmpty()) {
        delegate.openURL(url);
    }

    // The session is ending: keep the list on disk now, and do not ask to be started again by the session
    // (the login item does that). The quit itself arrives as an ordinary quit.
    connect(
        &app, &QGuiApplication::commitDataRequest, &delegate, [saveNow](QSessionManager&) { saveNow(); },
        Qt::DirectConnection);
    connect(
        &app, &QGuiApplication::saveStateRequest, &delegate,
        [](QSessionManager& manager) { manager.setRestartHint(QSessionManager::RestartNever); },
        Qt::DirectConnection);
    DisplayConnectionWatcher display;
    connect(&display, &DisplayConnectionWatcher::displayLost, &app, [] {
        TT_LOG_INFO(kMainContext, QStringLiteral("Quitting: the display went away"));
        QCoreApplication::quit();
    });
    WallClockWatcher wallClock;
    connect(&wallClock, &WallClockWatcher::clockChanged, &delegate, &AppDelegate::systemTimeChanged);

    delegate.applicationDidFinishLaunching();

    // The login manager is on the system bus; connecting to it waits for no answer but is still kept off the
    // way to the first paint.
    std::unique_ptr<LoginManagerWatcher> loginManager;
    QTimer::singleShot(0, &delegate, [&] {
        loginManager = std::make_unique<LoginManagerWatcher>(QDBusConnection::systemBus());
        connect(loginManager.get(), &LoginManagerWatcher::resumed, &delegate,
                &AppDelegate::systemTimeChanged);
        connect(loginManager.get(), &LoginManagerWatcher::aboutToSleep, &delegate, [saveNow] { saveNow(); });
        connect(loginManager.get(), &LoginManagerWatcher::aboutToShutDown, &app, [] {
            TT_LOG_INFO(kMainContext, QStringLiteral("Quitting: the system is shutting down"));
            QCoreApplication::quit();
        });
    });

    // Set once the list is restored, so no ending saves an empty one over it, and before the door is served,
    // so every link confirmed from here on is carried out.
    g_ending = [&instance, &delegate, &persistence, &defaults](bool onTheWayOut) {
        // Statics made after this ending was registered are already destroyed on the way out, fonts among
        // them: a window drawn now would crash the process before the save.
        if (onTheWayOut) {
            delegate.leaveTheScreen();
        }
        // A later launch that confirmed its link in the last moment has reported success: the link is carried
        // out (its timer is added from a queued call) before the last save.
        instance.finish();
        QCoreApplication::sendPostedEvents(&delegate, QEvent::MetaCall);
        delegate.applicationWillTerminate();
        // The stores have already logged why; a failed last save is not reported as success.
        return persistence.flush() && defaults.flush();
    };
    // Registered after the stores came into being, so it runs before they are destroyed.
    static const bool registered = std::atexit(endAtExit) == 0;
    Q_UNUSED(registered)
    // Launches that came meanwhile waited in the door's queue. A copy without a door has said so above.
    instance.listen();

    const int status = QCoreApplication::exec();
    return endRun(false) ? status : 1;
}
