#include "ui/presets/SequenceEditorModel.h"

#include "ui/presets/EditorInput.h"

#include <QUuid>

#include <algorithm>

SequenceEditorModel::SequenceEditorModel(SequenceEditorTarget target, OnSave onSave,
                                         std::function<void()> onCancel, QObject* parent)
    : QObject(parent), m_target(std::move(target)), m_onSave(std::move(onSave)),
      m_onCancel(std::move(onCancel)), m_name(m_target.sequence().name), m_steps(m_target.sequence().steps) {}

void SequenceEditorModel::setName(const QString& name) {
    if (name == m_name) {
        return;
    }
    m_name = name;
    emit nameChanged();
}

bool SequenceEditorModel::canSave() const {
    if (EditorInput::trimmedBlanks(m_name).isEmpty()) {
        return false;
    }
    if (m_steps.isEmpty() || m_steps.size() > maxSteps) {
        return false;
    }
    return std::all_of(m_steps.cbegin(), m_steps.cend(), [](const SequenceStep& step) {
        return step.minutes >= minMinutes && step.minutes <= maxMinutes;
    });
}

void SequenceEditorModel::addStep() {
    if (!canAddStep()) {
        return;
    }
    const bool afterFocus = !m_steps.isEmpty() && m_steps.last().kind == SequenceStepKind::focus;
    const SequenceStepKind kind = afterFocus ? SequenceStepKind::breakTime : SequenceStepKind::focus;
    m_steps.append(SequenceStep{QUuid::createUuid(), kind, afterFocus ? breakMinutes : focusMinutes});
    emit stepsChanged();
}

void SequenceEditorModel::moveStep(qsizetype index, qsizetype offset) {
    const qsizetype destination = index + offset;
    if (!isValid(index) || !isValid(destination) || offset == 0) {
        return;
    }
    m_steps.swapItemsAt(index, destination);
    emit stepsChanged();
}

void SequenceEditorModel::removeStep(qsizetype index) {
    if (!canRemoveStep() || !isValid(index)) {
        return;
    }
    m_steps.removeAt(index);
    emit stepsChanged();
}

void SequenceEditorModel::toggleKind(qsizetype index) {
    if (!isValid(index)) {
        return;
    }
    SequenceStep& step = m_steps[index];
    step.kind = step.kind == SequenceStepKind::focus ? SequenceStepKind::breakTime : SequenceStepKind::focus;
    emit stepsChanged();
}

qint64 SequenceEditorModel::minutes(qsizetype index) const {
    return isValid(index) ? m_steps.at(index).minutes : minMinutes;
}

void SequenceEditorModel::setMinutes(qsizetype index, qint64 minutes) {
    if (!isValid(index)) {
        return;
    }
    const qint64 held = std::clamp(minutes, minMinutes, maxMinutes);
    if (m_steps.at(index).minutes == held) {
        return;
    }
    m_steps[index].minutes = held;
    emit stepsChanged();
}

void SequenceEditorModel::save() {
    if (!canSave() || !m_onSave) {
        return;
    }
    m_onSave(EditorInput::trimmedBlanks(m_name), m_steps);
}

void SequenceEditorModel::cancel() {
    if (m_onCancel) {
        m_onCancel();
    }
}
