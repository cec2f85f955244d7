#include "ui/presets/PresetEditorTarget.h"

#include "platform/JsonCodec.h"

QString PresetEditorTarget::id() const {
    return m_preset ? QStringLiteral("edit-") + JsonCodec::uuidText(m_preset->id) : QStringLiteral("add");
}
