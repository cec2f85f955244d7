#pragma once
// Loads a list kept as one JSON data value in the preferences, one record at a time: the records that read
// come back even when others beside them do not, values out of range are brought within it, and nothing
// that was stored is written over or removed before a copy of it is kept aside (where no copy can be made,
// the preferences keep the stored text in their file until one is).

#include "platform/JsonCodec.h"
#include "platform/Preferences.h"

#include <QByteArray>
#include <QHashSeed>
#include <QList>
#include <QString>
#include <QUuid>

#include <cstddef>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

class StoredListLoader {
public:
    // Whether a record whose id an earlier record already has gets a new one. Where records are found by id,
    // two with one id act on each other (removing one removes both).
    enum class RepeatedIds { keep, renew };

    // `context` heads the log lines.
    StoredListLoader(Preferences& preferences, QString context)
        : m_preferences(preferences), m_context(std::move(context)) {}

    // The stored list, or none when there is nothing usable. An absent key gives none silently. A value that
    // is not a data value, or of which no record reads, gives none too: it is logged, copied aside and then
    // removed. Data whose text does not decode exactly (a sign outside base64, a cut) counts as damaged: no
    // record it reaches comes back. When only some records read, records had to be brought within range or
    // given new ids, the list as loaded replaces the stored value so the next start reads it cleanly; for
    // anything but a range the stored value is copied aside first. When a copy cannot be made the stored
    // value is left as it is.
    // `name` is the list's name in log lines. `read(data, reading)` gives the records that read;
    // `holdInRange(record)` says whether it changed one.
    template <class T, class Read, class Encode, class HoldInRange>
    std::optional<QList<T>> load(const QString& key, const QString& name, Read read, Encode encode,
                                 HoldInRange holdInRange, RepeatedIds ids = RepeatedIds::keep) {
        if (!m_preferences.contains(key)) {
            return std::nullopt;
        }
        Found found;
        std::optional<QByteArray> data = m_preferences.dataValue(key);
        if (!data) {
            // Data whose text does not decode exactly (damaged, cut short) is held as that text: its records
            // are read where it decodes, and none that the damage reaches.
            data = JsonCodec::jsonFromDataText(m_preferences.value(key));
            found.textDamaged = data.has_value();
        }
        if (!data) {
            setAsideUnreadable(key, name); // a list written in another form is not a list we can read
            return std::nullopt;
        }
        QList<T> records = read(*data, found.reading);
        if (records.isEmpty() && !found.isClean()) {
            setAsideUnreadable(key, name);
            return std::nullopt;
        }
        for (T& record : records) {
            found.held += holdInRange(record) ? 1 : 0;
        }
        if (ids == RepeatedIds::renew) {
            found.renewed = renewRepeatedIds(records);
        }
        found.restored = records.size();
        if (settle(key, name, found)) {
            if (const std::optional<QByteArray> restored = encode(records, nullptr)) {
                m_preferences.setData(key, *restored);
            }
        }
        return records;
    }

    // For a value that could not be read at all: logs it, keeps it aside and removes it, or leaves it as it
    // is when no copy can be made.
    void setAsideUnreadable(const QString& key, const QString& name);

private:
    struct Found {
        RecordListReading reading;
        bool textDamaged = false;
        bool isClean() const { return reading.isClean() && !textDamaged; }
        qsizetype restored = 0;
        qsizetype held = 0;
        qsizetype renewed = 0;
    };

    // Gives each record whose id an earlier record has a fresh one; says how many. One flat table of record
    // indices, probed in place, so a list of a million timers costs one pass and no allocation per id.
    template <class T> static qsizetype renewRepeatedIds(QList<T>& records) {
        // Indices take 32 bits: no list that fits in memory comes near needing more.
        if (records.size() < 2 || records.size() >= std::numeric_limits<qint32>::max() / 2) {
            return 0;
        }
        std::size_t mask = 1;
        while (mask < std::size_t(records.size()) * 2) {
            mask <<= 1;
        }
        --mask;
        constexpr quint32 kFree = ~quint32(0);
        std::vector<quint32> table(mask + 1, kFree); // record indices
        // Seeded per run, so no stored list can be made to collide on purpose.
        const std::size_t seed = QHashSeed::globalSeed();
        T* const record = records.data();
        qsizetype renewed = 0;
        for (qsizetype i = 0; i < records.size(); ++i) {
            for (bool fresh = false;; fresh = true) {
                std::size_t slot = qHash(record[i].id, seed) & mask;
                while (table[slot] != kFree && record[table[slot]].id != record[i].id) {
                    slot = (slot + 1) & mask;
                }
                if (table[slot] == kFree) {
                    table[slot] = quint32(i);
                    renewed += fresh ? 1 : 0;
                    break;
                }
                record[i].id = QUuid::createUuid(); // the earlier record keeps the id
            }
        }
        return renewed;
    }

    // Logs what the reading found and keeps the stored value aside where it is to be replaced; true when the
    // list as loaded is to be written back.
    bool settle(const QString& key, const QString& name, const Found& found);

    Preferences& m_preferences;
    QString m_context;
};
