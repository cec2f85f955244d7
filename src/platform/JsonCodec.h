#pragma once
// The one JSON codec of the program: a strict pull reader, a compact writer, the mapping between JSON and
// Qt values, and the text forms stored values share (UUIDs, dates since 2001). Stored lists can hold a
// million timers, so nothing here builds a document tree.

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QUuid>
#include <QVariant>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace JsonCodec {

// Upper-case 8-4-4-4-12 text, no braces.
QString uuidText(const QUuid& id);
std::string uuidUtf8(const QUuid& id);
// Either case; exactly the 36-character hyphenated form.
std::optional<QUuid> parseUuid(std::string_view text);
std::optional<QUuid> parseUuid(const QString& text);

// Dates are stored as floating seconds since 2001-01-01 00:00:00 UTC. An invalid date, or one more than
// about 3,000 years away from 2001, has no stored form; reading gives dates in UTC.
inline constexpr qint64 kReferenceDateUnixSeconds = 978307200;
std::optional<double> referenceSeconds(const QDateTime& date);
// The same instant as whole milliseconds since the reference date (the form JsonWriter writes).
std::optional<qint64> referenceMilliseconds(const QDateTime& date);
std::optional<QDateTime> dateFromReferenceSeconds(double seconds);

// Whole seconds from a JSON number; an integral floating value counts, a fraction or overflow does not.
std::optional<qint64> integerFromDouble(double value);

// The white space JSON allows between tokens.
inline bool isJsonSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// Text from well-formed UTF-8. Unlike QString::fromUtf8, a leading U+FEFF is kept: inside a JSON string
// it is a character of the value, not a byte-order mark.
QString textFromUtf8(std::string_view utf8);

// A byte array travels as an object with this one member holding its base64 text.
inline constexpr std::string_view kDataTag = "$data";

// The JSON text a data object holds whose text does not decode exactly (JsonReader gives such an object as
// it is: a map of its one member, the data tag with its text), as far as it reads. Each group of three bytes
// that a sign outside base64 stands for is filled with 0xFF, a byte no JSON text holds: a strict reading
// fails on every record the damage reaches, and never reads one changed, while the bytes after it keep
// their places. None when `value` is no such object.
std::optional<QByteArray> jsonFromDataText(const QVariant& value);

// The value of a data object cut short by the end of `text` (its text, closing quote or closing brace lost,
// as a cut copy of a file leaves it): as JsonReader reads the object, from the text before the cut. None
// when `text` is anything else.
std::optional<QVariant> dataCutShort(QByteArrayView text);

// How deep the values of a stored record's members may nest below the record itself. Nothing we write
// nests at all; the room is for files written by hand or by other programs.
inline constexpr int kMaxMemberDepth = 256;

} // namespace JsonCodec

// Appends compact JSON to a byte buffer; keys come out in the order they are written. Lists can hold a
// million records, so bytes are copied into the buffer directly rather than appended one call at a time.
// With a sink, the buffer is handed on whenever it fills, so a large document is never held whole.
class JsonWriter {
public:
    // Receives written bytes in order; returns false on a write error.
    using Sink = std::function<bool(const char* bytes, qsizetype size)>;

    JsonWriter() = default;
    explicit JsonWriter(Sink sink);

    void beginArray() { open('['); }
    void endArray() { close(']'); }
    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void key(std::string_view name);
    void key(QStringView name);
    void value(std::string_view text);
    void value(const QString& text);
    void value(const QUuid& id); // upper-case UUID text
    void value(qint64 number);
    void value(double number); // a value that is not finite has no JSON form and is written as null
    void value(bool flag);
    // Bool, 64-bit integer, double, text, string list, byte array (the data object), map (keys in the
    // map's order) or list; any other type, and an invalid variant, is written as null.
    void value(const QVariant& value);
    // A string holding the base64 text of `data`, encoded straight into the output.
    void base64Value(QByteArrayView data);
    // A date as stored: seconds since 2001 with the milliseconds as an exact decimal fraction.
    void millisecondsAsSeconds(qint64 milliseconds);
    void nullValue() {
        separate();
        put("null", 4);
    }
    // Text put out as it is, with no separator: layout around the values of a hand-readable file.
    void raw(std::string_view text) { put(text.data(), qsizetype(text.size())); }

    // Without a sink: the document written so far, and the writer starts afresh.
    QByteArray take();
    // With a sink: hands on what is still buffered. False when any write to the sink failed.
    bool finish();
    void reserve(qsizetype bytes);

private:
    void separate();
    void open(char c);
    void close(char c);
    void appendString(std::string_view text);
    // Room for n more bytes; the returned pointer is valid until the next call.
    char* room(qsizetype n);
    void drain();
    void put(const char* bytes, qsizetype n);
    void put(char c) {
        *room(1) = c;
        ++m_size;
    }

    QByteArray m_out; // its size is the capacity in use; m_size bytes of it are written
    qsizetype m_size = 0;
    std::vector<bool> m_first;
    bool m_afterKey = false;
    Sink m_sink;
    bool m_sinkFailed = false;
};

// One flat JSON object: its members in order, scalar values only.
class FlatRecord {
public:
    struct Value {
        enum class Type { null, boolean, integer, floating, string, nested };
        Type type = Type::null;
        bool boolean = false;
        qint64 integer = 0;
        double floating = 0;
        std::string text;
    };

    void clear() { m_size = 0; }
    Value& append(std::string_view key);
    // The last member of that name (a repeated key overrides an earlier one).
    const Value* find(std::string_view key) const;

    // Strict typed reads: absent or of another type gives nullopt.
    std::optional<QString> string(std::string_view key) const;
    // The UTF-8 text of a string member, without making a QString; nullptr when absent or not a string.
    const std::string* text(std::string_view key) const;
    std::optional<qint64> integer(std::string_view key) const;
    std::optional<double> number(std::string_view key) const;
    std::optional<bool> boolean(std::string_view key) const;
    std::optional<QUuid> uuid(std::string_view key) const;
    std::optional<QDateTime> date(std::string_view key) const;
    bool isAbsentOrNull(std::string_view key) const;

private:
    std::vector<std::pair<std::string, Value>> m_members; // reused between records
    size_t m_size = 0;
};

// A strict pull reader over JSON text (RFC 8259: no comments, no trailing commas, strings of well-formed
// UTF-8). Every call skips the white space before its token. A call that meets anything else marks the
// reader failed and returns false; every later call then fails too, so a caller may check once at the end.
//
//     reader.beginObject();
//     while (reader.nextMember(key)) { ...read or skip the value... }
//     if (reader.failed() || !reader.atEnd()) { refuse }
class JsonReader {
public:
    enum class Token { end, object, array, string, number, boolean, null, invalid };

    // Containers open at once beyond `maxDepth` (the outermost one counts) are refused: nothing we write
    // nests that deep, and following them would recurse without bound.
    explicit JsonReader(QByteArrayView bytes, int maxDepth);

    // A UTF-8 byte-order mark at the very start, as a text editor may add, is passed over.
    void skipByteOrderMark();
    // What the next value is, consuming nothing.
    Token peek();
    bool beginObject();
    bool beginArray();
    // The next member of the innermost open object: true with its key read and the colon passed, the value
    // next; false when the object closed (consumed) or on an error.
    bool nextMember(std::string& key);
    // The next element of the innermost open array: true when a value follows; false when the array closed
    // (consumed) or on an error.
    bool nextElement();

    bool readString(std::string& out);
    bool readBool(bool& out);
    bool readNull();
    // A number as written: an integer when it has no fraction or exponent and fits 64 bits, else a double.
    // A magnitude too large for a double is refused; one too small reads as zero.
    bool readNumber(FlatRecord::Value& out);
    // From now on, a number is refused when the value it reads as would be written back as another number
    // (an integer beyond 64 bits, more digits than a double holds, a magnitude too small): a stored file
    // read so never has such a number replaced by a rounded one.
    void refuseInexactNumbers() { m_exactNumbersOnly = true; }
    // A scalar into `out`; a nested object or array is checked, skipped and typed `nested`.
    bool readFlatValue(FlatRecord::Value& out);
    // An object whose members are read as flat values.
    bool readFlatObject(FlatRecord& record);
    // Any value, checked and dropped.
    bool skipValue();
    // Any value as a Qt value: null is an invalid variant, integers qint64, other numbers double, strings
    // QString; arrays QVariantList, or QStringList when every element is text; objects QVariantMap, or
    // QByteArray when the object's one member is the data tag with a string (base64 text, canonical text
    // decoded straight from the input).
    bool readVariant(QVariant& out);

    // Only white space is left.
    bool atEnd();
    bool failed() const { return m_failed; }

    // Where the next token starts (the end once failed).
    const char* position() const { return m_at; }
    // Reads on from `at`, a place inside the same bytes, as if nothing had been read or had failed: lets a
    // caller pass over a value it could not read and go on with the next.
    void resumeAt(const char* at) {
        m_at = at;
        m_depth = 0;
        m_justOpened = false;
        m_failed = false;
    }

private:
    bool fail() {
        m_failed = true;
        m_at = m_end;
        return false;
    }
    // The helpers of every token stay here, in the class, so they are inlined into the loops.
    void skipSpace() {
        while (m_at != m_end && JsonCodec::isJsonSpace(*m_at)) {
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
    bool skipDigits() {
        const char* start = m_at;
        while (m_at != m_end && *m_at >= '0' && *m_at <= '9') {
            ++m_at;
        }
        return m_at != start;
    }
    bool literal(std::string_view word) {
        if (m_end - m_at < qsizetype(word.size()) || std::memcmp(m_at, word.data(), word.size()) != 0) {
            return fail();
        }
        m_at += word.size();
        return true;
    }
    bool open(char c);
    bool readStringBody(std::string& out);
    bool readNumberBody(FlatRecord::Value& out);
    bool takeUtf8Sequence(std::string& out);
    bool hex4(char32_t& out);
    bool readObjectVariant(QVariant& out);
    bool readArrayVariant(QVariant& out);
    // Canonical base64 between the quotes of the string at the cursor, decoded; nothing consumed when the
    // text is anything else.
    std::optional<QByteArray> takeCanonicalBase64();

    const char* m_at;
    const char* m_end;
    int m_depth = 0;
    int m_maxDepth;
    bool m_justOpened = false;
    bool m_failed = false;
    bool m_exactNumbersOnly = false;
    FlatRecord::Value m_scratch;
    std::string m_text;
};

// What reading a stored list element by element found.
struct RecordListReading {
    qsizetype read = 0;       // elements that made a record
    qsizetype unreadable = 0; // elements that did not, counting the one a cut ends in
    // The text was one whole array and nothing else: not cut short, nothing before or after it.
    bool whole = true;

    bool isClean() const { return unreadable == 0 && whole; }
};

// The list `readList(data, reading)` gives, or none unless every element made a record: for callers that take
// a stored list whole or not at all.
template <class List, class ReadList>
std::optional<List> wholeListOrNone(const QByteArray& data, ReadList readList) {
    RecordListReading reading;
    List out = readList(data, reading);
    if (!reading.isClean()) {
        return std::nullopt;
    }
    return out;
}

// Reads a top-level JSON array one element at a time: `readElement` reads exactly one value from the reader
// (positioned at the element, with nothing open) and says whether it made a record of it. After an element
// the reader cannot get through (a string of invalid UTF-8, a bad escape, a quote or bracket changed by
// damage) reading goes on at the next object where a whole record reads, so the damage costs only the
// records it falls in; a list cut short still gives the elements complete before the cut. A leading
// byte-order mark is passed over. `recordDepth` is how deep a record's own structure nests (1 for a flat
// object); its members may nest JsonCodec::kMaxMemberDepth further.
RecordListReading readArrayElements(QByteArrayView bytes, int recordDepth,
                                    const std::function<bool(JsonReader&)>& readElement);
// The same for an array of flat objects: `onRecord` says whether the record was one it could use.
RecordListReading readFlatRecordElements(QByteArrayView bytes,
                                         const std::function<bool(const FlatRecord&)>& onRecord);

// Streams a top-level JSON array of flat objects; onRecord returns false to reject the whole list.
// Returns false when the bytes are not such an array or a record was rejected.
bool readFlatRecordArray(QByteArrayView bytes, const std::function<bool(const FlatRecord&)>& onRecord);

// A whole document that is one flat object: a leading byte-order mark is passed over, and nothing but white
// space may follow. False, with `record` unspecified, when the bytes are anything else.
bool readFlatDocument(QByteArrayView bytes, FlatRecord& record);
