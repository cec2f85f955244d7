#pragma once
// The one builder of a preset's hotkey name: "tarvolin.preset." + the preset's upper-case UUID. It depends
// on the id alone, so renaming a preset or changing its length keeps its shortcut.

#include "hotkeys/Name.h"

#include <QUuid>

namespace PresetShortcutNaming {

GlobalHotkeys::Name shortcutName(const QUuid& presetId);

} // namespace PresetShortcutNaming
