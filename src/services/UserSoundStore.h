#pragma once
// The user's own sounds: files copied into one folder under new names, listed in "user_sounds.json".

#include "services/TimerSound.h"
#include "services/UserSoundEntry.h"
#include "services/UserSoundError.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <variant>

class UserSoundStore : public QObject {
    Q_OBJECT
public:
    using AddResult = std::variant<TimerSound, UserSoundError>;

    // Creates the folder when missing (a failure only shows later, as a failed import) and reads the index.
    explicit UserSoundStore(const QString& baseDirectory, QObject* parent = nullptr);

    // The library in the user's data folder, made on first use.
    static UserSoundStore& shared();
    // <data folder>/TarvolinTimer/com.dellowar.tarvolintimer/UserSounds
    static QString defaultBaseDirectory();
    // Lower-case extensions an import accepts.
    static const QStringList& allowedExtensions();
    static QString indexFileName() { return QStringLiteral("user_sounds.json"); }
    // An index above this is set aside unread: far above any real library (an entry takes about 130 bytes).
    static constexpr qint64 maxIndexBytes = 16 * 1024 * 1024;

    // In index order; each has kind user and category custom.
    const QList<TimerSound>& sounds() const { return m_sounds; }
    std::optional<TimerSound> sound(const QString& id) const;

    QString dir() const { return m_dir; }
    QString metaPath() const { return m_metaPath; }

    // Copies a regular local file into the folder under a new uid and lists it under a name not yet used.
    AddResult add(const QUrl& from);
    // Trims the name; a blank name, a sound of another kind or an unknown sound changes nothing.
    void rename(const TimerSound& sound, const QString& newName);
    // Deletes the file (a failure is ignored) and the entry.
    void remove(const TimerSound& sound);

signals:
    // After `sounds` changed.
    void soundsChanged();

private:
    void load();
    void save();
    // Copies the index file as it is to a new numbered "user_sounds.json.corrupt" name; true when it is on
    // disk (or there is no file left to keep), else `why` says what failed.
    bool keepIndexCopy(QString& where, QString& why);
    void rebuild();
    QString uniqueName(const QString& base) const;
    qsizetype entryIndex(const TimerSound& sound) const;

    QList<TimerSound> m_sounds;
    QList<UserSoundEntry> m_entries;
    QString m_dir;
    QString m_metaPath;
    // The index on disk is damaged and must be copied aside before anything replaces it.
    bool m_copyBeforeSave = false;
    // The index could not be read nor moved aside: it is never written over.
    bool m_saveBlocked = false;
};
