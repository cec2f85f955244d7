#pragma once
// The stored JSON forms' building blocks: UUID and date text, a compact writer, and a streaming reader of
// arrays of flat records that never builds a whole document tree (lists can hold a million timers).

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace JsonCoding {

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

} // namespace JsonCoding

// Appends compact JSON to a byte buffer; keys come out in the order they are written. Lists can hold a
// million records, so bytes are copied into the buffer directly rather than appended one call at a time.
class JsonWriter {
public:
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void key(std::string_view name);
    void value(std::string_view text);
    void value(const QString& text);
    void value(const QUuid& id); // upper-case UUID text
    void value(qint64 number);
    void value(double number); // finite only; callers check
    void value(bool flag);
    // A date as stored: seconds since 2001 with the milliseconds as an exact decimal fraction.
    void millisecondsAsSeconds(qint64 milliseconds);
    void nullValue() {
        separate();
        put("null", 4);
    }

    QByteArray take();
    void reserve(qsizetype bytes);

private:
    void separate();
    void open(char c);
    void close(char c);
    void appendString(std::string_view text);
    // Room for n more bytes; the returned pointer is valid until the next call.
    char* room(qsizetype n);
    void put(const char* bytes, qsizetype n);
    void put(char c) {
        *room(1) = c;
        ++m_size;
    }

    QByteArray m_out; // its size is the capacity in use; m_size bytes of it are written
    qsizetype m_size = 0;
    std::vector<bool> m_first;
    bool m_afterKey = false;
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

// Streams a top-level JSON array of flat objects; onRecord returns false to reject the whole list.
// Returns false when the bytes are not such an array or a record was rejected.
bool readFlatRecordArray(const QByteArray& bytes, const std::function<bool(const FlatRecord&)>& onRecord);
