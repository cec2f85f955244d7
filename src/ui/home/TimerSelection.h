#pragma once
// Which timer the timers tab shows large, which wait behind it, and whether the Pomodoro area is offered.
// Three rules that look alike and differ on purpose: the hero takes idle timers when none runs; the waiting
// list leaves running timers out; the queue menu lists every unfinished timer but the hero.

#include "core/TimerItem.h"

#include <QList>
#include <QUuid>

#include <optional>

class PomodoroManager;
class TimerManager;

class TimerSelection {
public:
    // The first running timer in list order, else the first idle or paused one; none when every timer is
    // finished or there is none.
    static std::optional<qsizetype> heroPosition(const QList<TimerItem>& timers);
    // The same answer from the engine's own indexes: cheap while a timer runs, whatever the list's length.
    static std::optional<qsizetype> heroPosition(const TimerManager& manager);
    static std::optional<TimerItem> heroTimer(const TimerManager& manager);

    // Idle and paused timers, in list order.
    static QList<TimerItem> queuedTimers(const QList<TimerItem>& timers);
    // One entry of the queue menu: unfinished and not the hero (with no hero, every unfinished timer).
    static bool isQueueListItem(const TimerItem& timer, const std::optional<QUuid>& heroId);
    // Every entry of the queue menu, in list order.
    static QList<TimerItem> queueListItems(const QList<TimerItem>& timers,
                                           const std::optional<QUuid>& heroId);

    // The Pomodoro area shows unless its module is hidden or an ordinary timer runs outside a session.
    static bool shouldShowPomodoroSequence(bool moduleVisible, const std::optional<TimerItem>& hero,
                                           bool pomodoroActive);
    // The timer carries the current phase of an active session.
    static bool isPomodoroTimer(const PomodoroManager& pomodoro, const QUuid& timerId);

    TimerSelection() = delete;
};
