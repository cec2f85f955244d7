#include "core/JsonCoding.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace JsonCoding {

QString uuidText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::string uuidUtf8(const QUuid& id) {
    return id.toByteArray(QUuid::WithoutBraces).toUpper().toStdString();
}

std::optional<QUuid> parseUuid(std::string_view text) {
    if (text.size() != 36) {
        return std::nullopt;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
    }
    const QUuid id = QUuid::fromString(QAnyStringView(QByteArrayView(text.data(), qsizetype(text.size()))));
    // The all-zero text is a valid UUID too, so only the shape decides.
    return id;
}

std::optional<QUuid> parseUuid(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    if (bytes.size() != text.size()) {
        return std::nullopt;
    }
    return parseUuid(std::string_view(bytes.constData(), size_t(bytes.size())));
}

std::optional<double> referenceSeconds(const QDateTime& date) {
    if (!date.isValid()) {
        return std::nullopt;
    }
    const qint64 ms = date.toMSecsSinceEpoch();
    return double(ms - kReferenceDateUnixSeconds * 1000) / 1000.0;
}

std::optional<QDateTime> dateFromReferenceSeconds(double seconds) {
    // Keep well inside what QDateTime represents (about ±292 million years in ms).
    constexpr double kLimit = 1e14;
    if (!std::isfinite(seconds) || std::fabs(seconds) > kLimit) {
        return std::nullopt;
    }
    const auto ms = qint64(std::llround(seconds * 1000.0)) + kReferenceDateUnixSeconds * 1000;
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

std::optional<qint64> integerFromDouble(double value) {
    if (!std::isfinite(value) || value != std::trunc(value)) {
        return std::nullopt;
    }
    // 2^63 is exactly representable; anything at or above it does not fit.
    if (value >= 9223372036854775808.0 || value < -9223372036854775808.0) {
        return std::nullopt;
    }
    return qint64(value);
}

} // namespace JsonCoding

void JsonWriter::separate() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back()) {
            m_out.push_back(',');
        }
        m_first.back() = false;
    }
}

void JsonWriter::appendString(std::string_view text) {
    static const char* const kHex = "0123456789abcdef";
    m_out.push_back('"');
    size_t runStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\') {
            continue;
        }
        m_out.append(text.data() + runStart, qsizetype(i - runStart));
        runStart = i + 1;
        switch (c) {
        case '"': m_out.append("\\\""); break;
        case '\\': m_out.append("\\\\"); break;
        case '\n': m_out.append("\\n"); break;
        case '\r': m_out.append("\\r"); break;
        case '\t': m_out.append("\\t"); break;
        case '\b': m_out.append("\\b"); break;
        case '\f': m_out.append("\\f"); break;
        default: {
            const char esc[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
            m_out.append(esc, 6);
        }
        }
    }
    m_out.append(text.data() + runStart, qsizetype(text.size() - runStart));
    m_out.push_back('"');
}

void JsonWriter::key(std::string_view name) {
    separate();
    appendString(name);
    m_out.push_back(':');
    m_afterKey = true;
}

void JsonWriter::value(std::string_view text) {
    separate();
    appendString(text);
}

void JsonWriter::value(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    value(std::string_view(utf8.constData(), size_t(utf8.size())));
}

void JsonWriter::value(qint64 number) {
    separate();
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, number);
    m_out.append(buf, qsizetype(res.ptr - buf));
}

void JsonWriter::value(double number) {
    separate();
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, number);
    const std::string_view text(buf, size_t(res.ptr - buf));
    m_out.append(buf, qsizetype(text.size()));
    // Keep a fraction or exponent, so the number reads back as floating point.
    if (text.find_first_of(".eE") == std::string_view::npos) {
        m_out.append(".0");
    }
}

void JsonWriter::value(bool flag) {
    separate();
    m_out.append(flag ? "true" : "false");
}

FlatRecord::Value& FlatRecord::append(std::string_view key) {
    if (m_size == m_members.size()) {
        m_members.emplace_back();
    }
    auto& member = m_members[m_size++];
    member.first.assign(key);
    member.second.type = Value::Type::null;
    return member.second;
}

const FlatRecord::Value* FlatRecord::find(std::string_view key) const {
    for (size_t i = m_size; i > 0; --i) {
        if (m_members[i - 1].first == key) {
            return &m_members[i - 1].second;
        }
    }
    return nullptr;
}

std::optional<QString> FlatRecord::string(std::string_view key) const {
    const Value* v = find(key);
    if (!v || v->type != Value::Type::string) {
        return std::nullopt;
    }
    return QString::fromUtf8(v->text.data(), qsizetype(v->text.size()));
}

std::optional<qint64> FlatRecord::integer(std::string_view key) const {
    const Value* v = find(key);
    if (!v) {
        return std::nullopt;
    }
    if (v->type == Value::Type::integer) {
        return v->integer;
    }
    if (v->type == Value::Type::floating) {
        return JsonCoding::integerFromDouble(v->floating);
    }
    return std::nullopt;
}

std::optional<double> FlatRecord::number(std::string_view key) const {
    const Value* v = find(key);
    if (!v) {
        return std::nullopt;
    }
    if (v->type == Value::Type::floating) {
        return v->floating;
    }
    if (v->type == Value::Type::integer) {
        return double(v->integer);
    }
    return std::nullopt;
}

std::optional<bool> FlatRecord::boolean(std::string_view key) const {
    const Value* v = find(key);
    if (!v || v->type != Value::Type::boolean) {
        return std::nullopt;
    }
    return v->boolean;
}

std::optional<QUuid> FlatRecord::uuid(std::string_view key) const {
    const Value* v = find(key);
    if (!v || v->type != Value::Type::string) {
        return std::nullopt;
    }
    return JsonCoding::parseUuid(std::string_view(v->text));
}

std::optional<QDateTime> FlatRecord::date(std::string_view key) const {
    const auto seconds = number(key);
    if (!seconds) {
        return std::nullopt;
    }
    return JsonCoding::dateFromReferenceSeconds(*seconds);
}

bool FlatRecord::isAbsentOrNull(std::string_view key) const {
    const Value* v = find(key);
    return !v || v->type == Value::Type::null;
}

namespace {

// SAX handler: depth 1 is the array, depth 2 a record; anything deeper is marked as a nested value.
class FlatArrayHandler {
public:
    using json = nlohmann::json;
    explicit FlatArrayHandler(const std::function<bool(const FlatRecord&)>& onRecord) : m_onRecord(onRecord) {}

    bool null() { return scalar([](FlatRecord::Value& v) { v.type = FlatRecord::Value::Type::null; }); }
    bool boolean(bool b) {
        return scalar([b](FlatRecord::Value& v) {
            v.type = FlatRecord::Value::Type::boolean;
            v.boolean = b;
        });
    }
    bool number_integer(json::number_integer_t n) {
        return scalar([n](FlatRecord::Value& v) {
            v.type = FlatRecord::Value::Type::integer;
            v.integer = n;
        });
    }
    bool number_unsigned(json::number_unsigned_t n) {
        return scalar([n](FlatRecord::Value& v) {
            if (n <= json::number_unsigned_t(std::numeric_limits<qint64>::max())) {
                v.type = FlatRecord::Value::Type::integer;
                v.integer = qint64(n);
            } else {
                v.type = FlatRecord::Value::Type::floating;
                v.floating = double(n);
            }
        });
    }
    bool number_float(json::number_float_t n, const json::string_t&) {
        return scalar([n](FlatRecord::Value& v) {
            v.type = FlatRecord::Value::Type::floating;
            v.floating = n;
        });
    }
    bool string(json::string_t& s) {
        return scalar([&s](FlatRecord::Value& v) {
            v.type = FlatRecord::Value::Type::string;
            v.text.swap(s);
        });
    }
    bool binary(json::binary_t&) { return false; }
    bool start_object(std::size_t) { return open(true); }
    bool end_object() { return close(); }
    bool start_array(std::size_t) { return open(false); }
    bool end_array() { return close(); }
    bool key(json::string_t& k) {
        if (m_depth == 2) {
            m_current = &m_record.append(k);
        }
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) { return false; }

    bool sawTopArray() const { return m_sawTopArray; }

private:
    template <class F> bool scalar(F&& set) {
        if (m_depth == 2 && m_current) {
            set(*m_current);
            m_current = nullptr;
            return true;
        }
        // A scalar at the top or as an array element is not a list of records.
        return m_depth > 2;
    }

    bool open(bool isObject) {
        if (m_depth == 0) {
            if (isObject) {
                return false;
            }
            m_sawTopArray = true;
        } else if (m_depth == 1) {
            if (!isObject) {
                return false;
            }
            m_record.clear();
        } else if (m_depth == 2 && m_current) {
            m_current->type = FlatRecord::Value::Type::nested;
            m_current = nullptr;
        }
        ++m_depth;
        return true;
    }

    bool close() {
        --m_depth;
        if (m_depth == 1) {
            return m_onRecord(m_record);
        }
        return true;
    }

    const std::function<bool(const FlatRecord&)>& m_onRecord;
    FlatRecord m_record;
    FlatRecord::Value* m_current = nullptr;
    int m_depth = 0;
    bool m_sawTopArray = false;
};

} // namespace

bool readFlatRecordArray(const QByteArray& bytes, const std::function<bool(const FlatRecord&)>& onRecord) {
    FlatArrayHandler handler(onRecord);
    const char* begin = bytes.constData();
    const bool ok = nlohmann::json::sax_parse(begin, begin + bytes.size(), &handler);
    return ok && handler.sawTopArray();
}
