#pragma once
// What the floating window shows, without widgets: which timer it follows, its time, label and progress,
// and what a tap on the card does. Every value is read from the engine and the preferences when asked.

#include "core/TimerItem.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class PomodoroManager;
class Preferences;
class TimerManager;

class FloatingWindowModel : public QObject {
    Q_OBJECT
public:
    // All three must outlive the model; the managers are followed through their change signals.
    FloatingWindowModel(TimerManager& timerManager, PomodoroManager& pomodoroManager,
                        const Preferences& preferences, QObject* parent = nullptr);

    // The Pomodoro phase timer while a session has one (none when that timer is gone), else the primary
    // timer: the first running, else the first paused one.
    std::optional<TimerItem> heroTimer() const;
    // The phase name during a session; else the hero's title when task names are shown; else an alarm's
    // target worded in the chosen style; else empty.
    QString heroLabel() const;
    // The hero's remaining time, or the engine's main time without a hero.
    QString timeText() const;
    bool isRunning() const;
    bool isFinished() const;
    // The hero's elapsed fraction, unclamped (0 without a hero).
    double progress() const;
    // The accent colour as the preferences hold it now.
    QColor accent() const;

    // The card's tap: pauses or resumes a Pomodoro session, else toggles the hero timer.
    void primaryAction();

signals:
    // Anything shown may have changed: a timer, the session, or one of the preferences read.
    void changed();

private:
    QPointer<TimerManager> m_timerManager;
    QPointer<PomodoroManager> m_pomodoroManager;
    const Preferences& m_preferences;
};
