#pragma once
// A desktop that grants or refuses grabs as told and lets a test press and release keys.

#include "hotkeys/HotkeyBackend.h"

#include <QList>
#include <QHash>

#include <map>
#include <optional>

class FakeHotkeyBackend : public GlobalHotkeys::HotkeyBackend {
public:
    using Shortcut = GlobalHotkeys::Shortcut;

    std::optional<GlobalHotkeys::GrabFailure> grab(quint32 id, const Shortcut& shortcut) override {
        grabs.append(shortcut);
        if (const auto found = unavailable.constFind(shortcut); found != unavailable.constEnd()) {
            return *found;
        }
        held[id] = shortcut;
        return std::nullopt;
    }
    void ungrab(quint32 id) override {
        const auto found = held.find(id);
        if (found != held.end()) {
            ungrabs.append(found->second);
            held.erase(found);
        }
    }

    // Another program turns out to hold it (or the desktop objects otherwise): the grab is answered with a
    // refusal.
    void refuseHeld(const Shortcut& shortcut,
                    GlobalHotkeys::GrabFailure why = GlobalHotkeys::GrabFailure::takenByAnotherProgram) {
        for (const auto& [id, heldShortcut] : held) {
            if (heldShortcut == shortcut) {
                const quint32 refused = id;
                held.erase(refused);
                emit grabFailed(refused, why);
                return;
            }
        }
    }
    bool isHeld(const Shortcut& shortcut) const {
        for (const auto& [id, heldShortcut] : held) {
            if (heldShortcut == shortcut) {
                return true;
            }
        }
        return false;
    }
    void press(const Shortcut& shortcut) { emit keyEvent(GlobalHotkeys::EventType::keyDown, shortcut); }
    void release(const Shortcut& shortcut) { emit keyEvent(GlobalHotkeys::EventType::keyUp, shortcut); }
    void tap(const Shortcut& shortcut) {
        press(shortcut);
        release(shortcut);
    }

    // grab() answers at once that it cannot be tried, for this reason.
    QHash<Shortcut, GlobalHotkeys::GrabFailure> unavailable;
    std::map<quint32, Shortcut> held;
    QList<Shortcut> grabs; // every grab asked for, in order
    QList<Shortcut> ungrabs;
};
