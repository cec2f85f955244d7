#pragma once
// One timer of the engine's list (a countdown or a clock-time alarm), its state and its stored JSON form.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>
#include <string_view>

class FlatRecord;
class JsonWriter;
struct RecordListReading;

enum class TimerState { idle, running, paused, finished };

QString toRaw(TimerState state);
std::optional<TimerState> timerStateFromRaw(const QString& raw);
std::optional<TimerState> timerStateFromRaw(std::string_view raw);

struct TimerItem {
    QUuid id;
    QString title;
    qint64 totalDuration = 0;
    qint64 remaining = 0;
    TimerState state = TimerState::idle;
    QDateTime createdAt;
    bool isAlarm = false;
    std::optional<QDateTime> alarmTargetTime;
    std::optional<QString> pomodoroPhase;

    // Both lengths set to `duration`; createdAt is the given moment (the engine passes its clock's time).
    static TimerItem make(const QUuid& id, const QString& title, qint64 duration, TimerState state,
                          bool isAlarm, std::optional<QDateTime> alarmTargetTime,
                          std::optional<QString> pomodoroPhase,
                          const QDateTime& createdAt = QDateTime::currentDateTimeUtc());

    bool isRunning() const { return state == TimerState::running; }
    bool isPaused() const { return state == TimerState::paused; }
    QString displayTime() const { return formatDuration(remaining); }

    // Seconds from now to target rounded up; 0 when the target is not in the future.
    static qint64 alarmRemaining(const QDateTime& target, const QDateTime& now);
    // "MM:SS" below an hour, "H:MM:SS" from one hour on; hours never become days.
    static QString formatDuration(qint64 seconds);
    // A time of day as "H:mm" on the local clock.
    static QString formatTimeOfDay(const QDateTime& date);

    bool operator==(const TimerItem& other) const = default;

    // True when both dates have a stored form; writeJson expects it (callers check first).
    bool canEncode() const;
    void writeJson(JsonWriter& writer) const;
    static std::optional<TimerItem> fromRecord(const FlatRecord& record);

    // The stored list form: one JSON array. Encoding fails only on a date that has no number form.
    static std::optional<QByteArray> encodeList(const QList<TimerItem>& items, QString* error = nullptr);
    // None unless the whole list reads cleanly.
    static std::optional<QList<TimerItem>> decodeList(const QByteArray& data);
    // Every record of the list that reads, in order; `reading` says what did not.
    static QList<TimerItem> readList(const QByteArray& data, RecordListReading& reading);
};
