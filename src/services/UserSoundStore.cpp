#include "services/UserSoundStore.h"

#include "platform/JsonCodec.h"
#include "platform/TarvolinTimerLogger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

namespace {

const QString kContext = QStringLiteral("UserSoundStore");

// The program has no bundle identifier on this desktop, so the fallback names the folder.
const QString kBundleIdentifierFallback = QStringLiteral("com.dellowar.tarvolintimer");

// A name that stays inside the folder: an index entry naming anything else is not ours to open or delete.
bool isPlainFileName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

// Every entry needs all three texts; one bad entry makes the whole index unreadable.
std::optional<QList<UserSoundEntry>> decodeIndex(const QByteArray& bytes) {
    QByteArrayView text(bytes);
    if (text.startsWith("\xEF\xBB\xBF")) {
        text = text.sliced(3); // a byte-order mark, as an editor may add
    }
    QList<UserSoundEntry> entries;
    const bool ok = readFlatRecordArray(text, [&entries](const FlatRecord& record) {
        auto uid = record.string("uid");
        auto name = record.string("name");
        auto filename = record.string("filename");
        if (!uid || !name || !filename) {
            return false;
        }
        entries.push_back({std::move(*uid), std::move(*name), std::move(*filename)});
        return true;
    });
    if (!ok) {
        return std::nullopt;
    }
    return entries;
}

QByteArray encodeIndex(const QList<UserSoundEntry>& entries) {
    JsonWriter w;
    w.beginArray();
    for (const auto& entry : entries) {
        w.beginObject();
        w.key("uid");
        w.value(entry.uid);
        w.key("name");
        w.value(entry.name);
        w.key("filename");
        w.value(entry.filename);
        w.endObject();
    }
    w.endArray();
    return w.take();
}

} // namespace

UserSoundStore::UserSoundStore(const QString& baseDirectory, QObject* parent)
    : QObject(parent), m_dir(baseDirectory), m_metaPath(QDir(baseDirectory).filePath(indexFileName())) {
    QDir().mkpath(m_dir);
    load();
}

UserSoundStore& UserSoundStore::shared() {
    static UserSoundStore instance(defaultBaseDirectory());
    return instance;
}

QString UserSoundStore::defaultBaseDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/TarvolinTimer/") + kBundleIdentifierFallback + QStringLiteral("/UserSounds");
}

const QStringList& UserSoundStore::allowedExtensions() {
    static const QStringList extensions = {
        QStringLiteral("mp3"),  QStringLiteral("wav"), QStringLiteral("m4a"), QStringLiteral("aac"),
        QStringLiteral("aiff"), QStringLiteral("aif"), QStringLiteral("caf"), QStringLiteral("m4r")};
    return extensions;
}

std::optional<TimerSound> UserSoundStore::sound(const QString& id) const {
    for (const auto& s : m_sounds) {
        if (s.id == id) {
            return s;
        }
    }
    return std::nullopt;
}

UserSoundStore::AddResult UserSoundStore::add(const QUrl& from) {
    const QFileInfo named(from.fileName());
    const QString ext = named.suffix().toLower();
    if (!allowedExtensions().contains(ext)) {
        return UserSoundError(UserSoundError::unsupportedFormat{ext});
    }

    const QString uid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const QString filename = uid + QLatin1Char('.') + ext;
    const QString destination = QDir(m_dir).filePath(filename);
    // Only a regular file on this machine: a folder, a device or a remote location is not a sound to copy.
    const QFileInfo source(from.toLocalFile());
    QDir().mkpath(m_dir);
    if (!from.isLocalFile() || !source.isFile() || !QFile::copy(source.absoluteFilePath(), destination)) {
        TarvolinTimerLogger::warning(QStringLiteral("User sound copy failed"), kContext);
        return UserSoundError(UserSoundError::copyFailed{});
    }

    const QString name = uniqueName(named.completeBaseName());
    m_entries.push_back({uid, name, filename});
    save();
    rebuild();
    return TimerSound::user(uid, name, filename);
}

void UserSoundStore::rename(const TimerSound& sound, const QString& newName) {
    const QString trimmed = newName.trimmed();
    if (sound.kind != TimerSound::Kind::user || trimmed.isEmpty()) {
        return;
    }
    const qsizetype index = entryIndex(sound);
    if (index < 0) {
        return;
    }
    m_entries[index].name = trimmed;
    save();
    rebuild();
}

void UserSoundStore::remove(const TimerSound& sound) {
    if (sound.kind != TimerSound::Kind::user) {
        return;
    }
    const qsizetype index = entryIndex(sound);
    if (index < 0) {
        return;
    }
    QFile::remove(QDir(m_dir).filePath(m_entries[index].filename)); // already gone is fine
    m_entries.removeAt(index);
    save();
    rebuild();
}

void UserSoundStore::load() {
    QFile file(m_metaPath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_entries.clear();
        rebuild();
        return;
    }
    const QByteArray bytes = file.readAll();
    file.close();

    const auto decoded = decodeIndex(bytes);
    if (!decoded) {
        // The next save replaces the index; keep a copy so the names it held can still be recovered.
        const QString aside = m_metaPath + QStringLiteral(".corrupt");
        QFile::remove(aside);
        QFile::copy(m_metaPath, aside);
        TarvolinTimerLogger::warning(
            QStringLiteral("User sound index unreadable, starting empty; a copy is kept as ") + aside,
            kContext);
        m_entries.clear();
        rebuild();
        return;
    }

    const QDir folder(m_dir);
    QList<UserSoundEntry> kept;
    for (const auto& entry : *decoded) {
        if (isPlainFileName(entry.filename) && QFileInfo(folder.filePath(entry.filename)).isFile()) {
            kept.push_back(entry);
        }
    }
    m_entries = kept;
    if (kept.size() != decoded->size()) {
        save();
    }
    rebuild();
}

void UserSoundStore::save() {
    QSaveFile file(m_metaPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(encodeIndex(m_entries)) < 0 || !file.commit()) {
        // Memory keeps the change; the index on disk stays as it was until a later save succeeds.
        TarvolinTimerLogger::warning(QStringLiteral("User sound index save failed: ") + file.errorString(),
                                     kContext);
    }
}

void UserSoundStore::rebuild() {
    QList<TimerSound> sounds;
    sounds.reserve(m_entries.size());
    for (const auto& entry : m_entries) {
        sounds.push_back(TimerSound::user(entry.uid, entry.name, entry.filename));
    }
    m_sounds = sounds;
    emit soundsChanged();
}

QString UserSoundStore::uniqueName(const QString& base) const {
    const QString name = base.trimmed().isEmpty() ? QStringLiteral("Sound") : base;
    const auto taken = [this](const QString& candidate) {
        for (const auto& entry : m_entries) {
            if (entry.name == candidate) {
                return true;
            }
        }
        return false;
    };
    if (!taken(name)) {
        return name;
    }
    for (qint64 n = 2;; ++n) {
        const QString candidate = name + QLatin1Char(' ') + QString::number(n);
        if (!taken(candidate)) {
            return candidate;
        }
    }
}

qsizetype UserSoundStore::entryIndex(const TimerSound& sound) const {
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (QStringLiteral("u.") + m_entries[i].uid == sound.id) {
            return i;
        }
    }
    return -1;
}
