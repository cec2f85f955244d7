#include "core/AppSettings.h"

#include "platform/Preferences.h"

#include <QCoreApplication>

namespace {

struct Behavior {
    QuickPresetBehavior value;
    const char* raw;
    const char* label;
    const char* detail;
};

const Behavior kBehaviors[] = {
    {QuickPresetBehavior::toggle, "toggle", QT_TRANSLATE_NOOP("QuickPresetBehavior", "Start ↔ Stop"),
     QT_TRANSLATE_NOOP("QuickPresetBehavior", "Press to start, press again to stop (default)")},
    {QuickPresetBehavior::start, "start", QT_TRANSLATE_NOOP("QuickPresetBehavior", "Always Start New"),
     QT_TRANSLATE_NOOP("QuickPresetBehavior", "Press to start a fresh timer every time")},
    {QuickPresetBehavior::pauseResume, "pauseResume", QT_TRANSLATE_NOOP("QuickPresetBehavior", "Pause / Resume"),
     QT_TRANSLATE_NOOP("QuickPresetBehavior", "Pauses if running, resumes if paused")},
};

const Behavior& entry(QuickPresetBehavior b) {
    return kBehaviors[int(b)];
}

} // namespace

QString toRaw(QuickPresetBehavior behavior) {
    return QString::fromLatin1(entry(behavior).raw);
}

std::optional<QuickPresetBehavior> quickPresetBehaviorFromRaw(const QString& raw) {
    for (const Behavior& b : kBehaviors) {
        if (raw == QLatin1String(b.raw)) {
            return b.value;
        }
    }
    return std::nullopt;
}

QString label(QuickPresetBehavior behavior) {
    return QCoreApplication::translate("QuickPresetBehavior", entry(behavior).label);
}

QString detail(QuickPresetBehavior behavior) {
    return QCoreApplication::translate("QuickPresetBehavior", entry(behavior).detail);
}

QList<QuickPresetBehavior> allQuickPresetBehaviors() {
    return {QuickPresetBehavior::toggle, QuickPresetBehavior::start, QuickPresetBehavior::pauseResume};
}

AppSettings::AppSettings(Preferences& preferences, QObject* parent) : QObject(parent), m_preferences(preferences) {
    connect(&m_preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key.startsWith(QLatin1String("bl."))) {
            emit keyChanged(key);
            emit changed();
        }
    });
}

AppSettings& AppSettings::shared() {
    static AppSettings instance(Preferences::standard());
    return instance;
}

// Reads fall back to the default for an absent key or a value of another type.
#define TT_INT_SETTING(name, Setter, key, fallback)                                                           \
    qint64 AppSettings::name() const { return m_preferences.intValue(QStringLiteral(key)).value_or(fallback); } \
    void AppSettings::Setter(const qint64& value) { m_preferences.setInt(QStringLiteral(key), value); }
#define TT_BOOL_SETTING(name, Setter, key, fallback)                                                          \
    bool AppSettings::name() const { return m_preferences.boolValue(QStringLiteral(key)).value_or(fallback); } \
    void AppSettings::Setter(const bool& value) { m_preferences.setBool(QStringLiteral(key), value); }
#define TT_STRING_SETTING(name, Setter, key, fallback)                                                        \
    QString AppSettings::name() const {                                                                        \
        return m_preferences.stringValue(QStringLiteral(key)).value_or(QStringLiteral(fallback));             \
    }                                                                                                          \
    void AppSettings::Setter(const QString& value) { m_preferences.setString(QStringLiteral(key), value); }

#define TT_ALL_SETTINGS(INT, BOOL, STRING)                                                                    \
    INT(defaultDuration, setDefaultDuration, "bl.defaultDuration", 1500)                                      \
    STRING(appLanguageRaw, setAppLanguageRaw, "bl.appLanguage", "ja")                                          \
    STRING(displayStyleRaw, setDisplayStyleRaw, "bl.displayStyle", "japanese")                                 \
    BOOL(menuBarShowIcon, setMenuBarShowIcon, "bl.menubar.showIcon", false)                                   \
    STRING(menuBarDisplayModeRaw, setMenuBarDisplayModeRaw, "bl.menubar.displayMode", "timeOnly")             \
    STRING(menuBarIconStyleRaw, setMenuBarIconStyleRaw, "bl.menubar.iconStyle", "windup")                     \
    BOOL(floatingShowTaskName, setFloatingShowTaskName, "bl.floating.showTaskName", true)                     \
    STRING(menuBarAlarmFormatRaw, setMenuBarAlarmFormatRaw, "bl.menubar.alarmFormat", "targetAndRemaining")   \
    STRING(menuBarRemainingDetailRaw, setMenuBarRemainingDetailRaw, "bl.menubar.remainingDetail", "seconds")  \
    INT(quickPresetMinutes, setQuickPresetMinutes, "bl.quickPreset.minutes", 25)                              \
    STRING(quickPresetBehaviorRaw, setQuickPresetBehaviorRaw, "bl.quickPreset.behavior", "toggle")            \
    BOOL(soundEnabled, setSoundEnabled, "bl.soundEnabled", true)                                              \
    STRING(timerCompleteSound, setTimerCompleteSound, "bl.sound.timerComplete", "b.chime")                    \
    STRING(alarmCompleteSound, setAlarmCompleteSound, "bl.sound.alarmComplete", "b.digital_alarm")            \
    STRING(pomWorkStartSound, setPomWorkStartSound, "bl.sound.pomWorkStart", "b.happy_beep")                  \
    STRING(pomBreakStartSound, setPomBreakStartSound, "bl.sound.pomBreakStart", "b.koshi")                    \
    BOOL(showFloatingOnStart, setShowFloatingOnStart, "bl.floating.showOnStart", false)                       \
    INT(pomWorkMinutes, setPomWorkMinutes, "bl.pom.workMinutes", 25)                                          \
    INT(pomShortBreakMinutes, setPomShortBreakMinutes, "bl.pom.shortBreakMinutes", 5)                         \
    INT(pomLongBreakMinutes, setPomLongBreakMinutes, "bl.pom.longBreakMinutes", 15)                           \
    BOOL(pomLongBreakEnabled, setPomLongBreakEnabled, "bl.pom.longBreakEnabled", true)                        \
    INT(pomCycles, setPomCycles, "bl.pom.cycles", 4)                                                          \
    BOOL(pomAutoBreak, setPomAutoBreak, "bl.pom.autoBreak", true)                                             \
    BOOL(pomAutoWork, setPomAutoWork, "bl.pom.autoWork", false)                                               \
    INT(maxHistoryEntries, setMaxHistoryEntries, "bl.history.maxEntries", 100)                                \
    BOOL(hasSeenOnboarding, setHasSeenOnboarding, "bl.hasSeenOnboarding", false)

TT_ALL_SETTINGS(TT_INT_SETTING, TT_BOOL_SETTING, TT_STRING_SETTING)

QuickPresetBehavior AppSettings::quickPresetBehavior() const {
    return quickPresetBehaviorFromRaw(quickPresetBehaviorRaw()).value_or(QuickPresetBehavior::toggle);
}

AppLanguage AppSettings::appLanguage() const {
    return appLanguageFromRaw(appLanguageRaw()).value_or(AppLanguage::japanese);
}

const QList<AppSettings::KeyDefault>& AppSettings::allKeys() {
#define TT_KEY_INT(name, Setter, key, fallback) {key, QVariant(qint64(fallback))},
#define TT_KEY_BOOL(name, Setter, key, fallback) {key, QVariant(bool(fallback))},
#define TT_KEY_STRING(name, Setter, key, fallback) {key, QVariant(QStringLiteral(fallback))},
    static const QList<KeyDefault> keys = {TT_ALL_SETTINGS(TT_KEY_INT, TT_KEY_BOOL, TT_KEY_STRING)};
    return keys;
}
