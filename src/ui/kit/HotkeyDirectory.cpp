#include "ui/kit/HotkeyDirectory.h"

#include "hotkeys/GlobalHotkeys.h"
#include "hotkeys/PresetShortcutNaming.h"

#include <algorithm>

QList<HotkeyDirectory::Entry> HotkeyDirectory::applicationHotkeys() {
    const struct {
        const char* rawValue;
        QString title;
    } rows[] = {
        {"quickLaunch", tr("Quick Add")},     {"toggleFloating", tr("Floating Timer")},
        {"quickPreset", tr("One-Key Timer")}, {"pauseResume", tr("Pause All")},
        {"reset", tr("Reset Timer")},         {"newTimer", tr("New Timer")},
        {"startTimer", tr("Start Timer")},    {"stopTimer", tr("Stop Timer")},
        {"nextInQueue", tr("Next in Queue")}, {"pauseQueue", tr("Pause Queue")},
    };
    QList<Entry> entries;
    for (const auto& row : rows) {
        entries.append(Entry{GlobalHotkeys::Name(QString::fromLatin1(row.rawValue)), row.title});
    }
    return entries;
}

QList<HotkeyDirectory::Entry> HotkeyDirectory::presetHotkeys(const QList<TimerPreset>& presets) {
    QList<Entry> entries;
    for (const TimerPreset& preset : presets) {
        entries.append(Entry{PresetShortcutNaming::shortcutName(preset.id), preset.name});
    }
    return entries;
}

QList<HotkeyDirectory::Entry> HotkeyDirectory::everyHotkey(const QList<TimerPreset>& presets) {
    return applicationHotkeys() + presetHotkeys(presets);
}

QList<HotkeyDirectory::Entry> HotkeyDirectory::heldHotkeys() {
    QList<Entry> entries = applicationHotkeys();
    for (const auto& [name, title] : GlobalHotkeys::titledNames()) {
        const bool named = std::any_of(entries.cbegin(), entries.cend(),
                                       [&name](const Entry& entry) { return entry.name == name; });
        if (!named) {
            entries.append(Entry{name, title});
        }
    }
    return entries;
}
