#pragma once
// The four modifier bits a stored shortcut uses, and their conversion to and from Qt's modifiers: ⌘ is the
// Super key (Qt's Meta), ⌥ Alt, ⌃ Ctrl and ⇧ Shift.

#include <QString>
#include <Qt>

namespace GlobalHotkeys {

namespace CarbonModifier {
inline constexpr qint64 command = 256;
inline constexpr qint64 shift = 512;
inline constexpr qint64 option = 2048;
inline constexpr qint64 control = 4096;
inline constexpr qint64 all = command | shift | option | control;
} // namespace CarbonModifier

// Only the four known bits survive; caps lock (1024) and every other bit are dropped.
constexpr qint64 normalizeModifiers(qint64 carbon) {
    return carbon & CarbonModifier::all;
}

// Qt's keypad and group-switch flags have no stored bit and are dropped.
qint64 carbonModifiers(Qt::KeyboardModifiers modifiers);
Qt::KeyboardModifiers qtModifiers(qint64 carbon);

// The glyphs of the modifiers present, always in the order ⌃⌥⇧⌘; empty for none.
QString modifierDescription(qint64 carbon);

} // namespace GlobalHotkeys
