#pragma once
// The application's hotkey bindings: named actions, and one binding per preset kept in step with the preset
// list. Stand-in until the global-hotkey library lands: it keeps the names and the per-preset table and an
// in-process handler table, but registers nothing with the system, so no key press reaches it yet;
// trigger() runs a name's handlers as the release of its shortcut will.

#include "core/TimerPreset.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <functional>
#include <optional>
#include <utility>

class Preferences;

// The names of the program's global hotkeys; each is stored under "GlobalHotkeys_" and the name.
namespace GlobalHotkeyNames {
inline const QString quickLaunch = QStringLiteral("quickLaunch");
inline const QString toggleFloating = QStringLiteral("toggleFloating");
inline const QString quickPreset = QStringLiteral("quickPreset");
inline const QString pauseResume = QStringLiteral("pauseResume");
inline const QString reset = QStringLiteral("reset");
inline const QString newTimer = QStringLiteral("newTimer");
inline const QString startTimer = QStringLiteral("startTimer");
inline const QString stopTimer = QStringLiteral("stopTimer");
inline const QString nextInQueue = QStringLiteral("nextInQueue");
inline const QString pauseQueue = QStringLiteral("pauseQueue");
// "tarvolin.preset." and the preset's id in upper case: the name depends on the id alone.
QString presetName(const QUuid& presetId);
} // namespace GlobalHotkeyNames

class GlobalHotkeysBridge : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void()>;
    using PresetAction = std::function<void(const TimerPreset&)>;

    // A stored shortcut: a key code and modifier flags in the stored numbering.
    struct Shortcut {
        qint64 carbonKeyCode = 0;
        qint64 carbonModifiers = 0;
        bool operator==(const Shortcut&) const = default;
    };
    static constexpr qint64 optionCommand = 2304;

    static QString preferenceKey(const QString& name) { return QStringLiteral("GlobalHotkeys_") + name; }
    // The shortcut stored for a name; none when absent, false, or unreadable.
    static std::optional<Shortcut> storedShortcut(const Preferences& defaults, const QString& name);
    static void storeShortcut(Preferences& defaults, const QString& name, const Shortcut& shortcut);

    // The names the one-time recommended set covers, in order, and their recommended shortcuts.
    static const QStringList& recommendedNames();
    static std::optional<Shortcut> recommendedShortcut(const QString& name);

    explicit GlobalHotkeysBridge(QObject* parent = nullptr);

    // Adds one more handler for the name (a second bind adds a second handler) and records the name.
    void bind(const QString& name, Action action);
    // Brings the per-preset bindings in step with the list: an id gets one handler the first time it is
    // listed, ever; a listed id's entry is replaced (so a renamed or retimed preset starts with its new
    // values); an id no longer listed loses its entry, and its handler does nothing until it is listed again.
    void bindDynamicPresets(const QList<TimerPreset>& presets, PresetAction action);
    // Once per preference store: gives each recommended name without a shortcut its recommended one.
    void applyDefaultsIfNeeded(Preferences& defaults);
    // Drops every handler, every bound name and the whole per-preset table.
    void unbindAll();

    const QSet<QString>& boundNames() const { return m_boundNames; }
    QList<QUuid> dispatchedPresetIds() const { return m_dynamicPresetDispatch.keys(); }
    std::optional<TimerPreset> dispatchedPreset(const QUuid& id) const;
    qsizetype handlerCount(const QString& name) const { return m_handlers.value(name).size(); }
    // The names in the order they were first bound (tests read the binding order from it).
    const QStringList& bindingOrder() const { return m_bindingOrder; }

    // Runs the name's handlers in the order they were added.
    void trigger(const QString& name);

private:
    QHash<QString, QList<Action>> m_handlers;
    QStringList m_bindingOrder;
    QSet<QString> m_boundNames;
    QHash<QUuid, std::pair<TimerPreset, PresetAction>> m_dynamicPresetDispatch;
    QSet<QUuid> m_presetsWithHandler;
};
