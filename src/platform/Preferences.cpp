#include "platform/Preferences.h"

#include "platform/TarvolinTimerLogger.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <nlohmann/json.hpp>

#include <condition_variable>
#include <mutex>
#include <thread>

using ordered_json = nlohmann::ordered_json;

namespace {

const char* const kContext = "Preferences";
// Marks a data value in the file; every other JSON value maps to its natural type.
const char* const kDataTag = "$data";

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
        return QVariant(v > qulonglong(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max()
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
            return QVariant(QByteArray::fromBase64(QByteArray::fromRawData(text.data(), qsizetype(text.size()))));
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

    void write(const QVariantMap& snapshot) {
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        QSaveFile file(m_path);
        if (!file.open(QIODevice::WriteOnly)) {
            TarvolinTimerLogger::error(QStringLiteral("Could not write %1: %2").arg(m_path, file.errorString()),
                                       QString::fromLatin1(kContext));
            return;
        }
        file.write(Preferences::serialize(snapshot));
        if (!file.commit()) {
            TarvolinTimerLogger::error(QStringLiteral("Could not write %1: %2").arg(m_path, file.errorString()),
                                       QString::fromLatin1(kContext));
        }
    }

    QString m_path;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::condition_variable m_idleCv;
    QVariantMap m_pending;
    bool m_hasPending = false;
    bool m_busy = false;
    bool m_stop = false;
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

void Preferences::load() {
    QFile file(m_filePath);
    if (!file.exists()) {
        return;
    }
    std::optional<QVariantMap> values;
    if (file.open(QIODevice::ReadOnly)) {
        values = deserialize(file.readAll());
        file.close();
    }
    if (values) {
        m_values = std::move(*values);
        return;
    }
    // Keep the unreadable file for the user instead of replacing it with defaults.
    m_loadFailed = true;
    QString aside = m_filePath + QStringLiteral(".corrupt");
    if (QFile::exists(aside)) {
        aside = m_filePath + QStringLiteral(".%1.corrupt").arg(QDateTime::currentSecsSinceEpoch());
    }
    if (QFile::rename(m_filePath, aside)) {
        TarvolinTimerLogger::warning(
            QStringLiteral("Could not read %1; kept it as %2 and started with defaults").arg(m_filePath, aside),
            QString::fromLatin1(kContext));
    } else {
        TarvolinTimerLogger::warning(
            QStringLiteral("Could not read %1 nor move it aside; changes will not be saved").arg(m_filePath),
            QString::fromLatin1(kContext));
        m_writer.reset();
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
    if (v.typeId() != QMetaType::QStringList) {
        return std::nullopt;
    }
    return v.toStringList();
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
    if (v.typeId() != QMetaType::QVariantList) {
        return std::nullopt;
    }
    return v.toList();
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
    if (!m_writer || !m_dirty) {
        return;
    }
    m_dirty = false;
    m_writer->submit(m_values);
}

void Preferences::flush() {
    writeNow();
    if (m_writer) {
        m_writer->waitIdle();
    }
}

QByteArray Preferences::serialize(const QVariantMap& values) {
    // Written by hand at the top level so large data values are base64-encoded straight into the output
    // instead of being copied through a JSON tree.
    QByteArray out;
    out.append("{\n");
    bool first = true;
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (!first) {
            out.append(",\n");
        }
        first = false;
        out.append("  ");
        out.append(ordered_json(it.key().toStdString()).dump().c_str());
        out.append(": ");
        if (it.value().typeId() == QMetaType::QByteArray) {
            out.append("{\"");
            out.append(kDataTag);
            out.append("\": \"");
            out.append(it.value().toByteArray().toBase64());
            out.append("\"}");
        } else {
            const std::string text = toJson(it.value()).dump(-1, ' ', false, ordered_json::error_handler_t::replace);
            out.append(text.data(), qsizetype(text.size()));
        }
    }
    out.append("\n}\n");
    return out;
}

std::optional<QVariantMap> Preferences::deserialize(const QByteArray& bytes) {
    ordered_json root = ordered_json::parse(bytes.constData(), bytes.constData() + bytes.size(), nullptr, false);
    if (root.is_discarded() || !root.is_object()) {
        return std::nullopt;
    }
    QVariantMap values;
    for (auto it = root.begin(); it != root.end(); ++it) {
        QVariant v = fromJson(it.value());
        if (v.isValid()) {
            values.insert(QString::fromStdString(it.key()), v);
        }
    }
    return values;
}
