#include "core/ScheduledTimer.h"

#include "core/JsonCoding.h"

QString ScheduledTimer::formattedDuration() const {
    const qint64 d = durationInSeconds;
    if (d < 3600) {
        return QStringLiteral("%1分").arg(d / 60);
    }
    return QStringLiteral("%1時間%2分").arg(d / 3600).arg((d % 3600) / 60);
}

bool ScheduledTimer::shouldFire(const QDateTime& scheduledTime, const QDateTime& now, double leadIn) {
    return double(now.msecsTo(scheduledTime)) / 1000.0 < leadIn;
}

std::optional<QByteArray> ScheduledTimer::encodeList(const QList<ScheduledTimer>& timers, QString* error) {
    JsonWriter w;
    w.beginArray();
    for (const ScheduledTimer& t : timers) {
        const auto time = JsonCoding::referenceMilliseconds(t.scheduledTime);
        if (!time) {
            if (error) {
                *error = QStringLiteral("The scheduled timer %1 has no valid time")
                             .arg(JsonCoding::uuidText(t.id));
            }
            return std::nullopt;
        }
        w.beginObject();
        w.key("id");
        w.value(t.id);
        w.key("scheduledTime");
        w.millisecondsAsSeconds(*time);
        w.key("durationInSeconds");
        w.value(t.durationInSeconds);
        w.key("taskMemo");
        w.value(t.taskMemo);
        w.key("isEnabled");
        w.value(t.isEnabled);
        w.endObject();
    }
    w.endArray();
    return w.take();
}

std::optional<QList<ScheduledTimer>> ScheduledTimer::decodeList(const QByteArray& data) {
    return wholeListOrNone<QList<ScheduledTimer>>(data, &ScheduledTimer::readList);
}

QList<ScheduledTimer> ScheduledTimer::readList(const QByteArray& data, RecordListReading& reading) {
    QList<ScheduledTimer> out;
    reading = readFlatRecordElements(data, [&out](const FlatRecord& r) {
        const auto storedId = r.uuid("id");
        const auto time = r.date("scheduledTime");
        const auto seconds = r.integer("durationInSeconds");
        const auto memo = r.string("taskMemo");
        const auto enabled = r.boolean("isEnabled");
        if (!storedId || !time || !seconds || !memo || !enabled) {
            return false;
        }
        out.push_back({*storedId, *time, *seconds, *memo, *enabled});
        return true;
    });
    return out;
}
