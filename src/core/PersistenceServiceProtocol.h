#pragma once
// How the engine reaches storage; the real service keeps everything in the preferences.

#include "core/ScheduledTimer.h"
#include "core/TimerItem.h"
#include "core/TimerPreset.h"

#include <QList>
#include <QUuid>

#include <optional>

class PersistenceServiceProtocol {
public:
    virtual ~PersistenceServiceProtocol() = default;

    virtual void savePresets(const QList<TimerPreset>& presets) = 0;
    virtual QList<TimerPreset> loadPresets() = 0;
    virtual void saveSequences(const QList<TimerSequence>& sequences) = 0;
    virtual QList<TimerSequence> loadSequences() = 0;
    virtual void saveActiveSequenceID(const std::optional<QUuid>& id) = 0;
    virtual std::optional<QUuid> loadActiveSequenceID() = 0;
    virtual qint64 loadLastDuration() = 0;
    virtual void saveScheduledTimers(const QList<ScheduledTimer>& timers) = 0;
    virtual QList<ScheduledTimer> loadScheduledTimers() = 0;
    virtual void saveActiveTimers(const QList<TimerItem>& timers) = 0;
    // Every timer with its own id and its lengths within range: the manager takes the list as it is.
    virtual QList<TimerItem> loadActiveTimers() = 0;
    // Same key and form as saveActiveTimers, but the encoding may happen off the UI thread; a newer call
    // supersedes an older one still in flight. Used for the frequent crash-safety saves.
    virtual void saveActiveTimersInBackground(const QList<TimerItem>& timers) { saveActiveTimers(timers); }
    virtual void clearActiveTimers() = 0;
};
