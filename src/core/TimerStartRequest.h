#pragma once
// A prepared timer awaiting confirmation: a title and either a countdown length or an alarm time.

#include "core/ParsedQuickLaunch.h"
#include "core/TimerItem.h"

#include <QDateTime>
#include <QString>
#include <QUuid>

#include <optional>
#include <variant>

class TimerManager;
struct TimerPreset;

class TimerStartRequest {
public:
    // A countdown of whole seconds.
    struct duration {
        qint64 seconds = 0;
        bool operator==(const duration&) const = default;
    };
    // An alarm at that moment.
    struct alarm {
        QDateTime date;
        bool operator==(const alarm&) const = default;
    };
    using Kind = std::variant<duration, alarm>;

    TimerStartRequest(const QUuid& id, const QString& title, Kind kind);
    // A new id; the parser's floating seconds are truncated toward zero; the title is kept exactly.
    TimerStartRequest(const ParsedQuickLaunch& parsed, const QString& title);
    // A new id, the preset's name and length.
    explicit TimerStartRequest(const TimerPreset& preset);

    const QUuid& id() const { return m_id; }
    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    const Kind& kind() const { return m_kind; }

    // The alarm's date; none for a countdown.
    std::optional<QDateTime> targetTime() const;
    // Seconds to show at `at`: a countdown's length (at least 1), or the time left to an alarm rounded up
    // (at least 0).
    qint64 previewDuration(const QDateTime& at) const;
    // Only countdowns can wait in the queue.
    bool canQueue() const;
    // A countdown lengthened or shortened by `seconds` (never below 1 s) under a new id; an alarm unchanged.
    TimerStartRequest adjusted(qint64 seconds) const;

    // Adds the timer running (an alarm through addAlarm); none when the manager refuses.
    std::optional<TimerItem> start(TimerManager& manager) const;
    // Adds a countdown idle, so it waits in the queue; an alarm is never queued (none).
    std::optional<TimerItem> queue(TimerManager& manager) const;

    bool operator==(const TimerStartRequest& other) const = default;

private:
    QUuid m_id;
    QString m_title;
    Kind m_kind;
};
