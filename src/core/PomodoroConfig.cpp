#include "core/PomodoroConfig.h"

#include "core/JsonCoding.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

std::optional<qint64> integerMember(const nlohmann::json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end()) {
        return std::nullopt;
    }
    if (it->is_number_unsigned()) {
        const auto value = it->get<std::uint64_t>();
        if (value > std::uint64_t(std::numeric_limits<qint64>::max())) {
            return std::nullopt;
        }
        return qint64(value);
    }
    if (it->is_number_integer()) {
        return it->get<qint64>();
    }
    if (it->is_number_float()) {
        return JsonCoding::integerFromDouble(it->get<double>());
    }
    return std::nullopt;
}

std::optional<bool> boolMember(const nlohmann::json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end() || !it->is_boolean()) {
        return std::nullopt;
    }
    return it->get<bool>();
}

} // namespace

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
    const auto root = nlohmann::json::parse(data.constData(), data.constData() + data.size(), nullptr, false);
    if (!root.is_object()) {
        return std::nullopt;
    }
    const auto work = integerMember(root, "workDuration");
    const auto shortBreak = integerMember(root, "shortBreakDuration");
    const auto longBreak = integerMember(root, "longBreakDuration");
    const auto cycles = integerMember(root, "cyclesBeforeLongBreak");
    const auto autoBreak = boolMember(root, "autoStartBreak");
    const auto autoWork = boolMember(root, "autoStartWork");
    const auto longEnabled = boolMember(root, "longBreakEnabled");
    if (!work || !shortBreak || !longBreak || !cycles || !autoBreak || !autoWork || !longEnabled) {
        return std::nullopt;
    }
    return PomodoroConfig{*work, *shortBreak, *longBreak, *cycles, *autoBreak, *autoWork, *longEnabled};
}
