#include "hotkeys/ApplicationHotkeys.h"

#include "core/TimerManager.h"

#include <QPointer>

using GlobalHotkeys::Name;

namespace {

GlobalHotkeysBridge::Action orNothing(const std::function<void()>& action) {
    if (action) {
        return action;
    }
    return [] {};
}

} // namespace

ApplicationHotkeyActions ApplicationHotkeyActions::forTimers(std::function<TimerManager*()> manager) {
    ApplicationHotkeyActions actions;
    const auto pauseAll = [manager] {
        if (TimerManager* timers = manager()) {
            timers->pauseAll();
        }
    };
    actions.pauseResume = pauseAll;
    actions.stopTimer = pauseAll;
    actions.reset = [manager] {
        if (TimerManager* timers = manager()) {
            timers->resetPrimary();
        }
    };
    actions.newTimer = [manager] {
        if (TimerManager* timers = manager()) {
            timers->addTimer(QString(), timers->defaultDuration(), true);
        }
    };
    actions.startPreset = [manager](const TimerPreset& preset) {
        if (TimerManager* timers = manager()) {
            timers->addTimer(preset.name, preset.durationInSeconds, true);
        }
    };
    actions.startTimer = [manager] {
        TimerManager* timers = manager();
        if (timers == nullptr) {
            return;
        }
        for (const TimerItem& timer : timers->timers()) {
            if (timer.state != TimerState::running && timer.state != TimerState::finished) {
                timers->start(timer.id);
                return;
            }
        }
    };
    return actions;
}

void bindApplicationHotkeys(GlobalHotkeysBridge& bridge, const QList<TimerPreset>& presets,
                            const ApplicationHotkeyActions& actions) {
    bridge.bind(Name::quickLaunch(), orNothing(actions.quickLaunch));
    bridge.bind(Name::toggleFloating(), orNothing(actions.toggleFloating));
    bridge.bind(Name::quickPreset(), orNothing(actions.quickPreset));
    bridge.bind(Name::pauseResume(), orNothing(actions.pauseResume));
    bridge.bind(Name::reset(), orNothing(actions.reset));
    bridge.bind(Name::newTimer(), orNothing(actions.newTimer));
    bridge.bindDynamicPresets(presets, actions.startPreset);
    bridge.bind(Name::startTimer(), orNothing(actions.startTimer));
    bridge.bind(Name::stopTimer(), orNothing(actions.stopTimer));
    bridge.bind(Name::nextInQueue(), [] {});
    bridge.bind(Name::pauseQueue(), [] {});
}

void followPresetHotkeys(GlobalHotkeysBridge& bridge, TimerManager& manager,
                         GlobalHotkeysBridge::PresetAction startPreset) {
    bridge.bindDynamicPresets(manager.presets(), startPreset);
    QObject::connect(&manager, &TimerManager::presetsChanged, &bridge,
                     [bridge = QPointer<GlobalHotkeysBridge>(&bridge),
                      manager = QPointer<TimerManager>(&manager), startPreset] {
                         if (bridge && manager) {
                             bridge->bindDynamicPresets(manager->presets(), startPreset);
                         }
                     });
}
