#include "core/ChainCoordinator.h"

#include "core/BlankText.h"
#include "core/Saturating.h"
#include "core/TimerManager.h"

#include <cmath>
#include <limits>

namespace {

// Truncates toward zero; NaN and values beyond qint64 clamp instead of being undefined.
qint64 wholeSeconds(double seconds) {
    if (std::isnan(seconds)) {
        return 0;
    }
    // 2^63 is exactly representable; anything at or above it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (seconds >= limit) {
        return std::numeric_limits<qint64>::max();
    }
    if (seconds < -limit) {
        return std::numeric_limits<qint64>::min();
    }
    return qint64(std::trunc(seconds));
}

} // namespace

ChainCoordinator::ChainCoordinator(TimerManager* timerManager, NotificationServiceProtocol& notification,
                                   Clock clock, QObject* parent)
    : QObject(parent), m_timerManager(timerManager), m_engine(notification, std::move(clock)) {
    // The engine is a member, so `this` outlives every call of these callbacks.
    m_engine.onChainCompleted = [this] { finish(); };
    m_engine.onCancelled = [this] { finish(); };
}

std::optional<QueueChainEngineError> ChainCoordinator::start(const QString& name,
                                                             const QList<StepRow>& steps) {
    tickTimersIfDue(m_timerManager);
    QueueChain chain;
    chain.id = QUuid::createUuid();
    chain.name = isBlank(name) ? defaultChainName : name;
    for (const StepRow& row : steps) {
        if (row.minutes < 1) {
            continue;
        }
        chain.steps.push_back({QUuid::createUuid(), isBlank(row.name) ? defaultStepName : row.name,
                               double(saturatingMul(row.minutes, 60))});
    }
    if (const auto error = m_engine.start(chain)) {
        return error;
    }
    ++m_generation;
    if (publishInOrder([&] { setChainName(chain.name); }, [&] { setTotalSteps(chain.steps.size()); },
                       [&] { setCurrentStepIndex(0); }, [&] { setIsRunning(true); })) {
        startCurrentStepTimer();
    }
    return std::nullopt;
}

void ChainCoordinator::onTimerCompleted(const QUuid& id) {
    if (!m_isRunning || !m_activeStepTimerID || *m_activeStepTimerID != id) {
        return;
    }
    m_activeStepTimerID.reset();
    const quint64 generation = m_generation;
    m_engine.completeCurrentStep();
    // After the last step the chain has finished inside that call (and an observer may even have started the
    // next chain, whose first step has its timer already).
    if (generation != m_generation) {
        return;
    }
    if (const auto* running = m_engine.state().asRunning()) {
        const qsizetype index = running->stepIndex;
        if (publishInOrder([&] { setCurrentStepIndex(index); })) {
            startCurrentStepTimer();
        }
    }
}

void ChainCoordinator::cancel() {
    tickTimersIfDue(m_timerManager);
    removeActiveStepTimer();
    m_engine.cancel();
}

void ChainCoordinator::startCurrentStepTimer() {
    const auto step = m_engine.currentStep();
    if (!step || !m_timerManager) {
        return;
    }
    // The manager clamps the length to its own limits.
    const auto timer = m_timerManager->addTimer(step->name, wholeSeconds(step->duration), true);
    m_activeStepTimerID = timer ? std::optional<QUuid>(timer->id) : std::nullopt;
}

void ChainCoordinator::removeActiveStepTimer() {
    const auto id = std::exchange(m_activeStepTimerID, std::nullopt);
    if (id && m_timerManager) {
        m_timerManager->removeTimer(*id);
    }
}

void ChainCoordinator::finish() {
    // The step timer stays in the list like any finished timer; only our reference to it goes.
    m_activeStepTimerID.reset();
    ++m_generation;
    publishInOrder([&] { setIsRunning(false); }, [&] { setChainName(QString()); },
                   [&] { setCurrentStepIndex(0); }, [&] { setTotalSteps(0); });
}

void ChainCoordinator::setIsRunning(bool value) {
    m_isRunning = value;
    emit isRunningChanged();
    emit changed();
}

void ChainCoordinator::setChainName(const QString& value) {
    m_chainName = value;
    emit chainNameChanged();
    emit changed();
}

void ChainCoordinator::setCurrentStepIndex(qsizetype value) {
    m_currentStepIndex = value;
    emit currentStepIndexChanged();
    emit changed();
}

void ChainCoordinator::setTotalSteps(qsizetype value) {
    m_totalSteps = value;
    emit totalStepsChanged();
    emit changed();
}
