#include "ui/popover/MainViewModel.h"

#include "core/PomodoroManager.h"
#include "core/TimerManager.h"
#include "core/TimerPreset.h"
#include "platform/TarvolinTimerLogger.h"

namespace {

const QString kContext = QStringLiteral("TarvolinTimerMainView");

} // namespace

MainViewModel::NavKey MainViewModel::navKeyFor(int key, Qt::KeyboardModifiers modifiers) {
    switch (key) {
    case Qt::Key_Backtab:
        return NavKey::previousTab;
    case Qt::Key_Tab:
        return modifiers.testFlag(Qt::ShiftModifier) ? NavKey::previousTab : NavKey::nextTab;
    case Qt::Key_Down:
        return NavKey::down;
    case Qt::Key_Up:
        return NavKey::up;
    case Qt::Key_Left:
        return NavKey::left;
    case Qt::Key_Right:
        return NavKey::right;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return NavKey::confirm;
    default:
        return NavKey::other;
    }
}

MainViewModel::MainViewModel(TimerManager& timerManager, PomodoroManager& pomodoroManager, QObject* parent)
    : QObject(parent), m_timerManager(timerManager), m_pomodoroManager(pomodoroManager) {}

void MainViewModel::prepare(const TimerStartRequest& request) {
    m_isPomodoroPreparation = false;
    m_pendingStartRequest = request;
    emit pendingStartRequestChanged();
}

void MainViewModel::preparePomodoroStep() {
    const PomodoroPhase phase =
        m_pomodoroManager.isActive() ? m_pomodoroManager.currentPhase() : PomodoroPhase::work;
    m_isPomodoroPreparation = true;
    m_pendingStartRequest =
        TimerStartRequest(QUuid::createUuid(), label(phase),
                          TimerStartRequest::duration{m_pomodoroManager.config().duration(phase)});
    emit pendingStartRequestChanged();
}

bool MainViewModel::confirmPreparation(const TimerStartRequest& request) {
    bool started = false;
    if (!m_isPomodoroPreparation) {
        started = request.start(m_timerManager).has_value();
    } else {
        // The engine takes the phase and its length from the session and its settings, not the request.
        if (!m_pomodoroManager.isActive()) {
            m_pomodoroManager.startSession();
        } else {
            m_pomodoroManager.startPendingPhase();
        }
        started = m_pomodoroManager.currentTimerID().has_value();
    }
    if (!started) {
        TT_LOG_INFO(kContext, QStringLiteral("Start was refused; the preparation stays open"));
        return false;
    }
    cancelPreparation();
    return true;
}

bool MainViewModel::queuePreparation(const TimerStartRequest& request) {
    if (!request.queue(m_timerManager)) {
        TT_LOG_INFO(kContext, QStringLiteral("Queueing was refused; the preparation stays open"));
        return false;
    }
    cancelPreparation();
    return true;
}

void MainViewModel::cancelPreparation() {
    m_pendingStartRequest.reset();
    m_isPomodoroPreparation = false;
    emit pendingStartRequestChanged();
}

bool MainViewModel::handleKeyNav(NavKey key) {
    switch (key) {
    case NavKey::previousTab:
        m_focusCoordinator.focusPreviousTab();
        return true;
    case NavKey::nextTab:
        m_focusCoordinator.focusNextTab();
        return true;
    case NavKey::other:
        return false;
    default:
        break;
    }
    // Arrows and Return belong to the presets tab alone, so lists and fields elsewhere keep theirs.
    if (m_focusCoordinator.focusedTab() != TarvolinTimerTab::presets) {
        return false;
    }
    const qsizetype sequenceCount = m_timerManager.sequences().size();
    const qsizetype presetCount = m_timerManager.presets().size();
    const auto activeSequence = m_timerManager.activeSequence();
    const qsizetype stepCount = activeSequence ? activeSequence->steps.size() : 0;
    switch (key) {
    case NavKey::down:
        m_focusCoordinator.advanceRowSelection(sequenceCount, presetCount);
        return true;
    case NavKey::up:
        m_focusCoordinator.retreatRowSelection(sequenceCount, presetCount);
        return true;
    case NavKey::left:
        m_focusCoordinator.moveSequenceStepSelection(-1, stepCount);
        return true;
    case NavKey::right:
        m_focusCoordinator.moveSequenceStepSelection(1, stepCount);
        return true;
    case NavKey::confirm:
        return handleReturnOnPresets();
    default:
        return false;
    }
}

bool MainViewModel::handleReturnOnPresets() {
    const bool rowSelected = m_focusCoordinator.confirmRowSelection(
        [this](qsizetype i) {
            // The list may have shrunk since the row was selected.
            if (i < m_timerManager.sequences().size()) {
                m_timerManager.applySequence(m_timerManager.sequences().at(i));
            }
        },
        [this](qsizetype i) {
            if (i < m_timerManager.presets().size()) {
                // A preset chosen from the keyboard is confirmed like a click on it, never started directly.
                prepare(TimerStartRequest(m_timerManager.presets().at(i)));
            }
        });
    if (rowSelected) {
        return true;
    }
    const auto step = m_focusCoordinator.selectedSequenceStepIndex();
    if (step == 0) {
        if (const auto active = m_timerManager.activeSequence()) {
            m_timerManager.applySequence(*active);
            return true;
        }
    }
    return step.has_value();
}

void MainViewModel::setShowChainBuilder(bool show) {
    if (show == m_showChainBuilder) {
        return;
    }
    m_showChainBuilder = show;
    emit showChainBuilderChanged(show);
}

void MainViewModel::setPreviewedSequenceStepOrdinal(std::optional<int> ordinal) {
    if (ordinal == m_previewedSequenceStepOrdinal) {
        return;
    }
    m_previewedSequenceStepOrdinal = ordinal;
    emit previewedSequenceStepOrdinalChanged();
}
