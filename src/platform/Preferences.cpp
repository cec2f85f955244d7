#include "platform/Preferences.h"

#include "platform/FaultPoint.h"
#include "platform/JsonCodec.h"
#include "platform/StoredFile.h"
#include "platform/StoredObjectReading.h"
#include "platform/TarvolinTimerLogger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include <unistd.h>

namespace {

const QLatin1String kContext("Preferences");
// A hostile file could otherwise fill the log with a line for each of a million damaged members.
constexpr qsizetype kMaxProblemLines = 20;
// A failed write is tried again by itself after this pause, doubling up to the longest, so what stopped it
// (descriptors taken for a while, a full disk) passing is enough for the file to catch up.
constexpr std::chrono::milliseconds kFirstRetryPause(500);
constexpr std::chrono::milliseconds kLongestRetryPause(30'000);
// A flush whose write failed tries this many times in all, this far apart: it may be the program's last.
constexpr int kFlushAttempts = 3;
constexpr std::chrono::milliseconds kFlushRetryPause(150);
// Long enough to tell keys apart, short enough for any file system's name limit with the rest of the name.
constexpr qsizetype kMaxKeyInFileName = 64;

// A member's value as the file holds it: a byte array as the data object, written with its base64 text
// encoded straight into the output.
void writeMemberValue(JsonWriter& w, const QVariant& value) {
    if (value.typeId() == QMetaType::QByteArray) {
        w.raw("{\"");
        w.raw(JsonCodec::kDataTag);
        w.raw("\": ");
        w.base64Value(value.toByteArray());
        w.raw("}");
    } else {
        w.value(value);
    }
}

// Whether writing `value` gives exactly `text`: then the text need not be kept to be copied exactly.
bool writesAs(const QVariant& value, QByteArrayView text) {
    constexpr qsizetype kSmall = 64 * 1024;
    if (text.size() <= kSmall) {
        JsonWriter w;
        writeMemberValue(w, value);
        return w.take() == text;
    }
    // Large (a stored list): compared piece by piece as it is written, never in memory twice.
    qsizetype at = 0;
    bool same = true;
    JsonWriter w([&](const char* bytes, qsizetype size) {
        same = same && size <= text.size() - at && std::memcmp(text.data() + at, bytes, size_t(size)) == 0;
        at += size;
        return true;
    });
    writeMemberValue(w, value);
    w.finish();
    return same && at == text.size();
}

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

    struct Snapshot {
        QVariantMap values;
        QMap<QString, Preferences::StoredMember> pinned;
    };

    void submit(Snapshot snapshot) {
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
        // The newest snapshot, when its write failed: written again after a pause unless a newer one comes.
        std::optional<Snapshot> failed;
        auto pause = kFirstRetryPause;
        for (;;) {
            const auto due = [this] { return m_stop || m_hasPending; };
            if (failed) {
                if (!m_cv.wait_for(lock, pause, due)) {
                    m_pending = std::move(*failed);
                    m_hasPending = true;
                    pause = std::min(pause * 2, kLongestRetryPause);
                }
                failed.reset();
            } else {
                m_cv.wait(lock, due);
            }
            if (m_hasPending) {
                Snapshot snapshot = std::move(m_pending);
                m_pending = {};
                m_hasPending = false;
                m_busy = true;
                lock.unlock();
                write(snapshot);
                if (m_failed) {
                    failed = std::move(snapshot);
                } else {
                    pause = kFirstRetryPause;
                }
                snapshot = {};
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
    void write(const Snapshot& snapshot) {
        const QString failure = writeFile(snapshot);
        if (failure.isEmpty()) {
            m_failed = false;
            m_failureLogged = false;
            return;
        }
        m_failed = true;
        if (!m_failureLogged) {
            m_failureLogged = true;
            TT_LOG_ERROR(
                kContext,
                QStringLiteral("Could not write %1: %2; the previous file is kept").arg(m_path, failure));
        }
    }

    // Empty on success, else why it failed.
    QString writeFile(const Snapshot& snapshot) {
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        QSaveFile file(m_path);
        if (!file.open(QIODevice::WriteOnly)) {
            return file.errorString();
        }
        qint64 expected = 0;
        const bool written = Preferences::writeFormTo(file, snapshot.values, snapshot.pinned, &expected);
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
    Snapshot m_pending;
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

std::unique_ptr<Preferences> Preferences::readSuite(const QString& suiteName) {
    if (suiteName.isEmpty() || suiteName.contains(QLatin1Char('/'))) {
        return nullptr;
    }
    auto copy = std::make_unique<Preferences>();
    const StoredFile::Read file = StoredFile::readRegular(pathForSuite(suiteName), maxFileBytes);
    if (file.outcome == StoredFile::Read::absent) {
        return copy;
    }
    if (file.outcome != StoredFile::Read::read) {
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
    StoredFile::Read file = StoredFile::readRegular(m_filePath, maxFileBytes);
    switch (file.outcome) {
    case StoredFile::Read::absent:
        return;
    case StoredFile::Read::read:
        break;
    case StoredFile::Read::notRegular:
    case StoredFile::Read::tooLarge:
        setAside(QStringLiteral("Could not read %1: %2").arg(m_filePath, file.error));
        return;
    case StoredFile::Read::failed:
        // Not a damaged file (no permission, an I/O error): it is left exactly where and as it is, and
        // nothing is written over it.
        m_loadFailed = true;
        m_writer.reset();
        TT_LOG_WARNING(kContext,
                       QStringLiteral("Could not read %1: %2; left it as it is, changes will not be saved")
                           .arg(m_filePath, file.error));
        return;
    }

    StoredObjectReading reading = StoredObjectReading::read(file.bytes, maxValueDepth);
    if (!reading.isObject) {
        replaceDamaged(file.bytes, QStringLiteral("Could not read %1").arg(m_filePath));
        return;
    }
    // What a write would not give back as it stands is kept, so keepAside() can copy it exactly.
    for (auto it = reading.values.cbegin(); it != reading.values.cend(); ++it) {
        const QByteArrayView text = reading.valueTexts.value(it.key());
        if (!writesAs(it.value(), text)) {
            m_loadedText.insert(it.key(), QByteArray(text.data(), text.size()));
        }
    }
    m_values = std::move(reading.values);
    if (reading.isClean()) {
        return;
    }
    // Damaged: every member that read is kept, each thing passed over is said, and the whole file is kept
    // aside as it was.
    for (qsizetype i = 0; i < reading.problems.size(); ++i) {
        if (i == kMaxProblemLines) {
            TT_LOG_WARNING(kContext, QStringLiteral("Could not read %1 whole: and %2 more places")
                                         .arg(m_filePath)
                                         .arg(reading.problems.size() - i));
            break;
        }
        TT_LOG_WARNING(kContext,
                       QStringLiteral("Could not read %1 whole: %2").arg(m_filePath, reading.problems.at(i)));
    }
    replaceDamaged(file.bytes, QStringLiteral("Could not read %1 whole").arg(m_filePath));
}

void Preferences::setAside(const QString& reason) {
    // Nothing was read from it, so nothing can be copied: it is moved aside whole, and the store starts
    // with defaults.
    m_loadFailed = true;
    QString why;
    const QString aside = StoredFile::moveAside(m_filePath, QStringLiteral(".corrupt"), &why);
    if (aside.isEmpty()) {
        TT_LOG_WARNING(
            kContext,
            QStringLiteral("%1 nor move it aside (%2); changes will not be saved").arg(reason, why));
        m_writer.reset();
        return;
    }
    TT_LOG_WARNING(kContext,
                   QStringLiteral("%1; kept it as %2 and started with defaults").arg(reason, aside));
}

void Preferences::replaceDamaged(const QByteArray& bytes, const QString& reason) {
    // The damaged file stays at its path until its copy is on disk; then one rename puts what read in its
    // place (through a link, which stays a link). A crash in between leaves the file as it was, and the next
    // start finds the same copy instead of making another.
    m_loadFailed = true;
    QString why;
    const QString copy = StoredFile::writeAside(
        m_filePath, QStringLiteral(".corrupt"),
        [&bytes](const StoredFile::Sink& sink) { return sink(bytes.constData(), bytes.size()); }, &why);
    if (copy.isEmpty()) {
        TT_LOG_WARNING(
            kContext,
            QStringLiteral("%1 nor copy it aside (%2); changes will not be saved").arg(reason, why));
        m_writer.reset();
        return;
    }
    if (m_values.isEmpty()) {
        TT_LOG_WARNING(kContext,
                       QStringLiteral("%1; kept it as %2 and started with defaults").arg(reason, copy));
    } else {
        TT_LOG_WARNING(kContext, QStringLiteral("%1; kept it as %2 and started with the %3 keys that read")
                                     .arg(reason, copy)
                                     .arg(m_values.size()));
    }
    // Where a crash would do the most harm: the copy is on disk and the file not yet replaced.
    FaultPoint::reached("preferences.replacing");
    m_dirty = true;
    writeNow();
}

bool Preferences::storedMember(const QString& key, StoredMember& member) const {
    if (const auto pinned = m_pinned.find(key); pinned != m_pinned.end()) {
        member = *pinned;
        return true;
    }
    if (const auto text = m_loadedText.find(key); text != m_loadedText.end()) {
        member = {*text, {}};
        return true;
    }
    member = {{}, m_values.value(key)};
    return member.value.isValid();
}

QString Preferences::writeCopy(const QString& key, const StoredMember& member, const QString& suffix,
                               QString* error) const {
    // The key names the copy; a slash or NUL cannot be part of a file name, and a long key could not fit.
    QString name = key.left(kMaxKeyInFileName);
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QChar(u'\0'), QLatin1Char('_'));
    return StoredFile::writeAside(
        m_filePath + QLatin1Char('.') + name, suffix,
        [&member](const StoredFile::Sink& sink) {
            if (!member.text.isNull()) {
                return sink(member.text.constData(), member.text.size());
            }
            JsonWriter w(sink);
            writeMemberValue(w, member.value);
            return w.finish();
        },
        error);
}

QString Preferences::keepAside(const QString& key, const QString& suffix) {
    if (!m_writer) {
        // In memory only (or a store that cannot write, so nothing is ever written over the file): a kept
        // key is the copy.
        const QVariant value = m_values.value(key);
        if (!value.isValid()) {
            return {};
        }
        QString keptKey = key + suffix;
        for (int n = 2; m_values.contains(keptKey); ++n) {
            keptKey = key + suffix + QLatin1Char('.') + QString::number(n);
        }
        setValue(keptKey, value);
        return keptKey;
    }
    // The value is unchanged since its copy was made: that copy is the one asked for (if kept for the same
    // reason).
    if (const QString copied = m_copiedTo.value(key);
        !copied.isEmpty() && copied.endsWith(suffix) && QFileInfo::exists(copied)) {
        return copied;
    }
    StoredMember member;
    if (!storedMember(key, member)) {
        return {};
    }
    QString why;
    const QString path = writeCopy(key, member, suffix, &why);
    if (!path.isEmpty()) {
        if (!member.replaced) {
            m_copiedTo.insert(key, path);
        }
        if (m_pinned.remove(key) > 0) {
            TT_LOG_WARNING(
                kContext,
                QStringLiteral("Kept the stored value of %1 as %2; it may now be replaced").arg(key, path));
            scheduleWrite();
        }
        return path;
    }
    if (!m_pinned.contains(key)) {
        member.suffix = suffix;
        m_pinned.insert(key, member);
        TT_LOG_ERROR(kContext,
                     QStringLiteral("Could not keep a copy of the stored value of %1 (%2); %3 keeps it "
                                    "as it is until a copy can be made")
                         .arg(key, why, m_filePath));
    }
    return {};
}

void Preferences::forget(const QString& key) {
    // A pinned member keeps its own text; what memory holds is no longer what the file or a copy has.
    m_loadedText.remove(key);
    m_copiedTo.remove(key);
    if (const auto pinned = m_pinned.find(key); pinned != m_pinned.end()) {
        pinned->replaced = true;
    }
}

void Preferences::retryPinnedCopies() {
    for (auto it = m_pinned.begin(); it != m_pinned.end();) {
        QString why;
        const QString path = writeCopy(it.key(), it.value(), it->suffix, &why);
        if (path.isEmpty()) {
            ++it;
            continue;
        }
        TT_LOG_WARNING(
            kContext,
            QStringLiteral("Kept the stored value of %1 as %2; it may now be replaced").arg(it.key(), path));
        if (!it->replaced) {
            m_copiedTo.insert(it.key(), path);
        }
        it = m_pinned.erase(it);
    }
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
    forget(key);
    scheduleWrite();
    emit changed(key);
}

void Preferences::remove(const QString& key) {
    forget(key);
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
    retryPinnedCopies();
    m_dirty = false;
    m_writer->submit({m_values, m_pinned});
}

bool Preferences::flush() {
    writeNow();
    if (!m_writer) {
        return true;
    }
    m_writer->waitIdle();
    for (int attempt = 1; attempt < kFlushAttempts && m_writer->lastWriteFailed(); ++attempt) {
        FaultPoint::reached("preferences.flush-retry");
        std::this_thread::sleep_for(kFlushRetryPause);
        writeNow();
        m_writer->waitIdle();
    }
    return !m_writer->lastWriteFailed();
}

void Preferences::writeForm(JsonWriter& w, const QVariantMap& values,
                            const QMap<QString, StoredMember>& pinned) {
    // One top-level member a line, each value compact, in key order; a pinned member goes out as it stands.
    w.raw("{\n");
    bool first = true;
    const auto member = [&w, &first](const QString& key) {
        w.raw(first ? "  " : ",\n  ");
        first = false;
        w.value(key);
        w.raw(": ");
    };
    auto v = values.cbegin();
    auto h = pinned.cbegin();
    while (v != values.cend() || h != pinned.cend()) {
        if (h == pinned.cend() || (v != values.cend() && v.key() < h.key())) {
            member(v.key());
            writeMemberValue(w, v.value());
            ++v;
            continue;
        }
        if (v != values.cend() && v.key() == h.key()) {
            ++v;
        }
        member(h.key());
        if (!h->text.isNull()) {
            w.raw(std::string_view(h->text.constData(), size_t(h->text.size())));
        } else {
            writeMemberValue(w, h->value);
        }
        ++h;
    }
    w.raw("\n}\n");
}

bool Preferences::writeFormTo(QIODevice& device, const QVariantMap& values,
                              const QMap<QString, StoredMember>& pinned, qint64* bytesWritten) {
    bool ok = true;
    qint64 total = 0;
    JsonWriter w([&](const char* bytes, qsizetype size) {
        // After a failed write nothing more goes out, but the whole form is still measured.
        if (ok && device.write(bytes, size) != size) {
            ok = false;
        }
        total += size;
        return true;
    });
    writeForm(w, values, pinned);
    w.finish();
    if (bytesWritten) {
        *bytesWritten = total;
    }
    return ok;
}

QByteArray Preferences::serialize(const QVariantMap& values) {
    // Written in place: room for every data value's text up front, so the buffer is never regrown for it.
    qsizetype dataText = 0;
    for (const QVariant& value : values) {
        if (value.typeId() == QMetaType::QByteArray) {
            dataText += (value.toByteArray().size() + 2) / 3 * 4;
        }
    }
    JsonWriter w;
    w.reserve(dataText + 4096);
    writeForm(w, values, {});
    return w.take();
}

bool Preferences::serializeTo(QIODevice& device, const QVariantMap& values, qint64* bytesWritten) {
    return writeFormTo(device, values, {}, bytesWritten);
}

std::optional<QVariantMap> Preferences::deserialize(const QByteArray& bytes) {
    StoredObjectReading reading = StoredObjectReading::read(bytes, maxValueDepth);
    if (!reading.isClean()) {
        return std::nullopt;
    }
    return std::move(reading.values);
}
