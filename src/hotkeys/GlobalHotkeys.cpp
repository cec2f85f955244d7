#include "hotkeys/GlobalHotkeys.h"

#include "hotkeys/HotkeyRegistrar.h"
#include "hotkeys/MenuKeyRoute.h"
#include "hotkeys/XcbHotkeyBackend.h"
#include "platform/Preferences.h"
#include "platform/TarvolinTimerLogger.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QPointer>
#include <QSet>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace GlobalHotkeys {

namespace {

const QString kContext = QStringLiteral("GlobalHotkeys");

// Tables keep their names in the order first added; a name's first value stays the key.
template <class Handlers> using NameTable = std::vector<std::pair<Name, Handlers>>;

template <class Handlers> Handlers* lookup(NameTable<Handlers>& table, const Name& name) {
    for (auto& [key, handlers] : table) {
        if (key == name) {
            return &handlers;
        }
    }
    return nullptr;
}

template <class Handlers> Handlers& entry(NameTable<Handlers>& table, const Name& name) {
    if (Handlers* found = lookup(table, name)) {
        return *found;
    }
    table.emplace_back(name, Handlers{});
    return table.back().second;
}

struct State {
    QPointer<HotkeyBackend> backend;
    std::unique_ptr<HotkeyRegistrar> registrar;
    std::unique_ptr<HotkeyNotifier> notifier;
    QPointer<MenuKeyRoute> menuRoute;
    // Shortcuts handed to the desktop and not withdrawn since: the guard against registering twice.
    QSet<Shortcut> registered;
    bool enabled = true;
    bool paused = false;
    bool menuOpen = false;
    bool initialized = false;
    NameTable<std::vector<Action>> legacyKeyDown;
    NameTable<std::vector<Action>> legacyKeyUp;
    NameTable<std::map<quint64, detail::StreamAction>> streamKeyDown;
    NameTable<std::map<quint64, detail::StreamAction>> streamKeyUp;
    quint64 lastStreamId = 0;
    QHash<QString, Name> applicationNames;
    NameTable<QString> titles;
};

State& state() {
    static State s;
    return s;
}

void handleOnKeyDown(const Shortcut& shortcut);
void handleOnKeyUp(const Shortcut& shortcut);

QString failureLogText(GrabFailure why) {
    switch (why) {
    case GrabFailure::takenByAnotherProgram:
        return QStringLiteral("is held by another program");
    case GrabFailure::keyNotOnKeyboard:
        return QStringLiteral("cannot be grabbed: the keyboard has no such key for the X server");
    case GrabFailure::modifierNotOnKeyboard:
        return QStringLiteral("cannot be grabbed: no key of the keyboard gives one of its modifiers");
    case GrabFailure::refusedByDesktop:
        return QStringLiteral("was refused by the X server");
    case GrabFailure::noDisplay:
        return QStringLiteral("cannot be grabbed: there is no X display");
    }
    return {};
}

void registrationFailed(const Shortcut& shortcut, GrabFailure why) {
    // Not counted as registered, so the next bind, enable or store tries it again.
    state().registered.remove(shortcut);
    const QString line = QStringLiteral("Shortcut %1 (key %2, modifiers %3) %4")
                             .arg(shortcut.description())
                             .arg(shortcut.carbonKeyCode)
                             .arg(shortcut.carbonModifiers)
                             .arg(failureLogText(why));
    // Without a display at all, that was said once when the hotkeys went off.
    if (why == GrabFailure::noDisplay) {
        TT_LOG_INFO(kContext, line);
    } else {
        TT_LOG_WARNING(kContext, line);
    }
    emit notifier().shortcutRefused(shortcut, why);
    if (why == GrabFailure::takenByAnotherProgram) {
        emit notifier().shortcutTaken(shortcut);
    }
}

HotkeyRegistrar& registrar() {
    State& s = state();
    if (!s.registrar) {
        if (!s.backend && QCoreApplication::instance() != nullptr) {
            // The desktop's own; it lives as long as the application object.
            s.backend = new XcbHotkeyBackend(QString(), QCoreApplication::instance());
        }
        s.registrar = std::make_unique<HotkeyRegistrar>(s.backend.data());
        s.registrar->setDelivering(s.enabled);
        QObject::connect(s.registrar.get(), &HotkeyRegistrar::registrationFailed, &registrationFailed);
    }
    return *s.registrar;
}

void registerStep(const Shortcut& shortcut) {
    State& s = state();
    if (s.registered.contains(shortcut)) {
        return;
    }
    // A failure has been told through registrationFailed.
    if (registrar().registerShortcut(shortcut, handleOnKeyDown, handleOnKeyUp)) {
        s.registered.insert(shortcut);
    }
}

void unregisterStep(const Shortcut& shortcut) {
    registrar().unregisterShortcut(shortcut);
    state().registered.remove(shortcut);
}

void didChange(const Name& name) {
    emit notifier().shortcutByNameDidChange(name);
}

template <class Handlers> QSet<Shortcut> storedShortcutsOf(const NameTable<Handlers>& table) {
    QSet<Shortcut> shortcuts;
    for (const auto& [name, handlers] : table) {
        if (const auto shortcut = getShortcut(name)) {
            shortcuts.insert(*shortcut);
        }
    }
    return shortcuts;
}

QSet<Shortcut> shortcutsForLegacyHandlers() {
    return storedShortcutsOf(state().legacyKeyDown) | storedShortcutsOf(state().legacyKeyUp);
}

// A name whose last stream ended keeps its (empty) entry, but no longer counts as a user of its shortcut.
QSet<Shortcut> shortcutsForStreamHandlers() {
    QSet<Shortcut> shortcuts;
    for (const auto* table : {&state().streamKeyDown, &state().streamKeyUp}) {
        for (const auto& [name, handlers] : *table) {
            if (!handlers.empty()) {
                if (const auto shortcut = getShortcut(name)) {
                    shortcuts.insert(*shortcut);
                }
            }
        }
    }
    return shortcuts;
}

void unregisterIfNeeded(const Shortcut& shortcut) {
    if (!(shortcutsForLegacyHandlers() | shortcutsForStreamHandlers()).contains(shortcut)) {
        unregisterStep(shortcut);
    }
}

void dispatch(const Shortcut& shortcut, EventType type) {
    State& s = state();
    if (s.paused) {
        return;
    }
    // Each table is walked as it stood when the walk began; a name's shortcut is read when reached.
    const auto legacy = type == EventType::keyDown ? s.legacyKeyDown : s.legacyKeyUp;
    for (const auto& [name, actions] : legacy) {
        if (getShortcut(name) == shortcut) {
            for (const Action& action : actions) {
                action();
            }
        }
    }
    const auto streams = type == EventType::keyDown ? s.streamKeyDown : s.streamKeyUp;
    for (const auto& [name, actions] : streams) {
        if (getShortcut(name) == shortcut) {
            for (const auto& [id, action] : actions) {
                action(type);
            }
        }
    }
}

void handleOnKeyDown(const Shortcut& shortcut) {
    dispatch(shortcut, EventType::keyDown);
}
void handleOnKeyUp(const Shortcut& shortcut) {
    dispatch(shortcut, EventType::keyUp);
}

void updateEventHandler() {
    State& s = state();
    registrar().setDelivering(s.enabled);
}

void addLegacy(NameTable<std::vector<Action>>& table, const Name& name, Action action) {
    entry(table, name).push_back(std::move(action));
    if (const auto shortcut = getShortcut(name)) {
        registerStep(*shortcut);
    }
}

} // namespace

QString userDefaultsKey(const Name& name) {
    return QStringLiteral("GlobalHotkeys_") + name.rawValue();
}

std::optional<Shortcut> getShortcut(const Name& name) {
    const auto text = Preferences::standard().stringValue(userDefaultsKey(name));
    if (!text) {
        return std::nullopt;
    }
    return Shortcut::decoded(text->toUtf8());
}

void userDefaultsSet(const Name& name, const Shortcut& shortcut) {
    const QString text = QString::fromUtf8(shortcut.encoded());
    const auto current = getShortcut(name);
    Preferences::standard().setString(userDefaultsKey(name), text);
    if (current == shortcut) {
        unregisterStep(*current); // stored again: grabbed afresh
    } else if (current) {
        unregisterIfNeeded(*current);
    }
    registerStep(shortcut);
    didChange(name);
}

// Clearing a name lets go of its keys only when no other name still answers to them (two names can hold one
// combination when a stored file says so).
void userDefaultsDisable(const Name& name) {
    const auto current = getShortcut(name);
    if (!current) {
        return;
    }
    Preferences::standard().setBool(userDefaultsKey(name), false);
    unregisterIfNeeded(*current);
    didChange(name);
}

void userDefaultsRemove(const Name& name) {
    const auto current = getShortcut(name);
    if (!current) {
        return;
    }
    Preferences::standard().remove(userDefaultsKey(name));
    unregisterIfNeeded(*current);
    didChange(name);
}

bool userDefaultsContains(const Name& name) {
    return Preferences::standard().contains(userDefaultsKey(name));
}

void setShortcut(const std::optional<Shortcut>& shortcut, const Name& name) {
    if (shortcut) {
        userDefaultsSet(name, *shortcut);
    } else if (name.defaultShortcut()) {
        userDefaultsDisable(name);
    } else {
        userDefaultsRemove(name);
    }
}

void reset(const QList<Name>& names) {
    for (const Name& name : names) {
        setShortcut(name.defaultShortcut(), name);
    }
}

void disable(const QList<Name>& names) {
    for (const Name& name : names) {
        if (const auto shortcut = getShortcut(name)) {
            unregisterStep(*shortcut);
        }
    }
}

void enable(const QList<Name>& names) {
    for (const Name& name : names) {
        if (const auto shortcut = getShortcut(name)) {
            registerStep(*shortcut);
        }
    }
}

void onKeyDown(const Name& name, Action action) {
    addLegacy(state().legacyKeyDown, name, std::move(action));
}
void onKeyUp(const Name& name, Action action) {
    addLegacy(state().legacyKeyUp, name, std::move(action));
}

void removeAllHandlers() {
    State& s = state();
    const QSet<Shortcut> unneeded = shortcutsForLegacyHandlers() - shortcutsForStreamHandlers();
    for (const Shortcut& shortcut : unneeded) {
        unregisterStep(shortcut);
    }
    s.legacyKeyDown.clear();
    s.legacyKeyUp.clear();
}

void setTitle(const Name& name, const std::optional<QString>& title) {
    NameTable<QString>& titles = state().titles;
    if (title) {
        entry(titles, name) = *title;
        return;
    }
    titles.erase(
        std::remove_if(titles.begin(), titles.end(), [&](const auto& row) { return row.first == name; }),
        titles.end());
}

QList<std::pair<Name, QString>> titledNames() {
    const NameTable<QString>& titles = state().titles;
    return QList<std::pair<Name, QString>>(titles.begin(), titles.end());
}

bool isEnabled() {
    return state().enabled;
}

void setEnabled(bool enabled) {
    if (std::exchange(state().enabled, enabled) != enabled) {
        updateEventHandler();
    }
}

bool isPaused() {
    return state().paused;
}
void setPaused(bool paused) {
    state().paused = paused;
}

bool isMenuOpen() {
    return state().menuOpen;
}

void setMenuOpen(bool open) {
    if (std::exchange(state().menuOpen, open) != open) {
        // A key pressed on one side of the change is released on the other, where it may never be seen.
        if (state().registrar) {
            state().registrar->forgetHeldKeys();
        }
    }
}

bool matchLocalKeyEvent(const QKeyEvent& event) {
    State& s = state();
    if (!s.enabled || !s.menuOpen || !s.registrar) {
        return false;
    }
    const auto shortcut = Shortcut::fromKeyEvent(event);
    if (!shortcut) {
        return false;
    }
    const EventType type = event.type() == QEvent::KeyPress ? EventType::keyDown : EventType::keyUp;
    return s.registrar->handleKeyEvent(type, *shortcut, event.isAutoRepeat());
}

void installBackend(HotkeyBackend* backend) {
    State& s = state();
    if (s.backend == backend) {
        return;
    }
    if (s.registrar) {
        // The previous desktop lets go of everything it held for us.
        s.registrar->setDelivering(false);
    }
    s.registrar.reset();
    s.registered.clear();
    s.backend = backend;
}

HotkeyBackend* backend() {
    registrar();
    return state().backend.data();
}

bool isRegistered(const Shortcut& shortcut) {
    return state().registered.contains(shortcut);
}

HotkeyNotifier& notifier() {
    State& s = state();
    if (!s.notifier) {
        s.notifier = std::make_unique<HotkeyNotifier>();
    }
    return *s.notifier;
}

QString takenMessage(const Shortcut& shortcut) {
    return QCoreApplication::translate("GlobalHotkeys", "%1 is already used by another program.")
        .arg(shortcut.description());
}

QString refusalMessage(const Shortcut& shortcut, GrabFailure why) {
    const QString description = shortcut.description();
    switch (why) {
    case GrabFailure::takenByAnotherProgram:
        return takenMessage(shortcut);
    case GrabFailure::keyNotOnKeyboard:
        return QCoreApplication::translate("GlobalHotkeys",
                                           "%1 cannot be used: this keyboard has no such key.")
            .arg(description);
    case GrabFailure::modifierNotOnKeyboard:
        return QCoreApplication::translate("GlobalHotkeys",
                                           "%1 cannot be used: this keyboard has no key for one of its "
                                           "modifiers.")
            .arg(description);
    case GrabFailure::refusedByDesktop:
        return QCoreApplication::translate("GlobalHotkeys", "%1 cannot be used: the desktop refused it.")
            .arg(description);
    case GrabFailure::noDisplay:
        break;
    }
    return {};
}

namespace detail {

void addStreamHandler(const Name& name, quint64 id, bool keyDown, bool keyUp, StreamAction action) {
    State& s = state();
    if (keyDown) {
        entry(s.streamKeyDown, name)[id] = action;
    }
    if (keyUp) {
        entry(s.streamKeyUp, name)[id] = action;
    }
    if (const auto shortcut = getShortcut(name)) {
        registerStep(*shortcut);
    }
}

void removeStreamHandler(const Name& name, quint64 id) {
    State& s = state();
    for (auto* table : {&s.streamKeyDown, &s.streamKeyUp}) {
        if (auto* handlers = lookup(*table, name)) {
            handlers->erase(id);
        }
    }
    if (const auto shortcut = getShortcut(name)) {
        unregisterIfNeeded(*shortcut);
    }
}

quint64 nextStreamId() {
    return ++state().lastStreamId;
}

Name applicationName(const QString& rawValue, std::optional<Shortcut> defaultShortcut) {
    State& s = state();
    const auto found = s.applicationNames.constFind(rawValue);
    if (found != s.applicationNames.constEnd()) {
        return *found;
    }
    const Name name(rawValue, defaultShortcut);
    s.applicationNames.insert(rawValue, name);
    return name;
}

void initialize() {
    State& s = state();
    if (s.initialized) {
        return;
    }
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (application == nullptr) {
        return; // no windows, so no menus to follow; tried again with the next name
    }
    s.initialized = true;
    s.menuRoute = new MenuKeyRoute(application);
    application->installEventFilter(s.menuRoute);
}

} // namespace detail

void resetForTesting() {
    State& s = state();
    s.registrar.reset();
    s.backend = nullptr;
    s.registered.clear();
    s.enabled = true;
    s.paused = false;
    s.menuOpen = false;
    s.legacyKeyDown.clear();
    s.legacyKeyUp.clear();
    s.streamKeyDown.clear();
    s.streamKeyUp.clear();
    s.applicationNames.clear();
    s.titles.clear();
}

} // namespace GlobalHotkeys
