#include "platform/PreferenceSetting.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {

const PreferenceSetting<bool> kFlag{QStringLiteral("test.flag"), true};
const PreferenceSetting<qint64> kCount{QStringLiteral("test.count"), 4, IntegerRange{1, 12, 2}};
const PreferenceSetting<QString> kName{QStringLiteral("test.name"), QStringLiteral("none")};
const PreferenceSetting<QStringList> kNames{QStringLiteral("test.names"), QStringList{}};
const PreferenceSetting<std::optional<QString>> kMaybe{QStringLiteral("test.maybe"), std::nullopt};

} // namespace

TEST(PreferenceSetting, WriteStoresTheDeclaredTypeOnceAndReadsItBack) {
    struct Row {
        const char* name;
        QString key;
        std::function<void(Preferences&)> write;
        QVariant stored; // invalid: the key is removed
        std::function<QVariant(const Preferences&)> read;
    };
    const Row rows[] = {
        {"flag", kFlag.key, [](Preferences& p) { kFlag.write(p, false); }, QVariant(false),
         [](const Preferences& p) { return QVariant(kFlag.read(p)); }},
        {"integer outside its range is stored as written", kCount.key,
         [](Preferences& p) { kCount.write(p, 40); }, QVariant(qint64(40)),
         [](const Preferences& p) { return QVariant(kCount.read(p)); }},
        {"empty text is a value, not the default", kName.key,
         [](Preferences& p) { kName.write(p, QString()); }, QVariant(QString()),
         [](const Preferences& p) { return QVariant(kName.read(p)); }},
        {"text list", kNames.key, [](Preferences& p) { kNames.write(p, {QStringLiteral("a")}); },
         QVariant(QStringList{QStringLiteral("a")}),
         [](const Preferences& p) { return QVariant(kNames.read(p)); }},
        {"optional text present", kMaybe.key, [](Preferences& p) { kMaybe.write(p, QStringLiteral("ab")); },
         QVariant(QStringLiteral("ab")),
         [](const Preferences& p) { return QVariant(kMaybe.read(p).value_or(QString())); }},
        {"optional text set to nothing removes the key", kMaybe.key,
         [](Preferences& p) { kMaybe.write(p, std::nullopt); }, QVariant(),
         [](const Preferences& p) { return kMaybe.read(p) ? QVariant(*kMaybe.read(p)) : QVariant(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Preferences prefs;
        prefs.setValue(row.key, QVariant(QStringLiteral("something else"))); // replaced, or removed
        QSignalSpy writes(&prefs, &Preferences::changed);
        row.write(prefs);
        ASSERT_EQ(writes.count(), 1);
        EXPECT_EQ(writes.at(0).at(0).toString(), row.key);
        EXPECT_EQ(prefs.contains(row.key), row.stored.isValid());
        EXPECT_EQ(prefs.value(row.key), row.stored);
        EXPECT_EQ(prefs.value(row.key).metaType(), row.stored.metaType());
        EXPECT_EQ(row.read(prefs), row.stored);
    }
}
