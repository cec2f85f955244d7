#pragma once
// The global-hotkey library: each name's shortcut kept in the preferences, its registration with the
// desktop, and the actions that run when it is pressed and released. Process-wide state, main thread only.

#include "hotkeys/HotkeyBackend.h"
#include "hotkeys/HotkeyNotifier.h"
#include "hotkeys/Name.h"
#include "hotkeys/Shortcut.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

class QKeyEvent;

namespace GlobalHotkeys {

using Action = std::function<void()>;

// ---- Stored shortcuts: "GlobalHotkeys_" + name in the standard preferences, as JSON text, or false for a
// removed default.
QString userDefaultsKey(const Name& name);
// None when absent, removed or unreadable (an unreadable entry is left as it is).
std::optional<Shortcut> getShortcut(const Name& name);
// A shortcut: stored, registered, announced. None: false when the name has a default, else removed.
void setShortcut(const std::optional<Shortcut>& shortcut, const Name& name);
// Each name back to its default (written and announced even when unchanged), in order.
void reset(const QList<Name>& names);
// Withdraws or restores the registration of each name's stored shortcut; storage untouched.
void disable(const QList<Name>& names);
void enable(const QList<Name>& names);

// The writes behind setShortcut; the recorder uses them directly.
void userDefaultsSet(const Name& name, const Shortcut& shortcut);
void userDefaultsDisable(const Name& name);
void userDefaultsRemove(const Name& name);
bool userDefaultsContains(const Name& name);

// ---- Handlers
// Appends an action run on each press (resp. release) of the name's shortcut, and registers that shortcut
// when the name has one. Handlers are never replaced: each call adds one more.
void onKeyDown(const Name& name, Action action);
void onKeyUp(const Name& name, Action action);
// Drops every key-down and key-up action, and the registrations only they needed.
void removeAllHandlers();

// ---- Titles
// The words a person knows a name's hotkey by, given by whoever binds a name the program's own texts do
// not title (a preset's hotkey goes by the preset's name), so a recorder refusing its shortcut can say
// whose it is. None forgets it.
void setTitle(const Name& name, const std::optional<QString>& title);
// Every name given a title, with its title, in the order first given.
QList<std::pair<Name, QString>> titledNames();

// ---- Switches
// Off: nothing is delivered and no combination is held; on again: all held anew.
bool isEnabled();
void setEnabled(bool enabled);
// On: events arrive and are consumed, but no action runs (while a shortcut is being recorded).
bool isPaused();
void setPaused(bool paused);
// On while one of the program's menus or popups holds the keyboard: grabs cannot fire then, so key events
// of the program's own windows are matched instead (matchLocalKeyEvent).
bool isMenuOpen();
void setMenuOpen(bool open);
// A key press or release that reached one of the program's windows while a menu is open. True when it
// belongs to a registered shortcut: it has been dispatched and must not reach the menu.
bool matchLocalKeyEvent(const QKeyEvent& event);

// ---- Desktop
// The back end registrations go to; null until installed or first needed, when the X11 one is made.
// The caller keeps ownership of an installed one.
void installBackend(HotkeyBackend* backend);
HotkeyBackend* backend();
// Whether the library holds the shortcut registered with the desktop now.
bool isRegistered(const Shortcut& shortcut);

HotkeyNotifier& notifier();
// "⌥⌘Space is already used by another program.", in the interface language.
QString takenMessage(const Shortcut& shortcut);
// What a person is told when the shortcut could not be held for that reason; empty where there is nothing
// they could do about it (no display at all).
QString refusalMessage(const Shortcut& shortcut, GrabFailure why);

// ---- Event streams (HotkeyEventStream) and names built once (Name)
namespace detail {
using StreamAction = std::function<void(EventType)>;
void addStreamHandler(const Name& name, quint64 id, bool keyDown, bool keyUp, StreamAction action);
void removeStreamHandler(const Name& name, quint64 id);
quint64 nextStreamId();
Name applicationName(const QString& rawValue, std::optional<Shortcut> defaultShortcut);
void initialize();
} // namespace detail

// Forgets every handler, stream, registration, switch and built name; the installed back end is dropped
// (tests only).
void resetForTesting();

} // namespace GlobalHotkeys
