#include "platform/Preferences.h"

#include "platform/TarvolinTimerLogger.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using ordered_json = nlohmann::ordered_json;

namespace {

const char* const kContext = "Preferences";
// Marks a data value in the file; every other JSON value maps to its natural type.
const char* const kDataTag = "$data";
// Nested values deeper than this make the file unreadable: we never write them, and reading them would
// recurse without bound.
constexpr int kMaxDepth = 64;
const char* const kBase64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

QVariant normalized(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
        return QVariant(value.toLongLong());
    case QMetaType::ULongLong:
    case QMetaType::ULong: {
        const qulonglong v = value.toULongLong();
        return QVariant(v > qulonglong(std::numeric_limits<qint64>::max())
                            ? std::numeric_limits<qint64>::max()
                            : qint64(v));
    }
    case QMetaType::Float:
        return QVariant(value.toDouble());
    case QMetaType::QVariantMap: {
        QVariantMap out;
        const QVariantMap in = value.toMap();
        for (auto it = in.begin(); it != in.end(); ++it) {
            out.insert(it.key(), normalized(it.value()));
        }
        return out;
    }
    case QMetaType::QVariantList: {
        QVariantList out;
        for (const QVariant& v : value.toList()) {
            out.push_back(normalized(v));
        }
        return out;
    }
    default:
        return value;
    }
}

ordered_json toJson(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::QString:
        return value.toString().toStdString();
    case QMetaType::QStringList: {
        ordered_json arr = ordered_json::array();
        for (const QString& s : value.toStringList()) {
            arr.push_back(s.toStdString());
        }
        return arr;
    }
    case QMetaType::QByteArray: {
        ordered_json obj = ordered_json::object();
        obj[kDataTag] = value.toByteArray().toBase64().toStdString();
        return obj;
    }
    case QMetaType::QVariantMap: {
        ordered_json obj = ordered_json::object();
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) {
            obj[it.key().toStdString()] = toJson(it.value());
        }
        return obj;
    }
    case QMetaType::QVariantList: {
        ordered_json arr = ordered_json::array();
        for (const QVariant& v : value.toList()) {
            arr.push_back(toJson(v));
        }
        return arr;
    }
    default:
        return nullptr;
    }
}

QVariant fromJson(const ordered_json& j) {
    switch (j.type()) {
    case ordered_json::value_t::boolean:
        return QVariant(j.get<bool>());
    case ordered_json::value_t::number_integer:
        return QVariant(qint64(j.get<std::int64_t>()));
    case ordered_json::value_t::number_unsigned: {
        const auto v = j.get<std::uint64_t>();
        if (v <= std::uint64_t(std::numeric_limits<qint64>::max())) {
            return QVariant(qint64(v));
        }
        return QVariant(double(v));
    }
    case ordered_json::value_t::number_float:
        return QVariant(j.get<double>());
    case ordered_json::value_t::string:
        return QVariant(QString::fromStdString(j.get<std::string>()));
    case ordered_json::value_t::array: {
        bool allStrings = true;
        for (const auto& e : j) {
            allStrings = allStrings && e.is_string();
        }
        if (allStrings) {
            QStringList list;
            for (const auto& e : j) {
                list << QString::fromStdString(e.get<std::string>());
            }
            return list;
        }
        QVariantList list;
        for (const auto& e : j) {
            list.push_back(fromJson(e));
        }
        return list;
    }
    case ordered_json::value_t::object: {
        if (j.size() == 1 && j.contains(kDataTag) && j[kDataTag].is_string()) {
            const std::string& text = j[kDataTag].get_ref<const std::string&>();
            return QVariant(
                QByteArray::fromBase64(QByteArray::fromRawData(text.data(), qsizetype(text.size()))));
        }
        QVariantMap map;
        for (auto it = j.begin(); it != j.end(); ++it) {
            map.insert(QString::fromStdString(it.key()), fromJson(it.value()));
        }
        return map;
    }
    default:
        return {};
    }
}

Preferences*& installedStandard() {
    static Preferences* instance = nullptr;
    return instance;
}

} // namespace

// Writes snapshots of the store on one background thread, newest snapshot wins.
class PreferencesWriter {
public:
    explicit PreferencesWriter(QString path) : m_path(std::move(path)) {}
    ~PreferencesWriter() {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_cv.notify_all();
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

    void submit(QVariantMap snapshot) {
        {
            std::lock_guard lock(m_mutex);
            m_pending = std::move(snapshot);
            m_hasPending = true;
            if (!m_thread.joinable()) {
                m_thread = std::thread([this] { run(); });
            }
        }
        m_cv.notify_all();
    }

    void waitIdle() {
        std::unique_lock lock(m_mutex);
        m_idleCv.wait(lock, [this] { return !m_hasPending && !m_busy; });
    }

private:
    void run() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_cv.wait(lock, [this] { return m_stop || m_hasPending; });
            if (m_hasPending) {
                QVariantMap snapshot = std::move(m_pending);
                m_pending.clear();
                m_hasPending = false;
                m_busy = true;
                lock.unlock();
                write(snapshot);
                snapshot.clear();
                lock.lock();
                m_busy = false;
                m_idleCv.notify_all();
                continue;
            }
            if (m_stop) {
                return;
            }
        }
    }

    // One snapshot to disk, all or nothing: on any failure the previous file stays exactly as it was. A
    // streak of failures is logged once (a full disk would otherwise log at every save), and the next
    // write tries again.
    void write(const QVariantMap& snapshot) {
        const QString failure = writeFile(snapshot);
        if (failure.isEmpty()) {
            m_failed = false;
            m_failureLogged = false;
            return;
        }
        m_failed = true;
        if (!m_failureLogged) {
            m_failureLogged = true;
            TarvolinTimerLogger::error(
                QStringLiteral("Could not write %1: %2; the previous file is kept").arg(m_path, failure),
                QString::fromLatin1(kContext));
        }
    }

    // Empty on success, else why it failed.
    QString writeFile(const QVariantMap& snapshot) {
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        QSaveFile file(m_path);
        if (!file.open(QIODevice::WriteOnly)) {
            return file.errorString();
        }
        qint64 expected = 0;
        const bool written = Preferences::serializeTo(file, snapshot, &expected);
        // The write buffer is flushed here, not left to commit(): a failure inside commit's own flush goes
        // unreported and would put a truncated file in place of the good one.
        if (!written || !file.flush() || file.size() != expected) {
            const QString reason =
                file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("short write");
            file.cancelWriting();
            return reason;
        }
        // On disk before the rename, so a power cut leaves the old file or the new one, never an empty one.
        if (::fsync(file.handle()) != 0) {
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            file.cancelWriting();
            return reason;
        }
        if (!file.commit()) {
            return file.errorString();
        }
        return {};
    }

public:
    // True while the newest write failed; read on the owner's thread to retry at flush.
    bool lastWriteFailed() const { return m_failed.load(); }

private:
    QString m_path;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::condition_variable m_idleCv;
    QVariantMap m_pending;
    bool m_hasPending = false;
    bool m_busy = false;
    bool m_stop = false;
    std::atomic<bool> m_failed{false};
    bool m_failureLogged = false; // the writer thread's own
    std::thread m_thread;
};

Preferences::Preferences(const QString& filePath, QObject* parent) : QObject(parent), m_filePath(filePath) {
    m_coalesce.setSingleShot(true);
    m_coalesce.setInterval(200);
    connect(&m_coalesce, &QTimer::timeout, this, &Preferences::writeNow);
    if (!m_filePath.isEmpty()) {
        m_writer = std::make_unique<PreferencesWriter>(m_filePath);
        load();
    }
}

Preferences::~Preferences() {
    flush();
}

Preferences& Preferences::standard() {
    if (Preferences* installed = installedStandard()) {
        return *installed;
    }
    static Preferences fileBacked(pathForSuite(QStringLiteral("preferences")));
    return fileBacked;
}

void Preferences::setStandard(Preferences* preferences) {
    installedStandard() = preferences;
}

QString Preferences::configDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/TarvolinTimer");
}

QString Preferences::pathForSuite(const QString& suiteName) {
    return configDirectory() + QLatin1Char('/') + suiteName + QStringLiteral(".json");
}

std::unique_ptr<Preferences> Preferences::openSuite(const QString& suiteName) {
    if (suiteName.isEmpty() || suiteName.contains(QLatin1Char('/'))) {
        return nullptr;
    }
    return std::make_unique<Preferences>(pathForSuite(suiteName));
}

namespace {

struct FileRead {
    enum Outcome { absent, read, notRegular, failed } outcome;
    QByteArray bytes;
    QString error; // why it failed
};

// Reads a regular file whole. The file is opened without blocking and checked before anything is read, so
// a FIFO or a device at the path cannot hang the caller.
FileRead readRegularFile(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) {
            return {FileRead::absent, {}, {}};
        }
        return {FileRead::failed, {}, QString::fromLocal8Bit(std::strerror(error))};
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {FileRead::notRegular, {}, QStringLiteral("not a regular file")};
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {FileRead::failed, {}, file.errorString()};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return {FileRead::failed, {}, file.errorString()};
    }
    return {FileRead::read, std::move(bytes), {}};
}

// `stem` + `suffix` when nothing has that name, else the first free name with a stamp between them: a copy
// kept aside earlier is never replaced.
QString freeName(const QString& stem, const QString& suffix) {
    QString candidate = stem + suffix;
    const qint64 stamp = QDateTime::currentSecsSinceEpoch();
    for (int n = 0; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n) {
        const QString tag = n == 0 ? QString::number(stamp) : QStringLiteral("%1-%2").arg(stamp).arg(n);
        candidate = QStringLiteral("%1.%2%3").arg(stem, tag, suffix);
    }
    return candidate;
}

} // namespace

std::unique_ptr<Preferences> Preferences::readSuite(const QString& suiteName) {
    if (suiteName.isEmpty() || suiteName.contains(QLatin1Char('/'))) {
        return nullptr;
    }
    auto copy = std::make_unique<Preferences>();
    const FileRead file = readRegularFile(pathForSuite(suiteName));
    if (file.outcome == FileRead::absent) {
        return copy;
    }
    if (file.outcome != FileRead::read) {
        return nullptr;
    }
    std::optional<QVariantMap> values = deserialize(file.bytes);
    if (!values) {
        return nullptr;
    }
    copy->m_values = std::move(*values);
    return copy;
}

void Preferences::load() {
    FileRead file = readRegularFile(m_filePath);
    switch (file.outcome) {
    case FileRead::absent:
        return;
    case FileRead::read:
        if (std::optional<QVariantMap> values = deserialize(file.bytes)) {
            m_values = std::move(*values);
            return;
        }
        file.bytes.clear();
        setAside(QStringLiteral("Could not read %1").arg(m_filePath));
        return;
    case FileRead::notRegular:
        setAside(QStringLiteral("Could not read %1: %2").arg(m_filePath, file.error));
        return;
    case FileRead::failed:
        // Not a damaged file (no permission, an I/O error): it is left exactly where and as it is, and
        // nothing is written over it.
        m_loadFailed = true;
        m_writer.reset();
        TarvolinTimerLogger::warning(
            QStringLiteral("Could not read %1: %2; left it as it is, changes will not be saved")
                .arg(m_filePath, file.error),
            QString::fromLatin1(kContext));
        return;
    }
}

void Preferences::setAside(const QString& reason) {
    // Keep the unreadable file for the user instead of replacing it with defaults.
    m_loadFailed = true;
    const QString aside = freeName(m_filePath, QStringLiteral(".corrupt"));
    if (::rename(QFile::encodeName(m_filePath).constData(), QFile::encodeName(aside).constData()) == 0) {
        TarvolinTimerLogger::warning(
            QStringLiteral("%1; kept it as %2 and started with defaults").arg(reason, aside),
            QString::fromLatin1(kContext));
        return;
    }
    const QString why = QString::fromLocal8Bit(std::strerror(errno));
    TarvolinTimerLogger::warning(
        QStringLiteral("%1 nor move it aside (%2); changes will not be saved").arg(reason, why),
        QString::fromLatin1(kContext));
    m_writer.reset();
}

QString Preferences::keepAside(const QString& key) {
    const QVariant value = m_values.value(key);
    if (!value.isValid()) {
        return {};
    }
    if (m_writer) {
        // A copy beside the store, written and synced before anyone may overwrite the key.
        const QString path = freeName(m_filePath + QLatin1Char('.') + key, QStringLiteral(".corrupt"));
        QSaveFile file(path);
        const QByteArray bytes =
            value.typeId() == QMetaType::QByteArray ? value.toByteArray() : serialize({{key, value}});
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
            ::fsync(file.handle()) == 0 && file.commit()) {
            return path;
        }
        TarvolinTimerLogger::error(QStringLiteral("Could not write %1: %2").arg(path, file.errorString()),
                                   QString::fromLatin1(kContext));
        return {};
    }
    // In memory only (or a store that cannot write): a kept key is the copy.
    QString keptKey = key + QStringLiteral(".corrupt");
    for (int n = 2; m_values.contains(keptKey); ++n) {
        keptKey = key + QStringLiteral(".corrupt.%1").arg(n);
    }
    setValue(keptKey, value);
    return keptKey;
}

std::optional<bool> Preferences::boolValue(const QString& key) const {
    const QVariant v = m_values.value(key);
    if (v.typeId() != QMetaType::Bool) {
        return std::nullopt;
    }
    return v.toBool();
}

std::optional<qint64> Preferences::intValue(const QString& key) const {
    const QVariant v = m_values.value(key);
    if (v.typeId() != QMetaType::LongLong) {
        return std::nullopt;
    }
    return v.toLongLong();
}

std::optional<double> Preferences::doubleValue(const QString& key) const {
    const QVariant v = m_values.value(key);
    if (v.typeId() == QMetaType::Double) {
        return v.toDouble();
    }
    if (v.typeId() == QMetaType::LongLong) {
        // An integer is a number too; the other way round would lose the fraction.
        return double(v.toLongLong());
    }
    return std::nullopt;
}

std::optional<QString> Preferences::stringValue(const QString& key) const {
    const QVariant v = m_values.value(key);
    if (v.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return v.toString();
}

std::optional<QStringList> Preferences::stringListValue(const QString& key) const {
    const QVariant v = m_values.value(key);
    if (v.typeId() == QMetaType::QStringList) {
        return v.toStringList();
    }
    if (v.typeId() == QMetaType::QVariantList) {
        // The file cannot tell an empty or all-text list from a string list; accept what it reads back as.
        QStringList out;
        for (const QVariant& element : v.toList()) {
            if (element.typeId() != QMetaType::QString) {
                return std::nullopt;
            }
            out << element.toString();
        }
        return out;
    }
    return std::nullopt;
}

std::optional<QByteArray> Preferences::dataValue(const QString& key) const {
    const QVariant v = m_values.value(key);
    if (v.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    return v.toByteArray();
}

std::optional<QVariantMap> Preferences::mapValue(const QString& key) const {
    const QVariant v = m_values.value(key);
    if (v.typeId() != QMetaType::QVariantMap) {
        return std::nullopt;
    }
    return v.toMap();
}

std::optional<QVariantList> Preferences::listValue(const QString& key) const {
    const QVariant v = m_values.value(key);
    if (v.typeId() == QMetaType::QVariantList) {
        return v.toList();
    }
    if (v.typeId() == QMetaType::QStringList) {
        // A list whose elements are all text reads back from the file as a string list; it is still a list.
        return v.toList();
    }
    return std::nullopt;
}

void Preferences::setValue(const QString& key, const QVariant& value) {
    if (!value.isValid()) {
        remove(key);
        return;
    }
    m_values.insert(key, normalized(value));
    scheduleWrite();
    emit changed(key);
}

void Preferences::remove(const QString& key) {
    if (m_values.remove(key) > 0) {
        scheduleWrite();
    }
    emit changed(key);
}

void Preferences::scheduleWrite() {
    if (!m_writer) {
        return;
    }
    m_dirty = true;
    if (!m_coalesce.isActive()) {
        m_coalesce.start();
    }
}

void Preferences::writeNow() {
    m_coalesce.stop();
    // A failed write is tried again even with nothing new to write, so the quit path's flush retries it.
    if (!m_writer || (!m_dirty && !m_writer->lastWriteFailed())) {
        return;
    }
    m_dirty = false;
    m_writer->submit(m_values);
}

bool Preferences::flush() {
    writeNow();
    if (!m_writer) {
        return true;
    }
    m_writer->waitIdle();
    return !m_writer->lastWriteFailed();
}

namespace {

// Data values are written as base64 in slices, so a large value never exists a second time as one block
// of text.
template <class Sink> void emitBase64(const QByteArray& data, Sink& sink) {
    constexpr qsizetype kSliceIn = 3 * 64 * 1024; // a multiple of 3: no padding between slices
    std::string text(kSliceIn / 3 * 4, '\0');
    const auto* in = reinterpret_cast<const unsigned char*>(data.constData());
    qsizetype left = data.size();
    while (left > 0) {
        const qsizetype n = std::min(kSliceIn, left);
        char* o = text.data();
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
        sink(text.data(), qsizetype(o - text.data()));
        in += n;
        left -= n;
    }
}

void emitText(const ordered_json& j, const std::function<void(const char*, qsizetype)>& sink) {
    const std::string text = j.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
    sink(text.data(), qsizetype(text.size()));
}

// The file form, written by hand at the top level so data values go straight to the sink instead of
// through a JSON tree.
void emitValues(const QVariantMap& values, const std::function<void(const char*, qsizetype)>& sink) {
    auto literal = [&sink](const char* text) { sink(text, qsizetype(std::strlen(text))); };
    literal("{\n");
    bool first = true;
    for (auto it = values.begin(); it != values.end(); ++it) {
        literal(first ? "  " : ",\n  ");
        first = false;
        emitText(ordered_json(it.key().toStdString()), sink);
        literal(": ");
        if (it.value().typeId() == QMetaType::QByteArray) {
            literal("{\"");
            literal(kDataTag);
            literal("\": \"");
            emitBase64(it.value().toByteArray(), sink);
            literal("\"}");
        } else {
            emitText(toJson(it.value()), sink);
        }
    }
    literal("\n}\n");
}

bool isJsonSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Reads the top-level object member by member. Each member's value is cut out and parsed on its own, and
// a data value in the form we write is decoded straight from the file bytes: a file holding a list of a
// million timers is never held as a JSON tree or as a second copy of its text.
class TopLevelReader {
public:
    explicit TopLevelReader(const QByteArray& bytes)
        : m_at(bytes.constData()), m_end(bytes.constData() + bytes.size()) {}

    std::optional<QVariantMap> read() {
        if (m_end - m_at >= 3 && std::memcmp(m_at, "\xEF\xBB\xBF", 3) == 0) {
            m_at += 3; // a byte-order mark, as a text editor may add
        }
        skipSpace();
        if (!take('{')) {
            return std::nullopt;
        }
        QVariantMap values;
        skipSpace();
        if (!take('}')) {
            for (;;) {
                if (!readMember(values)) {
                    return std::nullopt;
                }
                skipSpace();
                if (take('}')) {
                    break;
                }
                if (!take(',')) {
                    return std::nullopt;
                }
                skipSpace();
            }
        }
        skipSpace();
        if (m_at != m_end) {
            return std::nullopt;
        }
        return values;
    }

private:
    bool readMember(QVariantMap& values) {
        if (m_at == m_end || *m_at != '"') {
            return false;
        }
        const char* keyEnd = stringEnd(m_at);
        if (!keyEnd) {
            return false;
        }
        const ordered_json key = ordered_json::parse(m_at, keyEnd, nullptr, false);
        if (key.is_discarded() || !key.is_string()) {
            return false;
        }
        m_at = keyEnd;
        skipSpace();
        if (!take(':')) {
            return false;
        }
        skipSpace();
        const char* valueStart = m_at;
        QVariant value;
        if (const char* end = dataInOurForm(valueStart, m_end, value)) {
            m_at = end;
        } else {
            end = valueEnd(valueStart);
            if (!end) {
                return false;
            }
            m_at = end;
            const ordered_json j = ordered_json::parse(valueStart, end, nullptr, false);
            if (j.is_discarded()) {
                return false;
            }
            value = fromJson(j);
        }
        if (value.isValid()) { // a null member is no value
            values.insert(QString::fromStdString(key.get_ref<const std::string&>()), value);
        }
        return true;
    }

    void skipSpace() {
        while (m_at != m_end && isJsonSpace(*m_at)) {
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

    // Just past the closing quote of the string that opens at `s`; nullptr when it is not closed.
    const char* stringEnd(const char* s) const {
        for (const char* q = s + 1; q < m_end; ++q) {
            if (*q == '\\') {
                ++q;
            } else if (*q == '"') {
                return q + 1;
            }
        }
        return nullptr;
    }

    // Just past the value that starts at `s`, found by bracket counting (the JSON parser checks the value
    // itself afterwards); nullptr when it does not end or nests deeper than we accept.
    const char* valueEnd(const char* s) const {
        if (s == m_end) {
            return nullptr;
        }
        if (*s == '"') {
            return stringEnd(s);
        }
        if (*s == '{' || *s == '[') {
            int depth = 0;
            for (const char* q = s; q < m_end; ++q) {
                if (*q == '"') {
                    q = stringEnd(q);
                    if (!q) {
                        return nullptr;
                    }
                    --q;
                } else if (*q == '{' || *q == '[') {
                    if (++depth > kMaxDepth) {
                        return nullptr;
                    }
                } else if (*q == '}' || *q == ']') {
                    if (--depth == 0) {
                        return q + 1;
                    }
                }
            }
            return nullptr;
        }
        const char* q = s;
        while (q != m_end && *q != ',' && *q != '}' && *q != ']' && !isJsonSpace(*q)) {
            ++q;
        }
        return q == s ? nullptr : q;
    }

    // {"$data": "<base64>"} with nothing else in it and the text in canonical form (what we write),
    // decoded straight from the file bytes into `out`; the end of the value, or nullptr when the value is
    // not in that form (it then goes through the JSON parser like any other value).
    static const char* dataInOurForm(const char* s, const char* e, QVariant& out) {
        auto space = [&s, e] {
            while (s != e && isJsonSpace(*s)) {
                ++s;
            }
        };
        auto take = [&s, e](std::string_view text) {
            if (e - s < qsizetype(text.size()) || std::memcmp(s, text.data(), text.size()) != 0) {
                return false;
            }
            s += text.size();
            return true;
        };
        if (!take("{")) {
            return nullptr;
        }
        space();
        if (!take("\"") || !take(kDataTag) || !take("\"")) {
            return nullptr;
        }
        space();
        if (!take(":")) {
            return nullptr;
        }
        space();
        if (!take("\"")) {
            return nullptr;
        }
        const auto* quote = static_cast<const char*>(std::memchr(s, '"', size_t(e - s)));
        if (!quote) {
            return nullptr;
        }
        std::optional<QByteArray> data = decodeCanonicalBase64(s, quote);
        if (!data) {
            return nullptr;
        }
        s = quote + 1;
        space();
        if (!take("}")) {
            return nullptr;
        }
        out = std::move(*data);
        return s;
    }

    // Base64 with padding and nothing else (no spaces, no line breaks); none for any other text.
    static std::optional<QByteArray> decodeCanonicalBase64(const char* s, const char* e) {
        static const auto table = [] {
            std::array<unsigned char, 256> t;
            t.fill(0x80);
            for (int i = 0; i < 64; ++i) {
                t[static_cast<unsigned char>(kBase64Alphabet[i])] = static_cast<unsigned char>(i);
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
            o[1] = char(v >> 8);
            o[2] = char(v);
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
                *o = char(v >> 8);
            }
        }
        return out;
    }

    const char* m_at;
    const char* m_end;
};

} // namespace

QByteArray Preferences::serialize(const QVariantMap& values) {
    QByteArray out;
    emitValues(values, [&out](const char* text, qsizetype size) { out.append(text, size); });
    return out;
}

bool Preferences::serializeTo(QIODevice& device, const QVariantMap& values, qint64* bytesWritten) {
    bool ok = true;
    qint64 total = 0;
    emitValues(values, [&](const char* text, qsizetype size) {
        if (ok && device.write(text, size) != size) {
            ok = false;
        }
        total += size;
    });
    if (bytesWritten) {
        *bytesWritten = total;
    }
    return ok;
}

std::optional<QVariantMap> Preferences::deserialize(const QByteArray& bytes) {
    return TopLevelReader(bytes).read();
}
