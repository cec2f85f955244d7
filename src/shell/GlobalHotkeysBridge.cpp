#include "shell/GlobalHotkeysBridge.h"

#include "core/SchemaMigrator.h"
#include "platform/Preferences.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>

#include <cmath>

QString GlobalHotkeyNames::presetName(const QUuid& presetId) {
    return QStringLiteral("tarvolin.preset.") + presetId.toString(QUuid::WithoutBraces).toUpper();
}

namespace {

std::optional<qint64> integerMember(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (number != std::trunc(number) || std::abs(number) > 9.0e15) {
        return std::nullopt;
    }
    return qint64(number);
}

} // namespace

std::optional<GlobalHotkeysBridge::Shortcut> GlobalHotkeysBridge::storedShortcut(const Preferences& defaults,
                                                                                 const QString& name) {
    const auto text = defaults.stringValue(preferenceKey(name));
    if (!text) {
        return std::nullopt;
    }
    const QJsonDocument document = QJsonDocument::fromJson(text->toUtf8());
    if (!document.isObject()) {
        return std::nullopt;
    }
    const auto keyCode = integerMember(document.object(), QStringLiteral("carbonKeyCode"));
    const auto modifiers = integerMember(document.object(), QStringLiteral("carbonModifiers"));
    if (!keyCode || !modifiers) {
        return std::nullopt;
    }
    return Shortcut{*keyCode, *modifiers};
}

void GlobalHotkeysBridge::storeShortcut(Preferences& defaults, const QString& name,
                                        const Shortcut& shortcut) {
    // Compact, key code first: the one stored form every reader expects.
    defaults.setString(preferenceKey(name), QStringLiteral("{\"carbonKeyCode\":%1,\"carbonModifiers\":%2}")
                                                .arg(shortcut.carbonKeyCode)
                                                .arg(shortcut.carbonModifiers));
}

const QStringList& GlobalHotkeysBridge::recommendedNames() {
    namespace N = GlobalHotkeyNames;
    static const QStringList names{N::quickLaunch, N::pauseResume, N::reset,      N::newTimer,
                                   N::startTimer,  N::stopTimer,   N::quickPreset};
    return names;
}

std::optional<GlobalHotkeysBridge::Shortcut> GlobalHotkeysBridge::recommendedShortcut(const QString& name) {
    namespace N = GlobalHotkeyNames;
    static const QHash<QString, qint64> keyCodes{
        {N::quickLaunch, 49}, {N::pauseResume, 35}, {N::reset, 15},       {N::newTimer, 45},
        {N::startTimer, 1},   {N::stopTimer, 7},    {N::quickPreset, 18},
    };
    const auto found = keyCodes.constFind(name);
    if (found == keyCodes.constEnd()) {
        return std::nullopt;
    }
    return Shortcut{*found, optionCommand};
}

GlobalHotkeysBridge::GlobalHotkeysBridge(QObject* parent) : QObject(parent) {}

void GlobalHotkeysBridge::bind(const QString& name, Action action) {
    if (!m_handlers.contains(name)) {
        m_bindingOrder << name;
    }
    m_handlers[name].push_back(std::move(action));
    m_boundNames.insert(name);
}

void GlobalHotkeysBridge::bindDynamicPresets(const QList<TimerPreset>& presets, PresetAction action) {
    QSet<QUuid> listed;
    for (const TimerPreset& preset : presets) {
        listed.insert(preset.id);
    }
    for (const QUuid& id : m_dynamicPresetDispatch.keys()) {
        if (!listed.contains(id)) {
            m_dynamicPresetDispatch.remove(id);
            m_boundNames.remove(GlobalHotkeyNames::presetName(id));
        }
    }
    for (const TimerPreset& preset : presets) {
        m_dynamicPresetDispatch.insert(preset.id, {preset, action});
        // The handler of a preset that left the list stays installed and finds the entry again when the
        // preset comes back; a second one would start it twice per release.
        if (m_presetsWithHandler.contains(preset.id)) {
            m_boundNames.insert(GlobalHotkeyNames::presetName(preset.id));
            continue;
        }
        m_presetsWithHandler.insert(preset.id);
        const QUuid id = preset.id;
        bind(GlobalHotkeyNames::presetName(id), [bridge = QPointer<GlobalHotkeysBridge>(this), id] {
            if (!bridge) {
                return;
            }
            // Copied out first: the action may hand the bridge a new list.
            const auto entry = bridge->m_dynamicPresetDispatch.value(id);
            if (bridge->m_dynamicPresetDispatch.contains(id) && entry.second) {
                entry.second(entry.first);
            }
        });
    }
}

void GlobalHotkeysBridge::applyDefaultsIfNeeded(Preferences& defaults) {
    const QString flag = QString::fromLatin1(SchemaMigrator::kShortcutsAppliedDefaultsKey);
    if (defaults.boolValue(flag).value_or(false)) {
        return;
    }
    for (const QString& name : recommendedNames()) {
        if (storedShortcut(defaults, name)) {
            continue;
        }
        if (const auto shortcut = recommendedShortcut(name)) {
            storeShortcut(defaults, name, *shortcut);
        }
    }
    defaults.setBool(flag, true);
}

void GlobalHotkeysBridge::unbindAll() {
    m_handlers.clear();
    m_presetsWithHandler.clear();
    m_bindingOrder.clear();
    m_boundNames.clear();
    m_dynamicPresetDispatch.clear();
}

std::optional<TimerPreset> GlobalHotkeysBridge::dispatchedPreset(const QUuid& id) const {
    const auto found = m_dynamicPresetDispatch.constFind(id);
    if (found == m_dynamicPresetDispatch.constEnd()) {
        return std::nullopt;
    }
    return found->first;
}

void GlobalHotkeysBridge::trigger(const QString& name) {
    // A copy: a handler may bind more.
    const QList<Action> handlers = m_handlers.value(name);
    for (const Action& handler : handlers) {
        handler();
    }
}
