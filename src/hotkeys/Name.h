#pragma once
// The name of a global hotkey: the key of its stored shortcut ("GlobalHotkeys_" + name) and of its
// handlers. Two names with the same text are the same name, whatever their defaults.

#include "hotkeys/Shortcut.h"

#include <QHashFunctions>
#include <QMetaType>
#include <QString>

#include <optional>

namespace GlobalHotkeys {

class Name {
public:
    // A name without a default shortcut.
    explicit Name(QString rawValue);
    // A name that starts with `defaultShortcut`: when the preferences hold nothing for it yet, the default
    // is stored (and registered, and announced). A removed default (stored false) stays removed.
    Name(QString rawValue, std::optional<Shortcut> defaultShortcut);

    const QString& rawValue() const { return m_rawValue; }
    const std::optional<Shortcut>& defaultShortcut() const { return m_defaultShortcut; }

    // The stored shortcut, read afresh; none when absent, removed or unreadable.
    std::optional<Shortcut> shortcut() const;
    // Stores it; none removes it (stores false when the name has a default).
    void setShortcut(const std::optional<Shortcut>& shortcut) const;

    bool operator==(const Name& other) const { return m_rawValue == other.m_rawValue; }

    // The application's hotkeys, each built once on first use (which writes its default where none is
    // stored). Option+Command+Space, F and 1 are the three defaults.
    static Name quickLaunch();
    static Name toggleFloating();
    static Name quickPreset();
    static Name pauseResume();
    static Name reset();
    static Name newTimer();
    static Name startTimer();
    static Name stopTimer();
    static Name nextInQueue();
    static Name pauseQueue();

private:
    QString m_rawValue;
    std::optional<Shortcut> m_defaultShortcut;
};

inline size_t qHash(const Name& name, size_t seed = 0) noexcept {
    return ::qHash(name.rawValue(), seed);
}

} // namespace GlobalHotkeys

Q_DECLARE_METATYPE(GlobalHotkeys::Name)
