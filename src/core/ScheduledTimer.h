#pragma once
// A one-shot entry that starts a countdown at its stored time, and its stored JSON form.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

struct RecordListReading;

struct ScheduledTimer {
    QUuid id;
    QDateTime scheduledTime;
    qint64 durationInSeconds = 0;
    QString taskMemo;
    bool isEnabled = true;

    bool operator==(const ScheduledTimer& other) const = default;

    bool isPast(const QDateTime& now) const { return scheduledTime < now; }
    // "%d分" below an hour, "%d時間%d分" otherwise; seconds are dropped. Japanese in every language.
    QString formattedDuration() const;
    // Due less than leadIn seconds from now, or overdue.
    static bool shouldFire(const QDateTime& scheduledTime, const QDateTime& now, double leadIn);

    static std::optional<QByteArray> encodeList(const QList<ScheduledTimer>& timers, QString* error = nullptr);
    // None unless the whole list reads cleanly.
    static std::optional<QList<ScheduledTimer>> decodeList(const QByteArray& data);
    // Every entry of the list that reads, in order; `reading` says what did not.
    static QList<ScheduledTimer> readList(const QByteArray& data, RecordListReading& reading);
};
