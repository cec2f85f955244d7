#include "core/PomodoroManager.h"

#include "core/AppSettings.h"
#include "core/NotificationServiceProtocol.h"
#include "core/Saturating.h"
#include "core/SoundServiceProtocol.h"
#include "core/TimerManager.h"

class PomodoroManager::Publisher {
public:
    explicit Publisher(PomodoroManager& owner)
        : m_owner(owner), m_session(owner.m_session), m_config(owner.m_config), m_id(owner.m_activeTimerID) {}
    ~Publisher() {
        const bool session = m_session != m_owner.m_session || m_id != m_owner.m_activeTimerID;
        const bool config = m_config != m_owner.m_config;
        if (session) {
            emit m_owner.sessionChanged();
        }
        if (config) {
            emit m_owner.configChanged();
        }
        if (session || config) {
            emit m_owner.changed();
        }
    }
    Publisher(const Publisher&) = delete;
    Publisher& operator=(const Publisher&) = delete;

private:
    PomodoroManager& m_owner;
    const PomodoroSession m_session;
    const PomodoroConfig m_config;
    const std::optional<QUuid> m_id;
};

PomodoroManager::PomodoroManager(PersistenceServiceProtocol&, NotificationServiceProtocol& notification,
                                 SoundServiceProtocol& sound, HistoryManagerProtocol&, AppSettings& settings,
                                 QObject* parent)
    : QObject(parent), m_notification(notification), m_sound(sound), m_settings(settings) {
    // The signal comes after the new value is stored, so reading the settings here sees it.
    connect(&m_settings, &AppSettings::changed, this, [this] { updateConfig(m_settings); });
}

// ---- Session control ----

void PomodoroManager::startSession() {
    tickTimersIfDue(m_timerManager);
    Publisher publish(*this);
    m_session = PomodoroSession{};
    m_session.isActive = true;
    startPhase(PomodoroPhase::work);
}

void PomodoroManager::startPendingPhase() {
    tickTimersIfDue(m_timerManager);
    if (!m_session.isActive || m_activeTimerID) {
        return;
    }
    Publisher publish(*this);
    startPhase(m_session.currentPhase);
}

void PomodoroManager::pauseSession() {
    tickTimersIfDue(m_timerManager);
    if (!phaseTimerExists()) {
        return;
    }
    Publisher publish(*this);
    m_timerManager->pause(*m_activeTimerID);
    m_session.isPaused = true;
}

void PomodoroManager::resumeSession() {
    tickTimersIfDue(m_timerManager);
    if (!phaseTimerExists()) {
        return;
    }
    Publisher publish(*this);
    m_timerManager->start(*m_activeTimerID);
    m_session.isPaused = false;
}

void PomodoroManager::stopSession() {
    tickTimersIfDue(m_timerManager);
    Publisher publish(*this);
    if (phaseTimerExists()) {
        m_timerManager->removeTimer(*m_activeTimerID);
    }
    m_activeTimerID.reset();
    m_session = PomodoroSession{};
}

void PomodoroManager::skipPhase() {
    tickTimersIfDue(m_timerManager);
    if (!m_activeTimerID) {
        return;
    }
    Publisher publish(*this);
    if (phaseTimerExists()) {
        m_timerManager->removeTimer(*m_activeTimerID);
    }
    advancePhase(m_session.currentPhase, false);
}

void PomodoroManager::onTimerCompleted(const QUuid& id) {
    if (!m_session.isActive || m_activeTimerID != id) {
        return;
    }
    Publisher publish(*this);
    advancePhase(m_session.currentPhase, true);
}

void PomodoroManager::updateConfig(const AppSettings& settings) {
    Publisher publish(*this);
    // Minutes are typed by the user: a huge value saturates instead of overflowing.
    m_config.workDuration = saturatingMul(settings.pomWorkMinutes(), 60);
    m_config.shortBreakDuration = saturatingMul(settings.pomShortBreakMinutes(), 60);
    m_config.longBreakDuration = saturatingMul(settings.pomLongBreakMinutes(), 60);
    m_config.cyclesBeforeLongBreak = settings.pomCycles();
    m_config.autoStartBreak = settings.pomAutoBreak();
    m_config.autoStartWork = settings.pomAutoWork();
    m_config.longBreakEnabled = settings.pomLongBreakEnabled();
}

// ---- Phases ----

bool PomodoroManager::phaseTimerExists() const {
    return m_timerManager && m_activeTimerID && m_timerManager->timer(*m_activeTimerID).has_value();
}

void PomodoroManager::startPhase(PomodoroPhase phase) {
    if (!m_timerManager) {
        return;
    }
    m_session.currentPhase = phase;
    const auto item = m_timerManager->addTimer(label(phase), m_config.duration(phase), true);
    if (!item) {
        // Refused at the timer limit: the phase waits for startPendingPhase, and no id of an earlier
        // (finished or removed) timer stays behind to be paused, skipped or removed in its place.
        m_activeTimerID.reset();
        return;
    }
    m_activeTimerID = item->id;
    m_timerManager->setPomodoroPhase(item->id, label(phase));
    if (m_settings.soundEnabled()) {
        m_sound.play(phase == PomodoroPhase::work ? SoundEvent::pomWorkStart : SoundEvent::pomBreakStart);
    }
    m_notification.postPomodoroPhaseStart(phase);
}

void PomodoroManager::advancePhase(PomodoroPhase from, bool countCompletedWork) {
    // The timer that was paused has ended or been removed; whatever runs next has not been paused, and a
    // stale flag would make the next pause press resume instead.
    m_session.isPaused = false;
    if (from == PomodoroPhase::work && countCompletedWork) {
        m_session.completedWorkCycles = saturatingAdd(m_session.completedWorkCycles, 1);
        // The configured length at this moment, not the time actually spent.
        m_session.totalWorkSeconds = saturatingAdd(m_session.totalWorkSeconds, m_config.workDuration);
    }
    const PomodoroPhase next = m_config.nextPhase(from, m_session.completedWorkCycles);
    const bool autoStart = from == PomodoroPhase::work ? m_config.autoStartBreak : m_config.autoStartWork;
    if (autoStart) {
        startPhase(next);
        return;
    }
    m_session.currentPhase = next;
    m_activeTimerID.reset();
}
