// The combinations the desktop keeps for itself, as the recorder checks them.
#include "HotkeyTestFixture.h"
#include "hotkeys/KeyPositions.h"
#include "hotkeys/SystemShortcuts.h"

#include <QSet>

using namespace GlobalHotkeys;

namespace {

constexpr qint64 super = CarbonModifier::command;
constexpr qint64 alt = CarbonModifier::option;
constexpr qint64 ctrl = CarbonModifier::control;
constexpr qint64 shift = CarbonModifier::shift;
constexpr qint64 capsLock = 1024;

class SystemShortcutsTest : public HotkeyTestFixture {};

Shortcut storedAs(Key key, qint64 modifiers) {
    Shortcut shortcut;
    shortcut.carbonKeyCode = key.rawValue;
    shortcut.carbonModifiers = modifiers;
    return shortcut;
}

} // namespace

TEST_F(SystemShortcutsTest, CommonDesktopBindingsAreTakenAndTheProgramsOwnDefaultsAreNot) {
    const struct {
        const char* name;
        Shortcut shortcut;
        bool taken;
    } rows[] = {
        {"window switching", Shortcut(Key::tab.rawValue, alt), true},
        {"window switching backwards", Shortcut(Key::tab.rawValue, alt | shift), true},
        {"closing a window", Shortcut(Key::f4.rawValue, alt), true},
        {"the run dialog", Shortcut(Key::f2.rawValue, alt), true},
        {"locking the screen", Shortcut(Key::l.rawValue, super), true},
        {"locking the screen elsewhere", Shortcut(Key::l.rawValue, ctrl | alt), true},
        {"the next workspace", Shortcut(Key::rightArrow.rawValue, ctrl | alt), true},
        {"the input source", Shortcut(Key::space.rawValue, super), true},
        {"the terminal", Shortcut(Key::t.rawValue, ctrl | alt), true},
        {"the screen reader", Shortcut(Key::s.rawValue, alt | super), true},
        {"a console", Shortcut(Key::f3.rawValue, ctrl | alt), true},
        {"caps lock is no modifier of a built shortcut", Shortcut(Key::tab.rawValue, alt | capsLock), true},
        {"quick add default", Shortcut(Key::space.rawValue, alt | super), false},
        {"floating window default", Shortcut(Key::f.rawValue, alt | super), false},
        {"one-key timer default", Shortcut(Key::one.rawValue, alt | super), false},
        {"Shift makes another combination", Shortcut(Key::t.rawValue, ctrl | alt | shift), false},
        {"a stored value with an unknown bit", storedAs(Key::tab, alt | capsLock), false},
        {"a bare letter", Shortcut(Key::a.rawValue, 0), false},
        {"a bare F12", Shortcut(Key::f12.rawValue, 0), false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(isTakenBySystem(row.shortcut), row.taken) << row.name;
    }
}

TEST_F(SystemShortcutsTest, ABareF12IsNeverTakenWhateverTheListSays) {
    const QList<Shortcut> reserved{Shortcut(Key::f12.rawValue, 0), Shortcut(Key::f12.rawValue, shift),
                                   Shortcut(Key::f11.rawValue, 0)};
    const struct {
        const char* name;
        Shortcut shortcut;
        bool taken;
    } rows[] = {
        {"bare F12", Shortcut(Key::f12.rawValue, 0), false},
        {"Shift+F12", Shortcut(Key::f12.rawValue, shift), true},
        {"bare F11", Shortcut(Key::f11.rawValue, 0), true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(isTakenBySystem(row.shortcut, reserved), row.taken) << row.name;
    }
}

TEST_F(SystemShortcutsTest, EveryListedCombinationCanBePressedOnAPcKeyboardAndIsListedOnce) {
    QSet<Shortcut> seen;
    for (const Shortcut& shortcut : systemShortcuts()) {
        const QString text = shortcut.description();
        EXPECT_TRUE(KeyPositions::xkbKeyName(shortcut.carbonKeyCode).has_value()) << text.toStdString();
        EXPECT_NE(shortcut.carbonModifiers, 0) << text.toStdString() << ": a bare key is never reserved";
        EXPECT_FALSE(seen.contains(shortcut)) << text.toStdString() << " is listed twice";
        seen.insert(shortcut);
    }
    EXPECT_FALSE(seen.isEmpty());
}
