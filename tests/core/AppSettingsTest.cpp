#include "core/AppSettings.h"

#include "platform/Preferences.h"
#include "support/LogCapture.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace Qt::StringLiterals;
using S = AppSettings;

struct Setting {
    const char* key;
    QVariant defaultValue;
    std::function<QVariant(const AppSettings&)> read;
};

template <class T> std::function<QVariant(const AppSettings&)> get(T (AppSettings::*getter)() const) {
    return [getter](const AppSettings& s) { return QVariant((s.*getter)()); };
}

// The settings contract: every property, its key and its default, in declaration order.
const QList<Setting> kContract{
    {"bl.defaultDuration", qint64(1500), get(&S::defaultDuration)},
    {"bl.appLanguage", u"ja"_s, get(&S::appLanguageRaw)},
    {"bl.displayStyle", u"japanese"_s, get(&S::displayStyleRaw)},
    {"bl.menubar.showIcon", false, get(&S::menuBarShowIcon)},
    {"bl.menubar.displayMode", u"timeOnly"_s, get(&S::menuBarDisplayModeRaw)},
    {"bl.menubar.iconStyle", u"windup"_s, get(&S::menuBarIconStyleRaw)},
    {"bl.floating.showTaskName", true, get(&S::floatingShowTaskName)},
    {"bl.menubar.alarmFormat", u"targetAndRemaining"_s, get(&S::menuBarAlarmFormatRaw)},
    {"bl.menubar.remainingDetail", u"seconds"_s, get(&S::menuBarRemainingDetailRaw)},
    {"bl.quickPreset.minutes", qint64(25), get(&S::quickPresetMinutes)},
    {"bl.quickPreset.behavior", u"toggle"_s, get(&S::quickPresetBehaviorRaw)},
    {"bl.soundEnabled", true, get(&S::soundEnabled)},
    {"bl.sound.timerComplete", u"b.chime"_s, get(&S::timerCompleteSound)},
    {"bl.sound.alarmComplete", u"b.digital_alarm"_s, get(&S::alarmCompleteSound)},
    {"bl.sound.pomWorkStart", u"b.happy_beep"_s, get(&S::pomWorkStartSound)},
    {"bl.sound.pomBreakStart", u"b.koshi"_s, get(&S::pomBreakStartSound)},
    {"bl.floating.showOnStart", false, get(&S::showFloatingOnStart)},
    {"bl.pom.workMinutes", qint64(25), get(&S::pomWorkMinutes)},
    {"bl.pom.shortBreakMinutes", qint64(5), get(&S::pomShortBreakMinutes)},
    {"bl.pom.longBreakMinutes", qint64(15), get(&S::pomLongBreakMinutes)},
    {"bl.pom.longBreakEnabled", true, get(&S::pomLongBreakEnabled)},
    {"bl.pom.cycles", qint64(4), get(&S::pomCycles)},
    {"bl.pom.autoBreak", true, get(&S::pomAutoBreak)},
    {"bl.pom.autoWork", false, get(&S::pomAutoWork)},
    {"bl.history.maxEntries", qint64(100), get(&S::maxHistoryEntries)},
    {"bl.hasSeenOnboarding", false, get(&S::hasSeenOnboarding)},
};

// A value of the key's own type that differs from the default.
QVariant changed(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return !value.toBool();
    case QMetaType::LongLong:
        return value.toLongLong() + 1;
    default:
        return value.toString() + u"x"_s;
    }
}

TEST(AppSettings, FreshStoreReadsEveryDefaultAndWritesNothing) {
    Preferences prefs;
    AppSettings settings(prefs);
    ASSERT_EQ(kContract.size(), 26);
    ASSERT_EQ(AppSettings::allKeys().size(), 26);
    for (int n = 0; n < kContract.size(); ++n) {
        SCOPED_TRACE(kContract[n].key);
        EXPECT_EQ(kContract[n].read(settings), kContract[n].defaultValue);
        EXPECT_EQ(AppSettings::allKeys()[n].key, QString::fromLatin1(kContract[n].key));
        EXPECT_EQ(AppSettings::allKeys()[n].defaultValue, kContract[n].defaultValue);
    }
    EXPECT_TRUE(prefs.keys().isEmpty());
}

// Values of another type are covered for every declaration in SettingDeclarationsTest; this pins that each
// property is wired to its own key.
TEST(AppSettings, EachPropertyReadsItsOwnKey) {
    for (const Setting& s : kContract) {
        SCOPED_TRACE(s.key);
        Preferences prefs;
        AppSettings settings(prefs);
        prefs.setValue(QString::fromLatin1(s.key), changed(s.defaultValue)); // as a view would write it
        EXPECT_EQ(s.read(settings), changed(s.defaultValue));
    }
}

TEST(AppSettings, SettersStoreTypedValuesUnderTheirKeys) {
    Preferences prefs;
    AppSettings settings(prefs);
    settings.setPomWorkMinutes(50);
    settings.setSoundEnabled(false);
    settings.setAppLanguageRaw(u"en"_s);
    EXPECT_EQ(prefs.intValue(u"bl.pom.workMinutes"_s), 50);
    EXPECT_EQ(prefs.boolValue(u"bl.soundEnabled"_s), false);
    EXPECT_EQ(prefs.stringValue(u"bl.appLanguage"_s), u"en"_s);
    EXPECT_EQ(settings.appLanguage(), AppLanguage::english);
}

TEST(AppSettings, ChangeSignalFollowsEverySettingsWriteByAnyone) {
    Preferences prefs;
    AppSettings settings(prefs);
    QSignalSpy changedSpy(&settings, &AppSettings::changed);
    QSignalSpy keySpy(&settings, &AppSettings::keyChanged);
    settings.setPomCycles(3);
    prefs.setInt(u"bl.pom.workMinutes"_s, 50); // a view writing the key directly
    prefs.remove(u"bl.pom.cycles"_s);
    prefs.setInt(u"quorvane.lastDuration"_s, 60); // not a settings key
    prefs.setInt(u"xbl.pom.cycles"_s, 1);
    EXPECT_EQ(changedSpy.count(), 3);
    ASSERT_EQ(keySpy.count(), 3);
    EXPECT_EQ(keySpy.at(1).at(0).toString(), u"bl.pom.workMinutes"_s);
    EXPECT_EQ(settings.pomWorkMinutes(), 50);
}

TEST(AppSettings, UnknownRawValuesFallBack) {
    Preferences prefs;
    AppSettings settings(prefs);
    prefs.setString(u"bl.quickPreset.behavior"_s, u"sometimes"_s);
    EXPECT_EQ(settings.quickPresetBehavior(), QuickPresetBehavior::toggle);
    EXPECT_EQ(settings.quickPresetBehaviorRaw(), u"sometimes"_s); // stored as it is
    prefs.setString(u"bl.quickPreset.behavior"_s, u"pauseResume"_s);
    EXPECT_EQ(settings.quickPresetBehavior(), QuickPresetBehavior::pauseResume);
    prefs.setString(u"bl.appLanguage"_s, u"fr"_s);
    EXPECT_FALSE(appLanguageFromRaw(u"fr"_s));
    EXPECT_EQ(settings.appLanguage(), AppLanguage::japanese);
}

TEST(AppSettings, StoredNumbersOutOfRangeAreHeldToItOnce) {
    const struct {
        const char* behaviour;
        const char* key;
        QVariant stored;
        QVariant held;
    } rows[] = {
        {"one-key timer of no minutes", "bl.quickPreset.minutes", qint64(0), qint64(1)},
        {"one-key timer beyond eight hours", "bl.quickPreset.minutes", qint64(100000), qint64(480)},
        {"focus of 10^18 minutes", "bl.pom.workMinutes", qint64(1'000'000'000'000'000'000), qint64(999)},
        {"a negative short break", "bl.pom.shortBreakMinutes", qint64(-3), qint64(1)},
        {"a long break past an hour", "bl.pom.longBreakMinutes", qint64(61), qint64(60)},
        {"no rounds", "bl.pom.cycles", qint64(0), qint64(1)},
        {"focus an applied sequence set past the field's range", "bl.pom.workMinutes", qint64(150),
         qint64(150)},
        {"a value of another type is left to read as the default", "bl.pom.cycles", u"99"_s, u"99"_s},
        {"a negative history cap, which would empty the history, becomes the default",
         "bl.history.maxEntries", qint64(-5), qint64(100)},
        {"a history cap of none is a choice", "bl.history.maxEntries", qint64(0), qint64(0)},
        {"a long history is a choice", "bl.history.maxEntries", qint64(1'000'000), qint64(1'000'000)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        Preferences prefs;
        prefs.setValue(QString::fromLatin1(row.key), row.stored);
        LogCapture log;
        const QStringList changed = AppSettings::holdStoredNumbersInRange(prefs);
        EXPECT_EQ(prefs.value(QString::fromLatin1(row.key)), row.held);
        const bool moved = row.held != row.stored;
        EXPECT_EQ(changed, moved ? QStringList{QString::fromLatin1(row.key)} : QStringList());
        EXPECT_EQ(log.lines(), moved ? QStringList{u"[AppSettings] Brought stored settings within range: "_s +
                                                   QString::fromLatin1(row.key)}
                                     : QStringList());
    }
}

TEST(AppSettingsEnums, RawValuesLabelsAndOrder) {
    QStringList raws;
    for (QuickPresetBehavior b : allQuickPresetBehaviors()) {
        raws << toRaw(b);
        EXPECT_EQ(quickPresetBehaviorFromRaw(toRaw(b)), b);
    }
    EXPECT_EQ(raws, (QStringList{u"toggle"_s, u"start"_s, u"pauseResume"_s}));
    // With no translation loaded the English source texts show.
    EXPECT_EQ(label(QuickPresetBehavior::toggle), u"Start ↔ Stop"_s);
    EXPECT_EQ(detail(QuickPresetBehavior::pauseResume), u"Pauses if running, resumes if paused"_s);

    ASSERT_EQ(allAppLanguages(), (QList<AppLanguage>{AppLanguage::japanese, AppLanguage::english}));
    EXPECT_EQ(toRaw(AppLanguage::japanese), u"ja"_s);
    EXPECT_EQ(label(AppLanguage::japanese), u"日本語"_s);
    EXPECT_EQ(label(AppLanguage::english), u"English"_s);
    EXPECT_EQ(locale(AppLanguage::english).language(), QLocale::English);
    EXPECT_EQ(locale(AppLanguage::japanese).language(), QLocale::Japanese);
}

} // namespace
