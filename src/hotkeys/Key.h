#pragma once
// A physical key position, named by its stored key code; the same code prints different characters under
// different keyboard layouts.

#include <QHashFunctions>
#include <QtGlobal>

namespace GlobalHotkeys {

struct Key {
    qint64 rawValue = 0;

    constexpr Key() = default;
    constexpr explicit Key(qint64 raw) : rawValue(raw) {}

    constexpr bool operator==(const Key& other) const = default;

    // Letters
    static const Key a, b, c, d, e, f, g, h, i, j, k, l, m, n, o, p, q, r, s, t, u, v, w, x, y, z;
    // Digits
    static const Key zero, one, two, three, four, five, six, seven, eight, nine;
    // Modifier keys
    static const Key capsLock, shift, function, control, option, command, rightCommand, rightOption,
        rightControl, rightShift;
    // Other keys (`return` and `delete` are words of the language, hence the underscore)
    static const Key return_, backslash, backtick, comma, equal, minus, period, quote, semicolon, slash,
        space, tab, leftBracket, rightBracket, pageUp, pageDown, home, end, upArrow, rightArrow, downArrow,
        leftArrow, escape, delete_, deleteForward, help, mute, volumeUp, volumeDown;
    // Function keys
    static const Key f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13, f14, f15, f16, f17, f18, f19,
        f20;
    // Keypad
    static const Key keypad0, keypad1, keypad2, keypad3, keypad4, keypad5, keypad6, keypad7, keypad8, keypad9,
        keypadClear, keypadDecimal, keypadDivide, keypadEnter, keypadEquals, keypadMinus, keypadMultiply,
        keypadPlus;
};

inline size_t qHash(const Key& key, size_t seed = 0) noexcept {
    return ::qHash(key.rawValue, seed);
}

} // namespace GlobalHotkeys
