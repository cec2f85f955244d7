#pragma once
// Where the task chain of a QueueChainEngine stands: a step counting or halted, not started, or ended.

#include <QDateTime>

#include <optional>
#include <utility>
#include <variant>

class QueueChainState {
public:
    // The step at stepIndex counts; startedAt is when it began or was last resumed, on the engine's clock.
    struct running {
        qsizetype stepIndex = 0;
        QDateTime startedAt;
        bool operator==(const running&) const = default;
    };
    // The step at stepIndex is halted with remainingAtPause seconds left.
    struct paused {
        qsizetype stepIndex = 0;
        double remainingAtPause = 0;
        bool operator==(const paused&) const = default;
    };
    // No chain has been started yet.
    struct idle {
        bool operator==(const idle&) const = default;
    };
    // The last step was completed.
    struct completed {
        bool operator==(const completed&) const = default;
    };
    struct cancelled {
        bool operator==(const cancelled&) const = default;
    };

    using Case = std::variant<running, paused, idle, completed, cancelled>;

    QueueChainState() = default;
    // Implicit on purpose, so a case reads like an enumeration case: `state = QueueChainState::idle{}`.
    QueueChainState(running c) : m_case(std::move(c)) {} // NOLINT
    QueueChainState(paused c) : m_case(c) {}             // NOLINT
    QueueChainState(idle c) : m_case(c) {}               // NOLINT
    QueueChainState(completed c) : m_case(c) {}          // NOLINT
    QueueChainState(cancelled c) : m_case(c) {}          // NOLINT

    const Case& value() const { return m_case; }
    const running* asRunning() const { return std::get_if<running>(&m_case); }
    const paused* asPaused() const { return std::get_if<paused>(&m_case); }

    // Terminal for the chain, not for the engine: a new start leaves these states.
    bool isTerminal() const {
        return std::holds_alternative<completed>(m_case) || std::holds_alternative<cancelled>(m_case);
    }
    bool isRunning() const { return std::holds_alternative<running>(m_case); }
    bool isPaused() const { return std::holds_alternative<paused>(m_case); }
    // The step index of a running or paused chain.
    std::optional<qsizetype> currentStepIndex() const {
        if (const auto* r = asRunning()) {
            return r->stepIndex;
        }
        if (const auto* p = asPaused()) {
            return p->stepIndex;
        }
        return std::nullopt;
    }

    bool operator==(const QueueChainState&) const = default;

private:
    Case m_case = idle{};
};
