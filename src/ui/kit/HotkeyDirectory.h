#pragma once
// The program's hotkeys with the titles people know them by, so a recorder can refuse a shortcut another
// of them already has and say which one.

#include "core/TimerPreset.h"
#include "ui/kit/GlobalHotkeysRecorder.h"

#include <QCoreApplication>
#include <QList>

class HotkeyDirectory {
    Q_DECLARE_TR_FUNCTIONS(HotkeyDirectory)
public:
    using Entry = GlobalHotkeys::Recorder::OtherHotkey;

    // The ten named hotkeys, in binding order. Built from their names alone, so asking writes no default.
    static QList<Entry> applicationHotkeys();
    // One per preset, titled by the preset's name.
    static QList<Entry> presetHotkeys(const QList<TimerPreset>& presets);
    // Both lists, the named hotkeys first.
    static QList<Entry> everyHotkey(const QList<TimerPreset>& presets);
    // The named hotkeys, then every other name the hotkey library was given a title for (each listed
    // preset's, by the bindings): what a recorder refuses to repeat when it is told nothing else.
    static QList<Entry> heldHotkeys();

    HotkeyDirectory() = delete;
};
