#include "platform/Preferences.h"
#include "theme/ModuleVisibilityStore.h"
#include "theme/ThemeSettingsKeys.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace Qt::StringLiterals;

const QString& key() {
    return ThemeSettingsKeys::hiddenModules.key;
}

} // namespace

TEST(ModuleVisibilityStoreTest, StoredValueIsReadLenientlyAndLeftAsItWas) {
    using Set = QSet<ModuleID>;
    const std::pair<QVariant, Set> cases[] = {
        {QVariant(), Set{}}, // nothing stored: everything visible
        {QStringList{u"symbolRow"_s, u"weatherWidget"_s, u"symbolRow"_s}, Set{ModuleID::symbolRow}},
        {QVariantList{u"chainEntry"_s, u"pomodoroStartCard"_s},
         Set{ModuleID::chainEntry, ModuleID::pomodoroStartCard}},
        {QStringList{u"SymbolRow"_s}, Set{}},
        // Malformed values give an empty set.
        {QVariant(QStringLiteral("symbolRow")), Set{}},
        {QVariant(qint64(3)), Set{}},
        {QVariantList{QStringLiteral("symbolRow"), qint64(1)}, Set{}},
        {QVariantMap{{QStringLiteral("symbolRow"), true}}, Set{}},
    };
    for (const auto& [stored, hidden] : cases) {
        SCOPED_TRACE(stored.toStringList().join(u',').toStdString() + " " +
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

TEST(ModuleVisibilityStoreTest, FollowsWritesByOthersAndAnnouncesOnlyRealChanges) {
    using Set = QSet<ModuleID>;
    // The store starts with the symbol row hidden; each row is one write by someone else.
    struct Row {
        const char* name;
        std::function<void(Preferences&)> write;
        Set hidden;
        int announcements;
    };
    const auto store = [](const QVariant& value) {
        return [value](Preferences& p) { p.setValue(key(), value); };
    };
    const Row rows[] = {
        {"another store hides a module",
         [](Preferences& p) { ModuleVisibilityStore(p).setVisible(false, ModuleID::chainEntry); },
         Set{ModuleID::symbolRow, ModuleID::chainEntry}, 1},
        {"the same set with an unknown name",
         store(QStringList{QStringLiteral("weatherWidget"), QStringLiteral("symbolRow")}),
         Set{ModuleID::symbolRow}, 0},
        {"a value that is no list", store(QStringLiteral("symbolRow")), Set{}, 1},
        {"the key removed", [](Preferences& p) { p.remove(key()); }, Set{}, 1},
        {"an unrelated key", [](Preferences& p) { p.setInt(QStringLiteral("bl.pom.cycles"), 3); },
         Set{ModuleID::symbolRow}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Preferences prefs;
        prefs.setStringList(key(), {QStringLiteral("symbolRow")});
        ModuleVisibilityStore visibility(prefs);
        QSignalSpy sets(&visibility, &ModuleVisibilityStore::hiddenModulesChanged);
        QSignalSpy changes(&visibility, &ModuleVisibilityStore::changed);
        row.write(prefs);
        const QVariant written = prefs.value(key());

        EXPECT_EQ(visibility.hiddenModules(), row.hidden);
        ASSERT_EQ(sets.count(), row.announcements);
        if (row.announcements > 0) {
            EXPECT_EQ(sets.at(0).at(0).value<Set>(), row.hidden);
        }
        EXPECT_EQ(changes.count(), row.announcements);
        EXPECT_EQ(prefs.value(key()), written); // following writes nothing back
    }
}
