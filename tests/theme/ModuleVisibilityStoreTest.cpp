#include "platform/Preferences.h"
#include "theme/ModuleVisibilityStore.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString& key() {
    return ModuleVisibilityStore::hiddenModulesKey;
}

} // namespace

TEST(ModuleVisibilityStoreTest, NothingStoredMeansEverythingVisible) {
    Preferences prefs;
    ModuleVisibilityStore store(prefs);
    for (ModuleID module : allModuleIDs()) {
        EXPECT_TRUE(store.isVisible(module));
    }
    EXPECT_FALSE(prefs.contains(key()));
}

TEST(ModuleVisibilityStoreTest, UnknownStringsAreDroppedInMemoryButStayStored) {
    Preferences prefs;
    const QStringList stored{QStringLiteral("symbolRow"), QStringLiteral("weatherWidget"),
                             QStringLiteral("symbolRow")};
    prefs.setStringList(key(), stored);
    ModuleVisibilityStore store(prefs);
    EXPECT_EQ(store.hiddenModules(), QSet<ModuleID>{ModuleID::symbolRow});
    EXPECT_EQ(prefs.stringListValue(key()), stored);

    store.setVisible(true, ModuleID::chainEntry);
    EXPECT_EQ(prefs.stringListValue(key()), QStringList{QStringLiteral("symbolRow")});
}

TEST(ModuleVisibilityStoreTest, MalformedValuesGiveAnEmptySet) {
    const QList<QVariant> malformed = {
        QVariant(QStringLiteral("symbolRow")),
        QVariant(qint64(3)),
        QVariant(QVariantList{QStringLiteral("symbolRow"), qint64(1)}),
        QVariant(QVariantMap{{QStringLiteral("symbolRow"), true}}),
    };
    for (const QVariant& value : malformed) {
        Preferences prefs;
        prefs.setValue(key(), value);
        ModuleVisibilityStore store(prefs);
        EXPECT_TRUE(store.hiddenModules().isEmpty()) << value.typeName();
    }
}

TEST(ModuleVisibilityStoreTest, AListOfTextsInAnyFormIsRead) {
    Preferences prefs;
    prefs.setValue(key(), QVariantList{QStringLiteral("chainEntry"), QStringLiteral("pomodoroStartCard")});
    ModuleVisibilityStore store(prefs);
    EXPECT_EQ(store.hiddenModules(), (QSet<ModuleID>{ModuleID::chainEntry, ModuleID::pomodoroStartCard}));
    EXPECT_TRUE(store.isVisible(ModuleID::symbolRow));
}

TEST(ModuleVisibilityStoreTest, EveryChangeRewritesTheKey) {
    Preferences prefs;
    ModuleVisibilityStore store(prefs);
    QSignalSpy writes(&prefs, &Preferences::changed);
    QSignalSpy changes(&store, &ModuleVisibilityStore::hiddenModulesChanged);

    store.setVisible(false, ModuleID::pomodoroStartCard);
    store.setVisible(false, ModuleID::pomodoroStartCard);
    EXPECT_EQ(writes.count(), 2);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(prefs.stringListValue(key()), QStringList{QStringLiteral("pomodoroStartCard")});

    store.toggle(ModuleID::pomodoroStartCard);
    EXPECT_TRUE(store.isVisible(ModuleID::pomodoroStartCard));
    // Showing everything again leaves an empty list, not an absent key.
    EXPECT_EQ(prefs.stringListValue(key()), QStringList{});
}

TEST(ModuleVisibilityStoreTest, SavedSetIsReadBackByTheNextStore) {
    Preferences prefs;
    {
        ModuleVisibilityStore store(prefs);
        store.toggle(ModuleID::symbolRow);
        store.toggle(ModuleID::chainEntry);
    }
    ModuleVisibilityStore again(prefs);
    EXPECT_EQ(again.hiddenModules(), (QSet<ModuleID>{ModuleID::symbolRow, ModuleID::chainEntry}));
    EXPECT_EQ(moduleIDFromRaw(QStringLiteral("SymbolRow")), std::nullopt);
}
