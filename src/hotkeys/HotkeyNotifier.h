#pragma once
// The hotkey library's announcements: a name's stored shortcut changed; a shortcut could not be had.

#include "hotkeys/HotkeyBackend.h"
#include "hotkeys/Name.h"

#include <QObject>

namespace GlobalHotkeys {

class HotkeyNotifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // Emitted while the writer runs, after the store was written and the registration changed.
    void shortcutByNameDidChange(const GlobalHotkeys::Name& name);
    // This combination could not be held, for the reason given, so it does nothing for us; it is tried
    // again the next time a name holding it is bound, enabled or stored.
    void shortcutRefused(const GlobalHotkeys::Shortcut& shortcut, GlobalHotkeys::GrabFailure why);
    // The same, when the reason is that another program holds it.
    void shortcutTaken(const GlobalHotkeys::Shortcut& shortcut);
};

} // namespace GlobalHotkeys
