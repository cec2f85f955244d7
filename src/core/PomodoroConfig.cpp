#include "core/PomodoroConfig.h"

#include "core/JsonCoding.h"

#include <algorithm>

qint64 PomodoroConfig::duration(PomodoroPhase phase) const {
    switch (phase) {
    case PomodoroPhase::work:
        return workDuration;
    case PomodoroPhase::shortBreak:
        return shortBreakDuration;
    case PomodoroPhase::longBreak:
        return longBreakDuration;
    }
    return workDuration;
}

PomodoroPhase PomodoroConfig::nextPhase(PomodoroPhase after, qint64 completedCycles) const {
    if (after != PomodoroPhase::work) {
        return PomodoroPhase::work;
    }
    if (!longBreakEnabled || completedCycles < 1) {
        return PomodoroPhase::shortBreak;
    }
    const qint64 divisor = std::max<qint64>(cyclesBeforeLongBreak, 1);
    return completedCycles % divisor == 0 ? PomodoroPhase::longBreak : PomodoroPhase::shortBreak;
}

QByteArray PomodoroConfig::encode() const {
    JsonWriter w;
    w.beginObject();
    w.key("workDuration");
    w.value(workDuration);
    w.key("shortBreakDuration");
    w.value(shortBreakDuration);
    w.key("longBreakDuration");
    w.value(longBreakDuration);
    w.key("cyclesBeforeLongBreak");
    w.value(cyclesBeforeLongBreak);
    w.key("autoStartBreak");
    w.value(autoStartBreak);
    w.key("autoStartWork");
    w.value(autoStartWork);
    w.key("longBreakEnabled");
    w.value(longBreakEnabled);
    w.endObject();
    return w.take();
}

std::optional<PomodoroConfig> PomodoroConfig::decode(const QByteArray& data) {
    FlatRecord record;
    if (!readFlatDocument(data, record)) {
        return std::nullopt;
    }
    // An integral floating value counts as the whole number; a repeated key's last value decides.
    const auto work = record.integer("workDuration");
    const auto shortBreak = record.integer("shortBreakDuration");
    const auto longBreak = record.integer("longBreakDuration");
    const auto cycles = record.integer("cyclesBeforeLongBreak");
    const auto autoBreak = record.boolean("autoStartBreak");
    const auto autoWork = record.boolean("autoStartWork");
    const auto longEnabled = record.boolean("longBreakEnabled");
    if (!work || !shortBreak || !longBreak || !cycles || !autoBreak || !autoWork || !longEnabled) {
        return std::nullopt;
    }
    return PomodoroConfig{*work, *shortBreak, *longBreak, *cycles, *autoBreak, *autoWork, *longEnabled};
}
