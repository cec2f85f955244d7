#include "ui/focus/ChainBuilderModel.h"

#include "core/ChainCoordinator.h"
#include "platform/TarvolinTimerLogger.h"

#include <algorithm>

namespace {

const QString kContext = QStringLiteral("ChainBuilder");

} // namespace

ChainBuilderModel::ChainBuilderModel(ChainCoordinator& coordinator, QObject* parent)
    : QObject(parent), m_coordinator(coordinator), m_steps{StepDraft{}, StepDraft{}} {}

std::optional<ChainBuilderModel::StepDraft> ChainBuilderModel::step(const QUuid& id) const {
    const qsizetype at = indexOf(id);
    if (at < 0) {
        return std::nullopt;
    }
    return m_steps.at(at);
}

QString ChainBuilderModel::emptyChainMessage() {
    return QStringLiteral("Add at least one step of 1 minute or more");
}

QString ChainBuilderModel::startFailedMessage() {
    return QStringLiteral("Couldn't start");
}

void ChainBuilderModel::setChainName(const QString& name) {
    m_chainName = name;
}

void ChainBuilderModel::addStep() {
    m_steps.append(StepDraft{});
    const QUuid id = m_steps.last().id;
    emit stepAdded(id);
    emit stepsChanged();
}

void ChainBuilderModel::removeStep(const QUuid& id) {
    const qsizetype at = indexOf(id);
    if (at < 0 || !canDeleteSteps()) {
        return;
    }
    m_steps.removeAt(at);
    emit stepRemoved(id);
    emit stepsChanged();
}

void ChainBuilderModel::setStepName(const QUuid& id, const QString& name) {
    const qsizetype at = indexOf(id);
    if (at < 0 || m_steps.at(at).name == name) {
        return;
    }
    m_steps[at].name = name;
    emit stepChanged(id);
}

void ChainBuilderModel::setStepMinutes(const QUuid& id, int minutes) {
    const qsizetype at = indexOf(id);
    const int clamped = std::clamp(minutes, minimumMinutes, maximumMinutes);
    if (at < 0 || m_steps.at(at).minutes == clamped) {
        return;
    }
    m_steps[at].minutes = clamped;
    emit stepChanged(id);
}

bool ChainBuilderModel::startChain() {
    // An earlier attempt's message goes before the outcome of this one is known.
    setErrorMessage(std::nullopt);
    QList<ChainCoordinator::StepRow> rows;
    rows.reserve(m_steps.size());
    // Exactly as entered: the coordinator decides about blank names and short steps.
    for (const StepDraft& draft : std::as_const(m_steps)) {
        rows.append({draft.name, draft.minutes});
    }
    const auto error = m_coordinator.start(m_chainName, rows);
    if (!error) {
        emit closeRequested();
        return true;
    }
    TT_LOG_INFO(kContext, QStringLiteral("The chain was refused; the builder stays open"));
    setErrorMessage(*error == QueueChainEngineError::emptyChain ? emptyChainMessage() : startFailedMessage());
    return false;
}

void ChainBuilderModel::close() {
    emit closeRequested();
}

qsizetype ChainBuilderModel::indexOf(const QUuid& id) const {
    const auto found =
        std::find_if(m_steps.begin(), m_steps.end(), [&id](const StepDraft& s) { return s.id == id; });
    return found == m_steps.end() ? -1 : qsizetype(found - m_steps.begin());
}

void ChainBuilderModel::setErrorMessage(std::optional<QString> message) {
    if (message == m_errorMessage) {
        return;
    }
    m_errorMessage = std::move(message);
    emit errorMessageChanged();
}
