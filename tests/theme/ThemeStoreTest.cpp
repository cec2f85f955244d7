#include "platform/Preferences.h"
#include "theme/QvColor.h"
#include "theme/ThemeSettingsKeys.h"
#include "theme/ThemeStore.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace Qt::StringLiterals;

QString hexOf(const QColor& c) {
    return QvColor::toHex(c);
}

int writesOf(const QSignalSpy& spy, const QString& key) {
    return int(std::count_if(spy.begin(), spy.end(), [&](const auto& call) { return call.at(0) == key; }));
}

} // namespace

TEST(AccentThemeTest, RawValuesRoundTrip) {
    for (AccentTheme theme : allAccentThemes()) {
        EXPECT_EQ(accentThemeFromRaw(toRaw(theme)), theme);
    }
    for (Appearance appearance : allAppearances()) {
        EXPECT_EQ(appearanceFromRaw(toRaw(appearance)), appearance);
    }
}

TEST(ThemeStoreTest, StoredStateIsReadWithFallbacksAndNothingButTheCustomColourIsWritten) {
    // Stored accent, appearance and custom colour (invalid: absent); what the store and the static
    // resolution make of them. Text that names no case and values of another type fall back.
    using Row = std::tuple<QVariant, QVariant, QVariant, AccentTheme, Appearance, QString>;
    const QVariant none;
    const Row rows[] = {
        {none, none, none, AccentTheme::orange, Appearance::light, u"fd5321"_s},
        {u"Cream"_s, u"Dark"_s, none, AccentTheme::orange, Appearance::light, u"fd5321"_s},
        {qint64(2), true, qint64(7), AccentTheme::orange, Appearance::light, u"fd5321"_s},
        {u"simple"_s, u"auto"_s, none, AccentTheme::simple, Appearance::automatic, u"6b7280"_s},
        {u"black"_s, u"dark"_s, none, AccentTheme::black, Appearance::dark, u"1c1c1e"_s},
        {u"cream"_s, none, u"3366cc"_s, AccentTheme::cream, Appearance::light, u"3366cc"_s},
        {u"cream"_s, none, u"#12AB34"_s, AccentTheme::cream, Appearance::light, u"12ab34"_s},
        {u"cream"_s, none, u"not a colour"_s, AccentTheme::cream, Appearance::light, u"000000"_s},
    };
    for (const auto& [accent, appearance, custom, wantAccent, wantAppearance, wantHex] : rows) {
        SCOPED_TRACE(
            (accent.toString() + u'/' + appearance.toString() + u'/' + custom.toString()).toStdString());
        Preferences prefs;
        for (const auto& [key, value] : {std::pair{ThemeSettingsKeys::accent.key, accent},
                                         {ThemeSettingsKeys::appearance.key, appearance},
                                         {ThemeSettingsKeys::customAccentHex.key, custom}}) {
            if (value.isValid()) {
                prefs.setValue(key, value);
            }
        }
        const QVariantMap stored = prefs.dictionary();
        QSignalSpy writes(&prefs, &Preferences::changed);
        ThemeStore store(prefs);
        EXPECT_EQ(store.accent(), wantAccent);
        EXPECT_EQ(store.appearance(), wantAppearance);
        EXPECT_EQ(hexOf(store.activeAccentColor()), wantHex);
        EXPECT_EQ(hexOf(ThemeStore::resolveAccentColor(prefs)), wantHex);
        // A custom text is written back as it was read; nothing else is written, corrected or removed.
        const bool customText = custom.typeId() == QMetaType::QString;
        EXPECT_EQ(store.customAccentHex().has_value(), customText);
        EXPECT_EQ(writes.count(), customText ? 1 : 0);
        EXPECT_EQ(prefs.dictionary(), stored);
    }
}

TEST(ThemeStoreTest, CustomColourOverridesThePresetUntilAPresetIsChosenOrItIsDropped) {
    Preferences prefs;
    ThemeStore store(prefs);
    QSignalSpy order(&store, &ThemeStore::changed);
    QSignalSpy accents(&store, &ThemeStore::accentChanged);
    QSignalSpy customs(&store, &ThemeStore::customAccentHexChanged);

    store.selectCustomAccent(QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(prefs.stringValue(ThemeSettingsKeys::customAccentHex.key), QStringLiteral("123456"));
    EXPECT_EQ(store.accent(), AccentTheme::orange);
    EXPECT_FALSE(prefs.contains(ThemeSettingsKeys::accent.key));

    store.selectPresetAccent(AccentTheme::cream);
    EXPECT_FALSE(prefs.contains(ThemeSettingsKeys::customAccentHex.key));
    EXPECT_EQ(prefs.stringValue(ThemeSettingsKeys::accent.key), QStringLiteral("cream"));
    EXPECT_EQ(hexOf(store.activeAccentColor()), QStringLiteral("c9a15a"));
    EXPECT_EQ(accents.count(), 1);
    EXPECT_EQ(customs.count(), 2);
    EXPECT_EQ(order.count(), 3);

    store.setAccent(AccentTheme::black);
    store.selectCustomAccent(Qt::red);
    EXPECT_EQ(hexOf(store.activeAccentColor()), QStringLiteral("ff0000"));
    store.setCustomAccentHex(std::nullopt);
    EXPECT_EQ(hexOf(store.activeAccentColor()), QStringLiteral("1c1c1e"));
}

TEST(ThemeStoreTest, EveryAssignmentIsSavedAndLaunchForcesLightOnlyWhenNeeded) {
    Preferences prefs;
    prefs.setString(ThemeSettingsKeys::appearance.key, QStringLiteral("dark"));
    ThemeStore store(prefs);
    QSignalSpy writes(&prefs, &Preferences::changed);
    store.enforceLightAppearance();
    EXPECT_EQ(store.appearance(), Appearance::light);
    EXPECT_EQ(prefs.stringValue(ThemeSettingsKeys::appearance.key), QStringLiteral("light"));
    store.enforceLightAppearance(); // already light: nothing is written
    store.setAccent(AccentTheme::orange);
    store.setAccent(AccentTheme::orange);
    store.setAppearance(Appearance::light);
    EXPECT_EQ(writesOf(writes, ThemeSettingsKeys::accent.key), 2);
    EXPECT_EQ(writesOf(writes, ThemeSettingsKeys::appearance.key), 2);
}

TEST(ThemeStoreTest, FollowsWritesByOthersAndAnnouncesOnlyRealChanges) {
    // The store starts on a cream accent, light appearance and no custom colour; each row is one write by
    // someone else and what the store then holds and announces.
    struct Row {
        const char* name;
        std::function<void(Preferences&)> write;
        AccentTheme accent;
        Appearance appearance;
        std::optional<QString> custom;
        int accentSignals;
        int appearanceSignals;
        int customSignals;
    };
    const auto set = [](const QString& key, const QVariant& value) {
        return [key, value](Preferences& p) { p.setValue(key, value); };
    };
    const QString accentKey = ThemeSettingsKeys::accent.key;
    const QString appearanceKey = ThemeSettingsKeys::appearance.key;
    const QString customKey = ThemeSettingsKeys::customAccentHex.key;
    const Row rows[] = {
        {"another accent", set(accentKey, QStringLiteral("black")), AccentTheme::black, Appearance::light,
         std::nullopt, 1, 0, 0},
        {"the same accent again", set(accentKey, QStringLiteral("cream")), AccentTheme::cream,
         Appearance::light, std::nullopt, 0, 0, 0},
        {"accent text naming no case", set(accentKey, QStringLiteral("Black")), AccentTheme::orange,
         Appearance::light, std::nullopt, 1, 0, 0},
        {"accent removed", [&](Preferences& p) { p.remove(accentKey); }, AccentTheme::orange,
         Appearance::light, std::nullopt, 1, 0, 0},
        {"another appearance", set(appearanceKey, QStringLiteral("dark")), AccentTheme::cream,
         Appearance::dark, std::nullopt, 0, 1, 0},
        {"appearance of another type", set(appearanceKey, true), AccentTheme::cream, Appearance::light,
         std::nullopt, 0, 0, 0},
        {"custom colour", set(customKey, QStringLiteral("123456")), AccentTheme::cream, Appearance::light,
         QStringLiteral("123456"), 0, 0, 1},
        {"custom colour of another type", set(customKey, qint64(5)), AccentTheme::cream, Appearance::light,
         std::nullopt, 0, 0, 0},
        {"another store's choice",
         [](Preferences& p) { ThemeStore(p).selectPresetAccent(AccentTheme::simple); }, AccentTheme::simple,
         Appearance::light, std::nullopt, 1, 0, 0},
        {"an unrelated key", set(QStringLiteral("bl.pom.cycles"), qint64(3)), AccentTheme::cream,
         Appearance::light, std::nullopt, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Preferences prefs;
        prefs.setString(accentKey, QStringLiteral("cream"));
        ThemeStore store(prefs);
        QSignalSpy accents(&store, &ThemeStore::accentChanged);
        QSignalSpy appearances(&store, &ThemeStore::appearanceChanged);
        QSignalSpy customs(&store, &ThemeStore::customAccentHexChanged);
        QSignalSpy changes(&store, &ThemeStore::changed);
        row.write(prefs);
        const QVariantMap written = prefs.dictionary();

        EXPECT_EQ(store.accent(), row.accent);
        EXPECT_EQ(store.appearance(), row.appearance);
        EXPECT_EQ(store.customAccentHex(), row.custom);
        EXPECT_EQ(accents.count(), row.accentSignals);
        EXPECT_EQ(appearances.count(), row.appearanceSignals);
        EXPECT_EQ(customs.count(), row.customSignals);
        EXPECT_EQ(changes.count(), row.accentSignals + row.appearanceSignals + row.customSignals);
        EXPECT_EQ(prefs.dictionary(), written); // following writes nothing back
    }
}
