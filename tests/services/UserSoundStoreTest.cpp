// The user sound library on a temporary folder: import, names, rename, delete, and a damaged index.
#include "services/UserSoundStore.h"

#include "support/HostileFiles.h"
#include "support/LogCapture.h"

#include "QStringPrinting.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace Qt::StringLiterals;

class UserSoundStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        QDir(m_root.path()).mkpath(u"picked"_s);
    }

    QString libraryDir() const { return m_root.filePath(u"Library/UserSounds"_s); }
    // A file the user picks, outside the library.
    QUrl pick(const QString& name, const QByteArray& bytes = "RIFF-not-really") {
        const QString path = m_root.filePath(u"picked/"_s + name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return QUrl::fromLocalFile(path);
    }
    QByteArray indexBytes() const {
        QFile file(QDir(libraryDir()).filePath(u"user_sounds.json"_s));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QJsonArray index() const { return QJsonDocument::fromJson(indexBytes()).array(); }
    void writeIndex(const QByteArray& bytes) {
        QDir().mkpath(libraryDir());
        QFile file(QDir(libraryDir()).filePath(u"user_sounds.json"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void touch(const QString& name) {
        QFile file(QDir(libraryDir()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    QStringList libraryFiles() const {
        return QDir(libraryDir()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

    static TimerSound added(const UserSoundStore::AddResult& result) {
        EXPECT_TRUE(std::holds_alternative<TimerSound>(result));
        return std::holds_alternative<TimerSound>(result) ? std::get<TimerSound>(result) : TimerSound{};
    }
    static QStringList names(const UserSoundStore& store) {
        QStringList out;
        for (const auto& s : store.sounds()) {
            out << s.displayName;
        }
        return out;
    }

    QTemporaryDir m_root;
};

TEST_F(UserSoundStoreTest, ImportCopiesTheFileUnderANewUidWithItsLowerCaseExtension) {
    struct Row {
        const char* behaviour;
        QString fileName;
        QString name;
        QString ext;
    };
    const QList<Row> rows = {
        {"capital extension is lowered", u"Bell.MP3"_s, u"Bell"_s, u"mp3"_s},
        {"only the last extension counts", u"take.2.m4a"_s, u"take.2"_s, u"m4a"_s},
        {"a blank name becomes Sound", u"   .wav"_s, u"Sound"_s, u"wav"_s},
        {"a non-blank name keeps its spaces", u" Rain .aiff"_s, u" Rain "_s, u"aiff"_s},
    };
    const QRegularExpression upperUuid(u"^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"_s);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QDir(libraryDir()).removeRecursively();
        UserSoundStore store(libraryDir());
        QSignalSpy changed(&store, &UserSoundStore::soundsChanged);
        const TimerSound sound = added(store.add(pick(row.fileName, "audio bytes")));

        const QString uid = sound.id.mid(2);
        EXPECT_TRUE(sound.id.startsWith(u"u."_s));
        EXPECT_TRUE(upperUuid.match(uid).hasMatch()) << uid.toStdString();
        EXPECT_EQ(sound, TimerSound::user(uid, row.name, uid + u'.' + row.ext));
        EXPECT_EQ(store.sounds(), QList<TimerSound>{sound});
        EXPECT_EQ(changed.size(), 1);

        QFile copy(QDir(libraryDir()).filePath(sound.resource));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), "audio bytes");
        const QJsonObject entry = index().at(0).toObject();
        EXPECT_EQ(entry.value(u"uid"_s).toString(), uid);
        EXPECT_EQ(entry.value(u"name"_s).toString(), row.name);
        EXPECT_EQ(entry.value(u"filename"_s).toString(), sound.resource);
        EXPECT_EQ(index().size(), 1);
        // What a later start reads back is the same library.
        EXPECT_EQ(UserSoundStore(libraryDir()).sounds(), store.sounds());
    }
}

TEST_F(UserSoundStoreTest, ImportedNamesAreMadeUniqueWithTheFirstFreeNumber) {
    UserSoundStore store(libraryDir());
    const QUrl bell = pick(u"Bell.mp3"_s);
    added(store.add(bell));
    const TimerSound second = added(store.add(bell));
    added(store.add(bell));
    EXPECT_EQ(names(store), (QStringList{u"Bell"_s, u"Bell 2"_s, u"Bell 3"_s}));

    // Renaming frees "Bell 2"; names differing only in case are different names.
    store.rename(second, u"Chime"_s);
    added(store.add(bell));
    added(store.add(pick(u"bell.wav"_s)));
    EXPECT_EQ(names(store), (QStringList{u"Bell"_s, u"Chime"_s, u"Bell 3"_s, u"Bell 2"_s, u"bell"_s}));
}

TEST_F(UserSoundStoreTest, ARefusedImportReportsWhyAndChangesNothing) {
    struct Row {
        const char* behaviour;
        std::function<QUrl()> source;
        UserSoundError error;
        QString message;
        QStringList lines;
    };
    const QStringList copyLine = {u"[UserSoundStore] User sound copy failed"_s};
    const QString copyMessage = u"Couldn't import the sound. Please try again."_s;
    const QList<Row> rows = {
        {"a text file",
         [&] { return pick(u"notes.txt"_s); },
         UserSoundError(UserSoundError::unsupportedFormat{u"txt"_s}),
         u"This format (.txt) can't be added. Please choose mp3 / wav / m4a / aiff, etc."_s,
         {}},
        {"no extension",
         [&] { return pick(u"README"_s); },
         UserSoundError(UserSoundError::unsupportedFormat{QString()}),
         u"This format (.) can't be added. Please choose mp3 / wav / m4a / aiff, etc."_s,
         {}},
        {"a file that vanished", [&] { return QUrl::fromLocalFile(m_root.filePath(u"picked/gone.wav"_s)); },
         UserSoundError(UserSoundError::copyFailed{}), copyMessage, copyLine},
        {"a folder named like a sound",
         [&] {
             QDir(m_root.path()).mkpath(u"picked/album.mp3"_s);
             return QUrl::fromLocalFile(m_root.filePath(u"picked/album.mp3"_s));
         },
         UserSoundError(UserSoundError::copyFailed{}), copyMessage, copyLine},
        {"a remote location", [] { return QUrl(u"https://example.invalid/tune.mp3"_s); },
         UserSoundError(UserSoundError::copyFailed{}), copyMessage, copyLine},
    };
    UserSoundStore store(libraryDir());
    const TimerSound kept = added(store.add(pick(u"Kept.wav"_s)));
    const QByteArray indexBefore = indexBytes();
    const QStringList filesBefore = libraryFiles();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        LogCapture log;
        const auto result = store.add(row.source());
        ASSERT_TRUE(std::holds_alternative<UserSoundError>(result));
        EXPECT_EQ(std::get<UserSoundError>(result), row.error);
        EXPECT_EQ(std::get<UserSoundError>(result).errorDescription(), row.message);
        EXPECT_EQ(log.lines(), row.lines);
        EXPECT_EQ(store.sounds(), QList<TimerSound>{kept});
        EXPECT_EQ(indexBytes(), indexBefore);
        EXPECT_EQ(libraryFiles(), filesBefore);
    }
}

TEST_F(UserSoundStoreTest, RenameStoresTheTrimmedNameOfAUserSoundOnly) {
    struct Row {
        const char* behaviour;
        bool builtIn;
        bool unknownUid;
        QString newName;
        QStringList names;
    };
    const QList<Row> rows = {
        {"spaces around are trimmed", false, false, u"  Morning bell \n"_s, {u"Morning bell"_s, u"Other"_s}},
        {"a name already used is allowed", false, false, u"Other"_s, {u"Other"_s, u"Other"_s}},
        {"a blank name changes nothing", false, false, u" \u3000\t"_s, {u"Bell"_s, u"Other"_s}},
        {"a built-in sound is not renamed", true, false, u"Mine"_s, {u"Bell"_s, u"Other"_s}},
        {"an unknown user sound changes nothing", false, true, u"Mine"_s, {u"Bell"_s, u"Other"_s}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QDir(libraryDir()).removeRecursively();
        UserSoundStore store(libraryDir());
        TimerSound target = added(store.add(pick(u"Bell.wav"_s)));
        added(store.add(pick(u"Other.wav"_s)));
        if (row.builtIn) {
            target = TimerSound::bundled(u"bell"_s, u"Bell"_s, SoundCategory::bell);
        }
        if (row.unknownUid) {
            target.id = u"u.00000000-0000-0000-0000-000000000000"_s;
        }
        store.rename(target, row.newName);
        EXPECT_EQ(names(store), row.names);
        EXPECT_EQ(names(UserSoundStore(libraryDir())), row.names); // the index says the same
    }
}

TEST_F(UserSoundStoreTest, RemoveDropsTheEntryAndItsFileEvenWhenTheFileIsGone) {
    for (const bool deletedByHand : {false, true}) {
        SCOPED_TRACE(deletedByHand ? "file already gone" : "file present");
        QDir(libraryDir()).removeRecursively();
        UserSoundStore store(libraryDir());
        const TimerSound target = added(store.add(pick(u"Bell.wav"_s)));
        const TimerSound other = added(store.add(pick(u"Other.wav"_s)));
        const QString file = QDir(libraryDir()).filePath(target.resource);
        if (deletedByHand) {
            QFile::remove(file);
        }
        store.remove(target);
        EXPECT_EQ(names(store), QStringList{u"Other"_s});
        EXPECT_FALSE(QFile::exists(file));
        EXPECT_TRUE(QFile::exists(QDir(libraryDir()).filePath(other.resource)));
        EXPECT_EQ(names(UserSoundStore(libraryDir())), QStringList{u"Other"_s});
    }
}

TEST_F(UserSoundStoreTest, LoadingDropsEntriesWhoseFileIsMissingOrOutsideTheFolder) {
    struct Row {
        const char* behaviour;
        QString filename;
    };
    const QList<Row> rows = {
        {"file deleted by hand", u"AAAAAAAA-0000-0000-0000-000000000002.wav"_s},
        {"a path into a sub-folder", u"sub/x.wav"_s},
        {"a path out of the folder", u"../outside.wav"_s},
        {"an absolute path", m_root.filePath(u"outside.wav"_s)},
        {"an empty name", QString()},
        {"a folder named like a sound", u"folder.wav"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QDir(libraryDir()).removeRecursively();
        QDir(libraryDir()).mkpath(u"sub"_s);
        QDir(libraryDir()).mkpath(u"folder.wav"_s);
        touch(u"sub/x.wav"_s);
        touch(u"AAAAAAAA-0000-0000-0000-000000000001.wav"_s);
        for (const QString& path :
             {m_root.filePath(u"outside.wav"_s), m_root.filePath(u"Library/outside.wav"_s)}) {
            QFile outside(path);
            ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
        }
        QJsonArray entries;
        entries.append(QJsonObject{{u"uid"_s, u"AAAAAAAA-0000-0000-0000-000000000001"_s},
                                   {u"name"_s, u"Kept"_s},
                                   {u"filename"_s, u"AAAAAAAA-0000-0000-0000-000000000001.wav"_s}});
        entries.append(QJsonObject{{u"uid"_s, u"AAAAAAAA-0000-0000-0000-000000000002"_s},
                                   {u"name"_s, u"Dropped"_s},
                                   {u"filename"_s, row.filename}});
        writeIndex(QJsonDocument(entries).toJson());

        UserSoundStore store(libraryDir());
        EXPECT_EQ(names(store), QStringList{u"Kept"_s});
        EXPECT_EQ(index().size(), 1); // rewritten at once
        EXPECT_EQ(index().at(0).toObject().value(u"name"_s).toString(), u"Kept"_s);
        // Whatever the entry named is left alone, and removing a sound never reaches it.
        store.remove(store.sounds().at(0));
        EXPECT_TRUE(QFile::exists(m_root.filePath(u"outside.wav"_s)));
        EXPECT_TRUE(QFile::exists(m_root.filePath(u"Library/outside.wav"_s)));
        EXPECT_TRUE(QFile::exists(QDir(libraryDir()).filePath(u"sub/x.wav"_s)));
    }
}

TEST_F(UserSoundStoreTest, ADamagedIndexKeepsEveryEntryThatReadsAndACopyOfItself) {
    const QByteArray good = R"({"uid":"A","name":"B","filename":"A.wav"})";
    const QByteArray other = R"({"uid":"C","name":"D","filename":"C.wav"})";
    const struct {
        const char* behaviour;
        QByteArray bytes;
        QStringList names;
    } rows[] = {
        {"not JSON", "{ this is not json", {}},
        {"an entry without a name", R"([{"uid":"A","filename":"A.wav"}])", {}},
        {"one bad entry among good ones", "[" + good + ", 3, " + other + "]", {u"B"_s, u"D"_s}},
        {"a repeated key whose last value is no text",
         R"([{"uid":"A","name":"B","filename":"A.wav","name":1}])",
         {}},
        {"text after the list", "[" + good + "]x", {u"B"_s}},
        {"an entry without its list's brackets", good, {u"B"_s}},
        {"malformed UTF-8 in one entry",
         "[" + good + ", {\"uid\":\"E\",\"name\":\"\xC3\x28\",\"filename\":\"E.wav\"}, " + other + "]",
         {u"B"_s, u"D"_s}},
        {"members nested too deep",
         R"([{"uid":"A","name":"B","filename":"A.wav","x":)" + QByteArray(257, '[') + QByteArray(257, ']') +
             "}, " + other + "]",
         {u"D"_s}},
        {"a list cut short", "[" + good + ", " + other.left(20), {u"B"_s}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QDir(libraryDir()).removeRecursively();
        writeIndex(row.bytes);
        touch(u"A.wav"_s);
        touch(u"C.wav"_s);
        LogCapture log;
        UserSoundStore store(libraryDir());
        EXPECT_EQ(names(store), row.names);
        QFile aside(QDir(libraryDir()).filePath(u"user_sounds.json.corrupt"_s));
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), row.bytes); // the original, exactly
        // The index now holds what read, so the next start reads it whole.
        EXPECT_EQ(names(UserSoundStore(libraryDir())), row.names);
        ASSERT_EQ(log.lines().size(), 1);
        EXPECT_TRUE(log.lines().at(0).startsWith(u"[UserSoundStore] User sound index unreadable"_s));
        EXPECT_TRUE(log.lines().at(0).endsWith(u"a copy is kept as "_s + aside.fileName()));

        added(store.add(pick(u"New.wav"_s)));
        EXPECT_EQ(names(UserSoundStore(libraryDir())), row.names + QStringList{u"New"_s});
    }
}

TEST_F(UserSoundStoreTest, ASecondDamagedIndexKeepsTheFirstCopyToo) {
    const QByteArray first = R"([{"uid":"A","name":"B","filename":"A.wav"}, 1])";
    const QByteArray second = R"([{"uid":"A","name":"B","filename":"A.wav"}, 2])";
    writeIndex(first);
    touch(u"A.wav"_s);
    { const UserSoundStore store(libraryDir()); }
    writeIndex(second);
    { const UserSoundStore store(libraryDir()); }
    const auto read = [this](const QString& name) {
        QFile file(QDir(libraryDir()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    EXPECT_EQ(read(u"user_sounds.json.corrupt"_s), first);
    EXPECT_EQ(read(u"user_sounds.json.2.corrupt"_s), second);
}

TEST_F(UserSoundStoreTest, OnlyARegularIndexOfASensibleSizeIsRead) {
    const QString path = QDir(libraryDir()).filePath(u"user_sounds.json"_s);
    const QString notRegular = u"not a regular file"_s;
    const struct {
        const char* behaviour;
        std::function<bool()> make;
        QString reason;
    } rows[] = {
        {"a fifo", [&] { return HostileFiles::makeFifo(path); }, notRegular},
        {"a link to an endless device", [&] { return HostileFiles::linkToEndlessDevice(path); }, notRegular},
        {"an index above the size limit",
         [&] { return HostileFiles::makeSparseFile(path, UserSoundStore::maxIndexBytes + 1); },
         u"larger than %1 bytes"_s.arg(UserSoundStore::maxIndexBytes)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QDir(libraryDir()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(libraryDir()));
        ASSERT_TRUE(row.make());
        LogCapture log;
        UserSoundStore store(libraryDir());
        EXPECT_TRUE(store.sounds().isEmpty());
        EXPECT_EQ(log.lines(),
                  QStringList{u"[UserSoundStore] User sound index unreadable (%1), starting empty; "
                              "moved it aside as %2.corrupt"_s.arg(row.reason, path)});
        added(store.add(pick(u"Bell.wav"_s))); // a new index takes its place
        EXPECT_EQ(names(UserSoundStore(libraryDir())), QStringList{u"Bell"_s});
    }
}

TEST_F(UserSoundStoreTest, TheIndexIsReadAsAnEditorMayLeaveIt) {
    struct Row {
        const char* behaviour;
        QByteArray bytes;
        QStringList names;
    };
    const QList<Row> rows = {
        {"a byte-order mark before the list",
         "\xEF\xBB\xBF"
         R"([{"uid":"A","name":"B","filename":"A.wav"}])",
         {u"B"_s}},
        {"an empty list", "[]", {}},
        {"spaces and line breaks",
         " [\n { \"uid\" : \"A\" , \"name\" : \"B\" , \"filename\" : \"A.wav\" }\n] ",
         {u"B"_s}},
        {"unknown members", R"([{"uid":"A","name":"B","filename":"A.wav","x":{"y":[1,null]}}])", {u"B"_s}},
        {"a repeated key: the last counts",
         R"([{"uid":"A","name":"B","filename":"A.wav","name":"C"}])",
         {u"C"_s}},
        {"escapes",
         R"([{"uid":"A","name":"\u00e9\n\"\ud83d\ude00","filename":"A\u002ewav"}])",
         {u"\u00e9\n\"\U0001F600"_s}},
        {"members nested as deep as allowed",
         R"([{"uid":"A","name":"B","filename":"A.wav","x":)" + QByteArray(256, '[') + QByteArray(256, ']') +
             "}]",
         {u"B"_s}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QDir(libraryDir()).removeRecursively();
        writeIndex(row.bytes);
        touch(u"A.wav"_s);
        LogCapture log;
        UserSoundStore store(libraryDir());
        EXPECT_EQ(names(store), row.names);
        EXPECT_TRUE(log.lines().isEmpty());
        EXPECT_EQ(indexBytes(), row.bytes); // read as it is, not rewritten
    }
}

TEST_F(UserSoundStoreTest, NamesNeedingEscapesSurviveTheIndex) {
    const QString tricky[] = {u"q\"b\\s/\u0001\u007f"_s, u"書く\u2028😀"_s, u"\uFEFFmarked"_s};
    for (const QString& name : tricky) {
        SCOPED_TRACE(name.toStdString());
        QDir(libraryDir()).removeRecursively();
        UserSoundStore store(libraryDir());
        const TimerSound sound = added(store.add(pick(u"Bell.wav"_s)));
        store.rename(sound, name);
        EXPECT_EQ(index().size(), 1); // another reader takes it for JSON
        EXPECT_EQ(names(UserSoundStore(libraryDir())), QStringList{name});
    }
}

TEST_F(UserSoundStoreTest, AFailedIndexSaveIsLoggedAndTheLibraryKeepsTheSound) {
    // A folder where the index should be, once the store is open: it cannot be replaced.
    UserSoundStore store(libraryDir());
    QDir(libraryDir()).mkpath(u"user_sounds.json"_s);
    LogCapture log;
    const TimerSound sound = added(store.add(pick(u"Bell.wav"_s)));
    EXPECT_EQ(store.sounds(), QList<TimerSound>{sound});
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().at(0).startsWith(u"[UserSoundStore] User sound index save failed"_s));
}

} // namespace
