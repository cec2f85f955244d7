#pragma once
// Where each stored key code sits on a keyboard, as the XKB name of that physical position ("AC01" is the
// key left of the home row's second key on every layout). Positions, not characters: the keymap in use
// says what a position prints.

#include <QtGlobal>

#include <optional>
#include <string_view>

namespace GlobalHotkeys::KeyPositions {

// None for a code no PC keyboard has (the function key, a code of no key).
std::optional<std::string_view> xkbKeyName(qint64 carbonKeyCode);
// The stored key code of a named position; none for a position no stored code names.
std::optional<qint64> carbonKeyCode(std::string_view xkbKeyName);

} // namespace GlobalHotkeys::KeyPositions
