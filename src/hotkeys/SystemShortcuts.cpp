#include "hotkeys/SystemShortcuts.h"

namespace GlobalHotkeys {

namespace {

constexpr qint64 super = CarbonModifier::command;
constexpr qint64 alt = CarbonModifier::option;
constexpr qint64 ctrl = CarbonModifier::control;
constexpr qint64 shift = CarbonModifier::shift;

struct Row {
    qint64 modifiers;
    Key key;
};

// Each block names the desktops whose default bindings hold it.
const Row kReserved[] = {
    // Window switching: every desktop.
    {alt, Key::tab},
    {alt | shift, Key::tab},
    {super, Key::tab},
    {super | shift, Key::tab},
    {ctrl | alt, Key::tab},
    {alt, Key::backtick},
    {alt | shift, Key::backtick},
    {alt, Key::escape},
    {alt | shift, Key::escape},
    // Window keys: GNOME, Xfce, Cinnamon, MATE (Alt+F1…F10), KDE (Alt+F2, F3, F4).
    {alt, Key::space},
    {alt, Key::f1},
    {alt, Key::f2},
    {alt, Key::f3},
    {alt, Key::f4},
    {alt, Key::f5},
    {alt, Key::f6},
    {alt, Key::f7},
    {alt, Key::f8},
    {alt, Key::f9},
    {alt, Key::f10},
    {alt, Key::f11},
    // Tiling and show-desktop: GNOME, KDE, Cinnamon (Super+arrows, Super+D, Super+H), Xfce and MATE
    // (Ctrl+Alt+D).
    {super, Key::upArrow},
    {super, Key::downArrow},
    {super, Key::leftArrow},
    {super, Key::rightArrow},
    {super, Key::d},
    {super, Key::h},
    {ctrl | alt, Key::d},
    // Workspaces: Ctrl+Alt+arrows (GNOME on X11, Xfce, Cinnamon, MATE) with Shift to take the window along;
    // Super+Page Up/Down, Home and End (GNOME); Ctrl+F1…F4 (KDE, Xfce).
    {ctrl | alt, Key::upArrow},
    {ctrl | alt, Key::downArrow},
    {ctrl | alt, Key::leftArrow},
    {ctrl | alt, Key::rightArrow},
    {ctrl | alt | shift, Key::upArrow},
    {ctrl | alt | shift, Key::downArrow},
    {ctrl | alt | shift, Key::leftArrow},
    {ctrl | alt | shift, Key::rightArrow},
    {super, Key::pageUp},
    {super, Key::pageDown},
    {super | shift, Key::pageUp},
    {super | shift, Key::pageDown},
    {super, Key::home},
    {super, Key::end},
    {ctrl | alt, Key::home},
    {ctrl | alt, Key::end},
    {ctrl, Key::f1},
    {ctrl, Key::f2},
    {ctrl, Key::f3},
    {ctrl, Key::f4},
    // The shells' own keys: overview and app grid, quick settings, notifications, displays, input sources
    // (GNOME); the application launcher and system activity (KDE, Xfce); file manager (KDE, Cinnamon).
    {super, Key::a},
    {super, Key::s},
    {super, Key::v},
    {super, Key::n},
    {super, Key::m},
    {super, Key::p},
    {super, Key::e},
    {super, Key::space},
    {super | shift, Key::space},
    {ctrl, Key::escape},
    // Dash and task-bar launchers: GNOME, KDE, Cinnamon.
    {super, Key::one},
    {super, Key::two},
    {super, Key::three},
    {super, Key::four},
    {super, Key::five},
    {super, Key::six},
    {super, Key::seven},
    {super, Key::eight},
    {super, Key::nine},
    // Session: lock (Super+L on GNOME and KDE, Ctrl+Alt+L elsewhere), log out, terminal, screen recording.
    {super, Key::l},
    {ctrl | alt, Key::l},
    {ctrl | alt, Key::deleteForward},
    {ctrl | alt, Key::t},
    {ctrl | alt | shift, Key::r},
    // Accessibility (GNOME): screen reader, zoom on and off, zoom in and out.
    {alt | super, Key::s},
    {alt | super, Key::eight},
    {alt | super, Key::equal},
    {alt | super, Key::minus},
    // The X server itself: console switching and, where enabled, ending the session.
    {ctrl | alt, Key::f1},
    {ctrl | alt, Key::f2},
    {ctrl | alt, Key::f3},
    {ctrl | alt, Key::f4},
    {ctrl | alt, Key::f5},
    {ctrl | alt, Key::f6},
    {ctrl | alt, Key::f7},
    {ctrl | alt, Key::f8},
    {ctrl | alt, Key::f9},
    {ctrl | alt, Key::f10},
    {ctrl | alt, Key::f11},
    {ctrl | alt, Key::f12},
    {ctrl | alt, Key::delete_},
};

} // namespace

const QList<Shortcut>& systemShortcuts() {
    static const QList<Shortcut> shortcuts = [] {
        QList<Shortcut> list;
        for (const Row& row : kReserved) {
            list.append(Shortcut(row.key.rawValue, row.modifiers));
        }
        return list;
    }();
    return shortcuts;
}

bool isTakenBySystem(const Shortcut& shortcut, const QList<Shortcut>& reserved) {
    if (shortcut == Shortcut(Key::f12.rawValue, 0)) {
        return false;
    }
    return reserved.contains(shortcut);
}

} // namespace GlobalHotkeys
