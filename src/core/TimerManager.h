#pragma once
// The timer engine: the list of timers and alarms, its one-second tick and completion, presets, sequences,
// and the main timer's label text.

#include "core/Clock.h"
#include "core/ScheduleManager.h"
#include "core/StatsManager.h"
#include "core/TimeDisplayStyle.h"
#include "core/TimerChangeSet.h"
#include "core/TimerItem.h"
#include "core/TimerPositionIndex.h"
#include "core/TimerPreset.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AppSettings;
class HistoryManagerProtocol;
class NotificationServiceProtocol;
class PersistenceServiceProtocol;
class SoundServiceProtocol;

class TimerManager : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype maxTimers = 999'999;
    static constexpr qint64 minDuration = 1;
    static constexpr qint64 maxDuration = 86'399'913'600; // 999,999 days
    static constexpr qsizetype maxPresets = 10;
    static constexpr qsizetype maxSequences = 20;
    // Crash-safety saves of the list: this long after a change, and after this many ticks with timers
    // running.
    static constexpr int defaultSaveDelayMs = 2000;
    static constexpr int ticksBetweenRunningSaves = 60;

    TimerManager(PersistenceServiceProtocol& persistence, NotificationServiceProtocol& notification,
                 SoundServiceProtocol& sound, HistoryManagerProtocol& history, AppSettings& settings,
                 Clock clock = systemClock(), ElapsedClock elapsed = bootClock(), QObject* parent = nullptr);
    ~TimerManager() override;

    // ---- Timer list ----
    const QList<TimerItem>& timers() const { return m_timers; }
    // The timer with that id.
    std::optional<TimerItem> timer(const QUuid& id) const;
    // The list position of the timer with that id, or -1. No scan: O(log n).
    qsizetype indexOf(const QUuid& id) const { return positionOf(id); }
    // Moves on whenever a list position may come to name another timer (a removal, a restore); appending
    // leaves it. Lets a view tell whether a change set's positions still hold.
    quint64 listRevision() const { return m_listRevision; }
    // The first running timer in list order, else the first paused one.
    std::optional<TimerItem> primaryTimer() const;
    qint64 defaultDuration() const { return m_defaultDuration; }

    // None at the limit. The duration is clamped to minDuration…maxDuration.
    std::optional<TimerItem> addTimer(const QString& title, qint64 duration, bool startImmediately);
    // None at the limit or when the target is less than one whole second ahead.
    std::optional<TimerItem> addAlarm(const QString& title, const QDateTime& targetTime);

    // Each acts on the timer with the id and does nothing when there is none.
    void start(const QUuid& id);
    void pause(const QUuid& id);
    void toggle(const QUuid& id);
    void reset(const QUuid& id);
    void removeTimer(const QUuid& id);
    void start(const TimerItem& timer) { start(timer.id); }
    void pause(const TimerItem& timer) { pause(timer.id); }
    void toggle(const TimerItem& timer) { toggle(timer.id); }
    void reset(const TimerItem& timer) { reset(timer.id); }
    void removeTimer(const TimerItem& timer) { removeTimer(timer.id); }
    void pauseAll();
    void resetPrimary();
    // The primary timer as it was before the toggle; or, with none, the first timer as it is after it; or,
    // with an empty list, the new running timer of the default length.
    std::optional<TimerItem> togglePrimary();
    // Tags a Pomodoro phase timer in place.
    void setPomodoroPhase(const QUuid& id, const std::optional<QString>& phase);

    // Takes the whole seconds that have passed since the last tick (on the elapsed clock, so time asleep
    // counts) off every running countdown, sets each alarm from the wall clock, and completes those that
    // reach zero, walking from the last timer to the first. Driven by a one-second timer; public for tests.
    void tick();
    // A tick now, outside the one-second rhythm, which then starts again from here: on waking from sleep and
    // after the wall clock was set, so what ran out meanwhile completes at once.
    void catchUp();
    // The tick now, when one is already due (a second or more since the last): what ran meanwhile is charged
    // and what ran out completes, as if the tick had come first. Every operation that starts, pauses or
    // removes timers calls it first, so time from before the operation is charged to what ran then; a caller
    // that reads the list or its own state to choose an operation calls it before reading. Does nothing
    // inside a tick, and costs one clock reading when nothing is due.
    void tickIfDue();
    // True while the one-second tick timer runs, which is exactly while some timer runs.
    bool isTicking() const { return m_tickTimer.isActive(); }

    // Called with the id of every completed timer, after the notification (timerFinished follows it).
    std::function<void(const QUuid&)> onTimerComplete;

    // Brings back the saved list. A non-empty one replaces the list and is saved again at once in its
    // restored form (running timers paused); otherwise the saved copy is removed.
    void restoreState();
    // Saves the whole list now, synchronously (at quit), and drops a pending background save.
    void saveState();
    // How long after a change the list is saved in the background (tests shorten it).
    void setSaveDelay(int milliseconds) { m_saveTimer.setInterval(milliseconds); }

    // ---- Presets and sequences ----
    const QList<TimerPreset>& presets() const { return m_presets; }
    const QList<TimerSequence>& sequences() const { return m_sequences; }
    std::optional<QUuid> activeSequenceID() const { return m_activeSequenceID; }
    std::optional<TimerSequence> activeSequence() const;

    void addPreset(const QString& name, qint64 minutes);
    void updatePreset(const TimerPreset& preset, const QString& name, qint64 minutes);
    void removePreset(const TimerPreset& preset);

    std::optional<TimerSequence> addSequence(const QString& name, const QList<SequenceStep>& steps);
    void updateSequence(const TimerSequence& sequence, const QString& name, const QList<SequenceStep>& steps);
    void removeSequence(const TimerSequence& sequence);
    void applySequence(const TimerSequence& sequence);

    // ---- Label text ----
    QString displayTime() const;
    QString menuBarText(TimeDisplayStyle style, MenuBarAlarmFormat alarmFormat,
                        MenuBarRemainingDetail detail) const;

    ScheduleManager& schedule() const { return *m_schedule; }
    StatsManager& stats() const { return *m_stats; }

signals:
    // Each is emitted after its change, once per operation; during a tick all of them are gathered into one
    // at the tick's end, and a tick that changes nothing emits nothing. An operation that finds a tick
    // overdue runs it first (tickIfDue), so that tick's change comes before the operation's own.
    void timersChanged(const TimerChangeSet& changes);
    void presetsChanged();
    void sequencesChanged();
    void activeSequenceIDChanged();
    // After any change of the manager, including today's total and the scheduled timers.
    void changed();
    // A timer completed: emitted at once, right after the completion hook, while the tick still runs (its
    // change set follows at the tick's end).
    void timerFinished(const QUuid& id);

private:
    enum Change : quint8 {
        timersChange = 1,
        presetsChange = 2,
        sequencesChange = 4,
        activeSequenceChange = 8,
        otherChange = 16,
    };

    void loadStoredData();
    void publish(quint8 changes);

    // Gathering the change set of the operation or tick under way.
    void noteAdded(const QUuid& id);
    void noteRemoved(const QUuid& id);
    void noteUpdated(qsizetype position);
    TimerChangeSet takeTimerChanges();
    void recycle(TimerChangeSet&& set);

    qsizetype positionOf(const QUuid& id) const;
    TimerItem& at(qsizetype position) { return m_timers[position]; }
    void append(TimerItem item);
    void rebuildIndexes();
    void setState(qsizetype position, TimerState state);
    void completeAt(qsizetype position);
    void updateTickTimer();
    qint64 takeElapsedSeconds();
    void timersEdited();
    void scheduleSave();
    void saveInBackground();

    void saveActiveSequenceID();

    PersistenceServiceProtocol& m_persistence;
    NotificationServiceProtocol& m_notification;
    SoundServiceProtocol& m_sound;
    HistoryManagerProtocol& m_history;
    AppSettings& m_settings;
    Clock m_clock;
    ElapsedClock m_elapsed;

    QList<TimerItem> m_timers;
    QList<TimerPreset> m_presets;
    QList<TimerSequence> m_sequences;
    std::optional<QUuid> m_activeSequenceID;
    qint64 m_defaultDuration = 1500;

    // Lookup by id without scanning: id → sequence number (fixed for a timer's life), and the sequence
    // numbers in list order (strictly increasing, so a binary search finds the position).
    QHash<QUuid, quint64> m_sequenceById;
    std::vector<quint64> m_sequenceNumbers;
    quint64 m_nextSequence = 0;

    // Positions of running and paused timers, so the tick and primaryTimer cost O(running timers).
    mutable TimerPositionIndex m_running;
    mutable TimerPositionIndex m_paused;
    qsizetype m_runningCount = 0;
    qsizetype m_pausedCount = 0;

    bool m_inTick = false;
    quint8 m_heldChanges = 0;
    TimerChangeSet m_pendingTimers;
    TimerChangeSet m_spareTimers; // the last set sent, emptied: its lists' memory serves the next one
    // The tick notes each running timer once; an operation run by the hook (or by a listener) during the
    // tick may note the same timer again, or one added or removed, so the set is tidied before it goes out.
    bool m_pendingNeedsTidying = false;
    bool m_pendingPositionsMoved = false;
    quint64 m_listRevision = 0;
    int m_runningTicksSinceSave = 0;

    std::unique_ptr<ScheduleManager> m_schedule;
    std::unique_ptr<StatsManager> m_stats;
    QTimer m_tickTimer;
    QTimer m_saveTimer;
    // The elapsed clock's reading at the last tick (or when the tick started), and the part of a second
    // that the rounding of whole seconds has taken off too much (negative) or not yet (positive).
    qint64 m_lastTickAt = 0;
    qint64 m_tickCarryMs = 0;
};

// The overdue tick of `manager`, if any, for the objects that drive timers through a manager they may not
// have: an operation handled while the program was held up then acts on what that tick leaves. A Pomodoro
// phase or chain step that ran out meanwhile ends first, so a press does not act on a timer about to end,
// a chain that really finished does not block the next, and a cancel acts on the step really running.
void tickTimersIfDue(TimerManager* manager);
