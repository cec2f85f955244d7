// Feeds arbitrary bytes to the JSON codec through every way in: each stored-list reader, the preferences
// file reader (whole and member by member), and the reader's own value paths. Besides crashes, hangs and
// sanitizer reports, a finding is any record or preferences member read (from a whole text or a damaged
// one) that does not come back the same after writing it out and reading it again, and any disagreement
// between the reader's paths about whether the same text is JSON.
#include "core/ScheduledTimer.h"
#include "core/TimerHistoryEntry.h"
#include "core/TimerItem.h"
#include "core/TimerPreset.h"
#include "platform/JsonCodec.h"
#include "platform/Preferences.h"
#include "platform/StoredObjectReading.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

template <class Record> void checkRoundTrip(const QByteArray& bytes) {
    // What a damaged list gives back is written back as it is at start-up: it must read again cleanly and
    // the same. A clean list is the case where nothing was passed over.
    RecordListReading reading;
    const QList<Record> restored = Record::readList(bytes, reading);
    if (reading.isClean() != Record::decodeList(bytes).has_value()) {
        std::abort();
    }
    const auto encoded = Record::encodeList(restored);
    if (!encoded) {
        return; // some dates read fine but have no stored form; saving them is refused and logged
    }
    const auto again = Record::decodeList(*encoded);
    if (!again || *again != restored) {
        std::abort();
    }
}

constexpr int kDepth = 16;

// The whole text as one value, by each of the reader's ways of reading a value.
bool skips(const QByteArray& bytes) {
    JsonReader reader(bytes, kDepth);
    return reader.skipValue() && reader.atEnd();
}
bool readsAsVariant(const QByteArray& bytes, QVariant& out) {
    JsonReader reader(bytes, kDepth);
    return reader.readVariant(out) && reader.atEnd();
}
bool readsAsFlatRecords(const QByteArray& bytes, bool& onlyObjects) {
    onlyObjects = true;
    JsonReader reader(bytes, kDepth);
    if (reader.peek() != JsonReader::Token::array || !reader.beginArray()) {
        onlyObjects = false;
        return reader.skipValue() && reader.atEnd();
    }
    FlatRecord record;
    while (reader.nextElement()) {
        if (reader.peek() == JsonReader::Token::object) {
            reader.readFlatObject(record);
        } else {
            onlyObjects = false;
            reader.skipValue();
        }
    }
    return !reader.failed() && reader.atEnd();
}

void checkReaderPaths(const QByteArray& bytes) {
    QVariant value;
    const bool valid = skips(bytes);
    if (readsAsVariant(bytes, value) != valid) {
        std::abort();
    }
    bool onlyObjects = false;
    if (readsAsFlatRecords(bytes, onlyObjects) != valid) {
        std::abort();
    }
    if (valid && onlyObjects != readFlatRecordArray(bytes, [](const FlatRecord&) { return true; })) {
        std::abort(); // beyond kDepth the list reader may accept more; it allows deeper values
    }
    if (!valid) {
        return;
    }
    JsonWriter writer;
    writer.value(value);
    const QByteArray written = writer.take();
    QVariant again;
    if (!readsAsVariant(written, again) || again != value) {
        std::abort();
    }
}

// What the store keeps of a damaged preferences file is written back at start-up: it must read again whole
// and the same, a clean reading must be the strict one, and each member's recorded text must be its value.
void checkStoredObject(const QByteArray& bytes) {
    const StoredObjectReading reading = StoredObjectReading::read(bytes, Preferences::maxValueDepth);
    const auto strict = Preferences::deserialize(bytes);
    if (reading.isClean() != strict.has_value() || (strict && *strict != reading.values)) {
        std::abort();
    }
    if (!reading.isObject && !reading.values.isEmpty()) {
        std::abort();
    }
    const auto again = Preferences::deserialize(Preferences::serialize(reading.values));
    if (!again || *again != reading.values) {
        std::abort();
    }
    for (auto it = reading.values.cbegin(); it != reading.values.cend(); ++it) {
        const QByteArrayView text = reading.valueTexts.value(it.key());
        JsonReader member(text, Preferences::maxValueDepth);
        QVariant value;
        const bool whole = member.readVariant(value) && member.atEnd();
        // Else a data value cut short by the end of the text.
        if (!whole) {
            value = JsonCodec::dataCutShort(text).value_or(QVariant());
        }
        if (value != it.value()) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));

    checkRoundTrip<TimerItem>(bytes);
    checkRoundTrip<TimerPreset>(bytes);
    checkRoundTrip<TimerSequence>(bytes);
    checkRoundTrip<ScheduledTimer>(bytes);
    checkRoundTrip<TimerHistoryEntry>(bytes);

    if (const auto values = Preferences::deserialize(bytes)) {
        const auto again = Preferences::deserialize(Preferences::serialize(*values));
        if (!again || *again != *values) {
            std::abort();
        }
    }
    checkStoredObject(bytes);

    checkReaderPaths(bytes);
    return 0;
}
