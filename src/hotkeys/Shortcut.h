#pragma once
// A key position with its modifiers, in the stored form: a key code and the four modifier bits. Shown to
// people as modifier glyphs followed by what the key prints ("⇧⌘A").

#include "hotkeys/Key.h"
#include "hotkeys/ModifierFlags.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHashFunctions>
#include <QMetaType>
#include <QString>

#include <optional>

class QKeyEvent;

namespace GlobalHotkeys {

struct Shortcut {
    qint64 carbonKeyCode = 0;
    qint64 carbonModifiers = 0;

    Shortcut() = default;
    // Keeps only the four known modifier bits.
    Shortcut(qint64 keyCode, qint64 modifiers)
        : carbonKeyCode(keyCode), carbonModifiers(normalizeModifiers(modifiers)) {}
    Shortcut(Key key, Qt::KeyboardModifiers modifiers)
        : Shortcut(key.rawValue, GlobalHotkeys::carbonModifiers(modifiers)) {}

    // A key press or release as a shortcut, its key found through the current keyboard layout; none for
    // other events and for keys at no known position.
    static std::optional<Shortcut> fromKeyEvent(const QKeyEvent& event);

    bool operator==(const Shortcut& other) const = default;

    Key key() const { return Key(carbonKeyCode); }
    Qt::KeyboardModifiers modifiers() const { return qtModifiers(carbonModifiers); }

    // Modifier glyphs, then the key's text with each word capitalised, or "�" when the key prints nothing
    // known under the current layout.
    QString description() const;
    // What a menu shows as the item's key: the key's text when it is one character, a space for the space
    // bar, the private-use characters of F1–F20, else empty.
    QString keyEquivalent() const;
    // The key's own text: a fixed text for keys that print no letter, else what the current layout prints
    // there without modifiers; none when neither is known.
    std::optional<QString> keyToCharacter() const;

    // Stored form: compact JSON, {"carbonKeyCode":49,"carbonModifiers":2304}.
    QByteArray encoded() const;
    // Any member order and white space, further members ignored; both members integers. The modifiers are
    // kept as stored, unnormalised. None for anything else.
    static std::optional<Shortcut> decoded(QByteArrayView json);
};

inline size_t qHash(const Shortcut& shortcut, size_t seed = 0) noexcept {
    return qHashMulti(seed, shortcut.carbonKeyCode, shortcut.carbonModifiers);
}

// Capitalises each word: its first letter upper case, the rest lower case.
QString capitalized(const QString& text);

} // namespace GlobalHotkeys

Q_DECLARE_METATYPE(GlobalHotkeys::Shortcut)
