#include "core/SettingsKeys.h"
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
}

TEST(MenuBarDisplayModeTest, MigrationFollowsTheOlderIconSwitchAndKeepsIt) {
    // The older switch as stored (invalid: absent; another type reads as off), and the mode it gives.
    const std::pair<QVariant, const char*> cases[] = {{QVariant(true), "iconAndTime"},
                                                      {QVariant(false), "timeOnly"},
                                                      {QVariant(), "timeOnly"},
                                                      {QVariant(QStringLiteral("true")), "timeOnly"}};
    for (const auto& [legacy, mode] : cases) {
        Preferences prefs;
        if (legacy.isValid()) {
            prefs.setValue(SettingsKeys::menuBarShowIcon.key, legacy);
        }
        migrateLegacyPreference(prefs);
        EXPECT_EQ(prefs.stringValue(SettingsKeys::menuBarDisplayMode.key), QLatin1String(mode))
            << legacy.toString().toStdString();
        EXPECT_EQ(prefs.value(SettingsKeys::menuBarShowIcon.key), legacy);
    }
}

TEST(MenuBarDisplayModeTest, MigrationLeavesAnyStoredModeAlone) {
    const QList<QVariant> stored = {QVariant(QStringLiteral("iconOnly")), QVariant(QStringLiteral("bogus")),
                                    QVariant(qint64(1)), QVariant(false), QVariant(QStringList{})};
    for (const QVariant& value : stored) {
        Preferences prefs;
        prefs.setValue(SettingsKeys::menuBarDisplayMode.key, value);
        prefs.setBool(SettingsKeys::menuBarShowIcon.key, true);
        QSignalSpy writes(&prefs, &Preferences::changed);
        migrateLegacyPreference(prefs);
        EXPECT_EQ(writes.count(), 0) << value.typeName();
        EXPECT_EQ(prefs.value(SettingsKeys::menuBarDisplayMode.key), value);
    }
}
