#pragma once
// What the hotkey library needs of the desktop: system-wide grabs of key combinations, and the presses
// and releases that reach them. The X11 back end is the real one; tests give a fake.

#include "hotkeys/Shortcut.h"

#include <QObject>

namespace GlobalHotkeys {

enum class EventType { keyDown, keyUp };

class HotkeyBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~HotkeyBackend() override = default;

    // Starts holding `shortcut` for this program, known from now on by `id`. False when it cannot even be
    // tried (no display, a key this keyboard lacks); a combination another program already holds is
    // reported later through grabFailed, with the grab already undone.
    virtual bool grab(quint32 id, const Shortcut& shortcut) = 0;
    virtual void ungrab(quint32 id) = 0;

signals:
    void grabFailed(quint32 id);
    // A key went down or up while this program held the keyboard, as the combination of its position and
    // the modifiers held at that moment. A held key's repeats come as further presses without releases.
    void keyEvent(GlobalHotkeys::EventType type, const GlobalHotkeys::Shortcut& shortcut);
    // Every grab asked for so far has been answered.
    void grabsSettled();
};

} // namespace GlobalHotkeys
