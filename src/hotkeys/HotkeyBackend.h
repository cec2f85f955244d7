#pragma once
// What the hotkey library needs of the desktop: system-wide grabs of key combinations, and the presses
// and releases that reach them. The X11 back end is the real one; tests give a fake.

#include "hotkeys/Shortcut.h"

#include <QObject>

#include <optional>

namespace GlobalHotkeys {

enum class EventType { keyDown, keyUp };

// Why a combination could not be held.
enum class GrabFailure {
    takenByAnotherProgram,
    // No key of this keyboard sits at the combination's position, or none the desktop lets us grab.
    keyNotOnKeyboard,
    // One of its modifiers is on no key of this keyboard.
    modifierNotOnKeyboard,
    // The desktop refused it for a reason of its own.
    refusedByDesktop,
    noDisplay,
};

class HotkeyBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~HotkeyBackend() override = default;

    // Starts holding `shortcut` for this program, known from now on by `id`. None when it is asked for;
    // otherwise why it cannot even be tried. A combination another program already holds is reported
    // later through grabFailed, with the grab already undone.
    virtual std::optional<GrabFailure> grab(quint32 id, const Shortcut& shortcut) = 0;
    virtual void ungrab(quint32 id) = 0;

signals:
    void grabFailed(quint32 id, GlobalHotkeys::GrabFailure why);
    // A key went down or up while this program held the keyboard, as the combination of its position and
    // the modifiers held at that moment. A held key's repeats come as further presses without releases.
    void keyEvent(GlobalHotkeys::EventType type, const GlobalHotkeys::Shortcut& shortcut);
    // Every grab asked for so far has been answered.
    void grabsSettled();
    // The desktop went away: keys down at that moment send no release. The grabs are asked for again
    // once it is back.
    void connectionLost();
};

} // namespace GlobalHotkeys

Q_DECLARE_METATYPE(GlobalHotkeys::GrabFailure)
