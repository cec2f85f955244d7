#include "core/AppSettings.h"

#include "platform/Preferences.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Setting {
    const char* key;
    QVariant defaultValue;
    std::function<QVariant(const AppSettings&)> read;
};

// The settings contract: every property, its key and its default, in declaration order.
QList<Setting> contract() {
    auto i = [](qint64 (AppSettings::*get)() const) {
        return [get](const AppSettings& s) { return QVariant((s.*get)()); };
    };
    auto b = [](bool (AppSettings::*get)() const) {
        return [get](const AppSettings& s) { return QVariant((s.*get)()); };
    };
    auto t = [](QString (AppSettings::*get)() const) {
        return [get](const AppSettings& s) { return QVariant((s.*get)()); };
    };
    return {
        {"bl.defaultDuration", qint64(1500), i(&AppSettings::defaultDuration)},
        {"bl.appLanguage", QStringLiteral("ja"), t(&AppSettings::appLanguageRaw)},
        {"bl.displayStyle", QStringLiteral("japanese"), t(&AppSettings::displayStyleRaw)},
        {"bl.menubar.showIcon", false, b(&AppSettings::menuBarShowIcon)},
        {"bl.menubar.displayMode", QStringLiteral("timeOnly"), t(&AppSettings::menuBarDisplayModeRaw)},
        {"bl.menubar.iconStyle", QStringLiteral("windup"), t(&AppSettings::menuBarIconStyleRaw)},
        {"bl.floating.showTaskName", true, b(&AppSettings::floatingShowTaskName)},
        {"bl.menubar.alarmFormat", QStringLiteral("targetAndRemaining"),
         t(&AppSettings::menuBarAlarmFormatRaw)},
        {"bl.menubar.remainingDetail", QStringLiteral("seconds"), t(&AppSettings::menuBarRemainingDetailRaw)},
        {"bl.quickPreset.minutes", qint64(25), i(&AppSettings::quickPresetMinutes)},
        {"bl.quickPreset.behavior", QStringLiteral("toggle"), t(&AppSettings::quickPresetBehaviorRaw)},
        {"bl.soundEnabled", true, b(&AppSettings::soundEnabled)},
        {"bl.sound.timerComplete", QStringLiteral("b.chime"), t(&AppSettings::timerCompleteSound)},
        {"bl.sound.alarmComplete", QStringLiteral("b.digital_alarm"), t(&AppSettings::alarmCompleteSound)},
        {"bl.sound.pomWorkStart", QStringLiteral("b.happy_beep"), t(&AppSettings::pomWorkStartSound)},
        {"bl.sound.pomBreakStart", QStringLiteral("b.koshi"), t(&AppSettings::pomBreakStartSound)},
        {"bl.floating.showOnStart", false, b(&AppSettings::showFloatingOnStart)},
        {"bl.pom.workMinutes", qint64(25), i(&AppSettings::pomWorkMinutes)},
        {"bl.pom.shortBreakMinutes", qint64(5), i(&AppSettings::pomShortBreakMinutes)},
        {"bl.pom.longBreakMinutes", qint64(15), i(&AppSettings::pomLongBreakMinutes)},
        {"bl.pom.longBreakEnabled", true, b(&AppSettings::pomLongBreakEnabled)},
        {"bl.pom.cycles", qint64(4), i(&AppSettings::pomCycles)},
        {"bl.pom.autoBreak", true, b(&AppSettings::pomAutoBreak)},
        {"bl.pom.autoWork", false, b(&AppSettings::pomAutoWork)},
        {"bl.history.maxEntries", qint64(100), i(&AppSettings::maxHistoryEntries)},
        {"bl.hasSeenOnboarding", false, b(&AppSettings::hasSeenOnboarding)},
    };
}

// A value of another type than the key's own.
QVariant otherType(const QVariant& value) {
    return value.typeId() == QMetaType::QString ? QVariant(qint64(7)) : QVariant(QStringLiteral("7"));
}

// A value of the key's own type that differs from the default.
QVariant changed(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return !value.toBool();
    case QMetaType::LongLong:
        return value.toLongLong() + 1;
    default:
        return value.toString() + QStringLiteral("x");
    }
}

TEST(AppSettings, FreshStoreReadsEveryDefaultAndWritesNothing) {
    Preferences prefs;
    AppSettings settings(prefs);
    const QList<Setting> table = contract();
    ASSERT_EQ(table.size(), 26);
    ASSERT_EQ(AppSettings::allKeys().size(), 26);
    for (int n = 0; n < table.size(); ++n) {
        EXPECT_EQ(table[n].read(settings), table[n].defaultValue) << table[n].key;
        EXPECT_STREQ(AppSettings::allKeys()[n].key, table[n].key);
        EXPECT_EQ(AppSettings::allKeys()[n].defaultValue, table[n].defaultValue) << table[n].key;
    }
    EXPECT_TRUE(prefs.keys().isEmpty());
}

TEST(AppSettings, EachPropertyReadsItsKeyAndIgnoresOtherTypes) {
    for (const Setting& s : contract()) {
        Preferences prefs;
        AppSettings settings(prefs);
        prefs.setValue(QString::fromLatin1(s.key), changed(s.defaultValue)); // as a view would write it
        EXPECT_EQ(s.read(settings), changed(s.defaultValue)) << s.key;
        prefs.setValue(QString::fromLatin1(s.key), otherType(s.defaultValue));
        EXPECT_EQ(s.read(settings), s.defaultValue) << s.key;
    }
}

TEST(AppSettings, SettersStoreTypedValuesUnderTheirKeys) {
    Preferences prefs;
    AppSettings settings(prefs);
    settings.setPomWorkMinutes(50);
    settings.setSoundEnabled(false);
    settings.setAppLanguageRaw(QStringLiteral("en"));
    EXPECT_EQ(prefs.intValue(QStringLiteral("bl.pom.workMinutes")), 50);
    EXPECT_EQ(prefs.boolValue(QStringLiteral("bl.soundEnabled")), false);
    EXPECT_EQ(prefs.stringValue(QStringLiteral("bl.appLanguage")), QStringLiteral("en"));
    EXPECT_EQ(settings.appLanguage(), AppLanguage::english);
}

TEST(AppSettings, ChangeSignalFollowsEverySettingsWriteByAnyone) {
    Preferences prefs;
    AppSettings settings(prefs);
    QSignalSpy changedSpy(&settings, &AppSettings::changed);
    QSignalSpy keySpy(&settings, &AppSettings::keyChanged);
    settings.setPomCycles(3);
    prefs.setInt(QStringLiteral("bl.pom.workMinutes"), 50); // a view writing the key directly
    prefs.remove(QStringLiteral("bl.pom.cycles"));
    prefs.setInt(QStringLiteral("quorvane.lastDuration"), 60); // not a settings key
    prefs.setInt(QStringLiteral("xbl.pom.cycles"), 1);
    EXPECT_EQ(changedSpy.count(), 3);
    ASSERT_EQ(keySpy.count(), 3);
    EXPECT_EQ(keySpy.at(1).at(0).toString(), QStringLiteral("bl.pom.workMinutes"));
    EXPECT_EQ(settings.pomWorkMinutes(), 50);
}

TEST(AppSettings, UnknownRawValuesFallBack) {
    Preferences prefs;
    AppSettings settings(prefs);
    prefs.setString(QStringLiteral("bl.quickPreset.behavior"), QStringLiteral("sometimes"));
    EXPECT_EQ(settings.quickPresetBehavior(), QuickPresetBehavior::toggle);
    EXPECT_EQ(settings.quickPresetBehaviorRaw(), QStringLiteral("sometimes")); // stored as it is
    prefs.setString(QStringLiteral("bl.quickPreset.behavior"), QStringLiteral("pauseResume"));
    EXPECT_EQ(settings.quickPresetBehavior(), QuickPresetBehavior::pauseResume);
    prefs.setString(QStringLiteral("bl.appLanguage"), QStringLiteral("fr"));
    EXPECT_FALSE(appLanguageFromRaw(QStringLiteral("fr")));
    EXPECT_EQ(settings.appLanguage(), AppLanguage::japanese);
}

TEST(AppSettingsEnums, RawValuesLabelsAndOrder) {
    const QList<QuickPresetBehavior> behaviors = allQuickPresetBehaviors();
    ASSERT_EQ(behaviors.size(), 3);
    QStringList raws;
    for (QuickPresetBehavior b : behaviors) {
        raws << toRaw(b);
        EXPECT_EQ(quickPresetBehaviorFromRaw(toRaw(b)), b);
    }
    EXPECT_EQ(raws, (QStringList{QStringLiteral("toggle"), QStringLiteral("start"),
                                 QStringLiteral("pauseResume")}));
    // With no translation loaded the English source texts show.
    EXPECT_EQ(label(QuickPresetBehavior::toggle), QStringLiteral("Start ↔ Stop"));
    EXPECT_EQ(detail(QuickPresetBehavior::pauseResume),
              QStringLiteral("Pauses if running, resumes if paused"));

    ASSERT_EQ(allAppLanguages(), (QList<AppLanguage>{AppLanguage::japanese, AppLanguage::english}));
    EXPECT_EQ(toRaw(AppLanguage::japanese), QStringLiteral("ja"));
    EXPECT_EQ(label(AppLanguage::japanese), QStringLiteral("日本語"));
    EXPECT_EQ(label(AppLanguage::english), QStringLiteral("English"));
    EXPECT_EQ(locale(AppLanguage::english).language(), QLocale::English);
    EXPECT_EQ(locale(AppLanguage::japanese).language(), QLocale::Japanese);
}

} // namespace
