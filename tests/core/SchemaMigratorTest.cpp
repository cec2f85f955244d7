#include "core/SchemaMigrator.h"

#include "platform/Preferences.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using SM = SchemaMigrator;

QString key(const char* name) {
    return QString::fromLatin1(name);
}
void setAll(Preferences& prefs, const QVariantMap& values) {
    for (auto [k, v] : values.asKeyValueRange()) {
        prefs.setValue(k, v);
    }
}
QString importLine(int count) {
    return u"[SchemaMigrator] Legacy bundle (com.dellowar.quorvane2) migration completed (migrated %1 keys)"_s
        .arg(count);
}
QString moveLine(int count) {
    return u"[SchemaMigrator] Schema v2 migration completed (migrated %1 keys)"_s.arg(count);
}
QString queueKeptLine(const QString& copy) {
    return u"[SchemaMigrator] Kept brindlet.relay.queue from the previous version as %1 before the migration "
           u"removed it"_s.arg(copy);
}

TEST(SchemaMigrator, FreshInstallSetsEveryFlagOnceAndLogsZeroCounts) {
    Preferences defaults;
    Preferences legacy;
    LogCapture log;
    auto runAll = [&] {
        SM::migrateLegacyBundleIfNeeded(defaults, &legacy);
        SM::migrateIfNeeded(defaults, QDateTime::currentDateTimeUtc());
    };
    runAll();
    const QString v11 = u"[SchemaMigrator] Migration v1.0 to v1.1 completed (shortcut defaults skipped)"_s;
    EXPECT_EQ(log.lines(), (QStringList{importLine(0), moveLine(0), v11}));
    for (const auto& entry : log.entries()) {
        EXPECT_EQ(entry.level, TarvolinTimerLogger::Level::info);
    }
    for (const char* flag : {SM::kBundleRenameCompletedKey, SM::kV2CompletedKey, SM::kV11CompletedKey,
                             SM::kShortcutsAppliedDefaultsKey}) {
        EXPECT_EQ(defaults.boolValue(key(flag)), true) << flag;
    }
    EXPECT_EQ(defaults.keys().size(), 4);

    // The next launch does nothing, even with legacy values around.
    log.clear();
    legacy.setInt(u"late"_s, 1);
    defaults.setInt(u"brindlet.lastDuration"_s, 60);
    runAll();
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_FALSE(defaults.contains(u"late"_s));
    EXPECT_FALSE(defaults.contains(u"quorvane.lastDuration"_s));

    // A legacy domain that cannot be opened ends the import silently.
    Preferences other;
    SM::migrateLegacyBundleIfNeeded(other, nullptr);
    EXPECT_EQ(other.boolValue(key(SM::kBundleRenameCompletedKey)), true);
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(SchemaMigrator, ImportSkipsPlatformKeysAndNeverOverwrites) {
    Preferences defaults;
    defaults.setString(u"quorvane.theme.accent"_s, u"cream"_s);
    Preferences legacy;
    // The skipped prefixes are case-sensitive.
    // clang-format off
    setAll(legacy, {{u"brindlet.presets"_s, QByteArray("[]")}, {u"NSWindowFrame"_s, qint64(1)},
                    {u"AppleLanguages"_s, u"ja"_s}, {u"quorvane.theme.accent"_s, u"black"_s},
                    {u"nsLowerCase"_s, true}, {u"applePie"_s, true}});
    // clang-format on
    LogCapture log;
    SM::migrateLegacyBundleIfNeeded(defaults, &legacy);
    EXPECT_EQ(log.lines(), QStringList{importLine(3)});
    EXPECT_EQ(defaults.dataValue(u"brindlet.presets"_s), QByteArray("[]")); // copied as it is
    EXPECT_EQ(defaults.stringValue(u"quorvane.theme.accent"_s), u"cream"_s);
    EXPECT_FALSE(defaults.contains(u"NSWindowFrame"_s));
    EXPECT_FALSE(defaults.contains(u"AppleLanguages"_s));
    EXPECT_TRUE(defaults.contains(u"nsLowerCase"_s));
    EXPECT_TRUE(defaults.contains(u"applePie"_s));
    EXPECT_EQ(legacy.keys().size(), 6); // the legacy domain is only read

    // The imported legacy key is then moved by the same launch.
    log.clear();
    SM::migrateV1ToV2(defaults);
    EXPECT_EQ(log.lines(), QStringList{moveLine(1)});
    EXPECT_EQ(defaults.dataValue(u"quorvane.presets"_s), QByteArray("[]"));
    EXPECT_FALSE(defaults.contains(u"brindlet.presets"_s));
}

TEST(SchemaMigrator, MoveTakesOverLegacyValuesAndDropsRelayKeysWithTheQueueKeptFromThePreviousVersion) {
    Preferences defaults;
    // clang-format off
    setAll(defaults, {{u"brindlet.presets"_s, QByteArray("[1]")}, {u"brindlet.lastDuration"_s, qint64(90)},
                      {u"brindlet.scheduledTimers"_s, QByteArray("[2]")},
                      {u"brindlet.activeTimers"_s, QByteArray("[3]")},
                      {u"brindlet.schemaVersion"_s, qint64(1)}, {u"brindlet.history"_s, QByteArray("[old]")},
                      {u"quorvane.schemaVersion"_s, qint64(2)},
                      {u"brindlet.relay.active"_s, true}, {u"brindlet.relay.queue"_s, QByteArray("[]")}});
    // clang-format on
    LogCapture log;
    SM::migrateV1ToV2(defaults);
    EXPECT_EQ(log.lines(),
              (QStringList{queueKeptLine(u"brindlet.relay.queue.previous-version"_s), moveLine(6)}));
    EXPECT_EQ(defaults.boolValue(key(SM::kV2CompletedKey)), true);
    defaults.remove(key(SM::kV2CompletedKey));
    // Everything moved (the schema version over the current one: it is raised again next launch); no
    // legacy key is left.
    const QVariantMap moved{{u"quorvane.presets"_s, QByteArray("[1]")},
                            {u"quorvane.lastDuration"_s, qint64(90)},
                            {u"quorvane.scheduledTimers"_s, QByteArray("[2]")},
                            {u"quorvane.activeTimers"_s, QByteArray("[3]")},
                            {u"quorvane.schemaVersion"_s, qint64(1)},
                            {u"quorvane.history"_s, QByteArray("[old]")},
                            {u"brindlet.relay.queue.previous-version"_s, QByteArray("[]")}};
    EXPECT_EQ(defaults.dictionary(), moved) << defaults.keys().join(u' ').toStdString();
}

TEST(SchemaMigrator, MoveNeverWritesOverACurrentValueNorDropsTheQueueWithoutACopy) {
    QTemporaryDir dir;
    const QVariantMap both{{u"brindlet.activeTimers"_s, QByteArray("[legacy]")},
                           {u"quorvane.activeTimers"_s, QByteArray("[current]")},
                           {u"brindlet.history"_s, QByteArray("[old]")},
                           {u"brindlet.relay.queue"_s, QByteArray("[queued]")}};
    const QString kept = u"brindlet.activeTimers.previous-version"_s;
    const QString keptLine = u"[SchemaMigrator] Kept brindlet.activeTimers from the previous version as %1: "
                             u"quorvane.activeTimers already holds a value"_s;
    const QString queueKept = u"brindlet.relay.queue.previous-version"_s;
    const struct {
        const char* behaviour;
        QVariant flag; // invalid: absent
        // So long a file name that no copy beside it can be made; empty: a store in memory.
        QString file;
        QStringList lines;
        QVariantMap after; // without the flag
    } rows[] = {
        {"no flag",
         QVariant(),
         {},
         {keptLine.arg(kept), queueKeptLine(queueKept), moveLine(1)},
         {{u"quorvane.activeTimers"_s, QByteArray("[current]")},
          {kept, QByteArray("[legacy]")},
          {u"quorvane.history"_s, QByteArray("[old]")},
          {queueKept, QByteArray("[queued]")}}},
        {"a flag of the wrong type",
         u"true"_s,
         {},
         {keptLine.arg(kept), queueKeptLine(queueKept), moveLine(1)},
         {{u"quorvane.activeTimers"_s, QByteArray("[current]")},
          {kept, QByteArray("[legacy]")},
          {u"quorvane.history"_s, QByteArray("[old]")},
          {queueKept, QByteArray("[queued]")}}},
        {"no copy can be made: the legacy values stay where they are",
         QVariant(),
         dir.filePath(QString(235, u'p') + u".json"_s),
         {u"[SchemaMigrator] Left brindlet.activeTimers in place: quorvane.activeTimers already holds a "
          u"value "
          u"and brindlet.activeTimers could not be copied aside"_s,
          u"[SchemaMigrator] Left brindlet.relay.queue in place: it could not be copied aside"_s,
          moveLine(1)},
         {{u"quorvane.activeTimers"_s, QByteArray("[current]")},
          {u"brindlet.activeTimers"_s, QByteArray("[legacy]")},
          {u"quorvane.history"_s, QByteArray("[old]")},
          {u"brindlet.relay.queue"_s, QByteArray("[queued]")}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        Preferences defaults(row.file);
        setAll(defaults, both);
        if (row.flag.isValid()) {
            defaults.setValue(key(SM::kV2CompletedKey), row.flag);
        }
        LogCapture log;
        SM::migrateV1ToV2(defaults);
        EXPECT_EQ(log.linesFrom(u"SchemaMigrator"_s), row.lines);
        EXPECT_EQ(defaults.boolValue(key(SM::kV2CompletedKey)), true);
        defaults.remove(key(SM::kV2CompletedKey));
        EXPECT_EQ(defaults.dictionary(), row.after) << defaults.keys().join(u' ').toStdString();
    }
}

TEST(SchemaMigrator, TheQueueIsKeptBesideTheFileAsItStandsThereAndOnceWhenMetAgain) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"prefs.json"_s);
    const QByteArray queue = R"({ "$data" : "W3F1ZXVlZF0=" })"; // laid out by hand: copied as it is
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("{\"brindlet.relay.queue\": " + queue + "}");
    }
    const QString copy = path + u".brindlet.relay.queue.previous-version"_s;
    // The second store read the file before the first wrote it back, as the next start does after one that
    // ended first: it meets the queue again and keeps the same copy.
    Preferences first(path);
    Preferences second(path);
    for (Preferences* defaults : {&first, &second}) {
        LogCapture log;
        SM::migrateV1ToV2(*defaults);
        EXPECT_EQ(log.linesFrom(u"SchemaMigrator"_s), (QStringList{queueKeptLine(copy), moveLine(0)}))
            << log.lines().join(u'\n').toStdString();
        EXPECT_FALSE(defaults->contains(u"brindlet.relay.queue"_s));
    }
    QFile kept(copy);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), queue);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{u"prefs.json"_s, QFileInfo(copy).fileName()}));
}

TEST(SchemaMigrator, EachStepIsGuardedByItsOwnFlag) {
    Preferences defaults;
    // clang-format off
    setAll(defaults, {{key(SM::kV2CompletedKey), true}, {u"brindlet.presets"_s, QByteArray("[1]")},
                      {key(SM::kV11CompletedKey), true}, {key(SM::kShortcutsAppliedDefaultsKey), false}});
    // clang-format on
    LogCapture log;
    SM::migrateIfNeeded(defaults, QDateTime());
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_TRUE(defaults.contains(u"brindlet.presets"_s));
    EXPECT_EQ(defaults.boolValue(key(SM::kShortcutsAppliedDefaultsKey)), false);

    // A flag of the wrong type is not a set flag.
    defaults.setString(key(SM::kV2CompletedKey), u"true"_s);
    SM::migrateV1ToV2(defaults);
    EXPECT_EQ(defaults.dataValue(u"quorvane.presets"_s), QByteArray("[1]"));
}

TEST(SchemaMigrator, ImportOpensTheLegacySuiteByName) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    {
        const auto legacy = Preferences::openSuite(key(SM::kLegacySuiteName));
        ASSERT_NE(legacy, nullptr);
        legacy->setInt(u"brindlet.lastDuration"_s, 45);
        legacy->flush();
    }
    Preferences defaults;
    SM::migrateLegacyBundleIfNeeded(defaults);
    EXPECT_EQ(defaults.intValue(u"brindlet.lastDuration"_s), 45);
    EXPECT_EQ(defaults.boolValue(key(SM::kBundleRenameCompletedKey)), true);

    // An unreadable legacy file is a domain that cannot be opened: the step ends silently and leaves the
    // file where it is.
    const QString path = Preferences::pathForSuite(key(SM::kLegacySuiteName));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("{\"brindlet.presets\": oops");
    file.close();
    Preferences fresh;
    LogCapture log;
    SM::migrateLegacyBundleIfNeeded(fresh);
    EXPECT_EQ(fresh.boolValue(key(SM::kBundleRenameCompletedKey)), true);
    EXPECT_EQ(fresh.keys().size(), 1);
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join(u'\n').toStdString();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(path + u".corrupt"_s));
    qunsetenv("XDG_CONFIG_HOME");
}

} // namespace
