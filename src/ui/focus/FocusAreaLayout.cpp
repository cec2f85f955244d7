#include "ui/focus/FocusAreaLayout.h"

#include "core/ChainCoordinator.h"
#include "core/PomodoroManager.h"
#include "core/TimerManager.h"
#include "theme/ModuleVisibilityStore.h"

FocusAreaLayout::PomodoroFace
FocusAreaLayout::pomodoroFace(bool moduleVisible, std::optional<TimerState> heroState, bool sessionActive) {
    if (!moduleVisible) {
        return PomodoroFace::hidden;
    }
    // An ordinary timer running leaves no room for a new session; a session's own phase keeps its card.
    if (heroState == TimerState::running && !sessionActive) {
        return PomodoroFace::hidden;
    }
    return sessionActive ? PomodoroFace::startCard : PomodoroFace::simpleEntry;
}

FocusAreaLayout::PomodoroFace FocusAreaLayout::pomodoroFace(const ModuleVisibilityStore& modules,
                                                            std::optional<TimerState> heroState,
                                                            const PomodoroManager& pomodoro) {
    return pomodoroFace(modules.isVisible(ModuleID::pomodoroStartCard), heroState, pomodoro.isActive());
}

QPoint FocusAreaLayout::pomodoroFaceOrigin(PomodoroFace face) {
    // Both faces end at y 642, just above the tab bar.
    return face == PomodoroFace::startCard ? QPoint(18, 498) : QPoint(18, 578);
}

bool FocusAreaLayout::showsChainBanner(const ChainCoordinator& coordinator) {
    return coordinator.isRunning();
}
