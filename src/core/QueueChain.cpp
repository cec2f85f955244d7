#include "core/QueueChain.h"

#include "core/JsonCoding.h"

#include <QHashFunctions>

namespace {

void writeStep(JsonWriter& w, const QueueChainStep& step) {
    w.beginObject();
    w.key("id");
    w.value(step.id);
    w.key("name");
    w.value(step.name);
    w.key("duration");
    w.value(step.duration); // a value that is not finite is written as null and will not read back
    w.endObject();
}

std::optional<QueueChainStep> stepFrom(const FlatRecord& record) {
    const auto id = record.uuid("id");
    const auto name = record.string("name");
    const auto duration = record.number("duration");
    if (!id || !name || !duration) {
        return std::nullopt;
    }
    return QueueChainStep{*id, *name, *duration};
}

// The steps of one "steps" member: nullopt when it is not an array of well-formed steps. The value is read
// through either way, as a later member of the same name replaces it.
std::optional<QList<QueueChainStep>> readSteps(JsonReader& reader, FlatRecord& record) {
    if (reader.peek() != JsonReader::Token::array) {
        reader.skipValue();
        return std::nullopt;
    }
    reader.beginArray();
    QList<QueueChainStep> steps;
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
        auto step = stepFrom(record);
        if (!step) {
            wellFormed = false;
            continue;
        }
        steps.push_back(std::move(*step));
    }
    if (!wellFormed) {
        return std::nullopt;
    }
    return steps;
}

} // namespace

QByteArray QueueChainStep::toJson() const {
    JsonWriter w;
    writeStep(w, *this);
    return w.take();
}

std::optional<QueueChainStep> QueueChainStep::fromJson(const QByteArray& json) {
    FlatRecord record;
    return readFlatDocument(json, record) ? stepFrom(record) : std::nullopt;
}

size_t qHash(const QueueChainStep& step, size_t seed) noexcept {
    return qHashMulti(seed, step.id, step.name, step.duration);
}

double QueueChain::totalDuration() const {
    double total = 0;
    for (const QueueChainStep& step : steps) {
        total += step.duration;
    }
    return total;
}

QByteArray QueueChain::toJson() const {
    JsonWriter w;
    w.beginObject();
    w.key("id");
    w.value(id);
    w.key("name");
    w.value(name);
    w.key("steps");
    w.beginArray();
    for (const QueueChainStep& step : steps) {
        writeStep(w, step);
    }
    w.endArray();
    w.endObject();
    return w.take();
}

std::optional<QueueChain> QueueChain::fromJson(const QByteArray& json) {
    // The chain, its list and a step enclose the members of a step.
    JsonReader reader(json, 3 + JsonCoding::kMaxMemberDepth);
    reader.skipByteOrderMark();
    if (!reader.beginObject()) {
        return std::nullopt;
    }
    FlatRecord fields;
    FlatRecord stepFields;
    std::optional<QList<QueueChainStep>> chainSteps;
    std::string key;
    while (reader.nextMember(key)) {
        if (key == "steps") {
            chainSteps = readSteps(reader, stepFields);
        } else {
            reader.readFlatValue(fields.append(key));
        }
    }
    if (reader.failed() || !reader.atEnd()) {
        return std::nullopt;
    }
    const auto chainId = fields.uuid("id");
    const auto chainName = fields.string("name");
    if (!chainId || !chainName || !chainSteps) {
        return std::nullopt;
    }
    return QueueChain{*chainId, *chainName, std::move(*chainSteps)};
}

size_t qHash(const QueueChain& chain, size_t seed) noexcept {
    return qHashMulti(seed, chain.id, chain.name, chain.steps);
}
