#pragma once
// The keyboard in use: which key code each stored key position has, what the position prints, and where
// the modifiers sit. Built from the X server's keymap by the X back end, or from layout names.

#include "hotkeys/XModifierMasks.h"

#include <QHash>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

struct xkb_keymap;

namespace GlobalHotkeys {

class KeyboardLayout {
public:
    // Takes its own reference to `keymap`.
    KeyboardLayout(xkb_keymap* keymap, const XModifierMasks& masks);
    ~KeyboardLayout();
    KeyboardLayout(const KeyboardLayout&) = delete;
    KeyboardLayout& operator=(const KeyboardLayout&) = delete;

    // A keymap compiled from XKB layout names (rules "evdev", model "pc105"), with the usual modifier places;
    // null when the names do not compile. An empty layout takes the system's default.
    static std::shared_ptr<const KeyboardLayout> fromNames(const QString& layout,
                                                           const QString& variant = {});

    // The layout shortcuts are described and matched with. Until someone sets one, the system's default
    // layout (null when there is none to be had). Main thread only.
    static std::shared_ptr<const KeyboardLayout> current();
    static void setCurrent(std::shared_ptr<const KeyboardLayout> layout);

    std::optional<quint32> keycode(qint64 carbonKeyCode) const;
    std::optional<qint64> carbonKeyCode(quint32 keycode) const;
    // What the position prints without modifiers in the first layout group that types Latin letters; none
    // when the keyboard has no such group or no such key; empty when the key prints no character.
    std::optional<QString> character(qint64 carbonKeyCode) const;
    const XModifierMasks& modifierMasks() const { return m_masks; }
    bool hasLatinGroup() const { return m_latinGroup.has_value(); }
    // The key symbols of a key code, over every level of the first group.
    QList<quint32> keysyms(quint32 keycode) const;

private:
    xkb_keymap* m_keymap;
    XModifierMasks m_masks;
    std::optional<quint32> m_latinGroup;
    QHash<quint32, qint64> m_carbonByKeycode;
};

} // namespace GlobalHotkeys
