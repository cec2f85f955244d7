#include "services/UserSoundStore.h"

#include "platform/JsonCodec.h"
#include "platform/StoredFile.h"
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

const QString kAsideSuffix = QStringLiteral(".corrupt");

// Entry by entry: each needs all three texts, and one that cannot be read costs only itself.
QList<UserSoundEntry> decodeIndex(const QByteArray& bytes, RecordListReading& reading) {
    QList<UserSoundEntry> entries;
    reading = readFlatRecordElements(bytes, [&entries](const FlatRecord& record) {
        auto uid = record.string("uid");
        auto name = record.string("name");
        auto filename = record.string("filename");
        if (!uid || !name || !filename) {
            return false;
        }
        entries.push_back({std::move(*uid), std::move(*name), std::move(*filename)});
        return true;
    });
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
    m_entries.clear();
    const StoredFile::Read file = StoredFile::readRegular(m_metaPath, maxIndexBytes);
    switch (file.outcome) {
    case StoredFile::Read::absent:
        rebuild();
        return;
    case StoredFile::Read::failed:
        // Not a damaged index (no permission, an I/O error): left as it is and never written over.
        m_saveBlocked = true;
        TarvolinTimerLogger::warning(
            QStringLiteral("User sound index unreadable (%1), starting empty; left it "
                           "as it is, changes to the library will not be saved")
                .arg(file.error),
            kContext);
        rebuild();
        return;
    case StoredFile::Read::notRegular:
    case StoredFile::Read::tooLarge: {
        // Nothing to read or copy from it: moved aside whole, so a new index can take its place.
        QString why;
        const QString aside = StoredFile::moveAside(m_metaPath, kAsideSuffix, &why);
        if (aside.isEmpty()) {
            m_saveBlocked = true;
            TarvolinTimerLogger::warning(
                QStringLiteral("User sound index unreadable (%1), starting empty; could "
                               "not move it aside (%2), changes to the library will "
                               "not be saved")
                    .arg(file.error, why),
                kContext);
        } else {
            TarvolinTimerLogger::warning(
                QStringLiteral("User sound index unreadable (%1), starting empty; moved it aside as %2")
                    .arg(file.error, aside),
                kContext);
        }
        rebuild();
        return;
    }
    case StoredFile::Read::read:
        break;
    }

    RecordListReading reading;
    const QList<UserSoundEntry> decoded = decodeIndex(file.bytes, reading);
    if (!reading.isClean()) {
        // The index is rewritten below with what read; the original goes aside first, exactly as it was.
        m_copyBeforeSave = true;
        QString where;
        QString why;
        const bool copied = keepIndexCopy(where, why);
        const QString copy = copied ? QStringLiteral("; a copy is kept as ") + where
                                    : QStringLiteral("; could not keep a copy (%1), so it is left as it is "
                                                     "until one can be made")
                                          .arg(why);
        if (decoded.isEmpty()) {
            TarvolinTimerLogger::warning(QStringLiteral("User sound index unreadable, starting empty") + copy,
                                         kContext);
        } else {
            TarvolinTimerLogger::warning(
                QStringLiteral("User sound index unreadable in part: restored %1 sounds and left out %2 "
                               "entries that could not be read")
                        .arg(decoded.size())
                        .arg(reading.unreadable) +
                    copy,
                kContext);
        }
    }

    const QDir folder(m_dir);
    QList<UserSoundEntry> kept;
    for (const auto& entry : decoded) {
        if (isPlainFileName(entry.filename) && QFileInfo(folder.filePath(entry.filename)).isFile()) {
            kept.push_back(entry);
        }
    }
    m_entries = kept;
    if (kept.size() != decoded.size() || !reading.isClean()) {
        save();
    }
    rebuild();
}

bool UserSoundStore::keepIndexCopy(QString& where, QString& why) {
    const StoredFile::Read file = StoredFile::readRegular(m_metaPath, maxIndexBytes);
    if (file.outcome == StoredFile::Read::absent) {
        m_copyBeforeSave = false; // nothing left to keep
        return true;
    }
    if (file.outcome != StoredFile::Read::read) {
        why = file.error;
        return false;
    }
    where = StoredFile::writeAside(
        m_metaPath, kAsideSuffix,
        [&file](const StoredFile::Sink& sink) { return sink(file.bytes.constData(), file.bytes.size()); },
        &why);
    if (where.isEmpty()) {
        return false;
    }
    m_copyBeforeSave = false;
    return true;
}

void UserSoundStore::save() {
    if (m_saveBlocked) {
        return;
    }
    if (m_copyBeforeSave) {
        // A damaged index is replaced only once a copy of it is on disk; until then memory alone changes.
        QString where;
        QString why;
        if (!keepIndexCopy(where, why)) {
            return;
        }
        if (!where.isEmpty()) {
            TarvolinTimerLogger::warning(QStringLiteral("User sound index copied aside as %1").arg(where),
                                         kContext);
        }
    }
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
