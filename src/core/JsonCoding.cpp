#include "core/JsonCoding.h"

#include "core/Saturating.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <cmath>
#include <limits>

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Upper-case 8-4-4-4-12 text into exactly 36 characters at `out`.
void writeUuid(const QUuid& id, char* out) {
    static const char* const kHex = "0123456789ABCDEF";
    auto hex = [&out](quint64 value, int digits) {
        for (int i = digits - 1; i >= 0; --i) {
            out[i] = kHex[value & 0xF];
            value >>= 4;
        }
        out += digits;
    };
    hex(id.data1, 8);
    *out++ = '-';
    hex(id.data2, 4);
    *out++ = '-';
    hex(id.data3, 4);
    *out++ = '-';
    hex((quint64(id.data4[0]) << 8) | id.data4[1], 4);
    *out++ = '-';
    quint64 node = 0;
    for (int i = 2; i < 8; ++i) {
        node = (node << 8) | id.data4[i];
    }
    hex(node, 12);
}

} // namespace

namespace JsonCoding {

QString uuidText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::string uuidUtf8(const QUuid& id) {
    std::string text(36, '-');
    writeUuid(id, text.data());
    return text;
}

std::optional<QUuid> parseUuid(std::string_view text) {
    if (text.size() != 36) {
        return std::nullopt;
    }
    char bytes[16];
    size_t at = 0;
    for (int i = 0; i < 16; ++i) {
        if (at == 8 || at == 13 || at == 18 || at == 23) {
            if (text[at] != '-') {
                return std::nullopt;
            }
            ++at;
        }
        const int high = hexDigit(text[at]);
        const int low = hexDigit(text[at + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes[i] = char((high << 4) | low);
        at += 2;
    }
    // The all-zero text is a valid UUID too, so only the shape decides.
    return QUuid::fromRfc4122(QByteArrayView(bytes, 16));
}

std::optional<QUuid> parseUuid(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    if (bytes.size() != text.size()) {
        return std::nullopt;
    }
    return parseUuid(std::string_view(bytes.constData(), size_t(bytes.size())));
}

namespace {
// About ±3,000 years around 2001. Within it a date survives writing and reading back to the millisecond;
// far beyond it a double no longer holds whole milliseconds exactly. Writing and reading share the limit,
// so nothing is written that could not be read back.
constexpr double kDateLimitSeconds = 1e11;
} // namespace

std::optional<qint64> referenceMilliseconds(const QDateTime& date) {
    if (!date.isValid()) {
        return std::nullopt;
    }
    const qint64 ms = saturatingAdd(date.toMSecsSinceEpoch(), -kReferenceDateUnixSeconds * 1000);
    if (std::fabs(double(ms) / 1000.0) > kDateLimitSeconds) {
        return std::nullopt;
    }
    return ms;
}

std::optional<double> referenceSeconds(const QDateTime& date) {
    const auto ms = referenceMilliseconds(date);
    if (!ms) {
        return std::nullopt;
    }
    return double(*ms) / 1000.0;
}

std::optional<QDateTime> dateFromReferenceSeconds(double seconds) {
    if (!std::isfinite(seconds) || std::fabs(seconds) > kDateLimitSeconds) {
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

char* JsonWriter::room(qsizetype n) {
    if (m_size + n > m_out.size()) {
        // Growing leaves the new bytes uninitialised, so untouched capacity costs no memory pages.
        m_out.resize(std::max(m_out.size() * 2, m_size + n + 256));
    }
    return m_out.data() + m_size;
}

void JsonWriter::put(const char* bytes, qsizetype n) {
    std::memcpy(room(n), bytes, size_t(n));
    m_size += n;
}

void JsonWriter::reserve(qsizetype bytes) {
    if (bytes > m_out.size()) {
        m_out.resize(bytes);
    }
}

QByteArray JsonWriter::take() {
    m_out.truncate(m_size);
    m_size = 0;
    m_first.clear();
    m_afterKey = false;
    return std::exchange(m_out, {});
}

void JsonWriter::separate() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back()) {
            put(',');
        }
        m_first.back() = false;
    }
}

void JsonWriter::open(char c) {
    separate();
    put(c);
    m_first.push_back(true);
}

void JsonWriter::close(char c) {
    put(c);
    m_first.pop_back();
}

void JsonWriter::appendString(std::string_view text) {
    static const char* const kHex = "0123456789abcdef";
    // Worst case every byte becomes a six-byte escape, plus the quotes.
    char* const start = room(qsizetype(text.size()) * 6 + 2);
    char* o = start;
    *o++ = '"';
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c != '"' && c != '\\') {
            *o++ = ch;
            continue;
        }
        *o++ = '\\';
        switch (c) {
        case '"':
            *o++ = '"';
            break;
        case '\\':
            *o++ = '\\';
            break;
        case '\n':
            *o++ = 'n';
            break;
        case '\r':
            *o++ = 'r';
            break;
        case '\t':
            *o++ = 't';
            break;
        case '\b':
            *o++ = 'b';
            break;
        case '\f':
            *o++ = 'f';
            break;
        default:
            *o++ = 'u';
            *o++ = '0';
            *o++ = '0';
            *o++ = kHex[c >> 4];
            *o++ = kHex[c & 0xF];
        }
    }
    *o++ = '"';
    m_size += o - start;
}

void JsonWriter::key(std::string_view name) {
    separate();
    appendString(name);
    put(':');
    m_afterKey = true;
}

void JsonWriter::value(const QUuid& id) {
    separate();
    char text[38];
    text[0] = '"';
    writeUuid(id, text + 1);
    text[37] = '"';
    put(text, 38);
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
    put(buf, qsizetype(res.ptr - buf));
}

void JsonWriter::value(double number) {
    separate();
    char buf[40];
    auto res = std::to_chars(buf, buf + sizeof buf - 2, number);
    // Keep a fraction or exponent, so the number reads back as floating point.
    if (std::string_view(buf, size_t(res.ptr - buf)).find_first_of(".eEn") == std::string_view::npos) {
        *res.ptr++ = '.';
        *res.ptr++ = '0';
    }
    put(buf, qsizetype(res.ptr - buf));
}

void JsonWriter::millisecondsAsSeconds(qint64 milliseconds) {
    separate();
    // Exact decimal text of ms / 1000: it reads back as the same double that dividing gives, and is much
    // cheaper to make than the shortest form of that double.
    char buf[32];
    char* o = buf;
    quint64 magnitude = milliseconds < 0 ? quint64(0) - quint64(milliseconds) : quint64(milliseconds);
    if (milliseconds < 0) {
        *o++ = '-';
    }
    o = std::to_chars(o, buf + sizeof buf, magnitude / 1000).ptr;
    *o++ = '.';
    unsigned fraction = unsigned(magnitude % 1000);
    const char digits[3] = {char('0' + fraction / 100), char('0' + fraction / 10 % 10),
                            char('0' + fraction % 10)};
    int kept = 3;
    while (kept > 1 && digits[kept - 1] == '0') {
        --kept;
    }
    std::memcpy(o, digits, size_t(kept));
    o += kept;
    put(buf, qsizetype(o - buf));
}

void JsonWriter::value(bool flag) {
    separate();
    if (flag) {
        put("true", 4);
    } else {
        put("false", 5);
    }
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

const std::string* FlatRecord::text(std::string_view key) const {
    const Value* v = find(key);
    if (!v || v->type != Value::Type::string) {
        return nullptr;
    }
    return &v->text;
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

// A strict JSON reader for exactly one shape: a top-level array of objects. Members of the objects are read
// as scalars; a nested array or object is checked and skipped. Written by hand because the lists can hold
// a million timers and a general parser spends most of its time on bookkeeping we do not need.
class FlatArrayParser {
public:
    FlatArrayParser(const QByteArray& bytes, const std::function<bool(const FlatRecord&)>& onRecord)
        : m_at(bytes.constData()), m_end(bytes.constData() + bytes.size()), m_onRecord(onRecord) {}

    bool parse() {
        skipSpace();
        if (!take('[')) {
            return false;
        }
        skipSpace();
        if (!take(']')) {
            for (;;) {
                skipSpace();
                if (!parseRecord() || !m_onRecord(m_record)) {
                    return false;
                }
                skipSpace();
                if (take(']')) {
                    break;
                }
                if (!take(',')) {
                    return false;
                }
            }
        }
        skipSpace();
        return m_at == m_end;
    }

private:
    using Value = FlatRecord::Value;
    // Nested member values deeper than this are refused rather than followed.
    static constexpr int kMaxNesting = 256;

    bool parseRecord() {
        if (!take('{')) {
            return false;
        }
        m_record.clear();
        skipSpace();
        if (take('}')) {
            return true;
        }
        for (;;) {
            skipSpace();
            if (!parseString(m_key)) {
                return false;
            }
            skipSpace();
            if (!take(':')) {
                return false;
            }
            skipSpace();
            if (!parseMemberValue(m_record.append(m_key))) {
                return false;
            }
            skipSpace();
            if (take('}')) {
                return true;
            }
            if (!take(',')) {
                return false;
            }
        }
    }

    bool parseMemberValue(Value& v) {
        if (m_at == m_end) {
            return false;
        }
        switch (*m_at) {
        case '"':
            v.type = Value::Type::string;
            return parseString(v.text);
        case '{':
        case '[':
            v.type = Value::Type::nested;
            return skipValue(1);
        case 't':
            v.type = Value::Type::boolean;
            v.boolean = true;
            return literal("true");
        case 'f':
            v.type = Value::Type::boolean;
            v.boolean = false;
            return literal("false");
        case 'n':
            v.type = Value::Type::null;
            return literal("null");
        default:
            return parseNumber(v);
        }
    }

    // Any JSON value, checked and dropped.
    bool skipValue(int depth) {
        if (depth > kMaxNesting || m_at == m_end) {
            return false;
        }
        const char open = *m_at;
        if (open != '{' && open != '[') {
            return parseMemberValue(m_scratch);
        }
        ++m_at;
        const char close = open == '{' ? '}' : ']';
        skipSpace();
        if (take(close)) {
            return true;
        }
        for (;;) {
            skipSpace();
            if (open == '{') {
                if (!parseString(m_scratch.text)) {
                    return false;
                }
                skipSpace();
                if (!take(':')) {
                    return false;
                }
                skipSpace();
            }
            if (m_at != m_end && (*m_at == '{' || *m_at == '[')) {
                if (!skipValue(depth + 1)) {
                    return false;
                }
            } else if (!parseMemberValue(m_scratch)) {
                return false;
            }
            skipSpace();
            if (take(close)) {
                return true;
            }
            if (!take(',')) {
                return false;
            }
        }
    }

    bool parseNumber(Value& v) {
        const char* start = m_at;
        bool integral = true;
        take('-');
        if (take('0')) {
            // no leading zeros
        } else if (!skipDigits()) {
            return false;
        }
        if (take('.')) {
            integral = false;
            if (!skipDigits()) {
                return false;
            }
        }
        if (m_at != m_end && (*m_at == 'e' || *m_at == 'E')) {
            integral = false;
            ++m_at;
            if (!take('+')) {
                take('-');
            }
            if (!skipDigits()) {
                return false;
            }
        }
        if (integral) {
            qint64 n = 0;
            const auto [ptr, ec] = std::from_chars(start, m_at, n);
            if (ec == std::errc() && ptr == m_at) {
                v.type = Value::Type::integer;
                v.integer = n;
                return true;
            }
            // Too large for 64 bits: kept as a floating value, which no integer field accepts.
        }
        double d = 0;
        const auto [ptr, ec] = std::from_chars(start, m_at, d);
        if (ec != std::errc() || ptr != m_at) {
            return false; // beyond what a double holds, as the preferences' own reader also refuses
        }
        v.type = Value::Type::floating;
        v.floating = d;
        return true;
    }

    bool skipDigits() {
        const char* start = m_at;
        while (m_at != m_end && *m_at >= '0' && *m_at <= '9') {
            ++m_at;
        }
        return m_at != start;
    }

    // A JSON string into UTF-8 `out`: escapes resolved, raw bytes checked to be well-formed UTF-8.
    bool parseString(std::string& out) {
        if (!take('"')) {
            return false;
        }
        out.clear();
        for (;;) {
            const char* run = m_at;
            while (m_at != m_end) {
                const auto c = static_cast<unsigned char>(*m_at);
                if (c == '"' || c == '\\' || c < 0x20 || c >= 0x80) {
                    break;
                }
                ++m_at;
            }
            out.append(run, size_t(m_at - run));
            if (m_at == m_end) {
                return false;
            }
            const auto c = static_cast<unsigned char>(*m_at);
            if (c == '"') {
                ++m_at;
                return true;
            }
            if (c < 0x20) {
                return false; // control characters must be escaped
            }
            if (c >= 0x80) {
                if (!takeUtf8Sequence(out)) {
                    return false;
                }
                continue;
            }
            ++m_at; // the backslash
            if (m_at == m_end) {
                return false;
            }
            const char e = *m_at++;
            switch (e) {
            case '"':
                out.push_back('"');
                break;
            case '\\':
                out.push_back('\\');
                break;
            case '/':
                out.push_back('/');
                break;
            case 'b':
                out.push_back('\b');
                break;
            case 'f':
                out.push_back('\f');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'u': {
                char32_t cp = 0;
                if (!hex4(cp)) {
                    return false;
                }
                if (cp >= 0xDC00 && cp <= 0xDFFF) {
                    return false; // a low surrogate without its high half
                }
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    char32_t low = 0;
                    if (!take('\\') || !take('u') || !hex4(low) || low < 0xDC00 || low > 0xDFFF) {
                        return false;
                    }
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8(out, cp);
                break;
            }
            default:
                return false;
            }
        }
    }

    bool hex4(char32_t& out) {
        if (m_end - m_at < 4) {
            return false;
        }
        out = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexDigit(*m_at++);
            if (digit < 0) {
                return false;
            }
            out = (out << 4) | char32_t(digit);
        }
        return true;
    }

    // One multi-byte UTF-8 sequence: no overlong forms, no surrogates, nothing above U+10FFFF.
    bool takeUtf8Sequence(std::string& out) {
        const auto* p = reinterpret_cast<const unsigned char*>(m_at);
        const auto* end = reinterpret_cast<const unsigned char*>(m_end);
        const unsigned char lead = p[0];
        int length = 0;
        unsigned char min2 = 0x80, max2 = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) {
                min2 = 0xA0;
            } else if (lead == 0xED) {
                max2 = 0x9F;
            }
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) {
                min2 = 0x90;
            } else if (lead == 0xF4) {
                max2 = 0x8F;
            }
        } else {
            return false;
        }
        if (end - p < length || p[1] < min2 || p[1] > max2) {
            return false;
        }
        for (int i = 2; i < length; ++i) {
            if (p[i] < 0x80 || p[i] > 0xBF) {
                return false;
            }
        }
        out.append(m_at, size_t(length));
        m_at += length;
        return true;
    }

    static void appendUtf8(std::string& out, char32_t cp) {
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | (cp >> 6)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | (cp >> 12)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (cp >> 18)));
            out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }

    bool literal(std::string_view word) {
        if (m_end - m_at < qsizetype(word.size()) || std::memcmp(m_at, word.data(), word.size()) != 0) {
            return false;
        }
        m_at += word.size();
        return true;
    }

    void skipSpace() {
        while (m_at != m_end && (*m_at == ' ' || *m_at == '\n' || *m_at == '\r' || *m_at == '\t')) {
            ++m_at;
        }
    }

    bool take(char c) {
        if (m_at != m_end && *m_at == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    const char* m_at;
    const char* m_end;
    const std::function<bool(const FlatRecord&)>& m_onRecord;
    FlatRecord m_record;
    std::string m_key;
    Value m_scratch;
};

} // namespace

bool readFlatRecordArray(const QByteArray& bytes, const std::function<bool(const FlatRecord&)>& onRecord) {
    return FlatArrayParser(bytes, onRecord).parse();
}
