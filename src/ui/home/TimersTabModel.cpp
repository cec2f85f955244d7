#include "ui/home/TimersTabModel.h"

#include "core/ChainCoordinator.h"
#include "core/PomodoroManager.h"
#include "core/TimerManager.h"
#include "platform/InProcessNotifications.h"
#include "platform/TarvolinTimerLogger.h"
#include "theme/ModuleVisibilityStore.h"
#include "ui/home/TimerSelection.h"

namespace {

const QString kContext = QStringLiteral("TimersTab");

} // namespace

TimersTabModel::TimersTabModel(Dependencies dependencies, QObject* parent)
    : QObject(parent), m_deps(std::move(dependencies)), m_timerList(m_deps.timerManager) {
    m_pomodoroActive = m_deps.pomodoroManager.isActive();
    reselectHero();

    connect(&m_timerList, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) { followRows(from.row(), to.row()); });
    connect(&m_timerList, &QAbstractItemModel::rowsInserted, this, &TimersTabModel::followListChange);
    connect(&m_timerList, &QAbstractItemModel::rowsRemoved, this, &TimersTabModel::followListChange);
    connect(&m_timerList, &QAbstractItemModel::modelReset, this, &TimersTabModel::followListChange);
    connect(&m_deps.pomodoroManager, &PomodoroManager::sessionChanged, this, [this] {
        const bool active = m_deps.pomodoroManager.isActive();
        if (active != m_pomodoroActive) {
            m_pomodoroActive = active;
            emit pomodoroActiveChanged(active);
        }
    });
    connect(&m_deps.moduleVisibility, &ModuleVisibilityStore::hiddenModulesChanged, this,
            &TimersTabModel::chainEntryChanged);
}

bool TimersTabModel::reselectHero() {
    const auto position = TimerSelection::heroPosition(m_deps.timerManager);
    std::optional<QUuid> id;
    if (position) {
        id = m_deps.timerManager.timers().at(*position).id;
    }
    if (id == m_heroId) {
        return false;
    }
    m_heroId = id;
    return true;
}

void TimersTabModel::followRows(int first, int last) {
    // A state that changed may make another timer the hero (the hero paused while a later one runs).
    if (reselectHero()) {
        emit heroChanged();
        return;
    }
    if (!m_heroId) {
        return;
    }
    const qsizetype heroRow = m_deps.timerManager.indexOf(*m_heroId);
    if (heroRow >= first && heroRow <= last) {
        emit heroUpdated();
    }
}

void TimersTabModel::followListChange() {
    if (reselectHero()) {
        emit heroChanged();
    }
}

std::optional<TimerItem> TimersTabModel::heroTimer() const {
    return m_heroId ? m_deps.timerManager.timer(*m_heroId) : std::nullopt;
}

bool TimersTabModel::isLive(const TimerItem& timer) {
    return timer.state == TimerState::running || timer.state == TimerState::paused;
}

bool TimersTabModel::shouldShowPomodoroSequence() const {
    return TimerSelection::shouldShowPomodoroSequence(
        m_deps.moduleVisibility.isVisible(ModuleID::pomodoroStartCard), heroTimer(), m_pomodoroActive);
}

bool TimersTabModel::isChainEntryVisible() const {
    return m_deps.moduleVisibility.isVisible(ModuleID::chainEntry);
}

bool TimersTabModel::isChainRunning() const {
    return m_deps.chainCoordinator && m_deps.chainCoordinator().isRunning();
}

bool TimersTabModel::isTaskChainEnabled() const {
    return !isChainRunning();
}

QList<TimerItem> TimersTabModel::queueListItems() const {
    return TimerSelection::queueListItems(m_deps.timerManager.timers(), m_heroId);
}

void TimersTabModel::toggleHero() {
    const auto hero = heroTimer();
    if (!hero) {
        return;
    }
    if (isLive(*hero)) {
        m_deps.timerManager.toggle(hero->id);
    } else {
        m_deps.timerManager.start(hero->id);
    }
}

void TimersTabModel::stopHero() {
    const auto hero = heroTimer();
    if (!hero) {
        return;
    }
    if (TimerSelection::isPomodoroTimer(m_deps.pomodoroManager, hero->id)) {
        TT_LOG_INFO(kContext, QStringLiteral("Stop ends the Pomodoro session"));
        m_deps.pomodoroManager.stopSession();
        return;
    }
    m_deps.timerManager.removeTimer(hero->id);
}

void TimersTabModel::skipHero() {
    const auto hero = heroTimer();
    if (!hero) {
        return;
    }
    if (TimerSelection::isPomodoroTimer(m_deps.pomodoroManager, hero->id)) {
        TT_LOG_INFO(kContext, QStringLiteral("Skip moves the Pomodoro session on"));
        m_deps.pomodoroManager.skipPhase();
        return;
    }
    m_deps.timerManager.removeTimer(hero->id);
    // The queue behind the hero that the removal leaves: the new hero is not part of it.
    const QList<TimerItem>& timers = m_deps.timerManager.timers();
    const auto newHero = TimerSelection::heroPosition(m_deps.timerManager);
    const std::optional<QUuid> newHeroId =
        newHero ? std::optional<QUuid>(timers.at(*newHero).id) : std::nullopt;
    for (const TimerItem& timer : timers) {
        if (TimerSelection::isQueueListItem(timer, newHeroId)) {
            m_deps.timerManager.start(timer.id);
            return;
        }
    }
}

void TimersTabModel::startEmptyHero() {
    if (!m_deps.timerManager.addTimer(QString(), emptyHeroDuration, true)) {
        TT_LOG_INFO(kContext, QStringLiteral("The empty hero's timer was refused"));
    }
}

void TimersTabModel::toggleTimer(const QUuid& id) {
    m_deps.timerManager.toggle(id);
}

void TimersTabModel::cancelTimer(const QUuid& id) {
    m_deps.timerManager.removeTimer(id);
}

void TimersTabModel::openTaskChain() {
    if (!isTaskChainEnabled()) {
        return;
    }
    if (m_deps.onTaskChain) {
        m_deps.onTaskChain();
    }
}

void TimersTabModel::toggleFloatingWindow() {
    m_deps.notifications.post(InProcessNotifications::toggleFloating);
}
