#include "platform/StoredObjectReading.h"

#include "platform/JsonCodec.h"

#include <QSet>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using JsonCodec::isJsonSpace;

// Past the closing quote of the string opening at `at`, whatever bytes it holds; nullptr when it never
// closes.
const char* endOfString(const char* at, const char* end) {
    for (++at; at != end; ++at) {
        if (*at == '\\') {
            if (end - at < 2) {
                return nullptr;
            }
            ++at; // an escaped quote does not close it
        } else if (*at == '"') {
            return at + 1;
        }
    }
    return nullptr;
}

// Past a comment opening at `at` ("//" to the end of its line, "/*" to "*/"); nullptr when `at` opens
// none, `end` when it never closes.
const char* endOfComment(const char* at, const char* end) {
    if (end - at < 2 || at[0] != '/' || (at[1] != '/' && at[1] != '*')) {
        return nullptr;
    }
    if (at[1] == '/') {
        const auto* line = static_cast<const char*>(std::memchr(at, '\n', size_t(end - at)));
        return line ? line + 1 : end;
    }
    for (const char* p = at + 2; end - p >= 2; ++p) {
        if (p[0] == '*' && p[1] == '/') {
            return p + 2;
        }
    }
    return end;
}

// Where a member's value that could not be read ends: the comma or closing brace after it at the object's
// own level. Only quotes (with the escapes inside strings), brackets and comments count, so whatever broke
// the value (bytes that are not UTF-8, a number out of range, nesting too deep) does not hide what follows.
// nullptr when that end cannot be told: the text ends first, or a bracket closes what it did not open.
const char* endOfValue(const char* at, const char* end) {
    std::vector<bool> open; // true for an object
    while (at != end) {
        switch (*at) {
        case '"':
            at = endOfString(at, end);
            if (!at) {
                return nullptr;
            }
            continue;
        case '/':
            if (const char* past = endOfComment(at, end)) {
                at = past;
                continue;
            }
            break;
        case '{':
        case '[':
            open.push_back(*at == '{');
            break;
        case '}':
            if (open.empty()) {
                return at;
            }
            [[fallthrough]];
        case ']':
            if (open.empty() || open.back() != (*at == '}')) {
                return nullptr;
            }
            open.pop_back();
            break;
        case ',':
            if (open.empty()) {
                return at;
            }
            break;
        default:
            break;
        }
        ++at;
    }
    return nullptr;
}

} // namespace

StoredObjectReading StoredObjectReading::read(QByteArrayView bytes, int valueDepth) {
    StoredObjectReading result;
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    const char* at = begin;
    const auto offset = [begin](const char* p) { return QString::number(p - begin); };
    // White space, and comments as a person may leave in a file they edit: passed over, each one noted
    // unless this only looks ahead (it is then noted when reached).
    const auto skipSpace = [&](bool note = true) {
        for (;;) {
            while (at != end && isJsonSpace(*at)) {
                ++at;
            }
            const char* past = at != end ? endOfComment(at, end) : nullptr;
            if (!past) {
                return;
            }
            if (note) {
                result.problems << QStringLiteral("a comment at byte %1; passed over it").arg(offset(at));
            }
            at = past;
        }
    };
    const auto keyText = [](const std::string& key) { return JsonCodec::textFromUtf8(key); };

    // The store writes each member on a line of its own, all indented alike, and no line break can stand
    // inside a string. So after a break in the syntax, reading goes on at the next line that starts with a
    // key, its colon and the members' indent (any indent until a member has been seen to start a line): a
    // break costs the members it touches, not all those after it.
    std::optional<QByteArrayView> indent;
    // The last search for a member line: where it started and what it found. Reading only moves on, so a
    // later search from before that find gives it again, and each line is looked at about once.
    const char* searchedFrom = nullptr;
    const char* found = nullptr;
    const auto noteIndent = [&](const char* key) {
        const char* line = key;
        while (line != begin && (line[-1] == ' ' || line[-1] == '\t')) {
            --line;
        }
        if (!indent && line != begin && line[-1] == '\n') {
            indent = QByteArrayView(line, key);
            searchedFrom = nullptr;
        }
    };
    const auto nextMemberLine = [&](const char* from) -> const char* {
        if (searchedFrom && from >= searchedFrom && (!found || from < found)) {
            return found;
        }
        searchedFrom = from;
        found = nullptr;
        while (const auto* newline = static_cast<const char*>(std::memchr(from, '\n', size_t(end - from)))) {
            from = newline + 1;
            const char* key = from;
            while (key != end && (*key == ' ' || *key == '\t')) {
                ++key;
            }
            if (key == end || *key != '"' || (indent && QByteArrayView(from, key) != *indent)) {
                continue;
            }
            const auto* lineEnd = static_cast<const char*>(std::memchr(key, '\n', size_t(end - key)));
            const char* p = endOfString(key, lineEnd ? lineEnd : end);
            while (p && p != end && (*p == ' ' || *p == '\t')) {
                ++p;
            }
            if (p && p != end && *p == ':') {
                found = key;
                break;
            }
        }
        return found;
    };

    if (end - at >= 3 && std::memcmp(at, "\xEF\xBB\xBF", 3) == 0) {
        at += 3;
    }
    skipSpace();
    if (at == end || *at != '{') {
        return {};
    }
    result.isObject = true;
    ++at;

    JsonReader reader(bytes, valueDepth);
    reader.refuseInexactNumbers();
    std::string key;
    QSet<QString> seen;
    bool memberBefore = false; // a comma or the closing brace is due
    bool closed = false;
    // A break in the syntax, found in the member that starts at `member`: true when reading goes on at the
    // next member line, false when there is none and reading stops.
    const auto breakOff = [&](const QString& what, const char* member) {
        if (const char* line = nextMemberLine(member)) {
            result.problems << QStringLiteral("%1; read on from byte %2").arg(what, offset(line));
            at = line;
            memberBefore = false;
            return true;
        }
        result.problems << QStringLiteral("%1; kept the keys before it").arg(what);
        return false;
    };
    for (;;) {
        skipSpace();
        if (at != end && *at == '}') {
            ++at;
            closed = true;
            break;
        }
        if (memberBefore && at != end) {
            if (*at != ',') {
                if (breakOff(QStringLiteral("unexpected text at byte %1").arg(offset(at)), at)) {
                    continue;
                }
                break;
            }
            const char* comma = at++;
            skipSpace();
            if (at != end && *at == '}') {
                result.problems << QStringLiteral("a comma after the last member at byte %1; passed over it")
                                       .arg(offset(comma));
                ++at;
                closed = true;
                break;
            }
        }
        memberBefore = true;
        if (at == end) {
            result.problems << QStringLiteral("the text ends at byte %1, inside the object; kept the keys "
                                              "before it")
                                   .arg(offset(at));
            break;
        }
        if (*at != '"') {
            if (breakOff(QStringLiteral("unexpected text at byte %1").arg(offset(at)), at)) {
                continue;
            }
            break;
        }

        // The key: when it cannot be read (bytes that are not UTF-8, a control character, a bad escape), its
        // quotes still say where it ends, and the member costs only itself.
        const char* const keyAt = at;
        noteIndent(keyAt);
        reader.resumeAt(at);
        const bool keyRead = reader.readString(key);
        at = keyRead ? reader.position() : endOfString(at, end);
        const QString name = keyRead ? keyText(key) : QString();
        const QString what = keyRead ? QStringLiteral("the value of \"%1\"").arg(name)
                                     : QStringLiteral("a key at byte %1").arg(offset(keyAt));
        if (at) {
            skipSpace();
        }
        if (!at || at == end || *at != ':') {
            if (breakOff(QStringLiteral("%1: unexpected text or the end at byte %2")
                             .arg(what, offset(at ? at : end)),
                         keyAt)) {
                continue;
            }
            break;
        }
        ++at;
        skipSpace();
        if (keyRead && seen.contains(name)) {
            // Only one value can be kept; that makes the file damaged, so it is kept aside whole, with the
            // others.
            result.problems << QStringLiteral("the key \"%1\" again at byte %2; kept its last readable value")
                                   .arg(name, offset(keyAt));
        } else if (keyRead) {
            seen.insert(name);
        }

        // The value counts only when a separator follows it; otherwise it is passed over as a whole.
        const char* const valueAt = at;
        reader.resumeAt(at);
        QVariant value;
        bool valueRead = at != end && reader.readVariant(value);
        const char* valueEnd = valueRead ? reader.position() : nullptr;
        if (valueRead) {
            at = valueEnd;
            skipSpace(false);
            valueRead = at != end && (*at == ',' || *at == '}');
            at = valueEnd;
        }
        if (!valueRead) {
            const QString where =
                keyRead ? QStringLiteral("%1 at byte %2").arg(what, offset(valueAt))
                        : QStringLiteral("%1 (its value at byte %2)").arg(what, offset(valueAt));
            // In the store's layout a value ends on its own line: one that seems to run on over the next
            // member's line broke in its syntax before it.
            const char* line = nextMemberLine(valueAt);
            const char* past = endOfValue(valueAt, indent && line ? line : end);
            if (line && !past) {
                result.problems << QStringLiteral("%1 breaks off; left it out and read on from byte %2")
                                       .arg(where, offset(line));
                at = line;
                memberBefore = false;
                continue;
            }
            if (!past) {
                // A data value cut short (a stored list in a cut copy) keeps what it holds before the cut.
                const auto cut = keyRead ? JsonCodec::dataCutShort({valueAt, end}) : std::nullopt;
                if (cut) {
                    result.valueTexts.insert(name, QByteArrayView(valueAt, end));
                    result.values.insert(name, *cut);
                }
                result.problems << QStringLiteral("%1 runs to the end; kept the keys before it").arg(where) +
                                       (cut ? QStringLiteral(" and what it holds") : QString());
                break;
            }
            result.problems << (!keyRead ? QStringLiteral("%1; left its member out")
                                : result.values.contains(name)
                                    ? QStringLiteral("%1; kept the value before it")
                                    : QStringLiteral("%1; left that key out"))
                                   .arg(where);
            at = past;
            continue;
        }
        if (!keyRead) {
            result.problems << QStringLiteral("%1; left its member out").arg(what);
            continue;
        }
        if (value.isValid()) { // a null member is no value
            result.valueTexts.insert(name, QByteArrayView(valueAt, valueEnd));
            result.values.insert(name, std::move(value));
        }
    }
    if (closed) {
        skipSpace();
        if (at != end) {
            result.problems
                << QStringLiteral("text after the object at byte %1; passed over it").arg(offset(at));
        }
    }
    return result;
}
