#pragma once
// Pomodoro phase lengths, the long-break rhythm and the automatic starts, with the phase order they give.

#include "core/PomodoroPhase.h"

#include <QByteArray>
#include <QtGlobal>

#include <optional>

struct PomodoroConfig {
    qint64 workDuration = 1500;
    qint64 shortBreakDuration = 300;
    qint64 longBreakDuration = 900;
    // A long break follows every this many completed focus phases; below 1 counts as 1.
    qint64 cyclesBeforeLongBreak = 4;
    bool autoStartBreak = true;
    bool autoStartWork = false;
    bool longBreakEnabled = true;

    bool operator==(const PomodoroConfig& other) const = default;

    // Seconds of the phase.
    qint64 duration(PomodoroPhase phase) const;
    // The phase after `after`, given the completed focus phases counting the one that just ended.
    PomodoroPhase nextPhase(PomodoroPhase after, qint64 completedCycles) const;

    // A JSON object with one key per field, in field order.
    QByteArray encode() const;
    // None unless every key is present with a value of its type.
    static std::optional<PomodoroConfig> decode(const QByteArray& data);
};
