#pragma once
// What the menu-bar label shows (its content and its tooltip), from the main timer and the label settings,
// with the main timer's remaining and total seconds that the panel's short form and gauge are drawn from;
// it signals only when one of them actually differs (so each second while a timer runs: listeners compare
// what they draw before drawing it again).

#include "core/TimeDisplayStyle.h"
#include "theme/MenuBarDisplayContent.h"

#include <QObject>
#include <QString>

class AppSettings;
class TimerManager;

class MenuBarLabelModel : public QObject {
    Q_OBJECT
public:
    // Both must outlive the model. Follows every timer change and every settings write from now on.
    MenuBarLabelModel(TimerManager& timers, AppSettings& settings, QObject* parent = nullptr);

    const MenuBarDisplayContent& content() const { return m_content; }
    // The label's whole text, also when the label shows only its icon; empty when no timer is the main one
    // (the label is then the icon alone).
    const QString& toolTip() const { return m_toolTip; }
    // The main timer's seconds left and whole length; 0 without one. For pictures that show the time in
    // a short form of their own.
    qint64 remaining() const { return m_remaining; }
    qint64 total() const { return m_total; }

signals:
    // After content(), toolTip(), remaining() or total() changed.
    void changed();

private:
    void readSettings();
    void refresh();

    TimerManager& m_timers;
    AppSettings& m_settings;
    // The label choices, read when the settings change rather than on every tick.
    TimeDisplayStyle m_style = TimeDisplayStyle::japanese;
    MenuBarAlarmFormat m_alarmFormat = MenuBarAlarmFormat::targetAndRemaining;
    MenuBarRemainingDetail m_detail = MenuBarRemainingDetail::seconds;
    MenuBarDisplayMode m_mode = MenuBarDisplayMode::timeOnly;
    MenuBarIconStyle m_iconStyle = MenuBarIconStyle::windup;
    MenuBarDisplayContent m_content;
    QString m_toolTip;
    qint64 m_remaining = 0;
    qint64 m_total = 0;
};
