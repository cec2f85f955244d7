#pragma once
// The table of shortcuts registered with the desktop, each with its press and release callbacks. Pairs
// each release with its press, so a release fires the shortcut the key went down as, even when the
// modifiers were let go first, and a held key's repeats fire nothing.

#include "hotkeys/HotkeyBackend.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

namespace GlobalHotkeys {

class HotkeyRegistrar : public QObject {
    Q_OBJECT
public:
    using Callback = std::function<void(const Shortcut&)>;

    explicit HotkeyRegistrar(HotkeyBackend* backend, QObject* parent = nullptr);

    // Registers under a new id (ids start at 1; a failed attempt uses one up). While withdrawn (disabled),
    // the shortcut joins the table and is grabbed when delivery resumes. False when it could not be tried,
    // which registrationFailed has told.
    bool registerShortcut(const Shortcut& shortcut, Callback onKeyDown, Callback onKeyUp);
    void unregisterShortcut(const Shortcut& shortcut);
    // Enabled: every shortcut of the table is grabbed again (one that fails leaves the table, told through
    // registrationFailed). Disabled: every grab is withdrawn and the table kept. Forgets keys held across
    // the change.
    void setDelivering(bool delivering);

    // A key event from the program's own windows (while one of its menus holds the keyboard): the same
    // matching and pairing as for grabbed keys. True when it was one of ours and must not go on.
    bool handleKeyEvent(EventType type, const Shortcut& asPressed, bool autoRepeat);
    // Forgets which keys are down (their releases may go elsewhere from now on).
    void forgetHeldKeys() { m_held.clear(); }

    quint32 lastId() const { return m_lastId; }
    bool contains(const Shortcut& shortcut) const;

signals:
    // It could not be held, for the reason given; it has left the table (or never joined it).
    void registrationFailed(const GlobalHotkeys::Shortcut& shortcut, GlobalHotkeys::GrabFailure why);

private:
    struct HotKey {
        Shortcut shortcut;
        bool grabbed = false;
        Callback onKeyDown;
        Callback onKeyUp;
    };

    void onGrabFailed(quint32 id, GrabFailure why);
    void onBackendKey(EventType type, const Shortcut& shortcut);
    const HotKey* find(const Shortcut& shortcut) const;

    QPointer<HotkeyBackend> m_backend;
    std::map<quint32, HotKey> m_hotKeys;
    quint32 m_lastId = 0;
    bool m_delivering = true;
    // Key position → the shortcut it went down as.
    QHash<qint64, Shortcut> m_held;
};

} // namespace GlobalHotkeys
