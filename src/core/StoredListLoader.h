#pragma once
// Loads a list kept as one JSON data value in the preferences, one record at a time: the records that read
// come back even when others beside them do not, values out of range are brought within it, and what was
// damaged is kept aside for the user before anything is written over it.

#include "platform/JsonCodec.h"
#include "platform/Preferences.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

class StoredListLoader {
public:
    // `context` heads the log lines.
    StoredListLoader(Preferences& preferences, QString context)
        : m_preferences(preferences), m_context(std::move(context)) {}

    // The stored list, or none when there is nothing usable: absent or not a data value (silently), or no
    // record readable (logged; the value is moved aside). When only some records read, or values had to be
    // brought within range, the whole stored value is first copied aside (for damage) and then replaced by
    // the list as loaded, so the next start reads it cleanly. `name` is the list's name in log lines.
    // `read(data, reading)` gives the records that read; `holdInRange(record)` says whether it changed one.
    template <class T, class Read, class Encode, class HoldInRange>
    std::optional<QList<T>> load(const QString& key, const QString& name, Read read, Encode encode,
                                 HoldInRange holdInRange) {
        const std::optional<QByteArray> data = m_preferences.dataValue(key);
        if (!data) {
            return std::nullopt;
        }
        RecordListReading reading;
        QList<T> records = read(*data, reading);
        qsizetype held = 0;
        for (T& record : records) {
            held += holdInRange(record) ? 1 : 0;
        }
        switch (settle(key, name, reading, records.size(), held)) {
        case Outcome::useDefault:
            return std::nullopt;
        case Outcome::writeBack:
            if (const std::optional<QByteArray> restored = encode(records, nullptr)) {
                m_preferences.setData(key, *restored);
            }
            break;
        case Outcome::keep:
            break;
        }
        return records;
    }

private:
    enum class Outcome { keep, writeBack, useDefault };

    // Logs what the reading found and keeps a damaged value aside; says what becomes of the stored value.
    Outcome settle(const QString& key, const QString& name, const RecordListReading& reading,
                   qsizetype restored, qsizetype held);

    Preferences& m_preferences;
    QString m_context;
};
