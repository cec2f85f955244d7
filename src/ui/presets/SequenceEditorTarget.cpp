#include "ui/presets/SequenceEditorTarget.h"

#include "platform/JsonCodec.h"

QString SequenceEditorTarget::id() const {
    return (m_kind == Kind::add ? QStringLiteral("add-") : QStringLiteral("edit-")) +
           JsonCodec::uuidText(m_sequence.id);
}
