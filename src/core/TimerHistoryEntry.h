#pragma once
// One completed run in the history, and the history's stored JSON form.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

struct RecordListReading;

struct TimerHistoryEntry {
    QUuid id;
    QString title;
    qint64 duration = 0;
    QDateTime completedAt;

    bool operator==(const TimerHistoryEntry& other) const = default;

    // A new entry with a fresh id, completed at the given moment.
    static TimerHistoryEntry make(const QString& title, qint64 duration,
                                  const QDateTime& completedAt = QDateTime::currentDateTimeUtc());

    static std::optional<QByteArray> encodeList(const QList<TimerHistoryEntry>& entries, QString* error = nullptr);
    // None unless the whole list reads cleanly.
    static std::optional<QList<TimerHistoryEntry>> decodeList(const QByteArray& data);
    // Every entry of the list that reads, in order; `reading` says what did not.
    static QList<TimerHistoryEntry> readList(const QByteArray& data, RecordListReading& reading);
};
