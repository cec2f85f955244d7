// Every declared preference, the settings model's and the theme's: one key each, its default, and the
// store's rule that a value of another type reads as the default and that reading writes nothing.
#include "core/SettingsKeys.h"
#include "platform/PreferenceSetting.h"
#include "theme/ThemeSettingsKeys.h"

#include <QByteArray>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QList<PreferenceDeclaration> everyDeclaration() {
    return SettingsKeys::all() + ThemeSettingsKeys::all();
}

// One value of each kind the store holds; a declaration of another type must read each as its default.
struct Stored {
    const char* name;
    QVariant value;
};

const QList<Stored>& everyKindOfValue() {
    static const QList<Stored> values = {
        {"bool", QVariant(true)},
        {"integer", QVariant(qint64(7))},
        {"double", QVariant(2.5)},
        {"text", QVariant(QStringLiteral("7"))},
        {"text list", QVariant(QStringList{QStringLiteral("7")})},
        {"mixed list", QVariant(QVariantList{QStringLiteral("7"), qint64(7)})},
        {"map", QVariant(QVariantMap{{QStringLiteral("7"), qint64(7)}})},
        {"data", QVariant(QByteArray("7"))},
    };
    return values;
}

// Whether the store's typed read of `type` accepts `value`: only its own type, except that a number
// declaration also takes an integer.
bool isOwnType(const QMetaType& type, const QVariant& value) {
    if (type == QMetaType::fromType<double>() && value.typeId() == QMetaType::LongLong) {
        return true;
    }
    return value.metaType() == type;
}

// A value of the declaration's own type that differs from its default.
QVariant otherOwnValue(const PreferenceDeclaration& d) {
    const QMetaType type = d.storedType;
    if (type == QMetaType::fromType<bool>()) {
        return !d.defaultValue.toBool();
    }
    if (type == QMetaType::fromType<qint64>()) {
        return d.defaultValue.toLongLong() + 1;
    }
    if (type == QMetaType::fromType<double>()) {
        return d.defaultValue.toDouble() + 0.5;
    }
    if (type == QMetaType::fromType<QStringList>()) {
        return d.defaultValue.toStringList() << QStringLiteral("other");
    }
    return d.defaultValue.toString() + QStringLiteral("other");
}

} // namespace

TEST(SettingDeclarations, EveryKeyIsDeclaredOnce) {
    QSet<QString> keys;
    for (const PreferenceDeclaration& d : everyDeclaration()) {
        EXPECT_FALSE(keys.contains(d.key)) << d.key.toStdString();
        keys.insert(d.key);
    }
    EXPECT_EQ(keys.size(), 31);
}

TEST(SettingDeclarations, ThemeKeysTypesAndDefaultsAreTheStoredOnes) {
    // The settings model's 26 are pinned, property by property, in AppSettingsTest.
    struct Row {
        const char* key;
        QMetaType type;
        QVariant defaultValue;
    };
    const Row rows[] = {
        {"bl.displayDensity", QMetaType::fromType<QString>(), QStringLiteral("spacious")},
        {"bl.modules.hidden", QMetaType::fromType<QStringList>(), QStringList{}},
        {"quorvane.theme.accent", QMetaType::fromType<QString>(), QStringLiteral("orange")},
        {"quorvane.theme.appearance", QMetaType::fromType<QString>(), QStringLiteral("light")},
        {"quorvane.theme.customAccentHex", QMetaType::fromType<QString>(), QVariant()}, // no custom colour
    };
    const QList<PreferenceDeclaration>& declared = ThemeSettingsKeys::all();
    ASSERT_EQ(declared.size(), std::size(rows));
    for (qsizetype n = 0; n < declared.size(); ++n) {
        SCOPED_TRACE(rows[n].key);
        EXPECT_EQ(declared[n].key, QString::fromLatin1(rows[n].key));
        EXPECT_EQ(declared[n].storedType, rows[n].type);
        EXPECT_EQ(declared[n].defaultValue, rows[n].defaultValue);
    }
}

TEST(SettingDeclarations, AbsentKeyReadsTheDefaultAndStaysAbsent) {
    for (const PreferenceDeclaration& d : everyDeclaration()) {
        SCOPED_TRACE(d.key.toStdString());
        Preferences prefs;
        QSignalSpy writes(&prefs, &Preferences::changed);
        EXPECT_EQ(d.read(prefs), d.defaultValue);
        EXPECT_FALSE(prefs.contains(d.key));
        EXPECT_EQ(writes.count(), 0);
    }
}

TEST(SettingDeclarations, ValueOfAnotherTypeReadsAsTheDefaultAndIsLeftAsStored) {
    for (const PreferenceDeclaration& d : everyDeclaration()) {
        for (const Stored& stored : everyKindOfValue()) {
            if (isOwnType(d.storedType, stored.value)) {
                continue;
            }
            SCOPED_TRACE(d.key.toStdString() + " holding " + stored.name);
            Preferences prefs;
            prefs.setValue(d.key, stored.value);
            QSignalSpy writes(&prefs, &Preferences::changed);
            EXPECT_EQ(d.read(prefs), d.defaultValue);
            EXPECT_EQ(prefs.value(d.key), stored.value);
            EXPECT_EQ(writes.count(), 0);
        }
    }
}

TEST(SettingDeclarations, ValueOfItsOwnTypeSurvivesTheFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("preferences.json"));
    {
        Preferences prefs(path);
        for (const PreferenceDeclaration& d : everyDeclaration()) {
            prefs.setValue(d.key, otherOwnValue(d));
        }
        ASSERT_TRUE(prefs.flush());
    }
    const Preferences reopened(path);
    for (const PreferenceDeclaration& d : everyDeclaration()) {
        SCOPED_TRACE(d.key.toStdString());
        EXPECT_NE(otherOwnValue(d), d.defaultValue);
        EXPECT_EQ(d.read(reopened), otherOwnValue(d));
    }
}
