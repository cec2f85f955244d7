#pragma once
// Every "bl." preference the engine and the settings screen share, each declared once with its type and
// default; everything else reads and writes them through these declarations.

#include "platform/PreferenceSetting.h"

#include <QList>
#include <QString>

namespace SettingsKeys {

// In the order of the settings model's properties.
inline const PreferenceSetting<qint64> defaultDuration{QStringLiteral("bl.defaultDuration"), 1500};
inline const PreferenceSetting<QString> appLanguage{QStringLiteral("bl.appLanguage"), QStringLiteral("ja")};
inline const PreferenceSetting<QString> displayStyle{QStringLiteral("bl.displayStyle"),
                                                     QStringLiteral("japanese")};
// The older on/off icon switch, still read once to derive the display mode.
inline const PreferenceSetting<bool> menuBarShowIcon{QStringLiteral("bl.menubar.showIcon"), false};
inline const PreferenceSetting<QString> menuBarDisplayMode{QStringLiteral("bl.menubar.displayMode"),
                                                           QStringLiteral("timeOnly")};
inline const PreferenceSetting<QString> menuBarIconStyle{QStringLiteral("bl.menubar.iconStyle"),
                                                         QStringLiteral("windup")};
inline const PreferenceSetting<bool> floatingShowTaskName{QStringLiteral("bl.floating.showTaskName"), true};
inline const PreferenceSetting<QString> menuBarAlarmFormat{QStringLiteral("bl.menubar.alarmFormat"),
                                                           QStringLiteral("targetAndRemaining")};
inline const PreferenceSetting<QString> menuBarRemainingDetail{QStringLiteral("bl.menubar.remainingDetail"),
                                                               QStringLiteral("seconds")};
inline const PreferenceSetting<qint64> quickPresetMinutes{QStringLiteral("bl.quickPreset.minutes"), 25,
                                                          IntegerRange{1, 480, 1}};
inline const PreferenceSetting<QString> quickPresetBehavior{QStringLiteral("bl.quickPreset.behavior"),
                                                            QStringLiteral("toggle")};
inline const PreferenceSetting<bool> soundEnabled{QStringLiteral("bl.soundEnabled"), true};
inline const PreferenceSetting<QString> timerCompleteSound{QStringLiteral("bl.sound.timerComplete"),
                                                           QStringLiteral("b.chime")};
inline const PreferenceSetting<QString> alarmCompleteSound{QStringLiteral("bl.sound.alarmComplete"),
                                                           QStringLiteral("b.digital_alarm")};
inline const PreferenceSetting<QString> pomWorkStartSound{QStringLiteral("bl.sound.pomWorkStart"),
                                                          QStringLiteral("b.happy_beep")};
inline const PreferenceSetting<QString> pomBreakStartSound{QStringLiteral("bl.sound.pomBreakStart"),
                                                           QStringLiteral("b.koshi")};
inline const PreferenceSetting<bool> showFloatingOnStart{QStringLiteral("bl.floating.showOnStart"), false};
inline const PreferenceSetting<qint64> pomWorkMinutes{QStringLiteral("bl.pom.workMinutes"), 25,
                                                      IntegerRange{1, 120, 1}};
inline const PreferenceSetting<qint64> pomShortBreakMinutes{QStringLiteral("bl.pom.shortBreakMinutes"), 5,
                                                            IntegerRange{1, 60, 1}};
inline const PreferenceSetting<qint64> pomLongBreakMinutes{QStringLiteral("bl.pom.longBreakMinutes"), 15,
                                                           IntegerRange{1, 60, 1}};
inline const PreferenceSetting<bool> pomLongBreakEnabled{QStringLiteral("bl.pom.longBreakEnabled"), true};
inline const PreferenceSetting<qint64> pomCycles{QStringLiteral("bl.pom.cycles"), 4, IntegerRange{1, 12, 1}};
inline const PreferenceSetting<bool> pomAutoBreak{QStringLiteral("bl.pom.autoBreak"), true};
inline const PreferenceSetting<bool> pomAutoWork{QStringLiteral("bl.pom.autoWork"), false};
inline const PreferenceSetting<qint64> maxHistoryEntries{QStringLiteral("bl.history.maxEntries"), 100,
                                                         IntegerRange{0}};
inline const PreferenceSetting<bool> hasSeenOnboarding{QStringLiteral("bl.hasSeenOnboarding"), false};

// All of the above, in that order.
const QList<PreferenceDeclaration>& all();

// Whether a changed key belongs to the settings model (the key family these declarations share).
bool isSettingsKey(const QString& key);

} // namespace SettingsKeys
