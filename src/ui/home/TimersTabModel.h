#pragma once
// The timers tab without widgets: which timer is the hero and when it changed, the layout's Pomodoro flag,
// the queue menu's entries, and every action of the tab's controls turned into engine calls. It follows the
// engine through a timer list model's row signals, so a tick costs it the rows that changed only.

#include "core/TimerItem.h"
#include "ui/kit/TimerListModel.h"

#include <QList>
#include <QObject>
#include <QUuid>

#include <functional>
#include <optional>

class ChainCoordinator;
class InProcessNotifications;
class ModuleVisibilityStore;
class PomodoroManager;
class TimerManager;

class TimersTabModel : public QObject {
    Q_OBJECT
public:
    // The length of the timer the empty hero's play button starts at once.
    static constexpr qint64 emptyHeroDuration = 1500;

    // Everything must outlive the model.
    struct Dependencies {
        TimerManager& timerManager;
        PomodoroManager& pomodoroManager;
        ModuleVisibilityStore& moduleVisibility;
        // Made on first use by its owner; asked only when the tab needs to know whether a chain runs.
        std::function<ChainCoordinator&()> chainCoordinator;
        InProcessNotifications& notifications;
        // Shows the chain builder over the tab.
        std::function<void()> onTaskChain;
    };

    explicit TimersTabModel(Dependencies dependencies, QObject* parent = nullptr);

    TimerManager& timerManager() const { return m_deps.timerManager; }
    PomodoroManager& pomodoroManager() const { return m_deps.pomodoroManager; }
    TimerListModel& timerList() { return m_timerList; }

    // ---- The hero ----
    std::optional<QUuid> heroId() const { return m_heroId; }
    // The hero as the engine holds it now; none shows the empty hero.
    std::optional<TimerItem> heroTimer() const;
    // Running or paused: the card shows Stop and lets its button pause or resume.
    static bool isLive(const TimerItem& timer);

    // ---- Layout and optional parts ----
    // An active Pomodoro session moves the hero and the entry sections up.
    bool isPomodoroActive() const { return m_pomodoroActive; }
    bool shouldShowPomodoroSequence() const;
    bool isChainEntryVisible() const;
    // A task chain runs: its banner shows.
    bool isChainRunning() const;
    // The chain entry is offered but greyed out while a chain runs.
    bool isTaskChainEnabled() const;

    // ---- The queue menu ----
    QList<TimerItem> queueListItems() const;

    // ---- Actions ----
    // The hero's round button: pauses or resumes a running or paused hero, starts any other.
    void toggleHero();
    // Stop: the Pomodoro phase timer ends its session; any other hero is removed.
    void stopHero();
    // Skip: the Pomodoro phase timer moves the session on; any other hero is removed and the first entry of
    // the queue that follows is started.
    void skipHero();
    // The empty hero's play button: an untitled timer of 25 minutes, running at once.
    void startEmptyHero();
    // A queue entry's first item (running pauses, paused resumes, idle starts) and its Cancel.
    void toggleTimer(const QUuid& id);
    void cancelTimer(const QUuid& id);
    void openTaskChain();
    void toggleFloatingWindow();

signals:
    // Another timer (or none) became the hero.
    void heroChanged();
    // The hero's own values changed (each tick while it runs); not emitted together with heroChanged.
    void heroUpdated();
    void pomodoroActiveChanged(bool active);
    // The chain entry's presence or its enabled state may have changed.
    void chainEntryChanged();

private:
    // Finds the hero again; says whether it is another timer than before.
    bool reselectHero();
    void followRows(int first, int last);
    void followListChange();

    Dependencies m_deps;
    TimerListModel m_timerList;
    std::optional<QUuid> m_heroId;
    bool m_pomodoroActive = false;
};
