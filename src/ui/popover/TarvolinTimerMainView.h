#pragma once
// The popover's content: the selected tab's content above the bottom bar, the preparation overlay on top,
// and the keyboard handler for tabs and the presets tab's rows. It owns no model state: it shows the engine
// objects it is given and changes them only through their operations.

#include "core/Clock.h"
#include "core/TimerStartRequest.h"
#include "theme/DisplayDensity.h"
#include "ui/popover/TarvolinTimerTab.h"

#include <QMap>
#include <QPointer>
#include <QWidget>

#include <functional>

class AppSettings;
class BottomBar;
class ChainCoordinator;
class MainViewModel;
class ModuleVisibilityStore;
class PomodoroManager;
class PopoverFocusCoordinator;
class Preferences;
class PreparationOverlay;
class ThemeStore;
class TimerManager;
class TimerPreparationView;

class TarvolinTimerMainView : public QWidget {
    Q_OBJECT
public:
    static constexpr int popoverWidth = 440;
    static constexpr int popoverHeight = 720;
    static constexpr int contentHeight = 650; // above the 70 px bar

    // What the root is given; every object must outlive it.
    struct Dependencies {
        TimerManager& timerManager;
        PomodoroManager& pomodoroManager;
        ThemeStore& theme;
        // The chain coordinator is made on first use by its owner, so the root asks for it only when a tab
        // needs it.
        std::function<ChainCoordinator&()> chainCoordinator;
        ModuleVisibilityStore& moduleVisibility;
        AppSettings& settings;
        Preferences& preferences;
        std::function<void()> onCheckForUpdates;
        std::function<void()> onShowOnboarding;
        // "Now" for the confirmation card's end time.
        Clock clock = systemClock();
    };

    // Builds a tab's content each time the tab is selected; the root owns what it returns.
    using TabContentFactory = std::function<QWidget*(TarvolinTimerMainView& root)>;

    explicit TarvolinTimerMainView(Dependencies dependencies, QWidget* parent = nullptr);
    ~TarvolinTimerMainView() override;

    // ---- What tab contents are built with ----
    TimerManager& timerManager() const { return m_deps.timerManager; }
    PomodoroManager& pomodoroManager() const { return m_deps.pomodoroManager; }
    ThemeStore& theme() const { return m_deps.theme; }
    ChainCoordinator& chainCoordinator() const { return m_deps.chainCoordinator(); }
    ModuleVisibilityStore& moduleVisibility() const { return m_deps.moduleVisibility; }
    AppSettings& settings() const { return m_deps.settings; }
    Preferences& preferences() const { return m_deps.preferences; }
    const std::function<void()>& onCheckForUpdates() const { return m_deps.onCheckForUpdates; }
    const std::function<void()>& onShowOnboarding() const { return m_deps.onShowOnboarding; }
    MainViewModel& model() const { return *m_model; }
    PopoverFocusCoordinator& focusCoordinator() const;

    // ---- Tab contents ----
    // A tab built afresh whenever it is selected (its state goes when another tab is chosen).
    void setTabContentFactory(TarvolinTimerTab tab, TabContentFactory factory);
    // A tab whose one widget is kept and shown whenever the tab is selected; the root takes it.
    void setTabContent(TarvolinTimerTab tab, QWidget* content);
    // What the selected tab shows now: its content, or a page saying it has none yet.
    QWidget* currentTabContent() const { return m_currentPage; }

    BottomBar* bottomBar() const { return m_bottomBar; }
    PreparationOverlay* preparationOverlay() const { return m_overlay; }
    // The confirmation card while one is open.
    TimerPreparationView* preparationCard() const;
    DisplayDensity displayDensity() const;

    // True while keys reach the root's own handler: the root itself, not a field inside it, has the focus.
    bool isKeyNavFocused() const;

public slots:
    // Every start made in the popover: opens (or replaces) the confirmation card.
    void prepare(const TimerStartRequest& request);
    // The session's next Pomodoro phase, for confirmation.
    void preparePomodoroStep();
    void cancelPreparation();
    // Gives the root the keyboard again (after an editor or other transient surface closed).
    void restoreKeyNavFocus();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showTab(TarvolinTimerTab tab);
    void syncPreparation();
    void followPreference(const QString& key);
    void applyDensity();
    void applyLanguage();

    Dependencies m_deps;
    MainViewModel* m_model;
    QWidget* m_contentArea;
    BottomBar* m_bottomBar;
    PreparationOverlay* m_overlay;
    QMap<TarvolinTimerTab, TabContentFactory> m_factories;
    QMap<TarvolinTimerTab, QPointer<QWidget>> m_keptContents;
    QPointer<QWidget> m_currentPage;
    bool m_currentPageIsKept = false;
};
