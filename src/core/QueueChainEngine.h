#pragma once
// The state machine of a task chain: which step is current and how the chain ended. It keeps no timer; its
// owner runs each step and reports the step's end.

#include "core/Clock.h"
#include "core/QueueChain.h"
#include "core/QueueChainState.h"

#include <QObject>

#include <functional>
#include <optional>

class NotificationServiceProtocol;

// Why start() refused a chain. No text: callers show their own message for each case.
enum class QueueChainEngineError { emptyChain, alreadyActive };

class QueueChainEngine : public QObject {
    Q_OBJECT
public:
    explicit QueueChainEngine(NotificationServiceProtocol& notification, Clock now = systemClock(),
                              QObject* parent = nullptr);

    const QueueChainState& state() const { return m_state; }
    // The chain last started; it stays after the chain ends until the next successful start.
    const std::optional<QueueChain>& chain() const { return m_chain; }
    // The step of a running or paused chain; none in any other state or for an index outside the chain.
    std::optional<QueueChainStep> currentStep() const;

    // When set, every step but the last also posts the chain-complete notification as it ends.
    bool notifyEachStep() const { return m_notifyEachStep; }
    void setNotifyEachStep(bool value) { m_notifyEachStep = value; }

    // Begins the chain at its first step; none on success. On an error nothing changes.
    [[nodiscard]] std::optional<QueueChainEngineError> start(const QueueChain& chain);
    // Completes the running step and moves on or finishes; false when no step was running.
    bool completeCurrentStep();
    // Halts the running step with the caller's count of seconds left (a negative or NaN count is kept as 0).
    void pause(double remaining);
    // Runs a paused step again from now; what is left of it is the caller's business.
    void resume();
    // Ends the chain as cancelled, from running, paused or idle.
    void cancel();

    // Called before the operation that triggers them returns.
    std::function<void(qsizetype stepIndex)> onStepCompleted;
    std::function<void()> onChainCompleted;
    std::function<void()> onCancelled;

signals:
    // Each is emitted after its change.
    void stateChanged();
    void chainChanged();

private:
    void setState(QueueChainState state);

    NotificationServiceProtocol& m_notification;
    Clock m_now;
    QueueChainState m_state;
    std::optional<QueueChain> m_chain;
    bool m_notifyEachStep = false;
};
