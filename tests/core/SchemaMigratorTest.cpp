#include "core/SchemaMigrator.h"

#include "platform/Preferences.h"
#include "support/LogCapture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString key(const char* name) {
    return QString::fromLatin1(name);
}

const QString kImportLine0 = QStringLiteral(
    "[SchemaMigrator] Legacy bundle (com.dellowar.quorvane2) migration completed (migrated 0 keys)");
const QString kMoveLine0 = QStringLiteral("[SchemaMigrator] Schema v2 migration completed (migrated 0 keys)");
const QString kV11Line =
    QStringLiteral("[SchemaMigrator] Migration v1.0 to v1.1 completed (shortcut defaults skipped)");

void runAll(Preferences& defaults, Preferences* legacy) {
    SchemaMigrator::migrateLegacyBundleIfNeeded(defaults, legacy);
    SchemaMigrator::migrateIfNeeded(defaults, QDateTime::currentDateTimeUtc());
}

TEST(SchemaMigrator, FreshInstallSetsEveryFlagOnceAndLogsZeroCounts) {
    Preferences defaults;
    Preferences legacy;
    LogCapture log;
    runAll(defaults, &legacy);
    EXPECT_EQ(log.lines(), (QStringList{kImportLine0, kMoveLine0, kV11Line}));
    for (const auto& entry : log.entries()) {
        EXPECT_EQ(entry.level, TarvolinTimerLogger::Level::info);
    }
    for (const char* flag :
         {SchemaMigrator::kBundleRenameCompletedKey, SchemaMigrator::kV2CompletedKey,
          SchemaMigrator::kV11CompletedKey, SchemaMigrator::kShortcutsAppliedDefaultsKey}) {
        EXPECT_EQ(defaults.boolValue(key(flag)), true) << flag;
    }
    EXPECT_EQ(defaults.keys().size(), 4);

    // The next launch does nothing, even with legacy values around.
    log.clear();
    legacy.setInt(QStringLiteral("late"), 1);
    defaults.setInt(QStringLiteral("brindlet.lastDuration"), 60);
    runAll(defaults, &legacy);
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_FALSE(defaults.contains(QStringLiteral("late")));
    EXPECT_FALSE(defaults.contains(QStringLiteral("quorvane.lastDuration")));
}

TEST(SchemaMigrator, UnopenableLegacyDomainEndsTheImportSilently) {
    Preferences defaults;
    LogCapture log;
    SchemaMigrator::migrateLegacyBundleIfNeeded(defaults, nullptr);
    EXPECT_EQ(defaults.boolValue(key(SchemaMigrator::kBundleRenameCompletedKey)), true);
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(SchemaMigrator, ImportSkipsPlatformKeysAndNeverOverwrites) {
    Preferences defaults;
    defaults.setString(QStringLiteral("quorvane.theme.accent"), QStringLiteral("cream"));
    Preferences legacy;
    legacy.setData(QStringLiteral("brindlet.presets"), QByteArray("[]"));
    legacy.setInt(QStringLiteral("NSWindowFrame"), 1);
    legacy.setString(QStringLiteral("AppleLanguages"), QStringLiteral("ja"));
    legacy.setString(QStringLiteral("quorvane.theme.accent"), QStringLiteral("black"));
    legacy.setBool(QStringLiteral("nsLowerCase"), true); // the prefixes are case-sensitive
    legacy.setBool(QStringLiteral("applePie"), true);
    LogCapture log;
    SchemaMigrator::migrateLegacyBundleIfNeeded(defaults, &legacy);
    EXPECT_EQ(log.lines(),
              QStringList{QStringLiteral("[SchemaMigrator] Legacy bundle (com.dellowar.quorvane2) "
                                         "migration completed (migrated 3 keys)")});
    EXPECT_EQ(defaults.dataValue(QStringLiteral("brindlet.presets")), QByteArray("[]")); // copied as it is
    EXPECT_EQ(defaults.stringValue(QStringLiteral("quorvane.theme.accent")), QStringLiteral("cream"));
    EXPECT_FALSE(defaults.contains(QStringLiteral("NSWindowFrame")));
    EXPECT_FALSE(defaults.contains(QStringLiteral("AppleLanguages")));
    EXPECT_TRUE(defaults.contains(QStringLiteral("nsLowerCase")));
    EXPECT_TRUE(defaults.contains(QStringLiteral("applePie")));
    EXPECT_EQ(legacy.keys().size(), 6); // the legacy domain is only read

    // The imported legacy key is then moved by the same launch.
    log.clear();
    SchemaMigrator::migrateV1ToV2(defaults);
    EXPECT_EQ(log.lines(), QStringList{QStringLiteral(
                               "[SchemaMigrator] Schema v2 migration completed (migrated 1 keys)")});
    EXPECT_EQ(defaults.dataValue(QStringLiteral("quorvane.presets")), QByteArray("[]"));
    EXPECT_FALSE(defaults.contains(QStringLiteral("brindlet.presets")));
}

TEST(SchemaMigrator, MoveReplacesCurrentValuesAndDropsRelayKeys) {
    Preferences defaults;
    defaults.setData(QStringLiteral("brindlet.presets"), QByteArray("[1]"));
    defaults.setInt(QStringLiteral("brindlet.lastDuration"), 90);
    defaults.setData(QStringLiteral("brindlet.scheduledTimers"), QByteArray("[2]"));
    defaults.setData(QStringLiteral("brindlet.activeTimers"), QByteArray("[3]"));
    defaults.setInt(QStringLiteral("brindlet.schemaVersion"), 1);
    defaults.setData(QStringLiteral("brindlet.history"), QByteArray("[old]"));
    defaults.setData(QStringLiteral("quorvane.history"), QByteArray("[new]"));
    defaults.setInt(QStringLiteral("quorvane.schemaVersion"), 2);
    defaults.setBool(QStringLiteral("brindlet.relay.active"), true);
    defaults.setData(QStringLiteral("brindlet.relay.queue"), QByteArray("[]"));
    LogCapture log;
    SchemaMigrator::migrateV1ToV2(defaults);
    EXPECT_EQ(log.lines(), QStringList{QStringLiteral(
                               "[SchemaMigrator] Schema v2 migration completed (migrated 6 keys)")});
    EXPECT_EQ(defaults.dataValue(QStringLiteral("quorvane.presets")), QByteArray("[1]"));
    EXPECT_EQ(defaults.intValue(QStringLiteral("quorvane.lastDuration")), 90);
    EXPECT_EQ(defaults.dataValue(QStringLiteral("quorvane.scheduledTimers")), QByteArray("[2]"));
    EXPECT_EQ(defaults.dataValue(QStringLiteral("quorvane.activeTimers")), QByteArray("[3]"));
    EXPECT_EQ(defaults.intValue(QStringLiteral("quorvane.schemaVersion")), 1); // raised again next launch
    EXPECT_EQ(defaults.dataValue(QStringLiteral("quorvane.history")), QByteArray("[old]"));
    for (const QString& k : defaults.keys()) {
        EXPECT_FALSE(k.startsWith(QStringLiteral("brindlet."))) << qPrintable(k);
    }
    EXPECT_EQ(defaults.boolValue(key(SchemaMigrator::kV2CompletedKey)), true);
}

TEST(SchemaMigrator, EachStepIsGuardedByItsOwnFlag) {
    Preferences defaults;
    defaults.setBool(key(SchemaMigrator::kV2CompletedKey), true);
    defaults.setData(QStringLiteral("brindlet.presets"), QByteArray("[1]"));
    defaults.setBool(key(SchemaMigrator::kV11CompletedKey), true);
    defaults.setBool(key(SchemaMigrator::kShortcutsAppliedDefaultsKey), false);
    LogCapture log;
    SchemaMigrator::migrateIfNeeded(defaults, QDateTime());
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_TRUE(defaults.contains(QStringLiteral("brindlet.presets")));
    EXPECT_EQ(defaults.boolValue(key(SchemaMigrator::kShortcutsAppliedDefaultsKey)), false);

    // A flag of the wrong type is not a set flag.
    defaults.setString(key(SchemaMigrator::kV2CompletedKey), QStringLiteral("true"));
    SchemaMigrator::migrateV1ToV2(defaults);
    EXPECT_EQ(defaults.dataValue(QStringLiteral("quorvane.presets")), QByteArray("[1]"));
}

TEST(SchemaMigrator, ImportOpensTheLegacySuiteByName) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    {
        const auto legacy = Preferences::openSuite(key(SchemaMigrator::kLegacySuiteName));
        ASSERT_NE(legacy, nullptr);
        legacy->setInt(QStringLiteral("brindlet.lastDuration"), 45);
        legacy->flush();
    }
    Preferences defaults;
    SchemaMigrator::migrateLegacyBundleIfNeeded(defaults);
    EXPECT_EQ(defaults.intValue(QStringLiteral("brindlet.lastDuration")), 45);
    EXPECT_EQ(defaults.boolValue(key(SchemaMigrator::kBundleRenameCompletedKey)), true);
    qunsetenv("XDG_CONFIG_HOME");
}

} // namespace
