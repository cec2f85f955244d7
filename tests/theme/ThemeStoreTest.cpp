#include "platform/Preferences.h"
#include "theme/QvColor.h"
#include "theme/ThemeStore.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

QString hexOf(const QColor& c) {
    return QvColor::toHex(c);
}

int writesOf(const QSignalSpy& spy, const QString& key) {
    int n = 0;
    for (const QList<QVariant>& call : spy) {
        n += call.at(0).toString() == key ? 1 : 0;
    }
    return n;
}

} // namespace

TEST(AccentThemeTest, RawValuesRoundTripAndRejectOtherText) {
    for (AccentTheme theme : allAccentThemes()) {
        EXPECT_EQ(accentThemeFromRaw(toRaw(theme)), theme);
    }
    EXPECT_FALSE(accentThemeFromRaw(QStringLiteral("Orange")));
    EXPECT_FALSE(accentThemeFromRaw(QString()));
    EXPECT_EQ(hexOf(color(AccentTheme::cream)), QStringLiteral("c9a15a"));
    EXPECT_EQ(hexOf(color(AccentTheme::black)), QStringLiteral("1c1c1e"));
    EXPECT_EQ(hexOf(color(AccentTheme::simple)), QStringLiteral("6b7280"));
    EXPECT_EQ(toRaw(Appearance::automatic), QStringLiteral("auto"));
    EXPECT_EQ(appearanceFromRaw(QStringLiteral("auto")), Appearance::automatic);
    EXPECT_FALSE(appearanceFromRaw(QStringLiteral("Dark")));
}

TEST(ThemeStoreTest, FreshStoreHasDefaultsAndWritesNothing) {
    Preferences prefs;
    QSignalSpy writes(&prefs, &Preferences::changed);
    ThemeStore store(prefs);
    EXPECT_EQ(store.accent(), AccentTheme::orange);
    EXPECT_EQ(store.appearance(), Appearance::light);
    EXPECT_FALSE(store.customAccentHex());
    EXPECT_EQ(writes.count(), 0);
    EXPECT_TRUE(prefs.keys().isEmpty());
    EXPECT_EQ(hexOf(store.activeAccentColor()), QStringLiteral("fd5321"));
}

TEST(ThemeStoreTest, StoredTextThatNamesNoCaseFallsBack) {
    Preferences prefs;
    prefs.setString(ThemeStore::accentKey, QStringLiteral("Orange"));
    prefs.setString(ThemeStore::appearanceKey, QStringLiteral("Dark"));
    ThemeStore store(prefs);
    EXPECT_EQ(store.accent(), AccentTheme::orange);
    EXPECT_EQ(store.appearance(), Appearance::light);
    // Nothing is corrected in storage at construction.
    EXPECT_EQ(prefs.stringValue(ThemeStore::accentKey), QStringLiteral("Orange"));

    Preferences wrongType;
    wrongType.setInt(ThemeStore::accentKey, 2);
    EXPECT_EQ(ThemeStore(wrongType).accent(), AccentTheme::orange);
}

TEST(ThemeStoreTest, StoredValuesAreRestored) {
    Preferences prefs;
    prefs.setString(ThemeStore::accentKey, QStringLiteral("simple"));
    prefs.setString(ThemeStore::appearanceKey, QStringLiteral("auto"));
    ThemeStore store(prefs);
    EXPECT_EQ(store.accent(), AccentTheme::simple);
    EXPECT_EQ(store.appearance(), Appearance::automatic);
    EXPECT_EQ(hexOf(store.activeAccentColor()), QStringLiteral("6b7280"));
}

TEST(ThemeStoreTest, ConstructionWritesTheCustomColourBackButNeverRemovesIt) {
    Preferences prefs;
    prefs.setString(ThemeStore::customAccentHexKey, QStringLiteral("#12AB34"));
    QSignalSpy writes(&prefs, &Preferences::changed);
    ThemeStore store(prefs);
    EXPECT_EQ(writesOf(writes, ThemeStore::customAccentHexKey), 1);
    EXPECT_EQ(prefs.stringValue(ThemeStore::customAccentHexKey), QStringLiteral("#12AB34"));
    EXPECT_EQ(store.customAccentHex(), QStringLiteral("#12AB34"));

    Preferences odd;
    odd.setInt(ThemeStore::customAccentHexKey, 7);
    ThemeStore oddStore(odd);
    EXPECT_FALSE(oddStore.customAccentHex());
    EXPECT_TRUE(odd.contains(ThemeStore::customAccentHexKey));
}

TEST(ThemeStoreTest, CustomColourWinsInStoreAndStaticResolution) {
    Preferences prefs;
    prefs.setString(ThemeStore::accentKey, QStringLiteral("cream"));
    prefs.setString(ThemeStore::customAccentHexKey, QStringLiteral("3366cc"));
    ThemeStore store(prefs);
    EXPECT_EQ(hexOf(store.activeAccentColor()), QStringLiteral("3366cc"));
    EXPECT_EQ(hexOf(ThemeStore::resolveAccentColor(prefs)), QStringLiteral("3366cc"));
}

TEST(ThemeStoreTest, StaticResolutionMatchesTheStoreForEveryStoredState) {
    const QList<std::pair<QString, QString>> cases = {
        {QString(), QString()},
        {QStringLiteral("black"), QString()},
        {QStringLiteral("nonsense"), QString()},
        {QStringLiteral("cream"), QStringLiteral("not a colour")},
    };
    for (const auto& [accent, custom] : cases) {
        Preferences prefs;
        if (!accent.isEmpty()) {
            prefs.setString(ThemeStore::accentKey, accent);
        }
        if (!custom.isEmpty()) {
            prefs.setString(ThemeStore::customAccentHexKey, custom);
        }
        const QColor resolved = ThemeStore::resolveAccentColor(prefs);
        ThemeStore store(prefs);
        EXPECT_EQ(resolved, store.activeAccentColor()) << accent.toStdString() << " " << custom.toStdString();
    }
    Preferences garbage;
    garbage.setString(ThemeStore::customAccentHexKey, QStringLiteral("not a colour"));
    EXPECT_EQ(hexOf(ThemeStore::resolveAccentColor(garbage)), QStringLiteral("000000"));
}

TEST(ThemeStoreTest, PresetAfterCustomDropsTheCustomKey) {
    Preferences prefs;
    ThemeStore store(prefs);
    QSignalSpy order(&store, &ThemeStore::changed);
    QSignalSpy accents(&store, &ThemeStore::accentChanged);
    QSignalSpy customs(&store, &ThemeStore::customAccentHexChanged);

    store.selectCustomAccent(QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(prefs.stringValue(ThemeStore::customAccentHexKey), QStringLiteral("123456"));
    EXPECT_EQ(store.accent(), AccentTheme::orange);
    EXPECT_FALSE(prefs.contains(ThemeStore::accentKey));

    store.selectPresetAccent(AccentTheme::cream);
    EXPECT_FALSE(prefs.contains(ThemeStore::customAccentHexKey));
    EXPECT_EQ(prefs.stringValue(ThemeStore::accentKey), QStringLiteral("cream"));
    EXPECT_EQ(hexOf(store.activeAccentColor()), QStringLiteral("c9a15a"));
    EXPECT_EQ(accents.count(), 1);
    EXPECT_EQ(customs.count(), 2);
    EXPECT_EQ(order.count(), 3);
}

TEST(ThemeStoreTest, RemovingTheCustomTextBringsThePresetBack) {
    Preferences prefs;
    ThemeStore store(prefs);
    store.setAccent(AccentTheme::black);
    store.selectCustomAccent(Qt::red);
    EXPECT_EQ(hexOf(store.activeAccentColor()), QStringLiteral("ff0000"));
    store.setCustomAccentHex(std::nullopt);
    EXPECT_EQ(hexOf(store.activeAccentColor()), QStringLiteral("1c1c1e"));
}

TEST(ThemeStoreTest, EveryAssignmentIsSavedEvenWithoutChange) {
    Preferences prefs;
    ThemeStore store(prefs);
    QSignalSpy writes(&prefs, &Preferences::changed);
    store.setAccent(AccentTheme::orange);
    store.setAccent(AccentTheme::orange);
    store.setAppearance(Appearance::light);
    EXPECT_EQ(writesOf(writes, ThemeStore::accentKey), 2);
    EXPECT_EQ(writesOf(writes, ThemeStore::appearanceKey), 1);
    EXPECT_EQ(prefs.stringValue(ThemeStore::appearanceKey), QStringLiteral("light"));
}

TEST(ThemeStoreTest, StoredDarkAppearanceEndsUpLightAfterLaunch) {
    Preferences prefs;
    prefs.setString(ThemeStore::appearanceKey, QStringLiteral("dark"));
    ThemeStore store(prefs);
    EXPECT_EQ(store.appearance(), Appearance::dark);
    store.enforceLightAppearance();
    EXPECT_EQ(store.appearance(), Appearance::light);
    EXPECT_EQ(prefs.stringValue(ThemeStore::appearanceKey), QStringLiteral("light"));

    // Already light: nothing is written, so a fresh install keeps no appearance key.
    Preferences fresh;
    ThemeStore freshStore(fresh);
    freshStore.enforceLightAppearance();
    EXPECT_FALSE(fresh.contains(ThemeStore::appearanceKey));
}
