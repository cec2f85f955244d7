#pragma once
// The progress of one Pomodoro session: the phase at hand and the focus work done so far.

#include "core/PomodoroPhase.h"

#include <QtGlobal>

struct PomodoroSession {
    // The phase that runs, or that waits to be started.
    PomodoroPhase currentPhase = PomodoroPhase::work;
    qint64 completedWorkCycles = 0;
    // The configured focus length summed over the completed focus phases, not the time actually spent.
    qint64 totalWorkSeconds = 0;
    bool isActive = false;
    // Set only by pausing through the Pomodoro manager; pausing the timer in the list leaves it alone.
    bool isPaused = false;

    bool operator==(const PomodoroSession& other) const = default;
};
