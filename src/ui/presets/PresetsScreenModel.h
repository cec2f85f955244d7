#pragma once
// The presets tab without widgets: its view state (which editor is open, which sequence waits for the
// delete confirmation, which preset's key bubble is open, the cache of key texts), what its rows show, and
// the person's intents turned into engine calls. The state lives as long as the screen: leaving the tab
// drops it.

#include "core/TimerPreset.h"
#include "core/TimerStartRequest.h"
#include "hotkeys/Shortcut.h"
#include "ui/presets/PresetEditorTarget.h"
#include "ui/presets/SequenceEditorTarget.h"

#include <QHash>
#include <QObject>
#include <QUuid>

#include <functional>
#include <optional>

class PopoverFocusCoordinator;
class Preferences;
class TimerManager;

class PresetsScreenModel : public QObject {
    Q_OBJECT
public:
    // What the popover root gives the screen.
    struct Hooks {
        // After an editor closes: the root takes the keyboard back, so the arrows work again.
        std::function<void()> onEditorSheetDismiss;
        // A preset chosen for the confirmation card.
        std::function<void(const TimerStartRequest&)> onPrepare;
    };

    // All must outlive the model.
    PresetsScreenModel(TimerManager& timerManager, PopoverFocusCoordinator& focusCoordinator,
                       Preferences& preferences, Hooks hooks, QObject* parent = nullptr);

    TimerManager& timerManager() const { return m_timerManager; }
    PopoverFocusCoordinator& focusCoordinator() const { return m_focusCoordinator; }

    // Hands the keyboard back to the popover root (an editor or the key bubble closed).
    void returnKeyboard();
    // Takes the coordinator's one-shot request, whatever it is; a new-sequence request opens the editor
    // on a blank sequence. Called each time the screen is put on display.
    void consumePendingAction();

    // ---- Sequences ----
    // The active sequence, else the first saved one, else none.
    std::optional<TimerSequence> currentSequence() const;
    bool isActive(const TimerSequence& sequence) const;
    bool isSequenceRowSelected(qsizetype position) const;
    // Step chips count from 1; a chip is marked only while the presets tab is the one shown.
    bool isStepChipSelected(qsizetype ordinal) const;
    static qint64 totalMinutes(const TimerSequence& sequence);
    // "4 steps · 60 min".
    static QString footerText(const TimerSequence& sequence);
    // "25m".
    static QString minutesText(qint64 minutes);
    static QString copyName(const QString& name);

    const std::optional<SequenceEditorTarget>& sequenceEditorTarget() const { return m_sequenceEditorTarget; }
    const std::optional<TimerSequence>& sequencePendingDelete() const { return m_sequencePendingDelete; }

    void openNewSequence();
    void editSequence(const TimerSequence& sequence);
    void applySequence(const TimerSequence& sequence);
    // A copy named "… Copy" with the same steps under new ids, added at the end; nothing at the limit.
    void duplicateSequence(const TimerSequence& sequence);
    // Arms the delete confirmation; nothing is removed yet.
    void requestDeleteSequence(const TimerSequence& sequence);
    void confirmDeleteSequence();
    void cancelDeleteSequence();
    // A new sequence is added and made current; an edited one replaced in place. The editor closes in
    // every case, also when the engine refused.
    void saveSequenceEditor(const QString& name, const QList<SequenceStep>& steps);
    void cancelSequenceEditor();

    // ---- Presets ----
    bool isPresetRowSelected(qsizetype position) const;
    // "25:00" below an hour, "1:30:00" from an hour on.
    static QString formattedDuration(const TimerPreset& preset);
    // What the preset suits, in the in-app language.
    QString purposeText(const TimerPreset& preset) const;

    const std::optional<PresetEditorTarget>& presetEditorTarget() const { return m_presetEditorTarget; }
    std::optional<QUuid> shortcutPopoverPresetID() const { return m_shortcutPopoverPresetID; }

    // The preset goes to the confirmation card under a new request id.
    void choosePreset(const TimerPreset& preset);
    void openAddPreset();
    void editPreset(const TimerPreset& preset);
    // At once, without asking; its stored key stays.
    void removePreset(const TimerPreset& preset);
    void savePresetEditor(const QString& name, qint64 minutes);
    void cancelPresetEditor();
    // At most one key bubble is open; another id closes the one open.
    void setShortcutPopoverPresetID(std::optional<QUuid> id);

    // ---- Key texts of the presets' badges ----
    // Cached per preset: read from the store the first time the preset's badge shows, then changed only by
    // that badge's own recorder.
    std::optional<QString> shortcutLabel(const QUuid& presetId) const;
    void badgeAppeared(const TimerPreset& preset);
    void shortcutRecorded(const QUuid& presetId, const std::optional<GlobalHotkeys::Shortcut>& shortcut);

signals:
    void sequenceEditorTargetChanged();
    void sequencePendingDeleteChanged();
    void presetEditorTargetChanged();
    void shortcutPopoverPresetIDChanged();
    void shortcutLabelChanged(const QUuid& presetId);

private:
    void setSequenceEditorTarget(std::optional<SequenceEditorTarget> target);
    void setPresetEditorTarget(std::optional<PresetEditorTarget> target);
    void setSequencePendingDelete(std::optional<TimerSequence> sequence);

    TimerManager& m_timerManager;
    PopoverFocusCoordinator& m_focusCoordinator;
    Preferences& m_preferences;
    Hooks m_hooks;
    std::optional<SequenceEditorTarget> m_sequenceEditorTarget;
    std::optional<PresetEditorTarget> m_presetEditorTarget;
    std::optional<TimerSequence> m_sequencePendingDelete;
    std::optional<QUuid> m_shortcutPopoverPresetID;
    QHash<QUuid, QString> m_shortcutLabels;
};
