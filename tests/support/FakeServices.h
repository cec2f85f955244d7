#pragma once
// Recording stand-ins for the engine's services, so tests can see every call the engine makes.
//
// Every fake appends "<fake>.<method>" to its own `calls` list and, when `journal` is set, to that
// shared list too, so a test can check the order of calls across several services.

#include "core/Clock.h"
#include "core/HistoryManagerProtocol.h"
#include "core/NotificationServiceProtocol.h"
#include "core/PersistenceServiceProtocol.h"
#include "core/ScheduledTimer.h"
#include "core/SoundServiceProtocol.h"
#include "core/TimerHistoryEntry.h"
#include "core/TimerItem.h"
#include "core/TimerPreset.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

namespace fakes_detail {
inline void record(QStringList& calls, QStringList* journal, const QString& name) {
    calls << name;
    if (journal) {
        *journal << name;
    }
}
} // namespace fakes_detail

class RecordingNotificationService : public NotificationServiceProtocol {
public:
    struct TimerComplete {
        QString title;
        qint64 duration = 0;
        bool isAlarm = false;
        bool operator==(const TimerComplete&) const = default;
    };
    struct ScheduleActivated {
        QString memo;
        QString formattedDuration;
        bool operator==(const ScheduleActivated&) const = default;
    };

    QStringList calls;
    QStringList* journal = nullptr;
    int authorizationRequests = 0;
    QList<TimerComplete> timerCompletions;
    QList<ScheduleActivated> scheduleActivations;
    QStringList chainCompletions;
    QList<PomodoroPhase> pomodoroPhaseStarts;

    void requestAuthorization() override {
        fakes_detail::record(calls, journal, QStringLiteral("notification.requestAuthorization"));
        ++authorizationRequests;
    }
    void postTimerComplete(const QString& title, qint64 duration, bool isAlarm) override {
        fakes_detail::record(calls, journal, QStringLiteral("notification.postTimerComplete"));
        timerCompletions.push_back({title, duration, isAlarm});
    }
    void postScheduleActivated(const QString& memo, const QString& formattedDuration) override {
        fakes_detail::record(calls, journal, QStringLiteral("notification.postScheduleActivated"));
        scheduleActivations.push_back({memo, formattedDuration});
    }
    void scheduleQueueChainCompleted(const QString& chainName) override {
        fakes_detail::record(calls, journal, QStringLiteral("notification.scheduleQueueChainCompleted"));
        chainCompletions << chainName;
    }
    void postPomodoroPhaseStart(PomodoroPhase phase) override {
        fakes_detail::record(calls, journal, QStringLiteral("notification.postPomodoroPhaseStart"));
        pomodoroPhaseStarts.push_back(phase);
    }
};

class RecordingSoundService : public SoundServiceProtocol {
public:
    QStringList calls;
    QStringList* journal = nullptr;
    QList<SoundEvent> events;
    QStringList soundIds;
    int previews = 0; // TimerSound is only declared here, so the fake counts previews

    void play(SoundEvent event) override {
        fakes_detail::record(calls, journal, QStringLiteral("sound.play"));
        events.push_back(event);
    }
    void playSound(const QString& id) override {
        fakes_detail::record(calls, journal, QStringLiteral("sound.playSound"));
        soundIds << id;
    }
    void preview(const TimerSound&) override {
        fakes_detail::record(calls, journal, QStringLiteral("sound.preview"));
        ++previews;
    }
    void stop() override { fakes_detail::record(calls, journal, QStringLiteral("sound.stop")); }
};

// Keeps what was saved and hands it back on load. Starts like an empty store behind the real service:
// default presets and sequences, no active sequence, last duration 1500, nothing scheduled or active.
// Each save also appends the saved value to a `...Saves` list, so tests can count and inspect saves.
class InMemoryPersistence : public PersistenceServiceProtocol {
public:
    QStringList calls;
    QStringList* journal = nullptr;

    QList<TimerPreset> presets = TimerPreset::defaultPresets();
    QList<TimerSequence> sequences = TimerSequence::defaultSequences();
    std::optional<QUuid> activeSequenceID;
    qint64 lastDuration = 1500;
    QList<ScheduledTimer> scheduledTimers;
    QList<TimerItem> activeTimers;

    QList<QList<TimerPreset>> presetSaves;
    QList<QList<TimerSequence>> sequenceSaves;
    QList<std::optional<QUuid>> activeSequenceIDSaves;
    QList<QList<ScheduledTimer>> scheduledTimerSaves;
    QList<QList<TimerItem>> activeTimerSaves;
    QList<QList<TimerItem>> backgroundActiveTimerSaves;
    int clearActiveTimersCount = 0;

    void savePresets(const QList<TimerPreset>& value) override {
        fakes_detail::record(calls, journal, QStringLiteral("persistence.savePresets"));
        presets = value;
        presetSaves.push_back(value);
    }
    QList<TimerPreset> loadPresets() override {
        fakes_detail::record(calls, journal, QStringLiteral("persistence.loadPresets"));
        return presets;
    }
    void saveSequences(const QList<TimerSequence>& value) override {
        fakes_detail::record(calls, journal, QStringLiteral("persistence.saveSequences"));
        sequences = value;
        sequenceSaves.push_back(value);
    }
    QList<TimerSequence> loadSequences() override {
        fakes_detail::record(calls, journal, QStringLiteral("persistence.loadSequences"));
        return sequences;
    }
    void saveActiveSequenceID(const std::optional<QUuid>& id) override {
        fakes_detail::record(calls, journal, QStringLiteral("persistence.saveActiveSequenceID"));
        activeSequenceID = id;
        activeSequenceIDSaves.push_back(id);
    }
    std::optional<QUuid> loadActiveSequenceID() override {
        fakes_detail::record(calls, journal, QStringLiteral("persistence.loadActiveSequenceID"));
        return activeSequenceID;
    }
    qint64 loadLastDuration() override {
        fakes_detail::record(calls, journal, QStringLiteral("persistence.loadLastDuration"));
        return lastDuration;
    }
    void saveScheduledTimers(const QList<ScheduledTimer>& value) override {
        fakes_detail::record(calls, journal, QStringLiteral("persistence.saveScheduledTimers"));
        scheduledTimers = value;
        scheduledTimerSaves.push_back(value);
    }
    QList<ScheduledTimer> loadScheduledTimers() override {
        fakes_detail::record(calls, journal, QStringLiteral("persistence.loadScheduledTimers"));
        return scheduledTimers;
    }
    void saveActiveTimers(const QList<TimerItem>& value) override {
        fakes_detail::record(calls, journal, QStringLiteral("persistence.saveActiveTimers"));
        activeTimers = value;
        activeTimerSaves.push_back(value);
    }
    QList<TimerItem> loadActiveTimers() override {
        fakes_detail::record(calls, journal, QStringLiteral("persistence.loadActiveTimers"));
        return activeTimers;
    }
    void saveActiveTimersInBackground(const QList<TimerItem>& value) override {
        fakes_detail::record(calls, journal, QStringLiteral("persistence.saveActiveTimersInBackground"));
        activeTimers = value;
        backgroundActiveTimerSaves.push_back(value);
    }
    void clearActiveTimers() override {
        fakes_detail::record(calls, journal, QStringLiteral("persistence.clearActiveTimers"));
        activeTimers.clear();
        ++clearActiveTimersCount;
    }
};

// Logs into a plain list (newest first), stamped with the injected clock; no cap.
class InMemoryHistory : public HistoryManagerProtocol {
public:
    explicit InMemoryHistory(Clock clock = systemClock()) : m_clock(std::move(clock)) {}

    QStringList calls;
    QStringList* journal = nullptr;
    QList<TimerHistoryEntry> entries;

    void log(const QString& title, qint64 duration) override {
        fakes_detail::record(calls, journal, QStringLiteral("history.log"));
        entries.prepend(TimerHistoryEntry::make(title, duration, m_clock()));
    }
    QList<TimerHistoryEntry> loadHistory() override {
        fakes_detail::record(calls, journal, QStringLiteral("history.loadHistory"));
        return entries;
    }

private:
    Clock m_clock;
};
