#pragma once
// Key presses that every view reads the same way.

class QKeyEvent;

namespace KeyPress {

// Escape with no modifier held: what closes the innermost thing open. An Escape on a keypad counts too;
// Shift, Ctrl, Alt or Super with it make another shortcut.
bool isPlainEscape(const QKeyEvent& event);

} // namespace KeyPress
