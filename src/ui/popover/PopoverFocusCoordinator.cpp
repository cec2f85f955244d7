#include "ui/popover/PopoverFocusCoordinator.h"

#include <algorithm>

PopoverFocusCoordinator::PopoverFocusCoordinator(TarvolinTimerTab initialTab, QObject* parent)
    : QObject(parent), m_focusedTab(initialTab) {}

void PopoverFocusCoordinator::setPendingPresetsAction(std::optional<PresetsPendingAction> action) {
    m_pendingPresetsAction = action;
    emit pendingPresetsActionChanged();
    emit changed();
}

void PopoverFocusCoordinator::focusTab(TarvolinTimerTab tab) {
    if (tab == m_focusedTab) {
        return;
    }
    m_focusedTab = tab;
    m_selectedPresetIndex.reset();
    m_selectedSequenceIndex.reset();
    m_selectedSequenceStepIndex.reset();
    emit focusedTabChanged(tab);
    emit selectionChanged();
    emit changed();
}

void PopoverFocusCoordinator::focusNextTab() {
    const QList<TarvolinTimerTab> order = allTarvolinTimerTabs();
    const qsizetype p = order.indexOf(m_focusedTab);
    focusTab(p + 1 >= order.size() ? order.first() : order.at(p + 1));
}

void PopoverFocusCoordinator::focusPreviousTab() {
    const QList<TarvolinTimerTab> order = allTarvolinTimerTabs();
    const qsizetype p = order.indexOf(m_focusedTab);
    focusTab(p <= 0 ? order.last() : order.at(p - 1));
}

void PopoverFocusCoordinator::focusPresets(PresetsPendingAction then) {
    focusTab(TarvolinTimerTab::presets);
    setPendingPresetsAction(then);
}

void PopoverFocusCoordinator::setRowSelection(std::optional<qsizetype> sequence,
                                              std::optional<qsizetype> preset) {
    m_selectedSequenceIndex = sequence;
    m_selectedPresetIndex = preset;
    emit selectionChanged();
    emit changed();
}

void PopoverFocusCoordinator::advanceRowSelection(qsizetype sequenceCount, qsizetype presetCount) {
    if (const auto j = m_selectedSequenceIndex) {
        if (*j >= sequenceCount - 1) {
            // Off the last sequence (or a position the list no longer has) into the presets.
            setRowSelection(std::nullopt, presetCount >= 1 ? std::optional<qsizetype>(0) : std::nullopt);
        } else {
            setRowSelection(*j + 1, m_selectedPresetIndex);
        }
        return;
    }
    if (const auto i = m_selectedPresetIndex) {
        setRowSelection(std::nullopt, std::min(*i + 1, std::max<qsizetype>(presetCount - 1, 0)));
        return;
    }
    if (sequenceCount >= 1) {
        setRowSelection(0, std::nullopt);
    } else if (presetCount >= 1) {
        setRowSelection(std::nullopt, 0);
    }
}

void PopoverFocusCoordinator::retreatRowSelection(qsizetype sequenceCount, qsizetype presetCount) {
    if (const auto i = m_selectedPresetIndex) {
        if (*i < 1) {
            setRowSelection(sequenceCount >= 1 ? std::optional<qsizetype>(sequenceCount - 1) : std::nullopt,
                            std::nullopt);
        } else {
            setRowSelection(m_selectedSequenceIndex, *i - 1);
        }
        return;
    }
    if (const auto j = m_selectedSequenceIndex) {
        setRowSelection(std::max<qsizetype>(*j - 1, 0), std::nullopt);
        return;
    }
    if (presetCount >= 1) {
        setRowSelection(std::nullopt, presetCount - 1);
    } else if (sequenceCount >= 1) {
        setRowSelection(sequenceCount - 1, std::nullopt);
    }
}

void PopoverFocusCoordinator::moveSequenceStepSelection(qsizetype delta, qsizetype count) {
    if (count < 1) {
        m_selectedSequenceStepIndex.reset();
    } else {
        const qsizetype base = m_selectedSequenceStepIndex.value_or(delta >= 1 ? -1 : count);
        const qsizetype target = base + delta;
        m_selectedSequenceStepIndex = target <= 0 ? 0 : std::min(target, count - 1);
    }
    emit selectionChanged();
    emit changed();
}

bool PopoverFocusCoordinator::confirmRowSelection(const std::function<void(qsizetype)>& onSequence,
                                                  const std::function<void(qsizetype)>& onPreset) {
    if (const auto j = m_selectedSequenceIndex) {
        if (onSequence) {
            onSequence(*j);
        }
        return true;
    }
    if (const auto i = m_selectedPresetIndex) {
        if (onPreset) {
            onPreset(*i);
        }
        return true;
    }
    return false;
}
