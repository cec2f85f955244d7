#include "core/QueueChainEngine.h"

#include "core/NotificationServiceProtocol.h"

#include <cmath>

QueueChainEngine::QueueChainEngine(NotificationServiceProtocol& notification, Clock now, QObject* parent)
    : QObject(parent), m_notification(notification), m_now(std::move(now)) {}

std::optional<QueueChainStep> QueueChainEngine::currentStep() const {
    const auto index = m_state.currentStepIndex();
    if (!index || !m_chain || *index < 0 || *index >= m_chain->steps.size()) {
        return std::nullopt;
    }
    return m_chain->steps.at(*index);
}

std::optional<QueueChainEngineError> QueueChainEngine::start(const QueueChain& chain) {
    // An empty chain is refused whatever runs, so the caller hears about its own mistake first.
    if (chain.isEmpty()) {
        return QueueChainEngineError::emptyChain;
    }
    if (m_state.isRunning() || m_state.isPaused()) {
        return QueueChainEngineError::alreadyActive;
    }
    m_chain = chain;
    emit chainChanged();
    setState(QueueChainState::running{0, m_now()});
    return std::nullopt;
}

bool QueueChainEngine::completeCurrentStep() {
    const auto* running = m_state.asRunning();
    if (!running || !m_chain) {
        return false;
    }
    const qsizetype index = running->stepIndex;
    if (onStepCompleted) {
        onStepCompleted(index);
    }
    // A copy: the name is needed after the callbacks and signals below, whatever they do to the chain.
    const QString chainName = m_chain->name;
    const qsizetype count = m_chain->steps.size();
    const qsizetype next = index + 1;
    if (next < count) {
        if (m_notifyEachStep) {
            m_notification.scheduleQueueChainCompleted(chainName);
        }
        setState(QueueChainState::running{next, m_now()});
        return true;
    }
    setState(QueueChainState::completed{});
    m_notification.scheduleQueueChainCompleted(chainName);
    if (onChainCompleted) {
        onChainCompleted();
    }
    return true;
}

void QueueChainEngine::pause(double remaining) {
    const auto* running = m_state.asRunning();
    if (!running) {
        return;
    }
    const double kept = std::isnan(remaining) || remaining < 0 ? 0.0 : remaining;
    setState(QueueChainState::paused{running->stepIndex, kept});
}

void QueueChainEngine::resume() {
    const auto* paused = m_state.asPaused();
    if (!paused) {
        return;
    }
    setState(QueueChainState::running{paused->stepIndex, m_now()});
}

void QueueChainEngine::cancel() {
    if (m_state.isTerminal()) {
        return;
    }
    setState(QueueChainState::cancelled{});
    if (onCancelled) {
        onCancelled();
    }
}

void QueueChainEngine::setState(QueueChainState state) {
    m_state = std::move(state);
    emit stateChanged();
}
