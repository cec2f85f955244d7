#include "platform/Preferences.h"

#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

namespace {

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

class PreferencesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("prefs.json")); }
};

TEST_F(PreferencesTest, TypedReadsGiveAbsentForAnotherType) {
    Preferences prefs;
    prefs.setInt(QStringLiteral("i"), 42);
    prefs.setBool(QStringLiteral("b"), true);
    prefs.setString(QStringLiteral("s"), QStringLiteral("text"));
    prefs.setDouble(QStringLiteral("d"), 2.5);
    prefs.setData(QStringLiteral("data"), QByteArray("[1]"));
    prefs.setStringList(QStringLiteral("sl"), {QStringLiteral("a")});

    EXPECT_EQ(prefs.intValue(QStringLiteral("i")), 42);
    EXPECT_FALSE(prefs.boolValue(QStringLiteral("i")));
    EXPECT_FALSE(prefs.stringValue(QStringLiteral("i")));
    EXPECT_EQ(prefs.doubleValue(QStringLiteral("i")), 42.0); // an integer is a number too
    EXPECT_FALSE(prefs.intValue(QStringLiteral("d")));       // but a fraction is not an integer
    EXPECT_FALSE(prefs.intValue(QStringLiteral("b")));
    EXPECT_FALSE(prefs.dataValue(QStringLiteral("s"))); // text is not data
    EXPECT_FALSE(prefs.stringValue(QStringLiteral("data")));
    EXPECT_EQ(prefs.dataValue(QStringLiteral("data")), QByteArray("[1]"));
    EXPECT_FALSE(prefs.intValue(QStringLiteral("missing")));
    // Smaller integer types are stored as 64-bit integers.
    prefs.setValue(QStringLiteral("small"), QVariant(int(7)));
    EXPECT_EQ(prefs.intValue(QStringLiteral("small")), 7);
}

TEST_F(PreferencesTest, EveryWriteAndRemovalSignalsItsKey) {
    Preferences prefs;
    QSignalSpy spy(&prefs, &Preferences::changed);
    prefs.setInt(QStringLiteral("a"), 1);
    prefs.setInt(QStringLiteral("a"), 1);            // the same value again still counts as a write
    prefs.setValue(QStringLiteral("b"), QVariant()); // an invalid value removes
    prefs.remove(QStringLiteral("a"));
    ASSERT_EQ(spy.count(), 4);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("a"));
    EXPECT_EQ(spy.at(2).at(0).toString(), QStringLiteral("b"));
    EXPECT_FALSE(prefs.contains(QStringLiteral("a")));
}

TEST_F(PreferencesTest, EveryValueTypeSurvivesTheFile) {
    const QVariantMap nested{{QStringLiteral("n"), QVariant(qint64(-3))},
                             {QStringLiteral("blob"), QVariant(binary(5))},
                             {QStringLiteral("mixed"), QVariantList{QVariant(true), QVariant(1.5)}}};
    {
        Preferences prefs(path());
        prefs.setBool(QStringLiteral("bool"), false);
        prefs.setInt(QStringLiteral("max"), std::numeric_limits<qint64>::max());
        prefs.setInt(QStringLiteral("min"), std::numeric_limits<qint64>::min());
        prefs.setDouble(QStringLiteral("double"), 0.1);
        prefs.setDouble(QStringLiteral("whole double"), 3.0);
        prefs.setString(QStringLiteral("text"), QStringLiteral("日本語 \"quoted\"\n\ttab \u0001"));
        prefs.setStringList(QStringLiteral("list"), {QStringLiteral("x"), QString()});
        for (int size : {0, 1, 2, 3, 4, 3 * 64 * 1024 + 1}) {
            prefs.setData(QStringLiteral("data%1").arg(size), binary(size));
        }
        prefs.setValue(QStringLiteral("map"), nested);
        prefs.setValue(QStringLiteral("ключ \"key\""), QVariant(qint64(1)));
        prefs.flush();
    }
    Preferences reread(path());
    EXPECT_FALSE(reread.loadFailed());
    EXPECT_EQ(reread.boolValue(QStringLiteral("bool")), false);
    EXPECT_EQ(reread.intValue(QStringLiteral("max")), std::numeric_limits<qint64>::max());
    EXPECT_EQ(reread.intValue(QStringLiteral("min")), std::numeric_limits<qint64>::min());
    EXPECT_EQ(reread.doubleValue(QStringLiteral("double")), 0.1);
    EXPECT_EQ(reread.doubleValue(QStringLiteral("whole double")), 3.0);
    EXPECT_FALSE(reread.intValue(QStringLiteral("whole double"))); // stays a double
    EXPECT_EQ(reread.stringValue(QStringLiteral("text")), QStringLiteral("日本語 \"quoted\"\n\ttab \u0001"));
    EXPECT_EQ(reread.stringListValue(QStringLiteral("list")), (QStringList{QStringLiteral("x"), QString()}));
    for (int size : {0, 1, 2, 3, 4, 3 * 64 * 1024 + 1}) {
        EXPECT_EQ(reread.dataValue(QStringLiteral("data%1").arg(size)), binary(size)) << size;
    }
    EXPECT_EQ(reread.mapValue(QStringLiteral("map")), nested);
    EXPECT_EQ(reread.intValue(QStringLiteral("ключ \"key\"")), 1);
}

TEST_F(PreferencesTest, ListsOfTextReadAsListsEitherWay) {
    // The file cannot tell a list of strings from a string list, so both reads accept both.
    Preferences prefs;
    prefs.setValue(QStringLiteral("l"), QVariantList{QStringLiteral("a"), QStringLiteral("b")});
    prefs.setValue(QStringLiteral("empty"), QVariantList{});
    EXPECT_EQ(prefs.stringListValue(QStringLiteral("l")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(prefs.stringListValue(QStringLiteral("empty")), QStringList{});
    prefs.setStringList(QStringLiteral("sl"), {QStringLiteral("c")});
    EXPECT_EQ(prefs.listValue(QStringLiteral("sl")), QVariantList{QStringLiteral("c")});
    prefs.setValue(QStringLiteral("mixed"), QVariantList{QStringLiteral("a"), QVariant(qint64(1))});
    EXPECT_FALSE(prefs.stringListValue(QStringLiteral("mixed")));
}

TEST_F(PreferencesTest, FlushPutsPendingWritesOnDisk) {
    Preferences prefs(path());
    prefs.setCoalesceInterval(60'000); // only flush() can write within this test
    prefs.setInt(QStringLiteral("a"), 1);
    prefs.flush();
    auto onDisk = Preferences::deserialize(readFile(path()));
    ASSERT_TRUE(onDisk);
    EXPECT_EQ(onDisk->value(QStringLiteral("a")), QVariant(qint64(1)));

    prefs.remove(QStringLiteral("a"));
    prefs.flush();
    onDisk = Preferences::deserialize(readFile(path()));
    ASSERT_TRUE(onDisk);
    EXPECT_FALSE(onDisk->contains(QStringLiteral("a")));
}

TEST_F(PreferencesTest, CorruptFileIsKeptAsideAndTheStoreStartsEmpty) {
    const QByteArray garbage("{\"a\": 1, oops");
    writeFile(path(), garbage);
    LogCapture log;
    {
        Preferences prefs(path());
        EXPECT_TRUE(prefs.loadFailed());
        EXPECT_TRUE(prefs.keys().isEmpty());
        ASSERT_EQ(log.entries().size(), 1);
        EXPECT_EQ(log.entries().at(0).level, TarvolinTimerLogger::Level::error);
        EXPECT_TRUE(log.entries().at(0).line.startsWith(QStringLiteral("[Preferences] Could not read")));
        EXPECT_EQ(readFile(path() + QStringLiteral(".corrupt")), garbage);

        prefs.setInt(QStringLiteral("b"), 2); // new values go to a new file, never over the old one
        prefs.flush();
    }
    EXPECT_EQ(readFile(path() + QStringLiteral(".corrupt")), garbage);
    EXPECT_EQ(Preferences(path()).intValue(QStringLiteral("b")), 2);

    // A second unreadable file does not replace the first one kept aside.
    writeFile(path(), QByteArray("[]"));
    Preferences again(path());
    EXPECT_TRUE(again.loadFailed());
    EXPECT_EQ(readFile(path() + QStringLiteral(".corrupt")), garbage);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.corrupt")}).size(), 2);
}

TEST_F(PreferencesTest, ReaderAcceptsAnyJsonObjectForm) {
    // Hand-edited: byte-order mark, other spacing, data in a non-canonical form, null, escapes.
    const auto values = Preferences::deserialize(QByteArray(
        "\xEF\xBB\xBF { \"a\" :1,\"data\":{ \"$data\" : \"AAEC\" },\"spaced\":{\"$data\":\"AA\\nEC\"},"
        "\"n\": null, \"list\": [1, \"x\"], \"esc\\u0041\": \"\\u00e9\" }\n"));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->value(QStringLiteral("a")), QVariant(qint64(1)));
    EXPECT_EQ(values->value(QStringLiteral("data")), QVariant(QByteArray("\x00\x01\x02", 3)));
    EXPECT_EQ(values->value(QStringLiteral("spaced")), QVariant(QByteArray("\x00\x01\x02", 3)));
    EXPECT_FALSE(values->contains(QStringLiteral("n")));
    EXPECT_EQ(values->value(QStringLiteral("list")).typeId(), QMetaType::QVariantList);
    EXPECT_EQ(values->value(QStringLiteral("escA")), QVariant(QStringLiteral("é")));
    EXPECT_EQ(Preferences::deserialize("{}"), QVariantMap());
}

TEST_F(PreferencesTest, ReaderRefusesWhatIsNotOneJsonObject) {
    const QByteArray deep = QByteArray("{\"a\":") + QByteArray(65, '[') + QByteArray(65, ']') + "}";
    const QByteArray shallow = QByteArray("{\"a\":") + QByteArray(64, '[') + QByteArray(64, ']') + "}";
    for (const QByteArray& bad :
         {QByteArray(), QByteArray("[]"), QByteArray("{\"a\":1,}"), QByteArray("{\"a\":1} x"),
          QByteArray("{\"a\" 1}"), QByteArray("{\"a\":\"unterminated}"), QByteArray("{\"a\":tru}"),
          QByteArray("{\"a\":[1,2}"), QByteArray("{\"a\":1e400}"), QByteArray("{\"a\":{\"$data\":\"AAEC\"}"),
          QByteArray("{a:1}"), deep}) {
        EXPECT_FALSE(Preferences::deserialize(bad)) << bad.left(40).constData();
    }
    EXPECT_TRUE(Preferences::deserialize(shallow));
}

TEST_F(PreferencesTest, SuitesOpenByPlainNameOnly) {
    EXPECT_EQ(Preferences::openSuite(QString()), nullptr);
    EXPECT_EQ(Preferences::openSuite(QStringLiteral("../escape")), nullptr);
    const auto suite = Preferences::openSuite(QStringLiteral("com.example.test-suite"));
    ASSERT_NE(suite, nullptr);
    EXPECT_EQ(suite->filePath(), Preferences::pathForSuite(QStringLiteral("com.example.test-suite")));
    EXPECT_TRUE(suite->filePath().startsWith(Preferences::configDirectory()));
}

} // namespace
