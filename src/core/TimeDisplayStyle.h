#pragma once
// How times are worded on the menu bar and in previews: the three display choices and the wording functions.

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The language of the words around a clock time.
enum class TimeDisplayStyle { japanese, english, symbol };
// What the menu-bar label shows for an alarm.
enum class MenuBarAlarmFormat { targetAndRemaining, remainingOnly, worded };
// How finely a remaining time is written.
enum class MenuBarRemainingDetail { seconds, minutes, words };

// Stored forms; reading any other text (case matters) gives none, and the caller picks its fallback.
QString toRaw(TimeDisplayStyle style);
QString toRaw(MenuBarAlarmFormat format);
QString toRaw(MenuBarRemainingDetail detail);
std::optional<TimeDisplayStyle> timeDisplayStyleFromRaw(const QString& raw);
std::optional<MenuBarAlarmFormat> menuBarAlarmFormatFromRaw(const QString& raw);
std::optional<MenuBarRemainingDetail> menuBarRemainingDetailFromRaw(const QString& raw);

// Picker texts, fixed: shown as written in both interface languages, never looked up for translation.
QString label(TimeDisplayStyle style);
QString label(MenuBarAlarmFormat format);
QString label(MenuBarRemainingDetail detail);
QString sample(TimeDisplayStyle style);
QString sample(MenuBarAlarmFormat format);
QString sample(MenuBarRemainingDetail detail);

// Every case, in declaration order.
QList<TimeDisplayStyle> allTimeDisplayStyles();
QList<MenuBarAlarmFormat> allMenuBarAlarmFormats();
QList<MenuBarRemainingDetail> allMenuBarRemainingDetails();

// The remaining-time text ("4:05", "1:03", "1h 2m 5s"); the same in every style. Negative counts as 0.
QString remaining(TimeDisplayStyle style, qint64 seconds, MenuBarRemainingDetail detail);
// A target clock time with the style's word ("19:44 まで", "until 19:44", "→19:44"), local time zone.
QString until(TimeDisplayStyle style, const QDateTime& date);
// An end clock time with the style's word ("終了 19:44", "ends 19:44", "→19:44"), local time zone.
QString ends(TimeDisplayStyle style, const QDateTime& date);
// The menu-bar text of an alarm with the given target and remaining seconds.
QString menuBarAlarm(TimeDisplayStyle style, const QDateTime& target, qint64 remainingSec,
                     MenuBarAlarmFormat format, MenuBarRemainingDetail detail);
