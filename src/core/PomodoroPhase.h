#pragma once
// The three phases of a Pomodoro cycle; the raw strings are their stored form.

#include <QString>

#include <optional>

enum class PomodoroPhase { work, shortBreak, longBreak };

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
    for (auto phase : {PomodoroPhase::work, PomodoroPhase::shortBreak, PomodoroPhase::longBreak}) {
        if (toRaw(phase) == raw) {
            return phase;
        }
    }
    return std::nullopt;
}
