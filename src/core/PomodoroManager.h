#pragma once
// Runs Pomodoro sessions: each phase is an ordinary timer of the timer manager; this decides what comes next.

#include "core/PomodoroConfig.h"
#include "core/PomodoroSession.h"

#include <QObject>
#include <QPointer>
#include <QUuid>

#include <optional>

class AppSettings;
class HistoryManagerProtocol;
class NotificationServiceProtocol;
class PersistenceServiceProtocol;
class SoundServiceProtocol;
class TimerManager;

class PomodoroManager : public QObject {
    Q_OBJECT
public:
    // Keeps only the notification and sound services. Follows every change of `settings` from now on, but
    // does not read them here: the application calls updateConfig once at launch.
    PomodoroManager(PersistenceServiceProtocol& persistence, NotificationServiceProtocol& notification,
                    SoundServiceProtocol& sound, HistoryManagerProtocol& history, AppSettings& settings,
                    QObject* parent = nullptr);

    const PomodoroSession& session() const { return m_session; }
    const PomodoroConfig& config() const { return m_config; }
    bool isActive() const { return m_session.isActive; }
    PomodoroPhase currentPhase() const { return m_session.currentPhase; }
    qint64 completedCycles() const { return m_session.completedWorkCycles; }
    // The timer that runs the current phase; none while a phase waits to be started.
    std::optional<QUuid> activeTimerID() const { return m_activeTimerID; }
    std::optional<QUuid> currentTimerID() const { return m_activeTimerID; }

    // Held weakly: the phase timers live in that manager's list.
    TimerManager* timerManager() const { return m_timerManager; }
    void setTimerManager(TimerManager* manager) { m_timerManager = manager; }

    // A fresh active session that starts with a focus phase.
    void startSession();
    // Starts the waiting phase of an active session; nothing while a phase timer exists.
    void startPendingPhase();
    void pauseSession();
    void resumeSession();
    // Removes the phase timer, if any, and ends the session.
    void stopSession();
    // Removes the phase timer and moves on without counting a focus phase as completed.
    void skipPhase();
    // The completion hook: the current phase timer has finished. Any other id is ignored.
    void onTimerCompleted(const QUuid& id);
    // New lengths apply from the next phase; a running phase timer keeps its length.
    void updateConfig(const AppSettings& settings);

signals:
    // After the session or its phase timer id changed.
    void sessionChanged();
    void configChanged();
    // After any of the above.
    void changed();

private:
    // Publishes what an operation changed, once, at its end.
    class Publisher;

    void startPhase(PomodoroPhase phase);
    void advancePhase(PomodoroPhase from, bool countCompletedWork);
    // The phase timer, when the timer manager is there, an id is set and that timer is still in its list.
    bool phaseTimerExists() const;

    NotificationServiceProtocol& m_notification;
    SoundServiceProtocol& m_sound;
    AppSettings& m_settings;
    QPointer<TimerManager> m_timerManager;

    PomodoroSession m_session;
    PomodoroConfig m_config;
    std::optional<QUuid> m_activeTimerID;
};
