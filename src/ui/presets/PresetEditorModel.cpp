#include "ui/presets/PresetEditorModel.h"

#include "ui/presets/EditorInput.h"

PresetEditorModel::PresetEditorModel(PresetEditorTarget target, OnSave onSave, std::function<void()> onCancel,
                                     QObject* parent)
    : QObject(parent), m_target(std::move(target)), m_onSave(std::move(onSave)),
      m_onCancel(std::move(onCancel)) {
    if (const auto& preset = m_target.preset()) {
        m_name = preset->name;
        m_minutesText = QString::number(preset->durationInSeconds / 60);
    }
}

void PresetEditorModel::setName(const QString& name) {
    if (name != m_name) {
        m_name = name;
        emit changed();
    }
}

void PresetEditorModel::setMinutesText(const QString& text) {
    if (text != m_minutesText) {
        m_minutesText = text;
        emit changed();
    }
}

std::optional<qint64> PresetEditorModel::parsedMinutes() const {
    const auto value = EditorInput::wholeNumber(m_minutesText);
    if (!value || *value < minMinutes || *value > maxMinutes) {
        return std::nullopt;
    }
    return value;
}

bool PresetEditorModel::canSave() const {
    return !EditorInput::trimmedBlanks(m_name).isEmpty() && parsedMinutes().has_value();
}

void PresetEditorModel::save() {
    if (!canSave() || !m_onSave) {
        return;
    }
    m_onSave(EditorInput::trimmedBlanks(m_name), *parsedMinutes());
}

void PresetEditorModel::cancel() {
    if (m_onCancel) {
        m_onCancel();
    }
}
