#include "platform/Preferences.h"
#include "theme/MenuBarDisplayMode.h"
#include "theme/MenuBarIconStyle.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using MenuBarDisplayModeMigration::migrateLegacyPreference;

TEST(MenuBarDisplayModeTest, RawValuesRoundTripAndRejectOtherText) {
    for (MenuBarDisplayMode mode : allMenuBarDisplayModes()) {
        EXPECT_EQ(menuBarDisplayModeFromRaw(toRaw(mode)), mode);
    }
    for (MenuBarIconStyle style : allMenuBarIconStyles()) {
        EXPECT_EQ(menuBarIconStyleFromRaw(toRaw(style)), style);
    }
    EXPECT_FALSE(menuBarDisplayModeFromRaw(QStringLiteral("TimeOnly")));
    EXPECT_FALSE(menuBarIconStyleFromRaw(QStringLiteral("wind-up")));
    EXPECT_EQ(symbolName(MenuBarIconStyle::windup), QStringLiteral("timer"));
    EXPECT_EQ(symbolName(MenuBarIconStyle::clock), QStringLiteral("clock"));
    EXPECT_EQ(symbolName(MenuBarIconStyle::minimal), QStringLiteral("circle.dashed"));
}

TEST(MenuBarDisplayModeTest, MigrationFollowsTheOlderIconSwitch) {
    Preferences on;
    on.setBool(menuBarShowIconKey, true);
    migrateLegacyPreference(on);
    EXPECT_EQ(on.stringValue(menuBarDisplayModeKey), QStringLiteral("iconAndTime"));
    EXPECT_EQ(on.boolValue(menuBarShowIconKey), true); // the older key stays

    Preferences off;
    off.setBool(menuBarShowIconKey, false);
    migrateLegacyPreference(off);
    EXPECT_EQ(off.stringValue(menuBarDisplayModeKey), QStringLiteral("timeOnly"));

    Preferences fresh;
    migrateLegacyPreference(fresh);
    EXPECT_EQ(fresh.stringValue(menuBarDisplayModeKey), QStringLiteral("timeOnly"));
    EXPECT_FALSE(fresh.contains(menuBarShowIconKey));

    // An older switch stored with another type reads as off.
    Preferences odd;
    odd.setString(menuBarShowIconKey, QStringLiteral("true"));
    migrateLegacyPreference(odd);
    EXPECT_EQ(odd.stringValue(menuBarDisplayModeKey), QStringLiteral("timeOnly"));
}

TEST(MenuBarDisplayModeTest, MigrationLeavesAnyStoredModeAlone) {
    const QList<QVariant> stored = {QVariant(QStringLiteral("iconOnly")), QVariant(QStringLiteral("bogus")),
                                    QVariant(qint64(1)), QVariant(false), QVariant(QStringList{})};
    for (const QVariant& value : stored) {
        Preferences prefs;
        prefs.setValue(menuBarDisplayModeKey, value);
        prefs.setBool(menuBarShowIconKey, true);
        QSignalSpy writes(&prefs, &Preferences::changed);
        migrateLegacyPreference(prefs);
        EXPECT_EQ(writes.count(), 0) << value.typeName();
        EXPECT_EQ(prefs.value(menuBarDisplayModeKey), value);
    }
}

TEST(MenuBarDisplayModeTest, MigrationRunsOnce) {
    Preferences prefs;
    prefs.setBool(menuBarShowIconKey, true);
    migrateLegacyPreference(prefs);
    prefs.setBool(menuBarShowIconKey, false);
    QSignalSpy writes(&prefs, &Preferences::changed);
    migrateLegacyPreference(prefs);
    EXPECT_EQ(writes.count(), 0);
    EXPECT_EQ(prefs.stringValue(menuBarDisplayModeKey), QStringLiteral("iconAndTime"));
}
