#include "core/TimerHistoryEntry.h"

#include "core/JsonCoding.h"

TimerHistoryEntry TimerHistoryEntry::make(const QString& title, qint64 duration,
                                          const QDateTime& completedAt) {
    return TimerHistoryEntry{QUuid::createUuid(), title, duration, completedAt};
}

std::optional<QByteArray> TimerHistoryEntry::encodeList(const QList<TimerHistoryEntry>& entries,
                                                        QString* error) {
    JsonWriter w;
    w.beginArray();
    for (const TimerHistoryEntry& e : entries) {
        const auto completed = JsonCoding::referenceMilliseconds(e.completedAt);
        if (!completed) {
            if (error) {
                *error =
                    QStringLiteral("The history entry %1 has no valid date").arg(JsonCoding::uuidText(e.id));
            }
            return std::nullopt;
        }
        w.beginObject();
        w.key("id");
        w.value(e.id);
        w.key("title");
        w.value(e.title);
        w.key("duration");
        w.value(e.duration);
        w.key("completedAt");
        w.millisecondsAsSeconds(*completed);
        w.endObject();
    }
    w.endArray();
    return w.take();
}

std::optional<QList<TimerHistoryEntry>> TimerHistoryEntry::decodeList(const QByteArray& data) {
    return wholeListOrNone<QList<TimerHistoryEntry>>(data, &TimerHistoryEntry::readList);
}

QList<TimerHistoryEntry> TimerHistoryEntry::readList(const QByteArray& data, RecordListReading& reading) {
    QList<TimerHistoryEntry> out;
    reading = readFlatRecordElements(data, [&out](const FlatRecord& r) {
        const auto storedId = r.uuid("id");
        const auto storedTitle = r.string("title");
        const auto seconds = r.integer("duration");
        const auto completed = r.date("completedAt");
        if (!storedId || !storedTitle || !seconds || !completed) {
            return false;
        }
        out.push_back({*storedId, *storedTitle, *seconds, *completed});
        return true;
    });
    return out;
}
