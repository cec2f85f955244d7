#include "ui/presets/PresetsScreenModel.h"

#include "core/AppLanguage.h"
#include "core/SettingsKeys.h"
#include "core/TimerManager.h"
#include "hotkeys/GlobalHotkeys.h"
#include "hotkeys/PresetShortcutNaming.h"
#include "platform/TarvolinTimerLogger.h"
#include "ui/popover/PopoverFocusCoordinator.h"

namespace {

const QString kContext = QStringLiteral("PresetsScreen");

} // namespace

PresetsScreenModel::PresetsScreenModel(TimerManager& timerManager, PopoverFocusCoordinator& focusCoordinator,
                                       Preferences& preferences, Hooks hooks, QObject* parent)
    : QObject(parent), m_timerManager(timerManager), m_focusCoordinator(focusCoordinator),
      m_preferences(preferences), m_hooks(std::move(hooks)) {}

void PresetsScreenModel::consumePendingAction() {
    const auto pending = m_focusCoordinator.pendingPresetsAction();
    m_focusCoordinator.setPendingPresetsAction(std::nullopt);
    if (pending == PresetsPendingAction::createSequence) {
        setSequenceEditorTarget(SequenceEditorTarget::add(TimerSequence::blank()));
    }
}

// ---- Sequences ----

std::optional<TimerSequence> PresetsScreenModel::currentSequence() const {
    if (auto active = m_timerManager.activeSequence()) {
        return active;
    }
    if (!m_timerManager.sequences().isEmpty()) {
        return m_timerManager.sequences().first();
    }
    return std::nullopt;
}

bool PresetsScreenModel::isActive(const TimerSequence& sequence) const {
    return m_timerManager.activeSequenceID() == sequence.id;
}

bool PresetsScreenModel::isSequenceRowSelected(qsizetype position) const {
    return m_focusCoordinator.selectedSequenceIndex() == position;
}

bool PresetsScreenModel::isStepChipSelected(qsizetype ordinal) const {
    return m_focusCoordinator.focusedTab() == TarvolinTimerTab::presets &&
           m_focusCoordinator.selectedSequenceStepIndex() == ordinal - 1;
}

qint64 PresetsScreenModel::totalMinutes(const TimerSequence& sequence) {
    qint64 total = 0;
    for (const SequenceStep& step : sequence.steps) {
        total += step.minutes;
    }
    return total;
}

QString PresetsScreenModel::footerText(const TimerSequence& sequence) {
    return tr("%n step(s) · %1 min", nullptr, int(sequence.steps.size())).arg(totalMinutes(sequence));
}

QString PresetsScreenModel::minutesText(qint64 minutes) {
    return tr("%1m").arg(minutes);
}

QString PresetsScreenModel::copyName(const QString& name) {
    return tr("%1 Copy").arg(name);
}

void PresetsScreenModel::openNewSequence() {
    setSequenceEditorTarget(SequenceEditorTarget::add(TimerSequence::blank()));
}

void PresetsScreenModel::editSequence(const TimerSequence& sequence) {
    setSequenceEditorTarget(SequenceEditorTarget::edit(sequence));
}

void PresetsScreenModel::applySequence(const TimerSequence& sequence) {
    m_timerManager.applySequence(sequence);
}

void PresetsScreenModel::duplicateSequence(const TimerSequence& sequence) {
    QList<SequenceStep> steps;
    for (const SequenceStep& step : sequence.steps) {
        steps.append(SequenceStep{QUuid::createUuid(), step.kind, step.minutes});
    }
    if (!m_timerManager.addSequence(copyName(sequence.name), steps)) {
        TT_LOG_INFO(
            kContext,
            QStringLiteral("The copy of a sequence was refused (limit %1)").arg(TimerManager::maxSequences));
    }
}

void PresetsScreenModel::requestDeleteSequence(const TimerSequence& sequence) {
    setSequencePendingDelete(sequence);
}

void PresetsScreenModel::confirmDeleteSequence() {
    if (m_sequencePendingDelete) {
        const TimerSequence pending = *m_sequencePendingDelete;
        m_timerManager.removeSequence(pending);
    }
    setSequencePendingDelete(std::nullopt);
}

void PresetsScreenModel::cancelDeleteSequence() {
    setSequencePendingDelete(std::nullopt);
}

void PresetsScreenModel::saveSequenceEditor(const QString& name, const QList<SequenceStep>& steps) {
    if (!m_sequenceEditorTarget) {
        return;
    }
    const SequenceEditorTarget target = *m_sequenceEditorTarget;
    if (target.kind() == SequenceEditorTarget::Kind::add) {
        if (const auto added = m_timerManager.addSequence(name, steps)) {
            m_timerManager.applySequence(*added);
        } else {
            TT_LOG_INFO(
                kContext,
                QStringLiteral("A new sequence was refused (limit %1)").arg(TimerManager::maxSequences));
        }
    } else {
        m_timerManager.updateSequence(target.sequence(), name, steps);
    }
    setSequenceEditorTarget(std::nullopt);
    returnKeyboard();
}

void PresetsScreenModel::cancelSequenceEditor() {
    setSequenceEditorTarget(std::nullopt);
    returnKeyboard();
}

// ---- Presets ----

bool PresetsScreenModel::isPresetRowSelected(qsizetype position) const {
    return m_focusCoordinator.selectedPresetIndex() == position;
}

QString PresetsScreenModel::formattedDuration(const TimerPreset& preset) {
    const qint64 s = preset.durationInSeconds;
    const qint64 minutes = (s % 3600) / 60;
    const qint64 seconds = s % 60;
    if (s < 3600) {
        return QStringLiteral("%1:%2")
            .arg(minutes, 2, 10, QLatin1Char('0'))
            .arg(seconds, 2, 10, QLatin1Char('0'));
    }
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

QString PresetsScreenModel::purposeText(const TimerPreset& preset) const {
    const bool english = SettingsKeys::appLanguage.read(m_preferences) == QLatin1String("en");
    return preset.purposeDescription(english ? AppLanguage::english : AppLanguage::japanese);
}

void PresetsScreenModel::choosePreset(const TimerPreset& preset) {
    if (m_hooks.onPrepare) {
        m_hooks.onPrepare(TimerStartRequest(preset));
    }
}

void PresetsScreenModel::openAddPreset() {
    setPresetEditorTarget(PresetEditorTarget::add());
}

void PresetsScreenModel::editPreset(const TimerPreset& preset) {
    setPresetEditorTarget(PresetEditorTarget::edit(preset));
}

void PresetsScreenModel::removePreset(const TimerPreset& preset) {
    m_timerManager.removePreset(preset);
}

void PresetsScreenModel::savePresetEditor(const QString& name, qint64 minutes) {
    if (!m_presetEditorTarget) {
        return;
    }
    const PresetEditorTarget target = *m_presetEditorTarget;
    if (const auto& preset = target.preset()) {
        m_timerManager.updatePreset(*preset, name, minutes);
    } else {
        if (m_timerManager.presets().size() >= TimerManager::maxPresets) {
            TT_LOG_INFO(kContext,
                        QStringLiteral("A new preset was refused (limit %1)").arg(TimerManager::maxPresets));
        }
        m_timerManager.addPreset(name, minutes);
    }
    setPresetEditorTarget(std::nullopt);
    returnKeyboard();
}

void PresetsScreenModel::cancelPresetEditor() {
    setPresetEditorTarget(std::nullopt);
    returnKeyboard();
}

void PresetsScreenModel::setShortcutPopoverPresetID(std::optional<QUuid> id) {
    if (id == m_shortcutPopoverPresetID) {
        return;
    }
    m_shortcutPopoverPresetID = id;
    emit shortcutPopoverPresetIDChanged();
}

std::optional<QString> PresetsScreenModel::shortcutLabel(const QUuid& presetId) const {
    const auto found = m_shortcutLabels.constFind(presetId);
    if (found == m_shortcutLabels.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

void PresetsScreenModel::badgeAppeared(const TimerPreset& preset) {
    if (m_shortcutLabels.contains(preset.id)) {
        return;
    }
    if (const auto shortcut = GlobalHotkeys::getShortcut(PresetShortcutNaming::shortcutName(preset.id))) {
        m_shortcutLabels.insert(preset.id, shortcut->description());
        emit shortcutLabelChanged(preset.id);
    }
}

void PresetsScreenModel::shortcutRecorded(const QUuid& presetId,
                                          const std::optional<GlobalHotkeys::Shortcut>& shortcut) {
    if (shortcut) {
        m_shortcutLabels.insert(presetId, shortcut->description());
    } else {
        m_shortcutLabels.remove(presetId);
    }
    emit shortcutLabelChanged(presetId);
}

// ---- State ----

void PresetsScreenModel::setSequenceEditorTarget(std::optional<SequenceEditorTarget> target) {
    m_sequenceEditorTarget = std::move(target);
    emit sequenceEditorTargetChanged();
}

void PresetsScreenModel::setPresetEditorTarget(std::optional<PresetEditorTarget> target) {
    m_presetEditorTarget = std::move(target);
    emit presetEditorTargetChanged();
}

void PresetsScreenModel::setSequencePendingDelete(std::optional<TimerSequence> sequence) {
    m_sequencePendingDelete = std::move(sequence);
    emit sequencePendingDeleteChanged();
}

void PresetsScreenModel::returnKeyboard() {
    if (m_hooks.onEditorSheetDismiss) {
        m_hooks.onEditorSheetDismiss();
    }
}
