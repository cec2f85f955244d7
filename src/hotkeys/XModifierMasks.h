#pragma once
// Which X modifier bits the keys of a shortcut's modifiers set on this keyboard, and the lock bits a grab
// must also cover. Alt, Super and Num Lock sit on whichever of Mod1–Mod5 the keyboard's modifier map
// gives them.

#include <QList>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <optional>

namespace GlobalHotkeys {

struct XModifierMasks {
    static constexpr quint16 shift = 0x0001;
    static constexpr quint16 lock = 0x0002;
    static constexpr quint16 control = 0x0004;
    // The usual places, used when the modifier map could not be read; 0 for a modifier on no key.
    quint16 alt = 0x0008;     // Mod1
    quint16 numLock = 0x0010; // Mod2
    quint16 super = 0x0040;   // Mod4

    bool operator==(const XModifierMasks& other) const = default;

    // From the keyboard's modifier map: for each of the eight modifiers (Shift, Lock, Control, Mod1–Mod5),
    // the key symbols of the keys it holds. An empty map keeps the usual places.
    static XModifierMasks fromModifierMap(const std::array<QList<quint32>, 8>& keysymsPerModifier);

    // The modifier bits a grab of these stored modifiers asks for; none when one of them is on no key.
    std::optional<quint16> grabMask(qint64 carbonModifiers) const;
    // That mask with every combination of Caps Lock and Num Lock, so the grab holds whatever locks are on.
    QList<quint16> grabVariants(qint64 carbonModifiers) const;
    // The stored modifiers of an event's state; locks, mouse buttons and the layout group are ignored.
    qint64 carbonModifiers(quint16 state) const;
};

} // namespace GlobalHotkeys
