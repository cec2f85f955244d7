#pragma once
// The popover's keyboard state: the tab shown, the presets tab's row and step selection (positions, not
// identities), and a one-shot request addressed to the presets tab. It holds no timer data: callers pass
// the lists' lengths with every call.

#include "ui/popover/TarvolinTimerTab.h"

#include <QObject>

#include <functional>
#include <optional>

// What the presets tab is asked to do when it next shows.
enum class PresetsPendingAction { createSequence };

class PopoverFocusCoordinator : public QObject {
    Q_OBJECT
public:
    explicit PopoverFocusCoordinator(TarvolinTimerTab initialTab, QObject* parent = nullptr);

    TarvolinTimerTab focusedTab() const { return m_focusedTab; }
    std::optional<qsizetype> selectedPresetIndex() const { return m_selectedPresetIndex; }
    std::optional<qsizetype> selectedSequenceIndex() const { return m_selectedSequenceIndex; }
    std::optional<qsizetype> selectedSequenceStepIndex() const { return m_selectedSequenceStepIndex; }
    std::optional<PresetsPendingAction> pendingPresetsAction() const { return m_pendingPresetsAction; }
    // The presets tab clears it when it takes the request up.
    void setPendingPresetsAction(std::optional<PresetsPendingAction> action);

    // Shows the tab; a real change clears the three selections, the pending request stays.
    void focusTab(TarvolinTimerTab tab);
    // The next or previous tab in the fixed order, wrapping at both ends.
    void focusNextTab();
    void focusPreviousTab();
    // Switches to the presets tab first, then posts the request, so the screen the switch brings up finds it.
    void focusPresets(PresetsPendingAction then);

    // Down and Up over all sequences followed by all presets; both ends are stops.
    void advanceRowSelection(qsizetype sequenceCount, qsizetype presetCount);
    void retreatRowSelection(qsizetype sequenceCount, qsizetype presetCount);
    // Left (-1) and Right (+1) over the active sequence's steps, held within them; no steps clears it.
    void moveSequenceStepSelection(qsizetype delta, qsizetype count);
    // Calls the function of the selected row (a sequence before a preset) and says whether there was one.
    bool confirmRowSelection(const std::function<void(qsizetype)>& onSequence,
                             const std::function<void(qsizetype)>& onPreset);

signals:
    // After a real change of the tab.
    void focusedTabChanged(TarvolinTimerTab tab);
    // After an operation wrote any selection, even with the value it had.
    void selectionChanged();
    void pendingPresetsActionChanged();
    // After any operation that wrote anything; once per operation.
    void changed();

private:
    void setRowSelection(std::optional<qsizetype> sequence, std::optional<qsizetype> preset);

    TarvolinTimerTab m_focusedTab;
    std::optional<qsizetype> m_selectedPresetIndex;
    std::optional<qsizetype> m_selectedSequenceIndex;
    std::optional<qsizetype> m_selectedSequenceStepIndex;
    std::optional<PresetsPendingAction> m_pendingPresetsAction;
};
