#include "platform/JsonCodec.h"

#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The value of each hex digit, -1 for any other byte: a table, as UUIDs are read a million at a time.
constexpr std::array<signed char, 256> kHexValue = [] {
    std::array<signed char, 256> table{};
    table.fill(-1);
    for (int i = 0; i < 10; ++i) {
        table[size_t('0' + i)] = static_cast<signed char>(i);
    }
    for (int i = 0; i < 6; ++i) {
        table[size_t('a' + i)] = static_cast<signed char>(10 + i);
        table[size_t('A' + i)] = static_cast<signed char>(10 + i);
    }
    return table;
}();

int hexDigit(char c) {
    return kHexValue[static_cast<unsigned char>(c)];
}

// Whether any of eight bytes ends a plain run of string text: a quote, a backslash, a control character or
// a byte beyond ASCII. Exact about whether one is there, not about which.
bool endsPlainRun(quint64 word) {
    constexpr quint64 kOnes = 0x0101010101010101ULL;
    constexpr quint64 kHigh = 0x8080808080808080ULL;
    const auto hasZero = [](quint64 v) { return (v - kOnes) & ~v & kHigh; };
    const quint64 below0x20 = (word - kOnes * 0x20) & ~word & kHigh;
    return ((word & kHigh) | below0x20 | hasZero(word ^ (kOnes * '"')) | hasZero(word ^ (kOnes * '\\'))) != 0;
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

// About ±3,000 years around 2001. Within it a date survives writing and reading back to the millisecond;
// far beyond it a double no longer holds whole milliseconds exactly. Writing and reading share the limit,
// so nothing is written that could not be read back.
constexpr double kDateLimitSeconds = 1e11;

qint64 saturatingSubtract(qint64 a, qint64 b) {
    qint64 out = 0;
    if (__builtin_sub_overflow(a, b, &out)) {
        return b < 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    }
    return out;
}

// Base64 with padding and nothing else (no spaces, no line breaks); none for any other text.
std::optional<QByteArray> decodeCanonicalBase64(const char* s, const char* e) {
    static const auto table = [] {
        std::array<unsigned char, 256> t;
        t.fill(0x80);
        for (unsigned char i = 0; i < 64; ++i) {
            t[static_cast<unsigned char>(kBase64Alphabet[i])] = i;
        }
        return t;
    }();
    const qsizetype length = e - s;
    if (length % 4 != 0) {
        return std::nullopt;
    }
    const qsizetype padding = length == 0 ? 0 : (e[-1] == '=') + (e[-1] == '=' && e[-2] == '=');
    QByteArray out(length / 4 * 3 - padding, Qt::Uninitialized);
    char* o = out.data();
    const auto* in = reinterpret_cast<const unsigned char*>(s);
    const qsizetype quads = length / 4 - (padding ? 1 : 0);
    for (qsizetype q = 0; q < quads; ++q, in += 4) {
        const unsigned a = table[in[0]], b = table[in[1]], c = table[in[2]], d = table[in[3]];
        if ((a | b | c | d) & 0x80) {
            return std::nullopt;
        }
        const unsigned v = (a << 18) | (b << 12) | (c << 6) | d;
        o[0] = char(v >> 16);
        o[1] = char((v >> 8) & 0xFF);
        o[2] = char(v & 0xFF);
        o += 3;
    }
    if (padding) {
        const unsigned a = table[in[0]], b = table[in[1]], c = padding == 1 ? table[in[2]] : 0u;
        if ((a | b | c) & 0x80) {
            return std::nullopt;
        }
        const unsigned v = (a << 18) | (b << 12) | (c << 6);
        *o++ = char(v >> 16);
        if (padding == 1) {
            *o = char((v >> 8) & 0xFF);
        }
    }
    return out;
}

// Base64 text that is not canonical (hand-edited, damaged or cut short), decoded group by group. White space
// is passed over, and a run of '=' (with white space) that ends the text is its padding. A character of
// several UTF-8 bytes counts once. A group of four signs gives its three bytes; a group holding any other
// sign (a changed one, a '=' before the end) gives three `fill` bytes instead, so the bytes after it keep
// their places and the damage reaches no further. A last group of fewer signs, as a cut leaves, gives the
// whole bytes its signs hold.
struct LooseBase64 {
    QByteArray bytes;
    // Every sign was read into `bytes`: writing them gives this text back, bar white space, padding and the
    // spare bits of a last group.
    bool exact = true;
};

LooseBase64 decodeLooseBase64(std::string_view text, char fill) {
    static const auto table = [] {
        std::array<unsigned char, 256> t;
        t.fill(0x80);
        for (unsigned char i = 0; i < 64; ++i) {
            t[static_cast<unsigned char>(kBase64Alphabet[i])] = i;
        }
        for (const char space : {' ', '\n', '\r', '\t', '\f', '\v'}) {
            t[static_cast<unsigned char>(space)] = 0x40;
        }
        for (int c = 0x80; c < 0xC0; ++c) {
            t[size_t(c)] = 0x40; // a UTF-8 continuation byte is part of the character before it
        }
        return t;
    }();
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == '=' || table[static_cast<unsigned char>(text[end - 1])] == 0x40)) {
        --end;
    }
    LooseBase64 out;
    out.bytes.reserve(qsizetype(end / 4 * 3 + 3));
    quint32 group = 0;
    int signs = 0;
    bool spoiled = false;
    for (std::size_t i = 0; i < end; ++i) {
        unsigned value = table[static_cast<unsigned char>(text[i])];
        if (value == 0x40) {
            continue;
        }
        if (value == 0x80) {
            spoiled = true;
            value = 0;
        }
        group = (group << 6) | value;
        if (++signs == 4) {
            const char bytes[3] = {spoiled ? fill : char(group >> 16),
                                   spoiled ? fill : char((group >> 8) & 0xFF),
                                   spoiled ? fill : char(group & 0xFF)};
            out.bytes.append(bytes, 3);
            out.exact = out.exact && !spoiled;
            group = 0;
            signs = 0;
            spoiled = false;
        }
    }
    if (signs > 0) {
        // Its spare bits count for nothing, as in canonical text; a lone sign holds no whole byte.
        const int whole = signs * 6 / 8;
        group >>= signs * 6 - whole * 8;
        for (int i = whole - 1; i >= 0; --i) {
            out.bytes.append(spoiled ? fill : char((group >> (8 * i)) & 0xFF));
        }
        out.exact = out.exact && !spoiled && whole > 0;
    }
    return out;
}

// A data object's text as the value it stands for: its bytes where it decodes exactly, else the object as
// it is (its one member, the data tag with that text), so that writing it back gives the same text and no
// other bytes. A stored list's loader reads its records from such text as far as it reads.
QVariant dataOrText(const std::string& text) {
    LooseBase64 decoded = decodeLooseBase64(text, '\0');
    if (decoded.exact) {
        return std::move(decoded.bytes);
    }
    return QVariantMap{{JsonCodec::textFromUtf8(JsonCodec::kDataTag), JsonCodec::textFromUtf8(text)}};
}

void appendUtf8(std::string& out, char32_t cp) {
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

// A decimal number by its value alone: its significant digits and the power of ten of the first, so
// "2.50", "25e-1" and "2.5" are all {"25", 0}. Zero has no digits and no sign.
struct Decimal {
    bool negative = false;
    std::string digits;
    qint64 power = 0;
    bool operator==(const Decimal&) const = default;
};

// The value of well-formed number text (JSON's, or what std::to_chars writes).
Decimal decimalOf(const char* s, const char* e) {
    Decimal out;
    out.negative = s != e && *s == '-';
    if (out.negative) {
        ++s;
    }
    std::string mantissa;
    qint64 integerDigits = 0;
    for (; s != e && *s >= '0' && *s <= '9'; ++s) {
        mantissa.push_back(*s);
        ++integerDigits;
    }
    if (s != e && *s == '.') {
        for (++s; s != e && *s >= '0' && *s <= '9'; ++s) {
            mantissa.push_back(*s);
        }
    }
    qint64 exponent = 0;
    if (s != e && (*s == 'e' || *s == 'E')) {
        ++s;
        const bool negative = s != e && *s == '-';
        if (s != e && (*s == '-' || *s == '+')) {
            ++s;
        }
        for (; s != e; ++s) {
            exponent = std::min<qint64>(exponent * 10 + (*s - '0'), qint64(1) << 40);
        }
        if (negative) {
            exponent = -exponent;
        }
    }
    const size_t first = mantissa.find_first_not_of('0');
    if (first == std::string::npos) {
        return {};
    }
    const size_t last = mantissa.find_last_not_of('0');
    out.digits = mantissa.substr(first, last - first + 1);
    out.power = integerDigits - 1 - qint64(first) + exponent;
    return out;
}

// Whether a number the double type cannot hold lies below its range (it then reads as zero) rather than
// above it: the power of ten of its first significant digit is negative.
bool underflows(const char* s, const char* e) {
    const Decimal number = decimalOf(s, e);
    return !number.digits.empty() && number.power < 0;
}

// Whether `value`, read from the text [s, e), is written back as the same number (JsonWriter writes the
// shortest text that reads as the same double).
bool writesBackAs(const char* s, const char* e, double value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return written.ec == std::errc() && decimalOf(s, e) == decimalOf(text, written.ptr);
}

} // namespace

namespace JsonCodec {

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
    for (char& byte : bytes) {
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
        byte = char((high << 4) | low);
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

std::optional<qint64> referenceMilliseconds(const QDateTime& date) {
    if (!date.isValid()) {
        return std::nullopt;
    }
    const qint64 ms = saturatingSubtract(date.toMSecsSinceEpoch(), kReferenceDateUnixSeconds * 1000);
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

QString textFromUtf8(std::string_view utf8) {
    if (utf8.empty() || utf8.front() != '\xEF') {
        return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    }
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    qsizetype marks = 0;
    while (utf8.substr(size_t(marks) * kMark.size(), kMark.size()) == kMark) {
        ++marks;
    }
    const std::string_view rest = utf8.substr(size_t(marks) * kMark.size());
    QString text = QString::fromUtf8(rest.data(), qsizetype(rest.size()));
    if (marks > 0) {
        text.prepend(QString(marks, QChar(0xFEFF)));
    }
    return text;
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

} // namespace JsonCodec

// ---- writing

JsonWriter::JsonWriter(Sink sink) : m_sink(std::move(sink)) {
    // The sink gets the output in pieces of about this size.
    reserve(256 * 1024);
}

char* JsonWriter::room(qsizetype n) {
    if (m_size + n > m_out.size()) {
        if (m_sink) {
            drain();
        }
        if (m_size + n > m_out.size()) {
            // Growing leaves the new bytes uninitialised, so untouched capacity costs no memory pages.
            m_out.resize(std::max(m_out.size() * 2, m_size + n + 256));
        }
    }
    return m_out.data() + m_size;
}

void JsonWriter::drain() {
    if (m_size > 0 && !m_sinkFailed && !m_sink(m_out.constData(), m_size)) {
        m_sinkFailed = true;
    }
    m_size = 0;
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

bool JsonWriter::finish() {
    if (m_sink) {
        drain();
    }
    m_first.clear();
    m_afterKey = false;
    return !m_sinkFailed;
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

void JsonWriter::key(QStringView name) {
    const QByteArray utf8 = name.toUtf8();
    key(std::string_view(utf8.constData(), size_t(utf8.size())));
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
    if (!std::isfinite(number)) {
        nullValue();
        return;
    }
    separate();
    char buf[40];
    auto res = std::to_chars(buf, buf + sizeof buf - 2, number);
    // Keep a fraction or exponent, so the number reads back as floating point.
    if (std::string_view(buf, size_t(res.ptr - buf)).find_first_of(".eE") == std::string_view::npos) {
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
    const quint64 magnitude = milliseconds < 0 ? quint64(0) - quint64(milliseconds) : quint64(milliseconds);
    if (milliseconds < 0) {
        *o++ = '-';
    }
    o = std::to_chars(o, buf + sizeof buf, magnitude / 1000).ptr;
    *o++ = '.';
    const auto fraction = unsigned(magnitude % 1000);
    const char digits[3] = {char('0' + fraction / 100), char('0' + fraction / 10 % 10),
                            char('0' + fraction % 10)};
    size_t kept = 3;
    while (kept > 1 && digits[kept - 1] == '0') {
        --kept;
    }
    std::memcpy(o, digits, kept);
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

void JsonWriter::base64Value(QByteArrayView data) {
    separate();
    put('"');
    // In slices, so a large value never exists a second time as one block of text.
    constexpr qsizetype kSliceIn = 3 * 16 * 1024; // a multiple of 3: no padding between slices
    const auto* in = reinterpret_cast<const unsigned char*>(data.data());
    qsizetype left = data.size();
    while (left > 0) {
        const qsizetype n = std::min(kSliceIn, left);
        char* const start = room((n + 2) / 3 * 4);
        char* o = start;
        qsizetype i = 0;
        for (; i + 3 <= n; i += 3) {
            const unsigned v = (unsigned(in[i]) << 16) | (unsigned(in[i + 1]) << 8) | unsigned(in[i + 2]);
            o[0] = kBase64Alphabet[v >> 18];
            o[1] = kBase64Alphabet[(v >> 12) & 0x3F];
            o[2] = kBase64Alphabet[(v >> 6) & 0x3F];
            o[3] = kBase64Alphabet[v & 0x3F];
            o += 4;
        }
        if (i < n) { // the last one or two bytes of the value
            const unsigned v = (unsigned(in[i]) << 16) | (i + 1 < n ? unsigned(in[i + 1]) << 8 : 0u);
            o[0] = kBase64Alphabet[v >> 18];
            o[1] = kBase64Alphabet[(v >> 12) & 0x3F];
            o[2] = i + 1 < n ? kBase64Alphabet[(v >> 6) & 0x3F] : '=';
            o[3] = '=';
            o += 4;
        }
        m_size += o - start;
        in += n;
        left -= n;
    }
    put('"');
}

void JsonWriter::value(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool:
        value(v.toBool());
        return;
    case QMetaType::LongLong:
        value(v.toLongLong());
        return;
    case QMetaType::Double:
        value(v.toDouble());
        return;
    case QMetaType::QString:
        value(v.toString());
        return;
    case QMetaType::QStringList:
        beginArray();
        for (const QString& s : v.toStringList()) {
            value(s);
        }
        endArray();
        return;
    case QMetaType::QByteArray:
        beginObject();
        key(JsonCodec::kDataTag);
        base64Value(v.toByteArray());
        endObject();
        return;
    case QMetaType::QVariantMap: {
        beginObject();
        const QVariantMap map = v.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) {
            key(it.key());
            value(it.value());
        }
        endObject();
        return;
    }
    case QMetaType::QVariantList:
        beginArray();
        for (const QVariant& element : v.toList()) {
            value(element);
        }
        endArray();
        return;
    default:
        nullValue();
        return;
    }
}

// ---- records

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
    return JsonCodec::textFromUtf8(v->text);
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
        return JsonCodec::integerFromDouble(v->floating);
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
    return JsonCodec::parseUuid(std::string_view(v->text));
}

std::optional<QDateTime> FlatRecord::date(std::string_view key) const {
    const auto seconds = number(key);
    if (!seconds) {
        return std::nullopt;
    }
    return JsonCodec::dateFromReferenceSeconds(*seconds);
}

bool FlatRecord::isAbsentOrNull(std::string_view key) const {
    const Value* v = find(key);
    return !v || v->type == Value::Type::null;
}

// ---- reading

JsonReader::JsonReader(QByteArrayView bytes, int maxDepth)
    : m_at(bytes.data()), m_end(bytes.data() + bytes.size()), m_maxDepth(maxDepth) {}

void JsonReader::skipByteOrderMark() {
    if (m_end - m_at >= 3 && std::memcmp(m_at, "\xEF\xBB\xBF", 3) == 0) {
        m_at += 3;
    }
}

JsonReader::Token JsonReader::peek() {
    if (m_failed) {
        return Token::invalid;
    }
    skipSpace();
    if (m_at == m_end) {
        return Token::end;
    }
    switch (*m_at) {
    case '{':
        return Token::object;
    case '[':
        return Token::array;
    case '"':
        return Token::string;
    case 't':
    case 'f':
        return Token::boolean;
    case 'n':
        return Token::null;
    case '-':
        return Token::number;
    default:
        return *m_at >= '0' && *m_at <= '9' ? Token::number : Token::invalid;
    }
}

bool JsonReader::open(char c) {
    skipSpace();
    if (m_failed || !take(c) || ++m_depth > m_maxDepth) {
        return fail();
    }
    m_justOpened = true;
    return true;
}

bool JsonReader::beginObject() {
    return open('{');
}

bool JsonReader::beginArray() {
    return open('[');
}

bool JsonReader::nextMember(std::string& key) {
    if (m_failed) {
        return false;
    }
    skipSpace();
    if (take('}')) {
        m_justOpened = false;
        --m_depth;
        return false;
    }
    if (!m_justOpened) {
        if (!take(',')) {
            return fail();
        }
        skipSpace();
    }
    m_justOpened = false;
    if (!readStringBody(key)) {
        return false;
    }
    skipSpace();
    return take(':') || fail();
}

bool JsonReader::nextElement() {
    if (m_failed) {
        return false;
    }
    skipSpace();
    if (take(']')) {
        m_justOpened = false;
        --m_depth;
        return false;
    }
    if (!m_justOpened && !take(',')) {
        return fail();
    }
    m_justOpened = false;
    return true;
}

bool JsonReader::readString(std::string& out) {
    skipSpace();
    return !m_failed && readStringBody(out);
}

bool JsonReader::readBool(bool& out) {
    skipSpace();
    if (m_at != m_end && *m_at == 't') {
        out = true;
        return literal("true");
    }
    out = false;
    return literal("false");
}

bool JsonReader::readNull() {
    skipSpace();
    return literal("null");
}

bool JsonReader::readNumber(FlatRecord::Value& v) {
    skipSpace();
    return !m_failed && readNumberBody(v);
}

bool JsonReader::readNumberBody(FlatRecord::Value& v) {
    const char* start = m_at;
    bool integral = true;
    take('-');
    if (take('0')) {
        // no leading zeros
    } else if (!skipDigits()) {
        return fail();
    }
    if (take('.')) {
        integral = false;
        if (!skipDigits()) {
            return fail();
        }
    }
    if (m_at != m_end && (*m_at == 'e' || *m_at == 'E')) {
        integral = false;
        ++m_at;
        if (!take('+')) {
            take('-');
        }
        if (!skipDigits()) {
            return fail();
        }
    }
    if (integral) {
        qint64 n = 0;
        const auto [ptr, ec] = std::from_chars(start, m_at, n);
        if (ec == std::errc() && ptr == m_at) {
            v.type = FlatRecord::Value::Type::integer;
            v.integer = n;
            return true;
        }
        // Too large for 64 bits: kept as a floating value, which no integer field accepts.
    }
    double d = 0;
    const auto [ptr, ec] = std::from_chars(start, m_at, d);
    if (ec == std::errc::result_out_of_range && underflows(start, m_at)) {
        d = *start == '-' ? -0.0 : 0.0;
    } else if (ec != std::errc() || ptr != m_at) {
        return fail(); // beyond what a double holds
    }
    if (m_exactNumbersOnly && !writesBackAs(start, m_at, d)) {
        return fail();
    }
    v.type = FlatRecord::Value::Type::floating;
    v.floating = d;
    return true;
}

// A JSON string into UTF-8 `out`: escapes resolved, raw bytes checked to be well-formed UTF-8.
bool JsonReader::readStringBody(std::string& out) {
    if (!take('"')) {
        return fail();
    }
    out.clear();
    for (;;) {
        const char* run = m_at;
        // Eight bytes at a time while they are plain text, then byte by byte to the one that is not.
        quint64 word = 0;
        while (m_end - m_at >= 8 && (std::memcpy(&word, m_at, 8), !endsPlainRun(word))) {
            m_at += 8;
        }
        while (m_at != m_end) {
            const auto c = static_cast<unsigned char>(*m_at);
            if (c == '"' || c == '\\' || c < 0x20 || c >= 0x80) {
                break;
            }
            ++m_at;
        }
        out.append(run, size_t(m_at - run));
        if (m_at == m_end) {
            return fail();
        }
        const auto c = static_cast<unsigned char>(*m_at);
        if (c == '"') {
            ++m_at;
            return true;
        }
        if (c < 0x20) {
            return fail(); // control characters must be escaped
        }
        if (c >= 0x80) {
            if (!takeUtf8Sequence(out)) {
                return fail();
            }
            continue;
        }
        ++m_at; // the backslash
        if (m_at == m_end) {
            return fail();
        }
        switch (*m_at++) {
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
                return fail();
            }
            if (cp >= 0xDC00 && cp <= 0xDFFF) {
                return fail(); // a low surrogate without its high half
            }
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                char32_t low = 0;
                if (!take('\\') || !take('u') || !hex4(low) || low < 0xDC00 || low > 0xDFFF) {
                    return fail();
                }
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            }
            appendUtf8(out, cp);
            break;
        }
        default:
            return fail();
        }
    }
}

bool JsonReader::hex4(char32_t& out) {
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
bool JsonReader::takeUtf8Sequence(std::string& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(m_at);
    const auto* end = reinterpret_cast<const unsigned char*>(m_end);
    const unsigned char lead = p[0];
    qsizetype length = 0;
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
    for (qsizetype i = 2; i < length; ++i) {
        if (p[i] < 0x80 || p[i] > 0xBF) {
            return false;
        }
    }
    out.append(m_at, size_t(length));
    m_at += length;
    return true;
}

bool JsonReader::readFlatValue(FlatRecord::Value& v) {
    using Type = FlatRecord::Value::Type;
    skipSpace();
    if (m_at == m_end) {
        return fail();
    }
    switch (*m_at) {
    case '"':
        v.type = Type::string;
        return readStringBody(v.text);
    case '{':
    case '[':
        v.type = Type::nested;
        return skipValue();
    case 't':
        v.type = Type::boolean;
        v.boolean = true;
        return literal("true");
    case 'f':
        v.type = Type::boolean;
        v.boolean = false;
        return literal("false");
    case 'n':
        v.type = Type::null;
        return literal("null");
    default:
        return readNumberBody(v);
    }
}

bool JsonReader::skipValue() {
    skipSpace();
    if (m_at == m_end) {
        return fail();
    }
    if (*m_at == '{') {
        beginObject();
        while (nextMember(m_text)) {
            if (!skipValue()) {
                return false;
            }
        }
        return !m_failed;
    }
    if (*m_at == '[') {
        beginArray();
        while (nextElement()) {
            if (!skipValue()) {
                return false;
            }
        }
        return !m_failed;
    }
    return readFlatValue(m_scratch);
}

bool JsonReader::readFlatObject(FlatRecord& record) {
    if (!beginObject()) {
        return false;
    }
    record.clear();
    while (nextMember(m_text)) {
        if (!readFlatValue(record.append(m_text))) {
            return false;
        }
    }
    return !m_failed;
}

std::optional<QByteArray> JsonReader::takeCanonicalBase64() {
    skipSpace();
    if (m_at == m_end || *m_at != '"') {
        return std::nullopt;
    }
    const auto* quote = static_cast<const char*>(std::memchr(m_at + 1, '"', size_t(m_end - m_at - 1)));
    if (!quote) {
        return std::nullopt;
    }
    // Base64 text has no backslash, so the first quote is the closing one whenever decoding succeeds.
    std::optional<QByteArray> data = decodeCanonicalBase64(m_at + 1, quote);
    if (data) {
        m_at = quote + 1;
    }
    return data;
}

bool JsonReader::readVariant(QVariant& out) {
    switch (peek()) {
    case Token::object:
        return readObjectVariant(out);
    case Token::array:
        return readArrayVariant(out);
    case Token::string:
        if (!readStringBody(m_text)) {
            return false;
        }
        out = JsonCodec::textFromUtf8(m_text);
        return true;
    case Token::boolean: {
        bool flag = false;
        if (!readBool(flag)) {
            return false;
        }
        out = flag;
        return true;
    }
    case Token::null:
        out = QVariant();
        return readNull();
    case Token::number:
        if (!readNumber(m_scratch)) {
            return false;
        }
        if (m_scratch.type == FlatRecord::Value::Type::integer) {
            out = m_scratch.integer;
        } else {
            out = m_scratch.floating;
        }
        return true;
    case Token::end:
    case Token::invalid:
        break;
    }
    return fail();
}

bool JsonReader::readArrayVariant(QVariant& out) {
    if (!beginArray()) {
        return false;
    }
    QVariantList list;
    bool allText = true;
    while (nextElement()) {
        QVariant element;
        if (!readVariant(element)) {
            return false;
        }
        allText = allText && element.typeId() == QMetaType::QString;
        list.push_back(std::move(element));
    }
    if (m_failed) {
        return false;
    }
    if (allText) {
        // JSON cannot tell a list of texts from a string list; the string list is the more useful reading.
        QStringList strings;
        strings.reserve(list.size());
        for (const QVariant& element : std::as_const(list)) {
            strings.push_back(element.toString());
        }
        out = strings;
    } else {
        out = std::move(list);
    }
    return true;
}

bool JsonReader::readObjectVariant(QVariant& out) {
    if (!beginObject()) {
        return false;
    }
    QVariantMap map;
    std::string key;
    bool onlyDataTag = true;
    // The last data-tag member holding a string: where its text starts, and its bytes when the text is
    // canonical base64 (decoded at once, so a large value is never copied as text first).
    const char* dataText = nullptr;
    std::optional<QByteArray> data;
    while (nextMember(key)) {
        if (key != JsonCodec::kDataTag) {
            onlyDataTag = false;
        } else if (peek() == Token::string) {
            dataText = m_at;
            data = takeCanonicalBase64();
            if (!data && !readStringBody(m_text)) {
                return false;
            }
            continue;
        } else {
            dataText = nullptr;
            data.reset();
        }
        QVariant value;
        if (!readVariant(value)) {
            return false;
        }
        map.insert(JsonCodec::textFromUtf8(key), std::move(value));
    }
    if (m_failed) {
        return false;
    }
    if (dataText && onlyDataTag && data) {
        out = std::move(*data);
        return true;
    }
    if (dataText) {
        // Read the text again from where it starts: as the data it stands for, or as an ordinary member.
        const char* resume = m_at;
        m_at = dataText;
        const bool ok = readStringBody(m_text);
        m_at = resume;
        if (!ok) {
            return false; // cannot happen: the text was read once already
        }
        if (onlyDataTag) {
            // Not canonical: line breaks, spaces or escapes, as a hand-edited file may have, or damage.
            out = dataOrText(m_text);
            return true;
        }
        map.insert(JsonCodec::textFromUtf8(JsonCodec::kDataTag), JsonCodec::textFromUtf8(m_text));
    }
    out = std::move(map);
    return true;
}

std::optional<QByteArray> JsonCodec::jsonFromDataText(const QVariant& value) {
    if (value.typeId() != QMetaType::QVariantMap) {
        return std::nullopt;
    }
    const QVariantMap object = value.toMap();
    const auto text = object.constFind(textFromUtf8(kDataTag));
    if (object.size() != 1 || text == object.constEnd() || text->typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    const QByteArray utf8 = text->toString().toUtf8();
    return decodeLooseBase64(std::string_view(utf8.constData(), size_t(utf8.size())), '\xFF').bytes;
}

std::optional<QVariant> JsonCodec::dataCutShort(QByteArrayView bytes) {
    JsonReader reader(bytes, 1);
    std::string key;
    if (!reader.beginObject() || !reader.nextMember(key) || key != kDataTag ||
        reader.peek() != JsonReader::Token::string) {
        return std::nullopt;
    }
    const char* const quote = reader.position();
    const char* const end = bytes.data() + bytes.size();
    std::string text;
    if (reader.readString(text)) {
        // The text is whole: its object's closing brace may follow, nothing else.
        JsonReader rest(QByteArrayView(reader.position(), end), 1);
        if (!rest.atEnd() &&
            (*rest.position() != '}' || !JsonReader({rest.position() + 1, end}, 1).atEnd())) {
            return std::nullopt;
        }
        return dataOrText(text);
    }
    // Cut inside the text: what is left of an escape or of a character of several bytes at the cut goes.
    std::string_view tail(quote + 1, size_t(end - quote - 1));
    if (const std::size_t backslash = tail.rfind('\\');
        backslash != std::string_view::npos && tail.size() - backslash <= 12) {
        tail = tail.substr(0, backslash);
    }
    while (!tail.empty() && static_cast<unsigned char>(tail.back()) >= 0x80) {
        tail.remove_suffix(1);
    }
    QByteArray closed;
    closed.reserve(qsizetype(tail.size() + 2));
    closed.append('"').append(tail.data(), qsizetype(tail.size())).append('"');
    JsonReader cut(closed, 1);
    if (!cut.readString(text) || !cut.atEnd()) {
        return std::nullopt;
    }
    return dataOrText(text);
}

bool JsonReader::atEnd() {
    skipSpace();
    return !m_failed && m_at == m_end;
}

namespace {

using JsonCodec::isJsonSpace;

// The last byte before `at` that is not white space, or 0 at the start.
char byteBefore(const char* first, const char* at) {
    while (at != first && isJsonSpace(at[-1])) {
        --at;
    }
    return at == first ? '\0' : at[-1];
}

// Whether the object opening at `at` is a member's value (after a name and its colon): no list element is.
bool isMemberValue(const char* first, const char* at) {
    if (byteBefore(first, at) != ':') {
        return false;
    }
    while (isJsonSpace(*--at)) {
    }
    return byteBefore(first, at) == '"';
}

} // namespace

RecordListReading readArrayElements(QByteArrayView bytes, int recordDepth,
                                    const std::function<bool(JsonReader&)>& readElement) {
    RecordListReading result;
    const char* const first = bytes.data();
    const char* at = first;
    const char* const end = at + bytes.size();
    const auto skipSpace = [&at, end] {
        while (at != end && isJsonSpace(*at)) {
            ++at;
        }
    };
    if (end - at >= 3 && std::memcmp(at, "\xEF\xBB\xBF", 3) == 0) {
        at += 3;
    }
    skipSpace();
    if (at == end) {
        result.whole = false;
        return result;
    }
    JsonReader reader(QByteArrayView(at, end), recordDepth + JsonCodec::kMaxMemberDepth);
    // Looking for a record after damage follows members one level deep at most, so few attempts overlap at
    // any place in the text and the search stays linear.
    JsonReader searcher(QByteArrayView(at, end), recordDepth + 1);
    // The next place from `from` on where a whole record reads, or none. Damage can move a quote or a
    // bracket, so the text's own structure no longer tells where elements begin. A record cannot start inside
    // a string (its first quote would end the string), and an object that is a member's value is no element.
    // An object that reads but is no record is passed over whole: what it encloses is no element either.
    const auto nextRecord = [&](const char* from) -> const char* {
        while (from != end) {
            from = static_cast<const char*>(std::memchr(from, '{', size_t(end - from)));
            if (!from) {
                return nullptr;
            }
            if (isMemberValue(first, from)) {
                ++from;
                continue;
            }
            searcher.resumeAt(from);
            const bool made = readElement(searcher);
            if (made && !searcher.failed()) {
                return from;
            }
            from = searcher.failed() ? from + 1 : std::max(searcher.position(), from + 1);
        }
        return nullptr;
    };
    // Where to look for the next record, while the text's own structure cannot be followed.
    const char* searchFrom = nullptr;
    if (*at == '[') {
        ++at;
        skipSpace();
    } else {
        result.whole = false; // no opening bracket, as when damage changed it
        searchFrom = at;
    }
    if (!searchFrom && at != end && *at == ']') {
        ++at;
    } else {
        for (;;) {
            if (searchFrom) {
                if (!nextRecord(searchFrom)) {
                    result.whole = false;
                    at = end;
                    break;
                }
                searchFrom = nullptr;
                ++result.read;
                at = searcher.position();
            } else {
                skipSpace();
                if (at == end) {
                    result.whole = false; // cut after a comma or the opening bracket
                    break;
                }
                const char* const start = at;
                reader.resumeAt(start);
                const bool made = readElement(reader);
                if (reader.failed() || reader.position() == start) {
                    ++result.unreadable;
                    searchFrom = start + 1;
                    continue;
                }
                made ? ++result.read : ++result.unreadable;
                at = reader.position();
            }
            skipSpace();
            if (at == end) {
                result.whole = false;
                break;
            }
            if (*at == ',') {
                ++at;
                skipSpace();
                if (at == end || *at != ']') {
                    continue;
                }
                result.whole = false; // a trailing comma
            }
            if (*at == ']') {
                ++at;
                skipSpace();
                if (at == end) {
                    break;
                }
                // More follows the closing bracket, as when damage made one of a separator.
                result.whole = false;
                searchFrom = at;
                continue;
            }
            // No comma: damage changed it, or something stands between two elements.
            result.whole = false;
            searchFrom = at;
        }
    }
    skipSpace();
    if (at != end) {
        result.whole = false;
    }
    return result;
}

RecordListReading readFlatRecordElements(QByteArrayView bytes,
                                         const std::function<bool(const FlatRecord&)>& onRecord) {
    FlatRecord record;
    // The record encloses its members.
    return readArrayElements(bytes, 1, [&record, &onRecord](JsonReader& reader) {
        return reader.readFlatObject(record) && onRecord(record);
    });
}

bool readFlatRecordArray(QByteArrayView bytes, const std::function<bool(const FlatRecord&)>& onRecord) {
    // The list and the record enclose the members.
    JsonReader reader(bytes, 2 + JsonCodec::kMaxMemberDepth);
    FlatRecord record;
    if (!reader.beginArray()) {
        return false;
    }
    while (reader.nextElement()) {
        if (!reader.readFlatObject(record) || !onRecord(record)) {
            return false;
        }
    }
    return !reader.failed() && reader.atEnd();
}

bool readFlatDocument(QByteArrayView bytes, FlatRecord& record) {
    JsonReader reader(bytes, 1 + JsonCodec::kMaxMemberDepth);
    reader.skipByteOrderMark();
    return reader.readFlatObject(record) && reader.atEnd();
}
