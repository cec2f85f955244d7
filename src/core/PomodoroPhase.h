#pragma once
// The three phases of a Pomodoro cycle; the raw strings are their stored form.

#include <QList>
#include <QString>

#include <optional>

enum class PomodoroPhase { work, shortBreak, longBreak };

// Every phase, in cycle order.
inline QList<PomodoroPhase> allPomodoroPhases() {
    return {PomodoroPhase::work, PomodoroPhase::shortBreak, PomodoroPhase::longBreak};
}

inline QString toRaw(PomodoroPhase phase) {
    switch (phase) {
    case PomodoroPhase::work:
        return QStringLiteral("work");
    case PomodoroPhase::shortBreak:
        return QStringLiteral("shortBreak");
    case PomodoroPhase::longBreak:
        return QStringLiteral("longBreak");
    }
    return {};
}

inline std::optional<PomodoroPhase> pomodoroPhaseFromRaw(const QString& raw) {
    for (auto phase : allPomodoroPhases()) {
        if (toRaw(phase) == raw) {
            return phase;
        }
    }
    return std::nullopt;
}

// The phase timer's title and the tag stored in its `pomodoroPhase` field. Fixed English: the tag is stored
// with the timer list and compared, so it must not change with the interface language.
inline QString label(PomodoroPhase phase) {
    switch (phase) {
    case PomodoroPhase::work:
        return QStringLiteral("Focus");
    case PomodoroPhase::shortBreak:
        return QStringLiteral("Short Break");
    case PomodoroPhase::longBreak:
        return QStringLiteral("Long Break");
    }
    return {};
}

// The name of the phase's icon (our symbol set).
inline QString icon(PomodoroPhase phase) {
    switch (phase) {
    case PomodoroPhase::work:
        return QStringLiteral("brain");
    case PomodoroPhase::shortBreak:
    case PomodoroPhase::longBreak:
        return QStringLiteral("cup.and.saucer");
    }
    return {};
}
