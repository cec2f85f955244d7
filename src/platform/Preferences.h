#pragma once
// Typed per-user key–value store: one JSON file per domain, written atomically off the UI thread.

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QVariantMap>

#include <memory>
#include <optional>

class JsonWriter;
class PreferencesWriter;
class QIODevice;

class Preferences : public QObject {
    Q_OBJECT
public:
    // A store kept in `filePath`; an empty path keeps it in memory only (tests, fallbacks).
    explicit Preferences(const QString& filePath = {}, QObject* parent = nullptr);
    ~Preferences() override;

    // The standard domain of this user. Tests may install their own instance (nullptr restores the file one).
    static Preferences& standard();
    static void setStandard(Preferences* preferences);

    // Another domain by suite name (for example an earlier release's), opened from the same folder.
    static std::unique_ptr<Preferences> openSuite(const QString& suiteName);
    // Another domain's values, only to be read: an in-memory copy that writes nothing back (empty when the
    // domain has no file), or nullptr when the name is not a plain name or the file cannot be read. The file
    // is left exactly as it is, even when unreadable: it belongs to someone else.
    static std::unique_ptr<Preferences> readSuite(const QString& suiteName);
    static QString configDirectory();
    static QString pathForSuite(const QString& suiteName);

    QString filePath() const { return m_filePath; }

    bool contains(const QString& key) const { return m_values.contains(key); }
    QStringList keys() const { return m_values.keys(); }
    QVariantMap dictionary() const { return m_values; }
    // The raw value (invalid when absent): bool, qint64, double, QString, QStringList, QByteArray,
    // QVariantMap or QVariantList.
    QVariant value(const QString& key) const { return m_values.value(key); }

    // Typed reads: a value of another type reads as absent.
    std::optional<bool> boolValue(const QString& key) const;
    std::optional<qint64> intValue(const QString& key) const;
    std::optional<double> doubleValue(const QString& key) const;
    std::optional<QString> stringValue(const QString& key) const;
    std::optional<QStringList> stringListValue(const QString& key) const;
    std::optional<QByteArray> dataValue(const QString& key) const;
    std::optional<QVariantMap> mapValue(const QString& key) const;
    std::optional<QVariantList> listValue(const QString& key) const;

    // Writes; each one emits changed(key). An invalid QVariant removes the key.
    void setValue(const QString& key, const QVariant& value);
    void setBool(const QString& key, bool value) { setValue(key, QVariant(value)); }
    void setInt(const QString& key, qint64 value) { setValue(key, QVariant(value)); }
    void setDouble(const QString& key, double value) { setValue(key, QVariant(value)); }
    void setString(const QString& key, const QString& value) { setValue(key, QVariant(value)); }
    void setStringList(const QString& key, const QStringList& value) { setValue(key, QVariant(value)); }
    void setData(const QString& key, const QByteArray& value) { setValue(key, QVariant(value)); }
    void remove(const QString& key);

    // Writes pending changes now and waits until they are on disk (used at quit). False when the file could
    // not be written (the previous one is then still in place); true for a store without a file.
    bool flush();
    // How long writes are gathered before one file write.
    void setCoalesceInterval(int milliseconds) { m_coalesce.setInterval(milliseconds); }

    // True when the file could not be read whole at start: it was kept aside as `<file>.corrupt` (copied,
    // then replaced by the members that read, which the store starts with; or moved when nothing could be
    // read from it), or left where it was and then nothing is written over it.
    bool loadFailed() const { return m_loadFailed; }

    // Keeps a copy of the stored value under `key` where no later write reaches it, before anyone replaces
    // or removes it. The copy holds the value's JSON text exactly as it stands in the file (for a key not
    // written since the file was read; else as the file form of the value in memory), in a new file beside
    // the store's, `<file>.<key><suffix>`, then `<file>.<key>.2<suffix>`, … (the key's first 64 characters,
    // a slash or NUL in it made "_"): an earlier copy is never replaced, and one that already holds exactly
    // this text (made at an earlier start, say) is used again. It is synced to disk before this returns.
    // The suffix says why the value is kept: `.corrupt` for one that cannot be used as it stands.
    // Returns its path, or an empty string when there is no such value or the copy could not be written.
    //
    // When the copy cannot be written (a full disk), the key is pinned: its member stays in the file
    // exactly as it stood, whatever later setValue() or remove() calls do to the value in memory; the copy
    // is tried again at each later write of the file, and once it is made the value in memory is written.
    // A store with no file keeps the copy as a key "<key><suffix>" (then "<key><suffix>.2", …) instead.
    QString keepAside(const QString& key, const QString& suffix = QStringLiteral(".corrupt"));

    // Above this a file is set aside unread: well over the largest the program writes (999,999 timers with
    // long titles make about 270 MB), and small enough to read and decode under a 4 GB address-space limit.
    static constexpr qint64 maxFileBytes = qint64(1) << 30;
    // How deep a member's value may nest: far more than the store writes (it nests nothing), and bounded, as
    // reading deeper values would recurse without bound. A deeper one makes that member unreadable.
    static constexpr int maxValueDepth = 64;

    // The file form, exposed for tests and tools. deserialize gives none for anything that is not one whole
    // well-formed JSON object, that nests deeper than this store ever writes, repeats a key or holds a number
    // it would write back as another; a store reading its file keeps what reads of a damaged one
    // (StoredObjectReading).
    static QByteArray serialize(const QVariantMap& values);
    static std::optional<QVariantMap> deserialize(const QByteArray& bytes);
    // The same form written in pieces, so a large data value is never in memory twice; false on a write
    // error. `bytesWritten` receives the length of the whole form.
    static bool serializeTo(QIODevice& device, const QVariantMap& values, qint64* bytesWritten = nullptr);

signals:
    void changed(const QString& key);

private:
    friend class PreferencesWriter;
    // A member of the file as it stands there: its exact text, or (with no text) a value whose file form
    // is that text.
    struct StoredMember {
        QByteArray text;
        QVariant value;
        bool replaced = false; // pinned, and memory has changed since
        QString suffix{};      // pinned: what its copy's name is to end in
    };

    void load();
    // A file nothing could be read from, moved aside whole.
    void setAside(const QString& reason);
    // A damaged file: `bytes`, read from it, are kept aside, then the file is replaced by what read.
    void replaceDamaged(const QByteArray& bytes, const QString& reason);
    void scheduleWrite();
    void writeNow();
    // The stored member of `key` as keepAside() copies it; false when there is none.
    bool storedMember(const QString& key, StoredMember& member) const;
    QString writeCopy(const QString& key, const StoredMember& member, const QString& suffix,
                      QString* error) const;
    void retryPinnedCopies();
    // A write of `key`: what was read or copied of it no longer stands for it.
    void forget(const QString& key);
    // The file form, with each pinned member written as it stands instead of its value in memory.
    static void writeForm(JsonWriter& w, const QVariantMap& values,
                          const QMap<QString, StoredMember>& pinned);
    static bool writeFormTo(QIODevice& device, const QVariantMap& values,
                            const QMap<QString, StoredMember>& pinned, qint64* bytesWritten);

    QString m_filePath;
    QVariantMap m_values;
    // The text of members read from the file and not written since, where writing their value would not
    // give that text back (hand-written or damaged ones); our own clean file needs none.
    QHash<QString, QByteArray> m_loadedText;
    // Pinned members, whose copy could not be made: the file keeps them as they stand until it is.
    QMap<QString, StoredMember> m_pinned;
    // Where each value not written since keepAside() copied it went, so asking again makes no second copy.
    QHash<QString, QString> m_copiedTo;
    QTimer m_coalesce;
    bool m_dirty = false;
    bool m_loadFailed = false;
    std::unique_ptr<PreferencesWriter> m_writer;
};
