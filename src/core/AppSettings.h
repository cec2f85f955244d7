#pragma once
// The user's settings as typed properties over the "bl." preference keys, each with a fixed default.

#include "core/AppLanguage.h"
#include "platform/PreferenceSetting.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

class Preferences;

// What the one-key timer's hotkey does.
enum class QuickPresetBehavior { toggle, start, pauseResume };

QString toRaw(QuickPresetBehavior behavior);
std::optional<QuickPresetBehavior> quickPresetBehaviorFromRaw(const QString& raw);
QString label(QuickPresetBehavior behavior);  // translated into the interface language
QString detail(QuickPresetBehavior behavior); // translated into the interface language
QList<QuickPresetBehavior> allQuickPresetBehaviors();

class AppSettings : public QObject {
    Q_OBJECT
public:
    explicit AppSettings(Preferences& preferences, QObject* parent = nullptr);

    // The instance over the standard preferences, made on first use.
    static AppSettings& shared();

    Preferences& preferences() const { return m_preferences; }

    // One getter/setter pair per key; reads never write the default back.
#define TT_SETTING(Type, name, Setter)                                                                       \
    Type name() const;                                                                                       \
    void Setter(const Type& value);
    TT_SETTING(qint64, defaultDuration, setDefaultDuration)
    TT_SETTING(QString, appLanguageRaw, setAppLanguageRaw)
    TT_SETTING(QString, displayStyleRaw, setDisplayStyleRaw)
    TT_SETTING(bool, menuBarShowIcon, setMenuBarShowIcon)
    TT_SETTING(QString, menuBarDisplayModeRaw, setMenuBarDisplayModeRaw)
    TT_SETTING(QString, menuBarIconStyleRaw, setMenuBarIconStyleRaw)
    TT_SETTING(bool, floatingShowTaskName, setFloatingShowTaskName)
    TT_SETTING(QString, menuBarAlarmFormatRaw, setMenuBarAlarmFormatRaw)
    TT_SETTING(QString, menuBarRemainingDetailRaw, setMenuBarRemainingDetailRaw)
    TT_SETTING(qint64, quickPresetMinutes, setQuickPresetMinutes)
    TT_SETTING(QString, quickPresetBehaviorRaw, setQuickPresetBehaviorRaw)
    TT_SETTING(bool, soundEnabled, setSoundEnabled)
    TT_SETTING(QString, timerCompleteSound, setTimerCompleteSound)
    TT_SETTING(QString, alarmCompleteSound, setAlarmCompleteSound)
    TT_SETTING(QString, pomWorkStartSound, setPomWorkStartSound)
    TT_SETTING(QString, pomBreakStartSound, setPomBreakStartSound)
    TT_SETTING(bool, showFloatingOnStart, setShowFloatingOnStart)
    TT_SETTING(qint64, pomWorkMinutes, setPomWorkMinutes)
    TT_SETTING(qint64, pomShortBreakMinutes, setPomShortBreakMinutes)
    TT_SETTING(qint64, pomLongBreakMinutes, setPomLongBreakMinutes)
    TT_SETTING(bool, pomLongBreakEnabled, setPomLongBreakEnabled)
    TT_SETTING(qint64, pomCycles, setPomCycles)
    TT_SETTING(bool, pomAutoBreak, setPomAutoBreak)
    TT_SETTING(bool, pomAutoWork, setPomAutoWork)
    TT_SETTING(qint64, maxHistoryEntries, setMaxHistoryEntries)
    TT_SETTING(bool, hasSeenOnboarding, setHasSeenOnboarding)
#undef TT_SETTING

    // The stored behaviour, or toggle when the text names none.
    QuickPresetBehavior quickPresetBehavior() const;
    // The stored language, or Japanese when the text names none.
    AppLanguage appLanguage() const;

    // Every property's declaration (key, type, default), in property order.
    static const QList<PreferenceDeclaration>& allKeys();

    // Brings each stored number setting that has a range back within it, as its controls would, and logs
    // one line naming those it changed; returns their keys. Run once at start-up, before anyone reads them.
    static QStringList holdStoredNumbersInRange(Preferences& preferences);

signals:
    // After any write of a "bl." key, by anyone.
    void changed();
    void keyChanged(const QString& key);

private:
    Preferences& m_preferences;
};
