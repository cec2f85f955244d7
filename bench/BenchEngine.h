#pragma once
// A timer engine on services that keep nothing, so a benchmark measures only the engine's own work (and what
// it drives).

#include "core/AppSettings.h"
#include "core/HistoryManagerProtocol.h"
#include "core/NotificationServiceProtocol.h"
#include "core/PersistenceServiceProtocol.h"
#include "core/SoundServiceProtocol.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"

namespace bench {

class NullPersistence : public PersistenceServiceProtocol {
public:
    void savePresets(const QList<TimerPreset>&) override {}
    QList<TimerPreset> loadPresets() override { return TimerPreset::defaultPresets(); }
    void saveSequences(const QList<TimerSequence>&) override {}
    QList<TimerSequence> loadSequences() override { return TimerSequence::defaultSequences(); }
    void saveActiveSequenceID(const std::optional<QUuid>&) override {}
    std::optional<QUuid> loadActiveSequenceID() override { return std::nullopt; }
    qint64 loadLastDuration() override { return 1500; }
    void saveScheduledTimers(const QList<ScheduledTimer>&) override {}
    QList<ScheduledTimer> loadScheduledTimers() override { return {}; }
    void saveActiveTimers(const QList<TimerItem>&) override {}
    QList<TimerItem> loadActiveTimers() override { return {}; }
    void clearActiveTimers() override {}
};

class NullNotifications : public NotificationServiceProtocol {
public:
    void requestAuthorization() override {}
    void postTimerComplete(const QString&, qint64, bool) override {}
    void postScheduleActivated(const QString&, const QString&) override {}
    void scheduleQueueChainCompleted(const QString&) override {}
    void postPomodoroPhaseStart(PomodoroPhase) override {}
};

class NullSound : public SoundServiceProtocol {
public:
    void play(SoundEvent) override {}
    void playSound(const QString&) override {}
};

class NullHistory : public HistoryManagerProtocol {
public:
    void log(const QString&, qint64) override {}
    QList<TimerHistoryEntry> loadHistory() override { return {}; }
};

// An engine holding `count` timers long enough never to finish; every `runningEvery`-th runs (0: none).
struct Engine {
    NullPersistence persistence;
    NullNotifications notifications;
    NullSound sound;
    NullHistory history;
    Preferences preferences;
    AppSettings settings{preferences};
    // Time passes only by tick(), a second at a time as between the one-second timer's ticks, so operations
    // between two ticks find nothing overdue, as they do in the program.
    qint64 elapsedMs = 0;
    ElapsedClock elapsed = [this] { return elapsedMs; };
    TimerManager manager{persistence, notifications, sound, history, settings, systemClock(), elapsed};

    Engine(qsizetype count, qsizetype runningEvery) {
        for (qsizetype i = 0; i < count; ++i) {
            const bool run = runningEvery > 0 && i % runningEvery == 0;
            manager.addTimer(QString(), TimerManager::maxDuration, run);
        }
    }
    void tick() {
        elapsedMs += 1000;
        manager.tick();
    }
    QUuid middleId() const { return manager.timers().at(manager.timers().size() / 2 + 1).id; }
};

} // namespace bench
