#include "hotkeys/PresetShortcutNaming.h"

#include "platform/JsonCodec.h"

namespace PresetShortcutNaming {

GlobalHotkeys::Name shortcutName(const QUuid& presetId) {
    return GlobalHotkeys::Name(QStringLiteral("tarvolin.preset.") + JsonCodec::uuidText(presetId));
}

} // namespace PresetShortcutNaming
