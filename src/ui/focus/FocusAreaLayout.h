#pragma once
// Where the timers tab shows the chain banner and the Pomodoro area, and which face of the area it shows:
// the composition rules kept beside the pieces, so the tab only asks.

#include "core/TimerItem.h"

#include <QPoint>

#include <optional>

class ChainCoordinator;
class ModuleVisibilityStore;
class PomodoroManager;

class FocusAreaLayout {
public:
    enum class PomodoroFace { hidden, simpleEntry, startCard };

    // Hidden while the module is hidden, and while the hero runs without a Pomodoro session; otherwise the
    // start card during a session and the simple entry without one. `heroState` is none without a hero.
    static PomodoroFace pomodoroFace(bool moduleVisible, std::optional<TimerState> heroState,
                                     bool sessionActive);
    static PomodoroFace pomodoroFace(const ModuleVisibilityStore& modules,
                                     std::optional<TimerState> heroState, const PomodoroManager& pomodoro);
    // Where the face's own top-left corner sits on the timers canvas.
    static QPoint pomodoroFaceOrigin(PomodoroFace face);
    // The banner is there exactly while a chain runs, above everything else of the tab.
    static bool showsChainBanner(const ChainCoordinator& coordinator);
    static QPoint chainBannerOrigin() { return {18, 4}; }

    FocusAreaLayout() = delete;
};
