#include "core/TimerPreset.h"

#include "core/JsonCoding.h"

namespace {

QUuid fixedId(const char* text) {
    return QUuid::fromString(QLatin1String(text));
}

SequenceStep step(const char* id, SequenceStepKind kind, qint64 minutes) {
    return SequenceStep{fixedId(id), kind, minutes};
}

// A sequence's steps: nullopt when the value is not an array of well-formed steps (the value is still read
// through, as a later member of the same name replaces it).
std::optional<QList<SequenceStep>> readSteps(JsonReader& reader, FlatRecord& record) {
    if (reader.peek() != JsonReader::Token::array) {
        reader.skipValue();
        return std::nullopt;
    }
    reader.beginArray();
    QList<SequenceStep> steps;
    bool wellFormed = true;
    while (reader.nextElement()) {
        if (reader.peek() != JsonReader::Token::object) {
            wellFormed = false;
            reader.skipValue();
            continue;
        }
        if (!reader.readFlatObject(record)) {
            return std::nullopt;
        }
        const auto id = record.uuid("id");
        const auto kindText = record.string("kind");
        const auto kind = kindText ? sequenceStepKindFromRaw(*kindText) : std::nullopt;
        const auto minutes = record.integer("minutes");
        if (!id || !kind || !minutes) {
            wellFormed = false;
            continue;
        }
        steps.push_back({*id, *kind, *minutes});
    }
    if (!wellFormed) {
        return std::nullopt;
    }
    return steps;
}

} // namespace

const QList<TimerPreset>& TimerPreset::defaultPresets() {
    static const QList<TimerPreset> presets = {
        {fixedId("77798702-F349-4F52-B37B-E4A994935413"), QStringLiteral("25m"), 1500},
        {fixedId("E3D3CE41-828E-4FC9-B270-9DA80A708F36"), QStringLiteral("45m"), 2700},
        {fixedId("ACFC0D52-0A51-4417-80AD-6CEC736263A5"), QStringLiteral("60m"), 3600},
    };
    return presets;
}

QString TimerPreset::purposeDescription(AppLanguage language) const {
    const bool en = language == AppLanguage::english;
    const qint64 d = durationInSeconds;
    if (d < 960) {
        return en ? QStringLiteral("For a break or small task") : QStringLiteral("休憩や小さな作業に");
    }
    if (d < 1860) {
        return en ? QStringLiteral("For a short focus session") : QStringLiteral("短い集中作業に");
    }
    if (d <= 3659) {
        return en ? QStringLiteral("For a focused work block") : QStringLiteral("まとまった集中時間に");
    }
    return en ? QStringLiteral("For a longer work session") : QStringLiteral("長時間の作業に");
}

std::optional<QByteArray> TimerPreset::encodeList(const QList<TimerPreset>& presets, QString*) {
    JsonWriter w;
    w.beginArray();
    for (const TimerPreset& p : presets) {
        w.beginObject();
        w.key("id");
        w.value(p.id);
        w.key("name");
        w.value(p.name);
        w.key("durationInSeconds");
        w.value(p.durationInSeconds);
        w.endObject();
    }
    w.endArray();
    return w.take();
}

std::optional<QList<TimerPreset>> TimerPreset::decodeList(const QByteArray& data) {
    return wholeListOrNone<QList<TimerPreset>>(data, &TimerPreset::readList);
}

QList<TimerPreset> TimerPreset::readList(const QByteArray& data, RecordListReading& reading) {
    QList<TimerPreset> presets;
    reading = readFlatRecordElements(data, [&presets](const FlatRecord& r) {
        const auto storedId = r.uuid("id");
        const auto storedName = r.string("name");
        const auto seconds = r.integer("durationInSeconds");
        if (!storedId || !storedName || !seconds) {
            return false;
        }
        presets.push_back({*storedId, *storedName, *seconds});
        return true;
    });
    return presets;
}

QString toRaw(SequenceStepKind kind) {
    return kind == SequenceStepKind::focus ? QStringLiteral("focus") : QStringLiteral("breakTime");
}

std::optional<SequenceStepKind> sequenceStepKindFromRaw(const QString& raw) {
    if (raw == QLatin1String("focus")) {
        return SequenceStepKind::focus;
    }
    if (raw == QLatin1String("breakTime")) {
        return SequenceStepKind::breakTime;
    }
    return std::nullopt;
}

const QList<TimerSequence>& TimerSequence::defaultSequences() {
    using K = SequenceStepKind;
    static const QList<TimerSequence> sequences = {
        {fixedId("42A550A6-08B5-4F5C-9AC2-2CFF6B28EF4E"),
         QStringLiteral("Pomodoro"),
         {step("2E5EDE75-E01A-453F-913C-0D533BFC67E7", K::focus, 25),
          step("04512D66-7D3F-4C3F-8698-D3EF80C86D2A", K::breakTime, 5),
          step("FAE39F3E-AA63-424F-9327-501960BDB66E", K::focus, 25),
          step("72E6A1F1-0AC7-433B-8896-BDC6F9E5FDA9", K::breakTime, 5)}},
        {fixedId("610A7297-727F-471E-9096-FC517483956A"),
         QStringLiteral("Deep Work"),
         {step("5E828697-9C80-4DEF-AFAB-1374B33A94D1", K::focus, 50),
          step("6F4C67C1-20CB-44B3-B80F-8092A6834ADF", K::breakTime, 10),
          step("810EE8DB-489B-4EA9-A53A-384C8871692C", K::focus, 50)}},
        {fixedId("7D1C8F02-4EF7-451B-91F0-6A29CD60B731"),
         QStringLiteral("Review Sprint"),
         {step("0BC48E84-263A-4BAB-BB0D-AF9D1193A202", K::focus, 15),
          step("C5AAC0B4-B057-4211-86A4-CEBAF9BD6CA8", K::breakTime, 3),
          step("BE979261-4E8C-430D-84A8-AAE64FD98A25", K::focus, 15),
          step("C84FE5F5-614B-4281-8FE7-26B296DE8BA4", K::breakTime, 3)}},
    };
    return sequences;
}

TimerSequence TimerSequence::blank() {
    return TimerSequence{QUuid::createUuid(),
                         QString(),
                         {SequenceStep{QUuid::createUuid(), SequenceStepKind::focus, 25},
                          SequenceStep{QUuid::createUuid(), SequenceStepKind::breakTime, 5}}};
}

QString TimerSequence::stepsSummary() const {
    QStringList parts;
    for (const SequenceStep& s : steps) {
        parts << QString::number(s.minutes);
    }
    return parts.join(QStringLiteral(" \u00B7 "));
}

std::optional<qint64> TimerSequence::firstFocusMinutes() const {
    for (const SequenceStep& s : steps) {
        if (s.kind == SequenceStepKind::focus) {
            return s.minutes;
        }
    }
    return std::nullopt;
}

std::optional<qint64> TimerSequence::firstBreakMinutes() const {
    for (const SequenceStep& s : steps) {
        if (s.kind == SequenceStepKind::breakTime) {
            return s.minutes;
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> TimerSequence::encodeList(const QList<TimerSequence>& sequences, QString*) {
    JsonWriter w;
    w.beginArray();
    for (const TimerSequence& seq : sequences) {
        w.beginObject();
        w.key("id");
        w.value(seq.id);
        w.key("name");
        w.value(seq.name);
        w.key("steps");
        w.beginArray();
        for (const SequenceStep& s : seq.steps) {
            w.beginObject();
            w.key("id");
            w.value(s.id);
            w.key("kind");
            w.value(toRaw(s.kind));
            w.key("minutes");
            w.value(s.minutes);
            w.endObject();
        }
        w.endArray();
        w.endObject();
    }
    w.endArray();
    return w.take();
}

std::optional<QList<TimerSequence>> TimerSequence::decodeList(const QByteArray& data) {
    return wholeListOrNone<QList<TimerSequence>>(data, &TimerSequence::readList);
}

QList<TimerSequence> TimerSequence::readList(const QByteArray& data, RecordListReading& reading) {
    QList<TimerSequence> out;
    FlatRecord fields;
    FlatRecord stepFields;
    std::string key;
    // A sequence, its steps and a step enclose the members.
    reading = readArrayElements(data, 3, [&](JsonReader& reader) {
        if (reader.peek() != JsonReader::Token::object) {
            reader.skipValue();
            return false;
        }
        reader.beginObject();
        fields.clear();
        std::optional<QList<SequenceStep>> storedSteps;
        while (reader.nextMember(key)) {
            if (key == "steps") {
                storedSteps = readSteps(reader, stepFields);
            } else {
                reader.readFlatValue(fields.append(key));
            }
        }
        const auto storedId = fields.uuid("id");
        const auto storedName = fields.string("name");
        if (reader.failed() || !storedId || !storedName || !storedSteps) {
            return false;
        }
        out.push_back({*storedId, *storedName, std::move(*storedSteps)});
        return true;
    });
    return out;
}
