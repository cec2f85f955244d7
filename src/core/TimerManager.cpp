#include "core/TimerManager.h"

#include "core/AppSettings.h"
#include "core/BlankText.h"
#include "core/HistoryManagerProtocol.h"
#include "core/NotificationServiceProtocol.h"
#include "core/PersistenceServiceProtocol.h"
#include "core/Saturating.h"
#include "core/SoundServiceProtocol.h"
#include "platform/TarvolinTimerLogger.h"

#include <QPointer>
#include <QSet>

#include <algorithm>
#include <limits>

namespace {

const QString kContext = QStringLiteral("TimerManager");

QString sequenceName(const QString& name) {
    return isBlank(name) ? QStringLiteral("Sequence") : name;
}

// A change set gathered from several operations inside one tick: a timer added and removed again is in
// neither list, a timer added or removed is not also "updated", and each row is listed once.
void tidy(TimerChangeSet& set) {
    const QSet<QUuid> added(set.added.cbegin(), set.added.cend());
    QSet<QUuid> structural = added;
    QSet<QUuid> cameAndWent;
    for (const QUuid& id : set.removed) {
        structural.insert(id);
        if (added.contains(id)) {
            cameAndWent.insert(id);
        }
    }
    if (!cameAndWent.isEmpty()) {
        const auto transient = [&cameAndWent](const QUuid& id) { return cameAndWent.contains(id); };
        std::erase_if(set.added, transient);
        std::erase_if(set.removed, transient);
    }

    // With positions, two timers sharing an id (a damaged restored list) are still two rows.
    const bool withPositions = set.updatedPositions.size() == set.updated.size();
    std::vector<QUuid> ids;
    std::vector<qsizetype> positions;
    QSet<QUuid> seenIds;
    QSet<qsizetype> seenPositions;
    for (size_t i = 0; i < set.updated.size(); ++i) {
        const QUuid& id = set.updated[i];
        if (structural.contains(id)) {
            continue;
        }
        if (withPositions) {
            const qsizetype position = set.updatedPositions[i];
            if (seenPositions.contains(position)) {
                continue;
            }
            seenPositions.insert(position);
            positions.push_back(position);
        } else if (seenIds.contains(id)) {
            continue;
        } else {
            seenIds.insert(id);
        }
        ids.push_back(id);
    }
    set.updated = std::move(ids);
    set.updatedPositions = std::move(positions);

    QSet<QUuid> seenFinished;
    std::erase_if(set.finished, [&seenFinished](const QUuid& id) {
        if (seenFinished.contains(id)) {
            return true;
        }
        seenFinished.insert(id);
        return false;
    });
}

} // namespace

TimerManager::TimerManager(PersistenceServiceProtocol& persistence, NotificationServiceProtocol& notification,
                           SoundServiceProtocol& sound, HistoryManagerProtocol& history,
                           AppSettings& settings, Clock clock, ElapsedClock elapsed, QObject* parent)
    : QObject(parent), m_persistence(persistence), m_notification(notification), m_sound(sound),
      m_history(history), m_settings(settings), m_clock(std::move(clock)), m_elapsed(std::move(elapsed)) {
    m_schedule = std::make_unique<ScheduleManager>(m_persistence, m_notification, m_clock);
    m_stats = std::make_unique<StatsManager>(m_history, m_clock);

    qRegisterMetaType<TimerChangeSet>();
    connect(m_schedule.get(), &ScheduleManager::scheduledTimersChanged, this,
            [this] { publish(otherChange); });
    connect(m_stats.get(), &StatsManager::todayTotalSecondsChanged, this, [this] { publish(otherChange); });
    QPointer<TimerManager> self(this);
    m_schedule->startTimer = [self](const QString& title, qint64 duration) {
        if (!self) {
            return ScheduleManager::StartOutcome::noManager;
        }
        return self->addTimer(title, duration, true) ? ScheduleManager::StartOutcome::started
                                                     : ScheduleManager::StartOutcome::refused;
    };

    m_tickTimer.setTimerType(Qt::PreciseTimer);
    m_tickTimer.setInterval(1000);
    connect(&m_tickTimer, &QTimer::timeout, this, &TimerManager::tick);

    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(defaultSaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &TimerManager::saveInBackground);

    loadStoredData();
    // The tick sleeps until a timer runs (updateTickTimer), so an idle program does not wake every second.
    m_schedule->startScheduler();
}

TimerManager::~TimerManager() = default;

void TimerManager::loadStoredData() {
    m_presets = m_persistence.loadPresets();
    m_sequences = m_persistence.loadSequences();
    m_activeSequenceID = m_persistence.loadActiveSequenceID();
    if (!m_activeSequenceID && !m_sequences.isEmpty()) {
        m_activeSequenceID = m_sequences.first().id; // a fallback only: not saved
    }
    const qint64 last = m_persistence.loadLastDuration();
    m_defaultDuration = last >= 1 ? last : 1500;
    m_schedule->loadScheduledTimers();
    m_stats->refreshTodayStats(false);
}

void TimerManager::publish(quint8 changes) {
    if (m_inTick) {
        m_heldChanges |= changes;
        return;
    }
    if (changes & timersChange) {
        TimerChangeSet set = takeTimerChanges();
        emit timersChanged(set);
        recycle(std::move(set));
    }
    if (changes & presetsChange) {
        emit presetsChanged();
    }
    if (changes & sequencesChange) {
        emit sequencesChanged();
    }
    if (changes & activeSequenceChange) {
        emit activeSequenceIDChanged();
    }
    emit changed();
}

// ---- Change sets ----

void TimerManager::noteAdded(const QUuid& id) {
    m_pendingTimers.added.push_back(id);
    m_pendingNeedsTidying = m_pendingNeedsTidying || m_inTick;
}

void TimerManager::noteRemoved(const QUuid& id) {
    m_pendingTimers.removed.push_back(id);
    m_pendingPositionsMoved = true;
    ++m_listRevision;
    m_pendingNeedsTidying = m_pendingNeedsTidying || m_inTick;
}

void TimerManager::noteUpdated(qsizetype position) {
    m_pendingTimers.updated.push_back(m_timers.at(position).id);
    m_pendingTimers.updatedPositions.push_back(position);
    m_pendingNeedsTidying = m_pendingNeedsTidying || m_inTick;
}

TimerChangeSet TimerManager::takeTimerChanges() {
    TimerChangeSet set = std::exchange(m_pendingTimers, std::exchange(m_spareTimers, {}));
    const bool needsTidying = std::exchange(m_pendingNeedsTidying, false);
    const bool positionsMoved = std::exchange(m_pendingPositionsMoved, false);
    set.listRevision = m_listRevision;
    if (set.replacedAll) {
        // Views rebuild from the new list; only the completions stay worth telling.
        set.added.clear();
        set.removed.clear();
        set.updated.clear();
        set.updatedPositions.clear();
        return set;
    }
    if (positionsMoved) {
        set.updatedPositions.clear();
    }
    if (needsTidying) {
        tidy(set);
    }
    return set;
}

void TimerManager::recycle(TimerChangeSet&& set) {
    // Emptied, the lists keep their capacity, so the next tick's set grows without allocating.
    set.replacedAll = false;
    set.listRevision = 0;
    set.added.clear();
    set.removed.clear();
    set.updated.clear();
    set.updatedPositions.clear();
    set.finished.clear();
    m_spareTimers = std::move(set);
}

// ---- Lookup and bookkeeping ----

qsizetype TimerManager::positionOf(const QUuid& id) const {
    const auto found = m_sequenceById.constFind(id);
    if (found == m_sequenceById.constEnd()) {
        return -1;
    }
    const auto it = std::lower_bound(m_sequenceNumbers.begin(), m_sequenceNumbers.end(), found.value());
    return qsizetype(it - m_sequenceNumbers.begin());
}

std::optional<TimerItem> TimerManager::timer(const QUuid& id) const {
    const qsizetype position = positionOf(id);
    if (position < 0) {
        return std::nullopt;
    }
    return m_timers.at(position);
}

void TimerManager::append(TimerItem item) {
    const quint64 sequence = m_nextSequence++;
    m_sequenceById.insert(item.id, sequence);
    m_sequenceNumbers.push_back(sequence);
    m_running.appendSlot();
    m_paused.appendSlot();
    const TimerState state = item.state;
    item.state = TimerState::idle;
    m_timers.append(std::move(item));
    setState(m_timers.size() - 1, state);
}

void TimerManager::rebuildIndexes() {
    QList<TimerItem> items = std::move(m_timers);
    m_timers.clear();
    m_sequenceById.clear();
    m_sequenceNumbers.clear();
    m_running.clear();
    m_paused.clear();
    m_runningCount = 0;
    m_pausedCount = 0;
    m_timers.reserve(items.size());
    m_sequenceNumbers.reserve(size_t(items.size()));
    m_sequenceById.reserve(items.size());
    for (TimerItem& item : items) {
        append(std::move(item));
    }
}

void TimerManager::setState(qsizetype position, TimerState state) {
    TimerItem& item = at(position);
    const TimerState old = item.state;
    if (old == state) {
        return;
    }
    item.state = state;
    if (old == TimerState::running) {
        --m_runningCount;
        m_running.markStale();
    } else if (old == TimerState::paused) {
        --m_pausedCount;
        m_paused.markStale();
    }
    if (state == TimerState::running) {
        ++m_runningCount;
        m_running.add(position);
    } else if (state == TimerState::paused) {
        ++m_pausedCount;
        m_paused.add(position);
    }
}

// Every edit of the list by an operation: the tick follows the running timers, a crash-safety save is
// queued, and observers hear of it.
void TimerManager::timersEdited() {
    updateTickTimer();
    scheduleSave();
    publish(timersChange);
}

void TimerManager::updateTickTimer() {
    if (m_runningCount > 0 && !m_tickTimer.isActive()) {
        m_lastTickAt = m_elapsed();
        m_tickCarryMs = 0;
        m_tickTimer.start();
    } else if (m_runningCount == 0 && m_tickTimer.isActive()) {
        m_tickTimer.stop();
    }
}

void TimerManager::scheduleSave() {
    // Not restarted by later changes, so a steady stream of changes cannot postpone the save forever.
    if (!m_saveTimer.isActive()) {
        m_saveTimer.start();
    }
}

void TimerManager::saveInBackground() {
    m_saveTimer.stop();
    m_runningTicksSinceSave = 0;
    m_persistence.saveActiveTimersInBackground(m_timers);
}

// ---- Adding ----

std::optional<TimerItem> TimerManager::addTimer(const QString& title, qint64 duration,
                                                bool startImmediately) {
    if (startImmediately) {
        tickIfDue();
    }
    if (m_timers.size() >= maxTimers) {
        TT_LOG_WARNING(kContext, QStringLiteral("Timer limit reached (%1)").arg(maxTimers));
        return std::nullopt;
    }
    const qint64 length = std::clamp(duration, minDuration, maxDuration);
    TimerItem item = TimerItem::make(QUuid::createUuid(), title, length,
                                     startImmediately ? TimerState::running : TimerState::idle, false,
                                     std::nullopt, std::nullopt, m_clock());
    append(item);
    noteAdded(item.id);
    timersEdited();
    return item;
}

std::optional<TimerItem> TimerManager::addAlarm(const QString& title, const QDateTime& targetTime) {
    if (m_timers.size() >= maxTimers) {
        TT_LOG_WARNING(kContext, QStringLiteral("Timer limit reached on addAlarm (%1)").arg(maxTimers));
        return std::nullopt;
    }
    const QDateTime now = m_clock();
    const qint64 seconds = now.msecsTo(targetTime) / 1000; // truncates toward zero
    if (seconds < 1) {
        return std::nullopt;
    }
    TimerItem item = TimerItem::make(QUuid::createUuid(), title, seconds, TimerState::running, true,
                                     targetTime, std::nullopt, now);
    append(item);
    noteAdded(item.id);
    timersEdited();
    return item;
}

// ---- One timer ----

void TimerManager::start(const QUuid& id) {
    // A copy: the due tick's completion hook may change what the caller's reference names.
    const QUuid target = id;
    tickIfDue();
    const qsizetype position = positionOf(target);
    if (position < 0) {
        return;
    }
    TimerItem& item = at(position);
    switch (item.state) {
    case TimerState::running:
        return;
    case TimerState::idle:
        item.remaining = item.totalDuration;
        break;
    case TimerState::paused:
    case TimerState::finished:
        break; // remaining kept; a finished timer completes again at the next tick
    }
    setState(position, TimerState::running);
    noteUpdated(position);
    timersEdited();
}

void TimerManager::pause(const QUuid& id) {
    const QUuid target = id;
    tickIfDue();
    const qsizetype position = positionOf(target);
    if (position < 0 || m_timers.at(position).state != TimerState::running) {
        return;
    }
    setState(position, TimerState::paused);
    noteUpdated(position);
    timersEdited();
}

void TimerManager::toggle(const QUuid& id) {
    const QUuid target = id;
    tickIfDue();
    const qsizetype position = positionOf(target);
    if (position < 0) {
        return;
    }
    TimerItem& item = at(position);
    switch (item.state) {
    case TimerState::running:
        setState(position, TimerState::paused);
        break;
    case TimerState::paused:
        setState(position, TimerState::running);
        break;
    case TimerState::idle:
    case TimerState::finished:
        item.remaining = item.totalDuration;
        setState(position, TimerState::running);
        break;
    }
    noteUpdated(position);
    timersEdited();
}

void TimerManager::reset(const QUuid& id) {
    const QUuid target = id;
    tickIfDue();
    const qsizetype position = positionOf(target);
    if (position < 0) {
        return;
    }
    setState(position, TimerState::idle);
    TimerItem& item = at(position);
    item.remaining = item.totalDuration;
    noteUpdated(position);
    timersEdited();
}

void TimerManager::removeTimer(const QUuid& id) {
    const QUuid target = id;
    tickIfDue();
    const qsizetype position = positionOf(target);
    if (position < 0) {
        return;
    }
    noteRemoved(target);
    setState(position, TimerState::idle); // keeps the running and paused counts right
    m_sequenceById.remove(target);
    m_sequenceNumbers.erase(m_sequenceNumbers.begin() + position);
    m_running.removeSlot(position);
    m_paused.removeSlot(position);
    m_timers.removeAt(position);
    timersEdited();
}

void TimerManager::setPomodoroPhase(const QUuid& id, const std::optional<QString>& phase) {
    const qsizetype position = positionOf(id);
    if (position < 0 || at(position).pomodoroPhase == phase) {
        return;
    }
    at(position).pomodoroPhase = phase;
    noteUpdated(position);
    publish(timersChange);
}

// ---- Several timers ----

void TimerManager::pauseAll() {
    tickIfDue();
    if (m_runningCount == 0) {
        return;
    }
    m_running.prepare([this](qsizetype p) { return m_timers.at(p).state == TimerState::running; });
    const std::vector<qint32> positions = m_running.sorted(); // setState changes the index
    for (const qint32 position : positions) {
        if (m_timers.at(position).state == TimerState::running) {
            setState(position, TimerState::paused);
            noteUpdated(position);
        }
    }
    timersEdited();
}

std::optional<TimerItem> TimerManager::primaryTimer() const {
    if (m_runningCount > 0) {
        m_running.prepare([this](qsizetype p) { return m_timers.at(p).state == TimerState::running; });
        return m_timers.at(m_running.sorted().front());
    }
    if (m_pausedCount > 0) {
        m_paused.prepare([this](qsizetype p) { return m_timers.at(p).state == TimerState::paused; });
        return m_timers.at(m_paused.sorted().front());
    }
    return std::nullopt;
}

void TimerManager::resetPrimary() {
    tickIfDue(); // the primary timer as the due tick leaves the list
    if (const auto primary = primaryTimer()) {
        reset(primary->id);
    } else if (!m_timers.isEmpty()) {
        reset(m_timers.first().id);
    }
}

std::optional<TimerItem> TimerManager::togglePrimary() {
    tickIfDue(); // the primary timer as the due tick leaves the list
    if (const auto primary = primaryTimer()) {
        toggle(primary->id);
        return primary; // as it was before the toggle
    }
    if (!m_timers.isEmpty()) {
        toggle(m_timers.first().id);
        return m_timers.first(); // as it is after the toggle
    }
    return addTimer(QString(), m_defaultDuration, true);
}

// ---- Tick and completion ----

qint64 TimerManager::takeElapsedSeconds() {
    const qint64 at = m_elapsed();
    // A tick that fires a little early or late rounds to one second, and the difference is carried to the
    // next, so ticks never drift from the time that really passed.
    const qint64 owed = m_tickCarryMs + (at - m_lastTickAt);
    m_lastTickAt = at;
    const qint64 seconds = owed > 0 ? (owed + 500) / 1000 : 0;
    // A clock read backwards (it should not happen) costs at most half a second, not a stopped countdown.
    m_tickCarryMs = std::max<qint64>(owed - seconds * 1000, -500);
    return seconds;
}

void TimerManager::tick() {
    const QDateTime now = m_clock();
    if (m_timers.isEmpty() || m_runningCount == 0) {
        return;
    }
    const qint64 elapsedSeconds = takeElapsedSeconds();
    m_inTick = true;
    // The walk notes each running timer it changes straight into the change set: it visits each once.
    std::vector<QUuid>& updatedIds = m_pendingTimers.updated;
    std::vector<qsizetype>& updatedPositions = m_pendingTimers.updatedPositions;

    const auto isRunning = [this](qsizetype p) { return m_timers.at(p).state == TimerState::running; };
    m_running.prepare(isRunning);
    TimerItem* items = m_timers.data();
    quint64 version = m_running.version();
    bool sawStale = false;

    // Walk from the last running timer to the first. The hook may add, start, pause or remove timers while we
    // walk: each position is read afresh, and after any change of the index the walk finds its place again by
    // the sequence number of the timer just visited, so no timer is visited twice and none added during the
    // tick is visited before the next one.
    qsizetype i = qsizetype(m_running.sorted().size()) - 1;
    while (i >= 0) {
        const qsizetype position = m_running.sorted()[size_t(i)];
        TimerItem& item = items[position];
        if (item.state != TimerState::running) {
            sawStale = true;
            --i;
            continue;
        }
        bool changedHere = false;
        if (item.isAlarm && item.alarmTargetTime) {
            const qint64 remaining = TimerItem::alarmRemaining(*item.alarmTargetTime, now);
            if (remaining != item.remaining) {
                item.remaining = remaining;
                changedHere = true;
            }
        } else if (item.remaining >= 1) {
            if (elapsedSeconds > 0) {
                item.remaining = std::max<qint64>(item.remaining - elapsedSeconds, 0);
                changedHere = true;
            }
        } else if (item.remaining < 0) {
            item.remaining = 0; // a stored negative length would otherwise run for ever
            changedHere = true;
        }
        if (item.remaining != 0) {
            if (changedHere) {
                updatedIds.push_back(item.id);
                updatedPositions.push_back(position);
            }
            --i;
            continue;
        }
        // Noted before completing: the hook may move the list (a removal then drops the positions).
        updatedIds.push_back(item.id);
        updatedPositions.push_back(position);
        const quint64 visited = m_sequenceNumbers[size_t(position)];
        completeAt(position);
        sawStale = true; // the completed timer no longer runs
        items = m_timers.data();
        if (m_running.version() != version) {
            m_running.prepare(isRunning);
            version = m_running.version();
            const auto after = std::lower_bound(m_sequenceNumbers.begin(), m_sequenceNumbers.end(), visited) -
                               m_sequenceNumbers.begin();
            const auto& sorted = m_running.sorted();
            i = qsizetype(std::lower_bound(sorted.begin(), sorted.end(), qint32(after)) - sorted.begin()) - 1;
        } else {
            --i;
        }
    }
    if (sawStale) {
        m_running.markStale();
        m_running.prepare(isRunning);
    }

    if (m_runningCount > 0 && ++m_runningTicksSinceSave >= ticksBetweenRunningSaves) {
        saveInBackground();
    }
    updateTickTimer();

    m_inTick = false;
    quint8 held = std::exchange(m_heldChanges, 0);
    if (!m_pendingTimers.isEmpty()) {
        held |= timersChange;
    }
    if (held) {
        publish(held);
    }
}

void TimerManager::tickIfDue() {
    // Between on-time ticks (the usual case) less than a second has passed: nothing to do. The regular tick
    // that was due still fires afterwards and finds little or nothing owed, so the rhythm is kept.
    if (m_inTick || m_runningCount == 0 || m_elapsed() - m_lastTickAt < 1000) {
        return;
    }
    tick();
}

void TimerManager::catchUp() {
    if (!m_tickTimer.isActive()) {
        return;
    }
    tick();
    if (m_tickTimer.isActive()) {
        m_tickTimer.start(); // the next tick a whole second from now
    }
}

void TimerManager::completeAt(qsizetype position) {
    const TimerItem before = m_timers.at(position);
    setState(position, TimerState::finished);
    m_pendingTimers.finished.push_back(before.id);

    if (m_settings.soundEnabled()) {
        m_sound.play(before.isAlarm ? SoundEvent::alarmComplete : SoundEvent::timerComplete);
    }
    // An untitled timer is logged by its display time, which reads 00:00 now that it has run out.
    const QString label = before.title.isEmpty() ? m_timers.at(position).displayTime() : before.title;
    m_history.log(label, before.totalDuration);
    m_stats->addToTodayStats(before.totalDuration);
    m_notification.postTimerComplete(before.title, before.totalDuration, before.isAlarm);
    scheduleSave();
    if (onTimerComplete) {
        onTimerComplete(before.id);
    }
    emit timerFinished(before.id);
}

// ---- Saving and restoring the list ----

void TimerManager::restoreState() {
    QList<TimerItem> loaded = m_persistence.loadActiveTimers();
    if (loaded.isEmpty()) {
        m_persistence.clearActiveTimers();
        return;
    }
    m_timers = std::move(loaded);
    rebuildIndexes();
    m_pendingTimers.replacedAll = true; // a reset, not an id per restored timer
    m_pendingPositionsMoved = true;
    ++m_listRevision;
    updateTickTimer();
    // The stored copy is not removed: it is replaced by the restored list (running timers now paused) in
    // one write, so a crash at any moment of start-up still finds a list on disk.
    saveInBackground();
    publish(timersChange);
}

void TimerManager::saveState() {
    m_saveTimer.stop();
    m_persistence.saveActiveTimers(m_timers);
}

// ---- Presets ----

void TimerManager::addPreset(const QString& name, qint64 minutes) {
    if (m_presets.size() >= maxPresets) {
        return;
    }
    m_presets.append(TimerPreset{QUuid::createUuid(), name, saturatingMul(minutes, qint64(60))});
    publish(presetsChange);
    m_persistence.savePresets(m_presets);
}

void TimerManager::updatePreset(const TimerPreset& preset, const QString& name, qint64 minutes) {
    const auto it = std::find_if(m_presets.begin(), m_presets.end(),
                                 [&](const TimerPreset& p) { return p.id == preset.id; });
    if (it == m_presets.end()) {
        return;
    }
    const qsizetype index = it - m_presets.begin();
    // Two separate changes: observers (the per-preset hotkeys) see the rename before the new length.
    m_presets[index].name = name;
    publish(presetsChange);
    m_presets[index].durationInSeconds = saturatingMul(minutes, qint64(60));
    publish(presetsChange);
    m_persistence.savePresets(m_presets);
}

void TimerManager::removePreset(const TimerPreset& preset) {
    if (m_presets.removeIf([&](const TimerPreset& p) { return p.id == preset.id; }) > 0) {
        publish(presetsChange);
    }
    m_persistence.savePresets(m_presets);
}

// ---- Sequences ----

std::optional<TimerSequence> TimerManager::addSequence(const QString& name,
                                                       const QList<SequenceStep>& steps) {
    if (m_sequences.size() >= maxSequences || steps.isEmpty()) {
        return std::nullopt;
    }
    TimerSequence sequence{QUuid::createUuid(), sequenceName(name), steps};
    m_sequences.append(sequence);
    publish(sequencesChange);
    m_persistence.saveSequences(m_sequences);
    return sequence;
}

void TimerManager::updateSequence(const TimerSequence& sequence, const QString& name,
                                  const QList<SequenceStep>& steps) {
    const auto it = std::find_if(m_sequences.begin(), m_sequences.end(),
                                 [&](const TimerSequence& s) { return s.id == sequence.id; });
    if (it == m_sequences.end() || steps.isEmpty()) {
        return;
    }
    const qsizetype index = it - m_sequences.begin();
    m_sequences[index].name = sequenceName(name);
    publish(sequencesChange);
    m_sequences[index].steps = steps;
    publish(sequencesChange);
    m_persistence.saveSequences(m_sequences);
    if (m_activeSequenceID == sequence.id) {
        applySequence(m_sequences.at(index));
    }
}

void TimerManager::removeSequence(const TimerSequence& sequence) {
    if (m_sequences.removeIf([&](const TimerSequence& s) { return s.id == sequence.id; }) > 0) {
        publish(sequencesChange);
    }
    m_persistence.saveSequences(m_sequences);
    if (m_activeSequenceID == sequence.id) {
        // The next active sequence is not applied: the Pomodoro settings keep their values.
        m_activeSequenceID =
            m_sequences.isEmpty() ? std::nullopt : std::optional<QUuid>(m_sequences.first().id);
        publish(activeSequenceChange);
        saveActiveSequenceID();
    }
}

void TimerManager::applySequence(const TimerSequence& sequence) {
    const auto it = std::find_if(m_sequences.cbegin(), m_sequences.cend(),
                                 [&](const TimerSequence& s) { return s.id == sequence.id; });
    if (it == m_sequences.cend()) {
        return;
    }
    m_activeSequenceID = sequence.id;
    publish(activeSequenceChange);
    saveActiveSequenceID();
    if (const auto focus = sequence.firstFocusMinutes()) {
        m_settings.setPomWorkMinutes(*focus);
    }
    if (const auto pause = sequence.firstBreakMinutes()) {
        m_settings.setPomShortBreakMinutes(*pause);
    }
}

void TimerManager::saveActiveSequenceID() {
    m_persistence.saveActiveSequenceID(m_activeSequenceID);
}

std::optional<TimerSequence> TimerManager::activeSequence() const {
    if (!m_activeSequenceID) {
        return std::nullopt;
    }
    for (const TimerSequence& sequence : m_sequences) {
        if (sequence.id == *m_activeSequenceID) {
            return sequence;
        }
    }
    return std::nullopt;
}

// ---- Label text ----

QString TimerManager::displayTime() const {
    const auto primary = primaryTimer();
    if (!primary) {
        return TimerItem::formatDuration(m_defaultDuration);
    }
    if (primary->isAlarm && primary->alarmTargetTime) {
        return tr("until %1 (%2)")
            .arg(TimerItem::formatTimeOfDay(*primary->alarmTargetTime), primary->displayTime());
    }
    return primary->displayTime();
}

QString TimerManager::menuBarText(TimeDisplayStyle style, MenuBarAlarmFormat alarmFormat,
                                  MenuBarRemainingDetail detail) const {
    const auto primary = primaryTimer();
    if (!primary) {
        return TimerItem::formatDuration(m_defaultDuration);
    }
    if (primary->isAlarm && primary->alarmTargetTime) {
        return menuBarAlarm(style, *primary->alarmTargetTime, primary->remaining, alarmFormat, detail);
    }
    return primary->displayTime();
}

void tickTimersIfDue(TimerManager* manager) {
    if (manager) {
        manager->tickIfDue();
    }
}
