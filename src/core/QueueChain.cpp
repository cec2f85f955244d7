#include "core/QueueChain.h"

#include "core/JsonCoding.h"

#include <QHashFunctions>

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

Json stepObject(const QueueChainStep& step) {
    Json object = Json::object();
    object["id"] = JsonCoding::uuidUtf8(step.id);
    object["name"] = step.name.toStdString();
    object["duration"] =
        step.duration; // a value that is not finite is written as null and will not read back
    return object;
}

const Json* member(const Json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

std::optional<QString> stringOf(const Json* value) {
    if (!value || !value->is_string()) {
        return std::nullopt;
    }
    return QString::fromStdString(value->get_ref<const std::string&>());
}

std::optional<QUuid> uuidOf(const Json* value) {
    if (!value || !value->is_string()) {
        return std::nullopt;
    }
    return JsonCoding::parseUuid(std::string_view(value->get_ref<const std::string&>()));
}

std::optional<QueueChainStep> stepFrom(const Json& object) {
    if (!object.is_object()) {
        return std::nullopt;
    }
    const auto id = uuidOf(member(object, "id"));
    const auto name = stringOf(member(object, "name"));
    const Json* duration = member(object, "duration");
    if (!id || !name || !duration || !duration->is_number()) {
        return std::nullopt;
    }
    return QueueChainStep{*id, *name, duration->get<double>()};
}

std::optional<Json> parse(const QByteArray& json) {
    Json root = Json::parse(json.constData(), json.constData() + json.size(), nullptr, false);
    if (root.is_discarded()) {
        return std::nullopt;
    }
    return root;
}

QByteArray bytes(const Json& json) {
    return QByteArray::fromStdString(json.dump());
}

} // namespace

QByteArray QueueChainStep::toJson() const {
    return bytes(stepObject(*this));
}

std::optional<QueueChainStep> QueueChainStep::fromJson(const QByteArray& json) {
    const auto root = parse(json);
    return root ? stepFrom(*root) : std::nullopt;
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
    Json object = Json::object();
    object["id"] = JsonCoding::uuidUtf8(id);
    object["name"] = name.toStdString();
    Json list = Json::array();
    for (const QueueChainStep& step : steps) {
        list.push_back(stepObject(step));
    }
    object["steps"] = std::move(list);
    return bytes(object);
}

std::optional<QueueChain> QueueChain::fromJson(const QByteArray& json) {
    const auto root = parse(json);
    if (!root || !root->is_object()) {
        return std::nullopt;
    }
    const auto id = uuidOf(member(*root, "id"));
    const auto name = stringOf(member(*root, "name"));
    const Json* list = member(*root, "steps");
    if (!id || !name || !list || !list->is_array()) {
        return std::nullopt;
    }
    QueueChain chain{*id, *name, {}};
    for (const Json& entry : *list) {
        auto step = stepFrom(entry);
        if (!step) {
            return std::nullopt;
        }
        chain.steps.push_back(std::move(*step));
    }
    return chain;
}

size_t qHash(const QueueChain& chain, size_t seed) noexcept {
    return qHashMulti(seed, chain.id, chain.name, chain.steps);
}
