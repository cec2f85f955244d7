#include "core/AppSettings.h"

#include "core/SettingsKeys.h"
#include "core/TimerPreset.h"
#include "platform/Preferences.h"
#include "platform/TarvolinTimerLogger.h"

#include <QCoreApplication>

#include <algorithm>

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
    {QuickPresetBehavior::pauseResume, "pauseResume",
     QT_TRANSLATE_NOOP("QuickPresetBehavior", "Pause / Resume"),
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

AppSettings::AppSettings(Preferences& preferences, QObject* parent)
    : QObject(parent), m_preferences(preferences) {
    connect(&m_preferences, &Preferences::changed, this, [this](const QString& key) {
        if (SettingsKeys::isSettingsKey(key)) {
            emit keyChanged(key);
            emit changed();
        }
    });
}

AppSettings& AppSettings::shared() {
    static AppSettings instance(Preferences::standard());
    return instance;
}

// Each property reads and writes its declaration: absent keys and values of another type read as the default.
#define TT_SETTING(Type, name, Setter, declaration)                                                          \
    Type AppSettings::name() const {                                                                         \
        return SettingsKeys::declaration.read(m_preferences);                                                \
    }                                                                                                        \
    void AppSettings::Setter(const Type& value) {                                                            \
        SettingsKeys::declaration.write(m_preferences, value);                                               \
    }
TT_SETTING(qint64, defaultDuration, setDefaultDuration, defaultDuration)
TT_SETTING(QString, appLanguageRaw, setAppLanguageRaw, appLanguage)
TT_SETTING(QString, displayStyleRaw, setDisplayStyleRaw, displayStyle)
TT_SETTING(bool, menuBarShowIcon, setMenuBarShowIcon, menuBarShowIcon)
TT_SETTING(QString, menuBarDisplayModeRaw, setMenuBarDisplayModeRaw, menuBarDisplayMode)
TT_SETTING(QString, menuBarIconStyleRaw, setMenuBarIconStyleRaw, menuBarIconStyle)
TT_SETTING(bool, floatingShowTaskName, setFloatingShowTaskName, floatingShowTaskName)
TT_SETTING(QString, menuBarAlarmFormatRaw, setMenuBarAlarmFormatRaw, menuBarAlarmFormat)
TT_SETTING(QString, menuBarRemainingDetailRaw, setMenuBarRemainingDetailRaw, menuBarRemainingDetail)
TT_SETTING(qint64, quickPresetMinutes, setQuickPresetMinutes, quickPresetMinutes)
TT_SETTING(QString, quickPresetBehaviorRaw, setQuickPresetBehaviorRaw, quickPresetBehavior)
TT_SETTING(bool, soundEnabled, setSoundEnabled, soundEnabled)
TT_SETTING(QString, timerCompleteSound, setTimerCompleteSound, timerCompleteSound)
TT_SETTING(QString, alarmCompleteSound, setAlarmCompleteSound, alarmCompleteSound)
TT_SETTING(QString, pomWorkStartSound, setPomWorkStartSound, pomWorkStartSound)
TT_SETTING(QString, pomBreakStartSound, setPomBreakStartSound, pomBreakStartSound)
TT_SETTING(bool, showFloatingOnStart, setShowFloatingOnStart, showFloatingOnStart)
TT_SETTING(qint64, pomWorkMinutes, setPomWorkMinutes, pomWorkMinutes)
TT_SETTING(qint64, pomShortBreakMinutes, setPomShortBreakMinutes, pomShortBreakMinutes)
TT_SETTING(qint64, pomLongBreakMinutes, setPomLongBreakMinutes, pomLongBreakMinutes)
TT_SETTING(bool, pomLongBreakEnabled, setPomLongBreakEnabled, pomLongBreakEnabled)
TT_SETTING(qint64, pomCycles, setPomCycles, pomCycles)
TT_SETTING(bool, pomAutoBreak, setPomAutoBreak, pomAutoBreak)
TT_SETTING(bool, pomAutoWork, setPomAutoWork, pomAutoWork)
TT_SETTING(qint64, maxHistoryEntries, setMaxHistoryEntries, maxHistoryEntries)
TT_SETTING(bool, hasSeenOnboarding, setHasSeenOnboarding, hasSeenOnboarding)
#undef TT_SETTING

QuickPresetBehavior AppSettings::quickPresetBehavior() const {
    return quickPresetBehaviorFromRaw(quickPresetBehaviorRaw()).value_or(QuickPresetBehavior::toggle);
}

AppLanguage AppSettings::appLanguage() const {
    return appLanguageFromRaw(appLanguageRaw()).value_or(AppLanguage::japanese);
}

const QList<PreferenceDeclaration>& AppSettings::allKeys() {
    return SettingsKeys::all();
}

QStringList AppSettings::holdStoredNumbersInRange(Preferences& preferences) {
    struct Held {
        const PreferenceSetting<qint64>& setting;
        qint64 maximum;
        // Below the range the value is no near miss of anything a control writes: it becomes the default.
        bool belowGivesDefault = false;
    };
    // Applying a sequence writes its first focus and break steps' minutes, which may be longer than the
    // settings' own fields offer: those two keep the steps' range.
    const Held held[] = {
        {SettingsKeys::quickPresetMinutes, SettingsKeys::quickPresetMinutes.range.maximum},
        {SettingsKeys::pomWorkMinutes, SequenceStep::maxMinutes},
        {SettingsKeys::pomShortBreakMinutes, SequenceStep::maxMinutes},
        {SettingsKeys::pomLongBreakMinutes, SettingsKeys::pomLongBreakMinutes.range.maximum},
        {SettingsKeys::pomCycles, SettingsKeys::pomCycles.range.maximum},
        // A cap of 0 keeps no history by choice; a negative one would empty it at the next finished timer.
        {SettingsKeys::maxHistoryEntries, SettingsKeys::maxHistoryEntries.range.maximum, true},
    };
    QStringList changed;
    for (const Held& entry : held) {
        // Absent or of another type, a setting already reads as its default.
        const std::optional<qint64> stored = preferences.intValue(entry.setting.key);
        if (!stored) {
            continue;
        }
        const qint64 inRange = entry.belowGivesDefault && *stored < entry.setting.range.minimum
                                   ? entry.setting.defaultValue
                                   : std::clamp(*stored, entry.setting.range.minimum, entry.maximum);
        if (inRange != *stored) {
            entry.setting.write(preferences, inRange);
            changed << entry.setting.key;
        }
    }
    if (!changed.isEmpty()) {
        TT_LOG_WARNING(QStringLiteral("AppSettings"),
                       QStringLiteral("Brought stored settings within range: %1").arg(changed.join(u", ")));
    }
    return changed;
}
