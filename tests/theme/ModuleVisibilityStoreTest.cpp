#include "platform/Preferences.h"
#include "theme/ModuleVisibilityStore.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString& key() {
    return ModuleVisibilityStore::hiddenModulesKey;
}

} // namespace

TEST(ModuleVisibilityStoreTest, StoredValueIsReadLenientlyAndLeftAsItWas) {
    using Set = QSet<ModuleID>;
    const std::pair<QVariant, Set> cases[] = {
        {QVariant(), Set{}}, // nothing stored: everything visible
        {QStringList{"symbolRow", "weatherWidget", "symbolRow"}, Set{ModuleID::symbolRow}},
        {QVariantList{"chainEntry", "pomodoroStartCard"},
         Set{ModuleID::chainEntry, ModuleID::pomodoroStartCard}},
        {QStringList{"SymbolRow"}, Set{}},
        // Malformed values give an empty set.
        {QVariant(QStringLiteral("symbolRow")), Set{}},
        {QVariant(qint64(3)), Set{}},
        {QVariantList{QStringLiteral("symbolRow"), qint64(1)}, Set{}},
        {QVariantMap{{QStringLiteral("symbolRow"), true}}, Set{}},
    };
    for (const auto& [stored, hidden] : cases) {
        SCOPED_TRACE(stored.toStringList().join(',').toStdString() + " " +
                     QString::fromLatin1(stored.typeName()).toStdString());
        Preferences prefs;
        if (stored.isValid()) {
            prefs.setValue(key(), stored);
        }
        ModuleVisibilityStore store(prefs);
        EXPECT_EQ(store.hiddenModules(), hidden);
        for (ModuleID module : allModuleIDs()) {
            EXPECT_EQ(store.isVisible(module), !hidden.contains(module));
        }
        EXPECT_EQ(prefs.value(key()), stored);
    }
}

TEST(ModuleVisibilityStoreTest, EveryChangeRewritesTheKnownSetForTheNextStore) {
    Preferences prefs;
    prefs.setStringList(key(), {QStringLiteral("symbolRow"), QStringLiteral("weatherWidget")});
    ModuleVisibilityStore store(prefs);
    QSignalSpy writes(&prefs, &Preferences::changed);
    QSignalSpy changes(&store, &ModuleVisibilityStore::hiddenModulesChanged);

    store.setVisible(true, ModuleID::chainEntry); // unknown names are dropped on the first write
    EXPECT_EQ(prefs.stringListValue(key()), QStringList{QStringLiteral("symbolRow")});
    store.setVisible(false, ModuleID::pomodoroStartCard);
    store.setVisible(false, ModuleID::pomodoroStartCard);
    EXPECT_EQ(writes.count(), 3);
    EXPECT_EQ(changes.count(), 3);
    store.toggle(ModuleID::chainEntry);
    EXPECT_EQ(ModuleVisibilityStore(prefs).hiddenModules(),
              (QSet<ModuleID>{ModuleID::symbolRow, ModuleID::pomodoroStartCard, ModuleID::chainEntry}));

    for (ModuleID module : {ModuleID::symbolRow, ModuleID::pomodoroStartCard, ModuleID::chainEntry}) {
        store.toggle(module);
    }
    // Showing everything again leaves an empty list, not an absent key.
    EXPECT_EQ(prefs.value(key()), QVariant(QStringList{}));
}
