#pragma once
// One completed run in the history, and the history's stored JSON form.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

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
    static std::optional<QList<TimerHistoryEntry>> decodeList(const QByteArray& data);
};
