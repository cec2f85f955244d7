#pragma once
// The application's hotkey bindings: which action each named hotkey runs on release, bound in a fixed
// order. The shell supplies the actions of its own windows; the timer actions are built here.

#include "core/TimerPreset.h"
#include "hotkeys/GlobalHotkeysBridge.h"

#include <QList>

#include <functional>

class TimerManager;

struct ApplicationHotkeyActions {
    std::function<void()> quickLaunch;    // the quick-add panel, opened or closed
    std::function<void()> toggleFloating; // the floating window, shown or hidden
    std::function<void()> quickPreset;    // the one-key timer
    std::function<void()> pauseResume;
    std::function<void()> reset;
    std::function<void()> newTimer;
    std::function<void(const TimerPreset&)> startPreset;
    std::function<void()> startTimer;
    std::function<void()> stopTimer;

    // The timer rows, acting on whatever timer manager `manager` gives at the time of the release (none:
    // nothing happens): pause every running timer (pauseResume and stopTimer alike), reset the primary
    // timer, add a running untitled timer of the default length, start a preset as a running timer, start
    // the first idle or paused timer. The window rows are left empty.
    static ApplicationHotkeyActions forTimers(std::function<TimerManager*()> manager);
};

// Binds, in this order: quickLaunch, toggleFloating, quickPreset, pauseResume, reset, newTimer, every
// preset of `presets`, startTimer, stopTimer, nextInQueue and pauseQueue (the last two do nothing). An
// empty action binds a handler that does nothing.
void bindApplicationHotkeys(GlobalHotkeysBridge& bridge, const QList<TimerPreset>& presets,
                            const ApplicationHotkeyActions& actions);

// Hands the manager's preset list to the bridge now and after every change of it, with `startPreset`.
void followPresetHotkeys(GlobalHotkeysBridge& bridge, TimerManager& manager,
                         GlobalHotkeysBridge::PresetAction startPreset);
