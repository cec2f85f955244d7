#include "core/PersistenceService.h"

#include "core/JsonCoding.h"
#include "core/StoredListLoader.h"
#include "core/TarvolinTimerError.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "platform/TarvolinTimerLogger.h"

#include <QMetaObject>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>

namespace {

const QString kContext = QStringLiteral("PersistenceService");

// Short record names used in log lines.
const QString kPresetsName = QStringLiteral("presets");
const QString kSequencesName = QStringLiteral("sequences");
const QString kScheduledTimersName = QStringLiteral("scheduledTimers");
const QString kActiveTimersName = QStringLiteral("activeTimers");

QString key(const char* name) {
    return QString::fromLatin1(name);
}

void logEncodeFailed(const QString& name, const QString& description) {
    TT_LOG_ERROR(kContext, TarvolinTimerError(TarvolinTimerError::persistenceEncodeFailed{name, description})
                               .errorDescription());
}

// Holds `value` to [low, high]; true when it had to move.
bool hold(qint64& value, qint64 low, qint64 high) {
    const qint64 held = std::clamp(value, low, high);
    return std::exchange(value, held) != held;
}

// A restored timer gets the length adding one allows, and no more time left than its length nor less than
// none.
bool holdInRange(TimerItem& timer) {
    const bool total = hold(timer.totalDuration, TimerManager::minDuration, TimerManager::maxDuration);
    return hold(timer.remaining, 0, timer.totalDuration) || total;
}

bool holdInRange(ScheduledTimer& timer) {
    return hold(timer.durationInSeconds, TimerManager::minDuration, TimerManager::maxDuration);
}

// Presets are saved in whole minutes, one at least, and start timers of at most the longest length.
bool holdInRange(TimerPreset& preset) {
    return hold(preset.durationInSeconds, 60, TimerManager::maxDuration);
}

bool holdInRange(TimerSequence& sequence) {
    bool changed = false;
    for (SequenceStep& step : sequence.steps) {
        changed = hold(step.minutes, SequenceStep::minMinutes, SequenceStep::maxMinutes) || changed;
    }
    return changed;
}

} // namespace

// Shared with the worker: the newest request's number (so queued older work is skipped before it starts)
// and the newest finished result waiting to be stored.
struct PersistenceService::BackgroundState {
    std::atomic<quint64> latestRequest{0};
    std::mutex mutex;
    bool hasResult = false;
    quint64 resultGeneration = 0;
    std::optional<QByteArray> resultData;
    QString resultError;
};

// The stored list as loaded (records that read, within range, each with its own id), or none when nothing
// usable is stored. Presets, sequences and scheduled timers are all found by id.
template <class T>
std::optional<QList<T>> PersistenceService::loadList(const char* storageKey, const QString& name) {
    return StoredListLoader(m_preferences, kContext)
        .load<T>(
            key(storageKey), name, &T::readList, &T::encodeList,
            [](T& record) { return holdInRange(record); }, StoredListLoader::RepeatedIds::renew);
}

template <class T, class Encode>
void PersistenceService::saveList(const char* storageKey, const QString& name, const QList<T>& list,
                                  Encode encode) {
    QString error;
    const std::optional<QByteArray> data = encode(list, &error);
    if (!data) {
        logEncodeFailed(name, error); // the stored value stays as it was
        return;
    }
    m_preferences.setData(key(storageKey), *data);
}

PersistenceService::PersistenceService(Preferences& preferences, Clock clock, QObject* parent)
    : QObject(parent), m_preferences(preferences), m_clock(std::move(clock)),
      m_background(std::make_shared<BackgroundState>()) {
    // One worker: requests run in order, and a newer one only waits for the one being encoded.
    m_pool.setMaxThreadCount(1);
    connect(&m_preferences, &Preferences::changed, this, [this](const QString& changedKey) {
        if (!m_storingBackgroundResult && changedKey == QLatin1String(kActiveTimersKey)) {
            supersedeBackgroundSaves();
        }
    });
    bumpInternalSchemaVersion();
}

PersistenceService::~PersistenceService() {
    m_pool.waitForDone();
}

PersistenceService& PersistenceService::shared() {
    static PersistenceService instance(Preferences::standard());
    return instance;
}

void PersistenceService::bumpInternalSchemaVersion() {
    const qint64 stored = m_preferences.intValue(key(kSchemaVersionKey)).value_or(0);
    if (stored >= kCurrentSchemaVersion) {
        return;
    }
    m_preferences.setInt(key(kSchemaVersionKey), kCurrentSchemaVersion);
    TT_LOG_INFO(kContext, QStringLiteral("Schema bumped to v%1").arg(kCurrentSchemaVersion));
}

void PersistenceService::savePresets(const QList<TimerPreset>& presets) {
    saveList(kPresetsKey, kPresetsName, presets, &TimerPreset::encodeList);
}

QList<TimerPreset> PersistenceService::loadPresets() {
    // A stored empty list stays empty: the user removed every preset.
    return loadList<TimerPreset>(kPresetsKey, kPresetsName).value_or(TimerPreset::defaultPresets());
}

void PersistenceService::saveSequences(const QList<TimerSequence>& sequences) {
    saveList(kSequencesKey, kSequencesName, sequences, &TimerSequence::encodeList);
}

QList<TimerSequence> PersistenceService::loadSequences() {
    return loadList<TimerSequence>(kSequencesKey, kSequencesName).value_or(TimerSequence::defaultSequences());
}

void PersistenceService::saveActiveSequenceID(const std::optional<QUuid>& id) {
    if (id) {
        m_preferences.setString(key(kActiveSequenceIDKey), JsonCoding::uuidText(*id));
    } else {
        m_preferences.remove(key(kActiveSequenceIDKey));
    }
}

std::optional<QUuid> PersistenceService::loadActiveSequenceID() {
    const QString storageKey = key(kActiveSequenceIDKey);
    if (!m_preferences.contains(storageKey)) {
        return std::nullopt;
    }
    const std::optional<QString> text = m_preferences.stringValue(storageKey);
    std::optional<QUuid> id = text ? JsonCoding::parseUuid(*text) : std::nullopt;
    if (!id) {
        // Applying or removing a sequence would write over it.
        StoredListLoader(m_preferences, kContext)
            .setAsideUnreadable(storageKey, QStringLiteral("activeSequenceID"));
    }
    return id;
}

qint64 PersistenceService::loadLastDuration() {
    const qint64 stored = m_preferences.intValue(key(kLastDurationKey)).value_or(0);
    if (stored < 1) {
        return kFallbackLastDuration;
    }
    if (stored > TimerManager::maxDuration) {
        // No timer is longer, and the label could not show it.
        m_preferences.setInt(key(kLastDurationKey), TimerManager::maxDuration);
        TT_LOG_WARNING(kContext, QStringLiteral("Brought the stored lastDuration within range"));
        return TimerManager::maxDuration;
    }
    return stored;
}

void PersistenceService::saveScheduledTimers(const QList<ScheduledTimer>& timers) {
    saveList(kScheduledTimersKey, kScheduledTimersName, timers, &ScheduledTimer::encodeList);
}

QList<ScheduledTimer> PersistenceService::loadScheduledTimers() {
    const auto stored = loadList<ScheduledTimer>(kScheduledTimersKey, kScheduledTimersName);
    if (!stored) {
        return {};
    }
    // Entries already past are left out; the stored value is rewritten only by the next save.
    const QDateTime now = m_clock();
    QList<ScheduledTimer> pending;
    for (const ScheduledTimer& timer : *stored) {
        if (!timer.isPast(now)) {
            pending.push_back(timer);
        }
    }
    return pending;
}

void PersistenceService::saveActiveTimers(const QList<TimerItem>& timers) {
    saveList(kActiveTimersKey, kActiveTimersName, timers, &TimerItem::encodeList);
}

QList<TimerItem> PersistenceService::loadActiveTimers() {
    // A list may hold a million timers: each is held to range in the one pass and, as nothing counted down
    // while the program was not running, a running one comes back paused. Timers are found by id, so each
    // gets its own.
    auto stored =
        StoredListLoader(m_preferences, kContext)
            .load<TimerItem>(
                key(kActiveTimersKey), kActiveTimersName, &TimerItem::readList, &TimerItem::encodeList,
                [](TimerItem& timer) {
                    if (timer.state == TimerState::running) {
                        timer.state = TimerState::paused;
                    }
                    return holdInRange(timer);
                },
                StoredListLoader::RepeatedIds::renew);
    return std::move(stored).value_or(QList<TimerItem>{});
}

void PersistenceService::clearActiveTimers() {
    m_preferences.remove(key(kActiveTimersKey));
}

void PersistenceService::supersedeBackgroundSaves() {
    ++m_activeTimersGeneration;
    m_background->latestRequest.store(m_activeTimersGeneration);
}

void PersistenceService::saveActiveTimersInBackground(const QList<TimerItem>& timers) {
    supersedeBackgroundSaves();
    const quint64 generation = m_activeTimersGeneration;
    std::shared_ptr<BackgroundState> state = m_background;
    // The list is shared, not copied: the caller's next change detaches its own copy.
    m_pool.start([this, state, generation, timers] {
        if (state->latestRequest.load() != generation) {
            return; // a newer write came while this one waited
        }
        QString error;
        std::optional<QByteArray> data = TimerItem::encodeList(timers, &error);
        {
            std::lock_guard lock(state->mutex);
            state->hasResult = true;
            state->resultGeneration = generation;
            state->resultData = std::move(data);
            state->resultError = error;
        }
        // The destructor waits for this task, so `this` is alive here; the queued call is dropped if the
        // object is gone by the time it would run.
        QMetaObject::invokeMethod(
            this, [this] { applyFinishedBackgroundSave(); }, Qt::QueuedConnection);
    });
}

void PersistenceService::applyFinishedBackgroundSave() {
    std::optional<QByteArray> data;
    QString error;
    {
        std::lock_guard lock(m_background->mutex);
        if (!m_background->hasResult) {
            return; // already stored by waitForBackgroundSaves()
        }
        m_background->hasResult = false;
        if (m_background->resultGeneration != m_activeTimersGeneration) {
            m_background->resultData.reset();
            return; // superseded by a later write
        }
        data = std::move(m_background->resultData);
        m_background->resultData.reset();
        error = m_background->resultError;
    }
    if (!data) {
        logEncodeFailed(kActiveTimersName, error);
        return;
    }
    m_storingBackgroundResult = true;
    m_preferences.setData(key(kActiveTimersKey), *data);
    m_storingBackgroundResult = false;
}

void PersistenceService::waitForBackgroundSaves() {
    m_pool.waitForDone();
    applyFinishedBackgroundSave();
}

bool PersistenceService::flush() {
    waitForBackgroundSaves();
    return m_preferences.flush();
}
