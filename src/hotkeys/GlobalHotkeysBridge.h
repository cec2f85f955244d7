#pragma once
// The application's side of the global hotkeys: installs release handlers that run the application's
// actions, keeps one handler per preset in step with the preset list, and writes the recommended shortcuts
// once per preference store.

#include "core/TimerPreset.h"
#include "hotkeys/Name.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QUuid>

#include <functional>
#include <optional>

class Preferences;

class GlobalHotkeysBridge : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void()>;
    using PresetAction = std::function<void(const TimerPreset&)>;

    explicit GlobalHotkeysBridge(QObject* parent = nullptr);

    // One more release handler for the name (binding a name twice runs the action twice per release).
    void bind(const GlobalHotkeys::Name& name, Action action);
    // Every listed preset gets one handler for as long as it stays listed, which starts it as it is at the
    // time of the release; a preset that left the list starts nothing. The same list twice adds nothing.
    // Each listed preset's hotkey is titled by the preset's name (GlobalHotkeys::setTitle).
    void bindDynamicPresets(const QList<TimerPreset>& presets, PresetAction action);
    // Once per store: gives each recommended name that has no shortcut its recommended one.
    void applyDefaultsIfNeeded(Preferences& defaults);
    // Removes every hotkey handler of the program and forgets every binding.
    void unbindAll();

    // The names bound through the bridge (a record only).
    const QSet<GlobalHotkeys::Name>& boundNames() const { return m_boundNames; }

    // quickLaunch, pauseResume, reset, newTimer, startTimer, stopTimer, quickPreset.
    static QList<GlobalHotkeys::Name> recommendedNames();
    // Option+Command with Space, P, R, N, S, X and 1, by name.
    static std::optional<GlobalHotkeys::Shortcut> recommendedDefault(const GlobalHotkeys::Name& name);

private:
    struct PresetEntry {
        TimerPreset preset;
        PresetAction action;
    };

    QSet<GlobalHotkeys::Name> m_boundNames;
    QHash<QUuid, PresetEntry> m_dynamicPresetDispatch;
    // Presets whose handler is installed: a preset dropped from the list and listed again gets no second
    // handler, which would start it twice per release.
    QSet<QUuid> m_presetHandlers;
};
