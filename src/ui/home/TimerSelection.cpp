#include "ui/home/TimerSelection.h"

#include "core/PomodoroManager.h"
#include "core/TimerManager.h"

namespace {

bool isWaiting(const TimerItem& timer) {
    return timer.state == TimerState::idle || timer.state == TimerState::paused;
}

} // namespace

std::optional<qsizetype> TimerSelection::heroPosition(const QList<TimerItem>& timers) {
    std::optional<qsizetype> firstWaiting;
    for (qsizetype i = 0; i < timers.size(); ++i) {
        if (timers.at(i).isRunning()) {
            return i;
        }
        if (!firstWaiting && isWaiting(timers.at(i))) {
            firstWaiting = i;
        }
    }
    return firstWaiting;
}

std::optional<qsizetype> TimerSelection::heroPosition(const TimerManager& manager) {
    const QList<TimerItem>& timers = manager.timers();
    const std::optional<TimerItem> primary = manager.primaryTimer();
    qsizetype end = timers.size();
    if (primary) {
        const qsizetype position = manager.indexOf(primary->id);
        if (primary->isRunning()) {
            return position;
        }
        // A paused primary: an idle timer before it comes first.
        end = position + 1;
    }
    for (qsizetype i = 0; i < end; ++i) {
        if (isWaiting(timers.at(i))) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<TimerItem> TimerSelection::heroTimer(const TimerManager& manager) {
    const auto position = heroPosition(manager);
    return position ? std::optional<TimerItem>(manager.timers().at(*position)) : std::nullopt;
}

QList<TimerItem> TimerSelection::queuedTimers(const QList<TimerItem>& timers) {
    QList<TimerItem> waiting;
    for (const TimerItem& timer : timers) {
        if (isWaiting(timer)) {
            waiting.append(timer);
        }
    }
    return waiting;
}

bool TimerSelection::isQueueListItem(const TimerItem& timer, const std::optional<QUuid>& heroId) {
    return timer.state != TimerState::finished && (!heroId || timer.id != *heroId);
}

QList<TimerItem> TimerSelection::queueListItems(const QList<TimerItem>& timers,
                                                const std::optional<QUuid>& heroId) {
    QList<TimerItem> items;
    for (const TimerItem& timer : timers) {
        if (isQueueListItem(timer, heroId)) {
            items.append(timer);
        }
    }
    return items;
}

bool TimerSelection::shouldShowPomodoroSequence(bool moduleVisible, const std::optional<TimerItem>& hero,
                                                bool pomodoroActive) {
    if (!moduleVisible) {
        return false;
    }
    if (!hero || !hero->isRunning()) {
        return true;
    }
    return pomodoroActive;
}

bool TimerSelection::isPomodoroTimer(const PomodoroManager& pomodoro, const QUuid& timerId) {
    return pomodoro.session().isActive && pomodoro.activeTimerID() == timerId;
}
