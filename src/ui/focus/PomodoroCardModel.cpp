#include "ui/focus/PomodoroCardModel.h"

#include "core/PomodoroManager.h"
#include "core/TimerManager.h"
#include "ui/popover/MainViewModel.h"
#include "ui/popover/PopoverFocusCoordinator.h"

#include <algorithm>

PomodoroCardModel::PomodoroCardModel(PomodoroManager& pomodoroManager, MainViewModel& root, QObject* parent)
    : QObject(parent), m_pomodoroManager(pomodoroManager), m_root(root) {
    connect(&m_pomodoroManager, &PomodoroManager::changed, this, &PomodoroCardModel::changed);
    connect(&m_root, &MainViewModel::previewedSequenceStepOrdinalChanged, this, &PomodoroCardModel::changed);
}

QList<PomodoroSequenceStepData> PomodoroCardModel::steps(const PomodoroConfig& config) {
    // Integer division truncates toward zero; a length under a minute still shows 1.
    const qint64 focus = std::max<qint64>(config.workDuration / 60, 1);
    const qint64 rest = std::max<qint64>(config.shortBreakDuration / 60, 1);
    return {
        {QStringLiteral("Focus"), focus, 1, true},
        {QStringLiteral("Break"), rest, 2, false},
        {QStringLiteral("Focus"), focus, 3, true},
        {QStringLiteral("Break"), rest, 4, false},
    };
}

int PomodoroCardModel::currentPomodoroStep(const PomodoroSession& session) {
    const bool odd = session.completedWorkCycles > 0 && session.completedWorkCycles % 2 == 1;
    const bool work = session.currentPhase == PomodoroPhase::work;
    if (work) {
        return odd ? 2 : 0;
    }
    return odd ? 1 : 3;
}

QList<PomodoroSequenceStepData> PomodoroCardModel::steps() const {
    return steps(m_pomodoroManager.config());
}

bool PomodoroCardModel::isSessionActive() const {
    return m_pomodoroManager.isActive();
}

int PomodoroCardModel::currentPomodoroStep() const {
    return currentPomodoroStep(m_pomodoroManager.session());
}

bool PomodoroCardModel::isStepRunning(const PomodoroSequenceStepData& step) const {
    return isSessionActive() && currentPomodoroStep() == step.ordinal - 1;
}

bool PomodoroCardModel::canPreparePomodoroStep(const PomodoroSequenceStepData& step) const {
    if (!isSessionActive()) {
        return step.ordinal == 1;
    }
    if (m_pomodoroManager.activeTimerID()) {
        return false; // a phase timer exists: it is started, paused or stopped from the hero
    }
    return step.ordinal == currentPomodoroStep() + 1;
}

QString PomodoroCardModel::simpleEntrySubtitle() const {
    const auto all = steps();
    return tr("%1m focus, %2m break").arg(all.at(0).minutes).arg(all.at(1).minutes);
}

QString PomodoroCardModel::localizedStepName(bool isFocus) {
    return isFocus ? tr("Focus") : tr("Break");
}

QString PomodoroCardModel::minutesText(qint64 minutes) {
    return tr("%1m").arg(minutes);
}

QString PomodoroCardModel::stepAccessibleLabel(const PomodoroSequenceStepData& step) {
    return tr("%1, %2 minutes, step %3")
        .arg(localizedStepName(step.isFocus))
        .arg(step.minutes)
        .arg(step.ordinal);
}

std::optional<int> PomodoroCardModel::previewedSequenceStepOrdinal() const {
    return m_root.previewedSequenceStepOrdinal();
}

void PomodoroCardModel::prepareFirstStep() {
    m_root.preparePomodoroStep();
}

void PomodoroCardModel::activateStep(int ordinal) {
    const auto all = steps();
    const auto found =
        std::find_if(all.begin(), all.end(), [ordinal](const auto& step) { return step.ordinal == ordinal; });
    if (found == all.end()) {
        return;
    }
    if (canPreparePomodoroStep(*found)) {
        // The phase and its length come from the session, not from the tile.
        m_root.preparePomodoroStep();
    } else {
        m_root.setPreviewedSequenceStepOrdinal(ordinal);
    }
}

void PomodoroCardModel::addOrManageSequence() {
    m_root.focusCoordinator().focusPresets(PresetsPendingAction::createSequence);
}

void PomodoroCardModel::stopSession() {
    m_pomodoroManager.stopSession();
}

void PomodoroCardModel::closePreview(int ordinal) {
    if (m_root.previewedSequenceStepOrdinal() == ordinal) {
        m_root.setPreviewedSequenceStepOrdinal(std::nullopt);
    }
}
