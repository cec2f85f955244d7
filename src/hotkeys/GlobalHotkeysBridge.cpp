#include "hotkeys/GlobalHotkeysBridge.h"

#include "core/SchemaMigrator.h"
#include "hotkeys/GlobalHotkeys.h"
#include "hotkeys/PresetShortcutNaming.h"
#include "platform/Preferences.h"

#include <QPointer>

using GlobalHotkeys::Key;
using GlobalHotkeys::Name;
using GlobalHotkeys::Shortcut;

GlobalHotkeysBridge::GlobalHotkeysBridge(QObject* parent) : QObject(parent) {}

void GlobalHotkeysBridge::bind(const Name& name, Action action) {
    GlobalHotkeys::onKeyUp(name, std::move(action));
    m_boundNames.insert(name);
}

void GlobalHotkeysBridge::bindDynamicPresets(const QList<TimerPreset>& presets, PresetAction action) {
    QSet<QUuid> listed;
    for (const TimerPreset& preset : presets) {
        listed.insert(preset.id);
    }
    // A preset that left the list keeps its handler and registration; the handler finds no entry.
    for (auto it = m_dynamicPresetDispatch.begin(); it != m_dynamicPresetDispatch.end();) {
        if (!listed.contains(it.key())) {
            const Name name = PresetShortcutNaming::shortcutName(it.key());
            m_boundNames.remove(name);
            // A preset no longer listed starts nothing, so its shortcut is nobody's to refuse.
            GlobalHotkeys::setTitle(name, std::nullopt);
            it = m_dynamicPresetDispatch.erase(it);
        } else {
            ++it;
        }
    }
    for (const TimerPreset& preset : presets) {
        m_dynamicPresetDispatch.insert(preset.id, PresetEntry{preset, action});
        GlobalHotkeys::setTitle(PresetShortcutNaming::shortcutName(preset.id), preset.name);
        if (m_presetHandlers.contains(preset.id)) {
            m_boundNames.insert(PresetShortcutNaming::shortcutName(preset.id));
            continue;
        }
        m_presetHandlers.insert(preset.id);
        const QUuid id = preset.id;
        bind(PresetShortcutNaming::shortcutName(id), [self = QPointer<GlobalHotkeysBridge>(this), id] {
            if (!self) {
                return;
            }
            // Copied out: the action may hand the bridge a new list.
            const auto found = self->m_dynamicPresetDispatch.constFind(id);
            if (found == self->m_dynamicPresetDispatch.constEnd()) {
                return;
            }
            const PresetEntry entry = *found;
            if (entry.action) {
                entry.action(entry.preset);
            }
        });
    }
}

void GlobalHotkeysBridge::applyDefaultsIfNeeded(Preferences& defaults) {
    const QString flag = QString::fromLatin1(SchemaMigrator::kShortcutsAppliedDefaultsKey);
    if (defaults.boolValue(flag).value_or(false)) {
        return;
    }
    for (const Name& name : recommendedNames()) {
        if (GlobalHotkeys::getShortcut(name)) {
            continue;
        }
        if (const auto shortcut = recommendedDefault(name)) {
            GlobalHotkeys::setShortcut(*shortcut, name);
        }
    }
    defaults.setBool(flag, true);
}

void GlobalHotkeysBridge::unbindAll() {
    GlobalHotkeys::removeAllHandlers();
    for (auto it = m_dynamicPresetDispatch.cbegin(); it != m_dynamicPresetDispatch.cend(); ++it) {
        GlobalHotkeys::setTitle(PresetShortcutNaming::shortcutName(it.key()), std::nullopt);
    }
    m_boundNames.clear();
    m_dynamicPresetDispatch.clear();
    m_presetHandlers.clear();
}

QList<Name> GlobalHotkeysBridge::recommendedNames() {
    return {Name::quickLaunch(), Name::pauseResume(), Name::reset(),      Name::newTimer(),
            Name::startTimer(),  Name::stopTimer(),   Name::quickPreset()};
}

std::optional<Shortcut> GlobalHotkeysBridge::recommendedDefault(const Name& name) {
    const qint64 optionCommand =
        GlobalHotkeys::CarbonModifier::option | GlobalHotkeys::CarbonModifier::command;
    const struct {
        const char* name;
        Key key;
    } rows[] = {{"quickLaunch", Key::space}, {"pauseResume", Key::p}, {"reset", Key::r},
                {"newTimer", Key::n},        {"startTimer", Key::s},  {"stopTimer", Key::x},
                {"quickPreset", Key::one}};
    for (const auto& row : rows) {
        if (name.rawValue() == QLatin1String(row.name)) {
            return Shortcut(row.key.rawValue, optionCommand);
        }
    }
    return std::nullopt;
}
