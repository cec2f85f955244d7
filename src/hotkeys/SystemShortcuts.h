#pragma once
// The key combinations Linux desktops keep for themselves out of the box (GNOME, KDE Plasma, Xfce,
// Cinnamon, MATE, and the X server's own), so the recorder can warn before storing one: a combination the
// desktop holds never reaches us, or is taken away from the desktop's own action.

#include "hotkeys/Shortcut.h"

#include <QList>

namespace GlobalHotkeys {

// Window switching and window keys (Alt+Tab, Alt+F4, Alt+Space …), workspaces (Ctrl+Alt+arrows,
// Super+Page Up …), the shells' own keys (Super+A, Super+L, Super+Space …), launchers (Alt+F2,
// Ctrl+Alt+T, Super+1…9), accessibility (Alt+Super+S, Alt+Super+8 …) and the X server's console switching
// (Ctrl+Alt+F1…F12, Ctrl+Alt+Backspace). Keys with no stored position (Print, media keys) cannot be
// recorded and are not listed.
const QList<Shortcut>& systemShortcuts();

// Whether `reserved` holds an equal shortcut (both fields). A bare F12 is never reported as taken, whatever
// the list says.
bool isTakenBySystem(const Shortcut& shortcut, const QList<Shortcut>& reserved = systemShortcuts());

} // namespace GlobalHotkeys
