#include "platform/Preferences.h"

#include "platform/FaultPoint.h"
#include "support/FullDescriptorTable.h"
#include "support/HostileFiles.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include <sys/resource.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace Qt::StringLiterals;

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Every byte value, and lengths that end on each base64 padding case.
QByteArray binary(qsizetype size) {
    QByteArray out(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) {
        out[i] = char((i * 7 + 3) % 256);
    }
    return out;
}

// Drops root's right to read anything for the life of the object, so permission checks apply; as another
// user the checks apply anyway. The folders used must let that user in.
class ScopedUnprivileged {
public:
    ScopedUnprivileged() : m_wasRoot(::geteuid() == 0) {
        if (m_wasRoot) {
            EXPECT_EQ(::setegid(65534), 0);
            EXPECT_EQ(::seteuid(65534), 0);
        }
    }
    ~ScopedUnprivileged() {
        if (m_wasRoot) {
            EXPECT_EQ(::seteuid(0), 0);
            EXPECT_EQ(::setegid(0), 0);
        }
    }
    ScopedUnprivileged(const ScopedUnprivileged&) = delete;
    ScopedUnprivileged& operator=(const ScopedUnprivileged&) = delete;

private:
    bool m_wasRoot;
};

// Makes every file write beyond `bytes` fail, as on a full disk (the write fails instead of the process
// being signalled), until destroyed.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_previous.rlim_max};
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~ScopedFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_handler)(int) = nullptr;
};

class PreferencesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(u"prefs.json"_s); }
};

TEST_F(PreferencesTest, TypedReadsGiveAbsentForAnotherType) {
    Preferences prefs;
    prefs.setInt(u"i"_s, 42);
    prefs.setBool(u"b"_s, true);
    prefs.setString(u"s"_s, u"text"_s);
    prefs.setDouble(u"d"_s, 2.5);
    prefs.setData(u"data"_s, QByteArray("[1]"));
    prefs.setValue(u"small"_s, QVariant(int(7))); // smaller integer types are stored as 64-bit integers

    EXPECT_EQ(prefs.intValue(u"i"_s), 42);
    EXPECT_FALSE(prefs.boolValue(u"i"_s));
    EXPECT_FALSE(prefs.stringValue(u"i"_s));
    EXPECT_EQ(prefs.doubleValue(u"i"_s), 42.0); // an integer is a number too
    EXPECT_FALSE(prefs.intValue(u"d"_s));       // but a fraction is not an integer
    EXPECT_FALSE(prefs.intValue(u"b"_s));
    EXPECT_FALSE(prefs.dataValue(u"s"_s)); // text is not data
    EXPECT_FALSE(prefs.stringValue(u"data"_s));
    EXPECT_EQ(prefs.dataValue(u"data"_s), QByteArray("[1]"));
    EXPECT_FALSE(prefs.intValue(u"missing"_s));
    EXPECT_EQ(prefs.intValue(u"small"_s), 7);
}

TEST_F(PreferencesTest, EveryWriteAndRemovalSignalsItsKey) {
    Preferences prefs;
    QSignalSpy spy(&prefs, &Preferences::changed);
    prefs.setInt(u"a"_s, 1);
    prefs.setInt(u"a"_s, 1);            // the same value again still counts as a write
    prefs.setValue(u"b"_s, QVariant()); // an invalid value removes
    prefs.remove(u"a"_s);
    ASSERT_EQ(spy.count(), 4);
    EXPECT_EQ(spy.at(0).at(0).toString(), u"a"_s);
    EXPECT_EQ(spy.at(2).at(0).toString(), u"b"_s);
    EXPECT_FALSE(prefs.contains(u"a"_s));
}

TEST_F(PreferencesTest, EveryValueTypeSurvivesTheFile) {
    // clang-format off
    QVariantMap values{
        {u"bool"_s, false}, {u"max"_s, std::numeric_limits<qint64>::max()},
        {u"min"_s, std::numeric_limits<qint64>::min()}, {u"double"_s, 0.1}, {u"whole double"_s, 3.0},
        {u"text"_s, u"日本語 \"quoted\"\n\ttab \u0001"_s}, {u"ключ \"key\""_s, qint64(1)},
        {u"map"_s, QVariantMap{{u"n"_s, qint64(-3)}, {u"blob"_s, binary(5)},
                               {u"mixed"_s, QVariantList{true, 1.5}}}}};
    // clang-format on
    for (int size : {0, 1, 2, 3, 4, 3 * 64 * 1024 + 1}) {
        values.insert(u"data%1"_s.arg(size), binary(size));
    }
    {
        Preferences prefs(path());
        for (auto [k, v] : values.asKeyValueRange()) {
            prefs.setValue(k, v);
        }
        prefs.setStringList(u"list"_s, {u"x"_s, QString()});
        prefs.flush();
    }
    Preferences reread(path());
    EXPECT_FALSE(reread.loadFailed());
    for (auto [k, v] : values.asKeyValueRange()) { // the same type, not only an equal number
        EXPECT_EQ(reread.value(k).typeId(), v.typeId()) << qPrintable(k);
        EXPECT_EQ(reread.value(k), v) << qPrintable(k);
    }
    EXPECT_EQ(reread.stringListValue(u"list"_s), (QStringList{u"x"_s, QString()}));
}

TEST_F(PreferencesTest, ListsOfTextReadAsListsEitherWay) {
    // The file cannot tell a list of strings from a string list, so both reads accept both.
    Preferences prefs;
    prefs.setValue(u"l"_s, QVariantList{u"a"_s, u"b"_s});
    prefs.setValue(u"empty"_s, QVariantList{});
    prefs.setStringList(u"sl"_s, {u"c"_s});
    prefs.setValue(u"mixed"_s, QVariantList{u"a"_s, qint64(1)});
    EXPECT_EQ(prefs.stringListValue(u"l"_s), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(prefs.stringListValue(u"empty"_s), QStringList{});
    EXPECT_EQ(prefs.listValue(u"sl"_s), QVariantList{u"c"_s});
    EXPECT_FALSE(prefs.stringListValue(u"mixed"_s));
}

TEST_F(PreferencesTest, FlushPutsPendingWritesOnDisk) {
    Preferences prefs(path());
    prefs.setCoalesceInterval(60'000); // only flush() can write within this test
    prefs.setInt(u"a"_s, 1);
    prefs.flush();
    EXPECT_EQ(Preferences::deserialize(readFile(path())), (QVariantMap{{u"a"_s, qint64(1)}}));
    prefs.remove(u"a"_s);
    prefs.flush();
    EXPECT_EQ(Preferences::deserialize(readFile(path())), QVariantMap());
}

TEST_F(PreferencesTest, CorruptFileIsKeptAsideAndTheStoreStartsEmpty) {
    const QString corrupt = path() + u".corrupt"_s;
    const QByteArray garbage("oops {\"a\": 1}"); // not a JSON object at all
    writeFile(path(), garbage);
    LogCapture log;
    {
        Preferences prefs(path());
        EXPECT_TRUE(prefs.loadFailed());
        EXPECT_TRUE(prefs.keys().isEmpty());
        ASSERT_EQ(log.entries().size(), 1);
        EXPECT_EQ(log.entries().at(0).level, TarvolinTimerLogger::Level::error);
        EXPECT_TRUE(log.lines().at(0).startsWith(u"[Preferences] Could not read"_s));
        EXPECT_EQ(readFile(corrupt), garbage);
        prefs.setInt(u"b"_s, 2); // new values go to a new file, never over the old one
        prefs.flush();
    }
    EXPECT_EQ(readFile(corrupt), garbage);
    EXPECT_EQ(Preferences(path()).intValue(u"b"_s), 2);

    // A second unreadable file does not replace the first one kept aside.
    writeFile(path(), QByteArray("[]"));
    EXPECT_TRUE(Preferences(path()).loadFailed());
    EXPECT_EQ(readFile(corrupt), garbage);
    EXPECT_EQ(QDir(dir.path()).entryList({u"*.corrupt"_s}).size(), 2);
}

TEST_F(PreferencesTest, AFailedWriteLeavesThePreviousFileLogsOnceAndIsRetried) {
    // A small file fails only when its buffer is flushed at the end; a large one fails while being written.
    for (const qsizetype size : {1024, 256 * 1024}) {
        SCOPED_TRACE(size);
        QFile::remove(path());
        {
            Preferences prefs(path());
            prefs.setString(u"timers"_s, u"the user's list"_s);
            prefs.flush();
        }
        const QByteArray good = readFile(path());
        LogCapture log;
        Preferences prefs(path());
        {
            const ScopedFileSizeLimit fullDisk(rlim_t(good.size()) + 16);
            prefs.setData(u"big"_s, binary(size));
            prefs.flush();
            prefs.setInt(u"again"_s, 1);
            prefs.flush();
            EXPECT_EQ(readFile(path()), good); // never a truncated or empty file in its place
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"prefs.json"_s}); // no leftovers
            ASSERT_EQ(log.lines().size(), 1);
            EXPECT_TRUE(log.lines().at(0).startsWith(u"[Preferences] Could not write %1: "_s.arg(path())));
            EXPECT_TRUE(log.lines().at(0).endsWith(u"; the previous file is kept"_s));
        }
        prefs.flush(); // with room again, the next write goes through even with nothing new to write
        EXPECT_EQ(Preferences(path()).dataValue(u"big"_s), binary(size));
        EXPECT_EQ(log.lines().size(), 1);
    }
}

TEST_F(PreferencesTest, AWriteThatFailedForWantOfDescriptorsIsTriedAgain) {
    const struct {
        const char* behaviour;
        bool flushRetries; // the descriptors come back while a flush waits to try again, else later
    } rows[] = {
        {"by itself, once descriptors are back", false},
        {"by the flush, which may be the program's last save", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QFile::remove(path());
        LogCapture log;
        Preferences prefs(path());
        auto full = std::make_unique<FullDescriptorTable>();
        FaultPoint::setHandler([&](const char* moment) {
            if (row.flushRetries && std::strcmp(moment, "preferences.flush-retry") == 0) {
                full.reset();
            }
        });
        const auto handlerGone = qScopeGuard([] { FaultPoint::setHandler(nullptr); });
        prefs.setString(u"timers"_s, u"the user's list"_s);
        const bool flushed = prefs.flush();
        EXPECT_EQ(flushed, row.flushRetries);
        full.reset();
        // Nothing new is written and nothing flushed: the file catches up all the same.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return Preferences::deserialize(readFile(path())).value_or(QVariantMap()).contains(u"timers"_s); },
            5000));
        EXPECT_EQ(log.lines().size(), 1) << qPrintable(log.lines().join(u'\n'));
    }
}

TEST_F(PreferencesTest, AnythingButARegularFileOfASensibleSizeIsSetAsideUnread) {
    const QString notRegular = u"not a regular file"_s;
    const struct {
        const char* behaviour;
        std::function<bool()> make;
        QString reason;
    } rows[] = {
        {"a fifo", [&] { return HostileFiles::makeFifo(path()); }, notRegular},
        {"a folder", [&] { return QDir().mkdir(path()); }, notRegular},
        {"a link to an endless device", [&] { return HostileFiles::linkToEndlessDevice(path()); },
         notRegular},
        {"a file above the size limit",
         [&] { return HostileFiles::makeSparseFile(path(), Preferences::maxFileBytes + 1); },
         u"larger than %1 bytes"_s.arg(Preferences::maxFileBytes)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        ASSERT_TRUE(row.make());
        LogCapture log;
        {
            Preferences prefs(path());
            EXPECT_TRUE(prefs.loadFailed());
            ASSERT_EQ(log.lines().size(), 1);
            EXPECT_EQ(
                log.lines().at(0),
                u"[Preferences] Could not read %1: %2; kept it as %1.corrupt and started with defaults"_s.arg(
                    path(), row.reason));
            prefs.setInt(u"a"_s, 1);
        }
        EXPECT_EQ(Preferences(path()).intValue(u"a"_s), 1);
        QDir(dir.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(dir.path()));
    }
}

TEST_F(PreferencesTest, AFileWithoutReadPermissionIsNeitherMovedNorOverwritten) {
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    writeFile(path(), Preferences::serialize({{u"a"_s, qint64(1)}}));
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0000), 0);
    const QByteArray before = QFile::encodeName(path());
    LogCapture log;
    {
        const ScopedUnprivileged unprivileged;
        Preferences prefs(path());
        EXPECT_TRUE(prefs.loadFailed());
        prefs.setInt(u"a"_s, 2);
        prefs.flush();
    }
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(
        log.lines().at(0),
        u"[Preferences] Could not read %1: Permission denied; left it as it is, changes will not be saved"_s
            .arg(path()));
    ASSERT_EQ(::chmod(before.constData(), 0600), 0);
    EXPECT_EQ(Preferences::deserialize(readFile(path())), (QVariantMap{{u"a"_s, qint64(1)}}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"prefs.json"_s});
}

TEST_F(PreferencesTest, ACorruptFileInAReadOnlyFolderNamesTheRealCause) {
    writeFile(path(), QByteArray("oops"));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    LogCapture log;
    {
        const ScopedUnprivileged unprivileged;
        Preferences prefs(path());
        EXPECT_TRUE(prefs.loadFailed());
    }
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0700), 0);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(
        log.lines().at(0),
        u"[Preferences] Could not read %1 nor copy it aside (Permission denied); changes will not be saved"_s
            .arg(path()));
    EXPECT_EQ(readFile(path()), QByteArray("oops"));
}

TEST_F(PreferencesTest, KeepAsideCopiesAValueWhereNoLaterWriteReachesIt) {
    Preferences inMemory;
    inMemory.setData(u"list"_s, QByteArray("[bad"));
    EXPECT_EQ(inMemory.keepAside(u"list"_s), u"list.corrupt"_s);
    inMemory.setData(u"list"_s, QByteArray("[worse"));
    EXPECT_EQ(inMemory.keepAside(u"list"_s), u"list.corrupt.2"_s); // an earlier copy is never replaced
    EXPECT_EQ(inMemory.dataValue(u"list.corrupt"_s), QByteArray("[bad"));
    EXPECT_EQ(inMemory.keepAside(u"missing"_s), QString());

    Preferences onDisk(path());
    onDisk.setData(u"list"_s, QByteArray("[bad"));
    const QString first = onDisk.keepAside(u"list"_s);
    EXPECT_EQ(first, path() + u".list.corrupt"_s);
    onDisk.setData(u"list"_s, QByteArray("[worse"));
    const QString second = onDisk.keepAside(u"list"_s);
    EXPECT_EQ(second, path() + u".list.2.corrupt"_s); // numbered, never over the first
    // At once on disk, in the file's form of a value written this session.
    EXPECT_EQ(readFile(first), QByteArray(R"({"$data": "W2JhZA=="})"));
    EXPECT_EQ(readFile(second), QByteArray(R"({"$data": "W3dvcnNl"})"));
    EXPECT_FALSE(onDisk.contains(u"list.corrupt"_s));
    // Kept for another reason, the same value gets a copy named for that reason.
    const QString previous = onDisk.keepAside(u"list"_s, u".previous-version"_s);
    EXPECT_EQ(previous, path() + u".list.previous-version"_s);
    EXPECT_EQ(readFile(previous), readFile(second));
}

TEST_F(PreferencesTest, ADamagedFileKeepsEveryKeyThatReadsAndIsKeptAsideWhole) {
    const QString keep = u"[Preferences] Could not read %1 whole: "_s.arg(path());
    const QString setAside =
        u"[Preferences] Could not read %1 whole; kept it as %1.corrupt and started with the %2 keys that read"_s;
    const QVariantMap usual{{u"bl.appLanguage"_s, u"en"_s}, {u"z"_s, qint64(1)}};
    const auto at = [](const QByteArray& bytes, const char* what) { return bytes.indexOf(what); };
    const QByteArray deep = "[" + QByteArray(199, '[') + QByteArray(199, ']') + "]";
    // The store's own layout, one member a line, with the first member damaged as given.
    const auto lines = [](const QByteArray& first) {
        return "{\n  " + first + ",\n  \"bl.appLanguage\": \"en\",\n  \"z\": 1\n}\n";
    };
    const struct {
        const char* behaviour;
        QByteArray bytes;
        QVariantMap kept;
        // What was passed over, one line each, given where it is (none for a file that is no object).
        std::function<QString(const QByteArray&)> problem;
    } rows[] = {
        {"huge number", R"({"bl.appLanguage": "en", "n": 1e400, "z": 1})", usual,
         [&](const QByteArray& b) {
             return u"the value of \"n\" at byte %1; left that key out"_s.arg(at(b, "1e"));
         }},
        {"integer beyond 64 bits", R"({"bl.appLanguage": "en", "n": 12345678901234567891, "z": 1})", usual,
         [&](const QByteArray& b) {
             return u"the value of \"n\" at byte %1; left that key out"_s.arg(at(b, "123"));
         }},
        {"invalid UTF-8 value", "{\"bl.appLanguage\": \"en\", \"s\": \"\xC3\x28\", \"z\": 1}", usual,
         [&](const QByteArray& b) {
             return u"the value of \"s\" at byte %1; left that key out"_s.arg(at(b, "\"\xC3"));
         }},
        {"NUL in a key", "{\"bl.appLanguage\": \"en\", \"a\0b\": 2, \"z\": 1}"_ba, usual,
         [&](const QByteArray& b) { return u"a key at byte %1; left its member out"_s.arg(at(b, "\"a")); }},
        {"200-deep array", R"({"bl.appLanguage": "en", "deep": )" + deep + R"(, "z": 1})", usual,
         [&](const QByteArray& b) {
             return u"the value of \"deep\" at byte %1; left that key out"_s.arg(at(b, "[["));
         }},
        {"comment", "{\"bl.appLanguage\": \"en\", // set by hand\n \"z\": 1}", usual,
         [&](const QByteArray& b) { return u"a comment at byte %1; passed over it"_s.arg(at(b, "//")); }},
        {"trailing comma", "{\"bl.appLanguage\": \"en\",\n \"z\": 1,\n}\n", usual,
         [&](const QByteArray& b) {
             return u"a comma after the last member at byte %1; passed over it"_s.arg(at(b, ",\n}"));
         }},
        {"a deleted colon costs its member alone", lines(R"("a" 1)"), usual,
         [&](const QByteArray& b) {
             return u"the value of \"a\": unexpected text or the end at byte %1; read on from byte %2"_s
                 .arg(at(b, "1,"))
                 .arg(at(b, "\"bl"));
         }},
        {"a changed quote costs its member alone", lines(R"("a": "x')"), usual,
         [&](const QByteArray& b) {
             return u"the value of \"a\" at byte %1 breaks off; left it out and read on from byte %2"_s
                 .arg(at(b, "\"x"))
                 .arg(at(b, "\"bl"));
         }},
        {"a repeated key takes its last value", R"({"bl.appLanguage": "ja", "z": 1, "bl.appLanguage": "en"})",
         usual,
         [&](const QByteArray& b) {
             return u"the key \"bl.appLanguage\" again at byte %1; kept its last readable value"_s.arg(
                 b.lastIndexOf("\"bl"));
         }},
        {"a repeated key takes its last readable value",
         R"({"bl.appLanguage": "en", "z": 1, "bl.appLanguage": 1e400})", usual,
         [&](const QByteArray& b) {
             return u"the key \"bl.appLanguage\" again at byte %1; kept its last readable value\n"
                    "the value of \"bl.appLanguage\" at byte %2; kept the value before it"_s
                        .arg(b.lastIndexOf("\"bl"))
                        .arg(at(b, "1e"));
         }},
        {"cut-off file", R"({"bl.appLanguage": "en", "z": 1, "list": [1, 2)", usual,
         [&](const QByteArray& b) {
             return u"the value of \"list\" at byte %1 runs to the end; kept the keys before it"_s.arg(
                 at(b, "[1"));
         }},
        {"not JSON", "<html>{\"bl.appLanguage\": \"en\"}", {}, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QDir(dir.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(dir.path()));
        writeFile(path(), row.bytes);
        LogCapture log;
        {
            Preferences prefs(path());
            EXPECT_TRUE(prefs.loadFailed());
            EXPECT_EQ(prefs.dictionary(), row.kept);
            QStringList expected{u"[Preferences] Could not read %1; kept it as %1.corrupt and started "
                                 "with defaults"_s.arg(path())};
            if (row.problem) {
                expected = (keep + row.problem(row.bytes).replace(u"\n"_s, u"\n"_s + keep)).split(u'\n');
                expected << setAside.arg(path()).arg(row.kept.size());
            }
            EXPECT_EQ(log.lines(), expected);
        }
        EXPECT_EQ(readFile(path() + u".corrupt"_s), row.bytes); // the whole original, as it was
        const Preferences reread(path()); // what read went back to the file, which now reads whole
        EXPECT_FALSE(reread.loadFailed());
        EXPECT_EQ(reread.dictionary(), row.kept);
    }
}

// Ends this process at once, as a crash or a kill would, where the store replaces a damaged file.
void killWhenReplacing(const char* moment) {
    if (std::strcmp(moment, "preferences.replacing") == 0) {
        ::raise(SIGKILL);
    }
}

// Where a death test's child finds the folder of the test that started it.
constexpr char kParentFolder[] = "TT_PREFERENCES_TEST_FOLDER";

TEST_F(PreferencesTest, ADamagedFileStaysWholeUntilItsCopyIsKeptThenIsReplacedInOneStep) {
    // Each start in a new run of this binary (forked and executed, as a fork alone of a process with Qt's
    // threads may hang). That run goes through this test from main() up to its own start, passing over the
    // others: it takes this run's folder from the environment, and prepares and checks nothing on the way.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const QString parentFolder = qEnvironmentVariable(kParentFolder);
    const bool child = !parentFolder.isEmpty();
    if (child) {
        dir.remove(); // its own is never used, and would outlive a child that is killed
    }
    const QString folder = child ? parentFolder : dir.path();
    qputenv(kParentFolder, QFile::encodeName(folder));
    const auto unset = qScopeGuard([] { qunsetenv(kParentFolder); });
    const QString file = folder + u"/prefs.json"_s;
    const QByteArray damaged = "{\n  \"a\": 1,\n  \"b\" 2,\n  \"c\": 3\n}\n";
    const QVariantMap kept{{u"a"_s, qint64(1)}, {u"c"_s, qint64(3)}};
    const struct {
        const char* behaviour;
        QByteArray bytes;
        QVariantMap kept;
        bool link;     // the path is a link to the file, as dotfile managers make it
        bool readOnly; // the file cannot be replaced
    } rows[] = {
        {"a damaged file", damaged, kept, false, false},
        {"a file that is no object", "oops", {}, false, false},
        {"a damaged file behind a link", damaged, kept, true, false},
        {"a read-only damaged file", damaged, {}, false, true},
    };
    const QString target = folder + u"/dotfiles/prefs.json"_s;
    const auto start = [&](bool readOnly, void (*hook)(const char*)) {
        // Root may replace a read-only file: such a start gives up root for good, as a user never had it.
        if (readOnly && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            std::_Exit(2);
        }
        FaultPoint::setHandler(hook);
        { const Preferences prefs(file); }
        std::_Exit(0);
    };
    const auto copies = [&] { return QDir(folder).entryList({u"*.corrupt"_s}, QDir::Files); };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        if (!child) {
            QDir(folder).removeRecursively();
            ASSERT_TRUE(QDir().mkpath(folder + u"/dotfiles"_s));
            writeFile(row.link ? target : file, row.bytes);
            if (row.link) {
                ASSERT_EQ(
                    ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(file).constData()), 0);
            }
            if (row.readOnly) {
                ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
                ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0444), 0);
            }
        }

        // Killed between keeping the copy and replacing the file: the file is there, whole and as it was.
        EXPECT_EXIT(start(row.readOnly, killWhenReplacing), ::testing::KilledBySignal(SIGKILL), "");
        if (!child) {
            EXPECT_EQ(readFile(file), row.bytes);
            EXPECT_EQ(copies(), QStringList{u"prefs.json.corrupt"_s});
            EXPECT_EQ(readFile(file + u".corrupt"_s), row.bytes);
        }

        // The next start finds that copy, makes no other, and replaces the file (through its link).
        EXPECT_EXIT(start(row.readOnly, nullptr), ::testing::ExitedWithCode(0), "");
        if (!child) {
            EXPECT_EQ(copies(), QStringList{u"prefs.json.corrupt"_s});
            if (row.readOnly) {
                EXPECT_EQ(readFile(file), row.bytes);
            } else {
                EXPECT_EQ(Preferences::deserialize(readFile(file)), row.kept);
            }
            EXPECT_EQ(QFileInfo(file).isSymLink(), row.link);
        }
    }
}

TEST_F(PreferencesTest, KeepAsideCopiesAStoredValueExactlyAsTheFileHoldsIt) {
    const QByteArray large = binary(200 * 1024).toBase64();
    QByteArray straySign = large;
    straySign[1000] = '*'; // not base64: decoding passes over it and gives other bytes
    const struct {
        const char* behaviour;
        QByteArray text;
    } rows[] = {
        {"a data value as the store writes it", R"({"$data": "W2JhZA=="})"},
        {"a data value laid out by hand", R"({ "$data" : "W2Jh\nZA==" })"},
        {"a character that is no base64", R"({"$data": "W2Jh*ZA=="})"},
        {"padding bits that decoding drops", R"({"$data": "W2JhZB=="})"},
        {"a data object with another member", R"({"$data": "W2JhZA==", "x": 1})"},
        {"a plain array", R"([{"id": 1}, 2.50])"},
        {"a large data value as written", "{\"$data\": \"" + large + "\"}"},
        {"a large data value with a stray sign", "{\"$data\": \"" + straySign + "\"}"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        QDir(dir.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(dir.path()));
        writeFile(path(), "{\"list\": " + row.text + ", \"other\": 1}");
        Preferences prefs(path());
        ASSERT_FALSE(prefs.loadFailed());
        const QString first = prefs.keepAside(u"list"_s);
        EXPECT_EQ(first, path() + u".list.corrupt"_s);
        EXPECT_EQ(readFile(first), row.text);
        EXPECT_EQ(prefs.keepAside(u"list"_s), first); // asked again with nothing written: no second copy
        EXPECT_EQ(Preferences(path()).keepAside(u"list"_s), first); // nor at a later start (a read-only file)
        // Once replaced, a second copy is the new value's and goes beside the first.
        prefs.setData(u"list"_s, QByteArray("new"));
        EXPECT_EQ(prefs.keepAside(u"list"_s), path() + u".list.2.corrupt"_s);
        EXPECT_EQ(readFile(path() + u".list.2.corrupt"_s), QByteArray(R"({"$data": "bmV3"})"));
        EXPECT_EQ(readFile(first), row.text);
    }
}

TEST_F(PreferencesTest, AStoredValueWhoseCopyFailsStaysInTheFileUntilACopyIsMade) {
    // The store's path is a link in a folder where nothing can be created, naming a file in a folder where
    // it can be replaced: copies beside the path fail, as on a full disk, while the store still writes.
    const QString linkFolder = dir.filePath(u"link"_s);
    const QString realFolder = dir.filePath(u"real"_s);
    const QString link = linkFolder + u"/prefs.json"_s;
    const QString real = realFolder + u"/prefs.json"_s;
    ASSERT_TRUE(QDir().mkpath(linkFolder));
    ASSERT_TRUE(QDir().mkpath(realFolder));
    const QByteArray stored = R"({"$data": "W2Jh*ZA=="})";
    writeFile(real, "{\"list\": " + stored + ", \"other\": 1}");
    ASSERT_EQ(::symlink(QFile::encodeName(real).constData(), QFile::encodeName(link).constData()), 0);
    for (const QString& folder : {dir.path(), realFolder}) {
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(linkFolder).constData(), 0555), 0);

    LogCapture log;
    std::unique_ptr<Preferences> prefs;
    {
        const ScopedUnprivileged unprivileged;
        prefs = std::make_unique<Preferences>(link);
        prefs->setCoalesceInterval(60'000); // only flush() writes within this test
        // Kept for a reason of its own, which the copy made later is named for too.
        EXPECT_EQ(prefs->keepAside(u"list"_s, u".previous-version"_s), QString());
        prefs->setData(u"list"_s, QByteArray("new")); // memory changes; the file keeps the stored text
        prefs->setInt(u"other"_s, 2);
        ASSERT_TRUE(prefs->flush());
        prefs->remove(u"list"_s);
        ASSERT_TRUE(prefs->flush());
        EXPECT_EQ(readFile(real), "{\n  \"list\": " + stored + ",\n  \"other\": 2\n}\n");
        EXPECT_FALSE(prefs->contains(u"list"_s));
    }
    ASSERT_EQ(log.lines().size(), 1); // once, however often it is retried
    EXPECT_EQ(log.lines().at(0),
              u"[Preferences] Could not keep a copy of the stored value of list (Permission "
              "denied); %1 keeps it as it is until a copy can be made"_s.arg(link));

    // Room again: the next write makes the copy first, then writes what memory holds.
    ASSERT_EQ(::chmod(QFile::encodeName(linkFolder).constData(), 0755), 0);
    prefs->setInt(u"other"_s, 3);
    ASSERT_TRUE(prefs->flush());
    const QString copy = link + u".list.previous-version"_s;
    EXPECT_EQ(readFile(copy), stored);
    ASSERT_EQ(log.lines().size(), 2);
    EXPECT_EQ(log.lines().at(1),
              u"[Preferences] Kept the stored value of list as %1; it may now be replaced"_s.arg(copy));
    EXPECT_EQ(Preferences::deserialize(readFile(real)), (QVariantMap{{u"other"_s, qint64(3)}}));
}

TEST_F(PreferencesTest, ReaderAcceptsAnyJsonObjectFormAndRefusesAnythingElse) {
    // Hand-edited: byte-order mark, other spacing, data in a non-canonical form, null, escapes.
    const auto values = Preferences::deserialize(QByteArray(
        "\xEF\xBB\xBF { \"a\" :1,\"data\":{ \"$data\" : \"AAEC\" },\"spaced\":{\"$data\":\"AA\\nEC\"},"
        "\"n\": null, \"list\": [1, \"x\"], \"esc\\u0041\": \"\\u00e9\" }\n"));
    const QByteArray bytes("\x00\x01\x02", 3);
    // clang-format off
    EXPECT_EQ(values, (QVariantMap{{u"a"_s, qint64(1)}, {u"data"_s, bytes}, {u"spaced"_s, bytes},
                                   {u"list"_s, QVariantList{qint64(1), u"x"_s}}, {u"escA"_s, u"é"_s}}));
    // clang-format on
    EXPECT_EQ(Preferences::deserialize("{}"), QVariantMap());

    auto nested = [](int depth) { return "{\"a\":" + QByteArray(depth, '[') + QByteArray(depth, ']') + "}"; };
    EXPECT_TRUE(Preferences::deserialize(nested(64)));
    for (const QByteArray& bad :
         {QByteArray(), QByteArray("[]"), QByteArray("{\"a\":1,}"), QByteArray("{\"a\":1} x"),
          QByteArray("{\"a\" 1}"), QByteArray("{\"a\":\"unterminated}"), QByteArray("{\"a\":tru}"),
          QByteArray("{\"a\":[1,2}"), QByteArray("{\"a\":1e400}"), QByteArray("{\"a\":{\"$data\":\"AAEC\"}"),
          QByteArray("{a:1}"), nested(65)}) {
        EXPECT_FALSE(Preferences::deserialize(bad)) << bad.left(40).constData();
    }
}

TEST_F(PreferencesTest, SuitesOpenByPlainNameOnly) {
    EXPECT_EQ(Preferences::openSuite(QString()), nullptr);
    EXPECT_EQ(Preferences::openSuite(u"../escape"_s), nullptr);
    const auto suite = Preferences::openSuite(u"com.example.test-suite"_s);
    ASSERT_NE(suite, nullptr);
    EXPECT_EQ(suite->filePath(), Preferences::pathForSuite(u"com.example.test-suite"_s));
    EXPECT_TRUE(suite->filePath().startsWith(Preferences::configDirectory()));
    EXPECT_EQ(Preferences::readSuite(u"../escape"_s), nullptr);
}

TEST_F(PreferencesTest, ReadingAnotherSuiteNeverWritesOrMovesItsFile) {
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    const QString name = u"com.example.other"_s;
    const QString file = Preferences::pathForSuite(name);
    const auto missing = Preferences::readSuite(name);
    ASSERT_NE(missing, nullptr);
    EXPECT_TRUE(missing->keys().isEmpty());

    QDir().mkpath(Preferences::configDirectory());
    writeFile(file, Preferences::serialize({{u"a"_s, qint64(1)}}));
    {
        const auto copy = Preferences::readSuite(name);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->intValue(u"a"_s), 1);
        copy->setInt(u"a"_s, 2);
    }
    EXPECT_EQ(Preferences::deserialize(readFile(file)), (QVariantMap{{u"a"_s, qint64(1)}}));

    LogCapture log;
    writeFile(file, QByteArray("{oops"));
    EXPECT_EQ(Preferences::readSuite(name), nullptr);
    EXPECT_EQ(readFile(file), QByteArray("{oops"));
    EXPECT_TRUE(log.lines().isEmpty());
    qunsetenv("XDG_CONFIG_HOME");
}

} // namespace
