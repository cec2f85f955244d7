#include "core/TimerStartRequest.h"

#include "core/Saturating.h"
#include "core/TimerManager.h"
#include "core/TimerPreset.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

template <class... Ts> struct overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> overloaded(Ts...) -> overloaded<Ts...>;

// Truncation toward zero, saturating at the integer limits (a bare cast out of range is undefined).
qint64 truncatedSeconds(double seconds) {
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (std::isnan(seconds)) {
        return 0;
    }
    if (seconds >= limit) {
        return std::numeric_limits<qint64>::max();
    }
    if (seconds <= -limit) {
        return std::numeric_limits<qint64>::min();
    }
    return qint64(std::trunc(seconds));
}

TimerStartRequest::Kind kindOf(const ParsedQuickLaunch& parsed) {
    return std::visit(overloaded{
                          [](const ParsedQuickLaunch::duration& d) -> TimerStartRequest::Kind {
                              return TimerStartRequest::duration{truncatedSeconds(d.seconds)};
                          },
                          [](const ParsedQuickLaunch::alarm& a) -> TimerStartRequest::Kind {
                              return TimerStartRequest::alarm{a.date};
                          },
                      },
                      parsed.value());
}

} // namespace

TimerStartRequest::TimerStartRequest(const QUuid& id, const QString& title, Kind kind)
    : m_id(id), m_title(title), m_kind(std::move(kind)) {}

TimerStartRequest::TimerStartRequest(const ParsedQuickLaunch& parsed, const QString& title)
    : TimerStartRequest(QUuid::createUuid(), title, kindOf(parsed)) {}

TimerStartRequest::TimerStartRequest(const TimerPreset& preset)
    : TimerStartRequest(QUuid::createUuid(), preset.name, duration{preset.durationInSeconds}) {}

std::optional<QDateTime> TimerStartRequest::targetTime() const {
    if (const auto* a = std::get_if<alarm>(&m_kind)) {
        return a->date;
    }
    return std::nullopt;
}

qint64 TimerStartRequest::previewDuration(const QDateTime& at) const {
    return std::visit(overloaded{
                          [](const duration& d) { return std::max<qint64>(d.seconds, 1); },
                          [&](const alarm& a) { return TimerItem::alarmRemaining(a.date, at); },
                      },
                      m_kind);
}

bool TimerStartRequest::canQueue() const {
    return std::holds_alternative<duration>(m_kind);
}

TimerStartRequest TimerStartRequest::adjusted(qint64 seconds) const {
    if (const auto* d = std::get_if<duration>(&m_kind)) {
        return TimerStartRequest(QUuid::createUuid(), m_title,
                                 duration{std::max<qint64>(saturatingAdd(d->seconds, seconds), 1)});
    }
    return *this;
}

std::optional<TimerItem> TimerStartRequest::start(TimerManager& manager) const {
    return std::visit(overloaded{
                          [&](const duration& d) { return manager.addTimer(m_title, d.seconds, true); },
                          [&](const alarm& a) { return manager.addAlarm(m_title, a.date); },
                      },
                      m_kind);
}

std::optional<TimerItem> TimerStartRequest::queue(TimerManager& manager) const {
    if (const auto* d = std::get_if<duration>(&m_kind)) {
        return manager.addTimer(m_title, d->seconds, false);
    }
    return std::nullopt;
}
