#include "core/TimerItem.h"

#include "core/JsonCoding.h"

namespace {
const char* const kStateRaw[] = {"idle", "running", "paused", "finished"};
}

QString toRaw(TimerState state) {
    return QString::fromLatin1(kStateRaw[int(state)]);
}

std::optional<TimerState> timerStateFromRaw(std::string_view raw) {
    for (int i = 0; i < 4; ++i) {
        if (raw == kStateRaw[i]) {
            return TimerState(i);
        }
    }
    return std::nullopt;
}

std::optional<TimerState> timerStateFromRaw(const QString& raw) {
    for (int i = 0; i < 4; ++i) {
        if (raw == QLatin1String(kStateRaw[i])) {
            return TimerState(i);
        }
    }
    return std::nullopt;
}

TimerItem TimerItem::make(const QUuid& id, const QString& title, qint64 duration, TimerState state,
                          bool isAlarm, std::optional<QDateTime> alarmTargetTime,
                          std::optional<QString> pomodoroPhase, const QDateTime& createdAt) {
    TimerItem item;
    item.id = id;
    item.title = title;
    item.totalDuration = duration;
    item.remaining = duration;
    item.state = state;
    item.createdAt = createdAt;
    item.isAlarm = isAlarm;
    item.alarmTargetTime = std::move(alarmTargetTime);
    item.pomodoroPhase = std::move(pomodoroPhase);
    return item;
}

qint64 TimerItem::alarmRemaining(const QDateTime& target, const QDateTime& now) {
    // Whole milliseconds, so 60.000 s ahead stays 60 and never drifts to 61.
    const qint64 ms = now.msecsTo(target);
    if (ms <= 0) {
        return 0;
    }
    return ms / 1000 + (ms % 1000 != 0 ? 1 : 0);
}

QString TimerItem::formatDuration(qint64 seconds) {
    const qint64 s = seconds < 0 ? 0 : seconds; // a negative length has no sensible clock text
    const qint64 minutes = (s % 3600) / 60;
    const qint64 secs = s % 60;
    const QLatin1Char zero('0');
    if (s < 3600) {
        return QStringLiteral("%1:%2").arg(minutes, 2, 10, zero).arg(secs, 2, 10, zero);
    }
    return QStringLiteral("%1:%2:%3").arg(s / 3600).arg(minutes, 2, 10, zero).arg(secs, 2, 10, zero);
}

QString TimerItem::formatTimeOfDay(const QDateTime& date) {
    return date.toLocalTime().toString(QStringLiteral("H:mm"));
}

bool TimerItem::canEncode() const {
    return JsonCoding::referenceMilliseconds(createdAt) &&
           (!alarmTargetTime || JsonCoding::referenceMilliseconds(*alarmTargetTime));
}

void TimerItem::writeJson(JsonWriter& w) const {
    w.beginObject();
    w.key("id");
    w.value(id);
    w.key("title");
    w.value(title);
    w.key("totalDuration");
    w.value(totalDuration);
    w.key("remaining");
    w.value(remaining);
    w.key("state");
    w.value(std::string_view(kStateRaw[int(state)]));
    w.key("createdAt");
    w.millisecondsAsSeconds(JsonCoding::referenceMilliseconds(createdAt).value_or(0));
    w.key("isAlarm");
    w.value(isAlarm);
    if (alarmTargetTime) {
        w.key("alarmTargetTime");
        w.millisecondsAsSeconds(JsonCoding::referenceMilliseconds(*alarmTargetTime).value_or(0));
    }
    if (pomodoroPhase) {
        w.key("pomodoroPhase");
        w.value(*pomodoroPhase);
    }
    w.endObject();
}

std::optional<TimerItem> TimerItem::fromRecord(const FlatRecord& r) {
    TimerItem item;
    const auto id = r.uuid("id");
    const auto title = r.string("title");
    const auto total = r.integer("totalDuration");
    const auto remaining = r.integer("remaining");
    const std::string* stateText = r.text("state");
    const auto created = r.date("createdAt");
    const auto isAlarm = r.boolean("isAlarm");
    if (!id || !title || !total || !remaining || !stateText || !created || !isAlarm) {
        return std::nullopt;
    }
    const auto state = timerStateFromRaw(*stateText);
    if (!state) {
        return std::nullopt;
    }
    item.id = *id;
    item.title = *title;
    item.totalDuration = *total;
    // As stored, even when out of range: the loader holds it within range and says so.
    item.remaining = *remaining;
    item.state = *state;
    item.createdAt = *created;
    item.isAlarm = *isAlarm;
    if (!r.isAbsentOrNull("alarmTargetTime")) {
        item.alarmTargetTime = r.date("alarmTargetTime");
        if (!item.alarmTargetTime) {
            return std::nullopt;
        }
    }
    if (!r.isAbsentOrNull("pomodoroPhase")) {
        item.pomodoroPhase = r.string("pomodoroPhase");
        if (!item.pomodoroPhase) {
            return std::nullopt;
        }
    }
    return item;
}

std::optional<QByteArray> TimerItem::encodeList(const QList<TimerItem>& items, QString* error) {
    JsonWriter w;
    w.reserve(qsizetype(items.size()) * 200 + 2);
    w.beginArray();
    for (const TimerItem& item : items) {
        if (!item.canEncode()) {
            if (error) {
                *error = QStringLiteral("The timer %1 has a date that cannot be written")
                             .arg(JsonCoding::uuidText(item.id));
            }
            return std::nullopt;
        }
        item.writeJson(w);
    }
    w.endArray();
    return w.take();
}

std::optional<QList<TimerItem>> TimerItem::decodeList(const QByteArray& data) {
    return wholeListOrNone<QList<TimerItem>>(data, &TimerItem::readList);
}

QList<TimerItem> TimerItem::readList(const QByteArray& data, RecordListReading& reading) {
    QList<TimerItem> items;
    reading = readFlatRecordElements(data, [&items](const FlatRecord& r) {
        auto item = fromRecord(r);
        if (!item) {
            return false;
        }
        items.push_back(std::move(*item));
        return true;
    });
    return items;
}
