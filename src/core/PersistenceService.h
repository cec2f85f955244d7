#pragma once
// Keeps the engine's records (presets, sequences, active sequence, scheduled timers, the timer list saved
// at quit, the last duration) in the preferences, each list as one JSON data value under its own key.

#include "core/Clock.h"
#include "core/PersistenceServiceProtocol.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <memory>

class Preferences;

class PersistenceService : public QObject, public PersistenceServiceProtocol {
    Q_OBJECT
public:
    static constexpr const char* kPresetsKey = "quorvane.presets";
    static constexpr const char* kSequencesKey = "quorvane.sequences";
    static constexpr const char* kActiveSequenceIDKey = "quorvane.activeSequenceID";
    static constexpr const char* kScheduledTimersKey = "quorvane.scheduledTimers";
    static constexpr const char* kActiveTimersKey = "quorvane.activeTimers";
    static constexpr const char* kLastDurationKey = "quorvane.lastDuration";
    static constexpr const char* kSchemaVersionKey = "quorvane.schemaVersion";
    static constexpr qint64 kCurrentSchemaVersion = 2;
    static constexpr qint64 kFallbackLastDuration = 1500;

    // Raises the stored schema version before anything else reads the store.
    explicit PersistenceService(Preferences& preferences, Clock clock = systemClock(),
                                QObject* parent = nullptr);
    // Waits for a background encoding still running; its result is dropped (the quit path saves first).
    ~PersistenceService() override;

    // The instance over the standard preferences, made on first use.
    static PersistenceService& shared();

    void savePresets(const QList<TimerPreset>& presets) override;
    QList<TimerPreset> loadPresets() override;
    void saveSequences(const QList<TimerSequence>& sequences) override;
    QList<TimerSequence> loadSequences() override;
    void saveActiveSequenceID(const std::optional<QUuid>& id) override;
    std::optional<QUuid> loadActiveSequenceID() override;
    qint64 loadLastDuration() override;
    void saveScheduledTimers(const QList<ScheduledTimer>& timers) override;
    QList<ScheduledTimer> loadScheduledTimers() override;
    void saveActiveTimers(const QList<TimerItem>& timers) override;
    QList<TimerItem> loadActiveTimers() override;
    // Encodes on a worker thread and stores on this object's thread. Any later write of the key (another
    // background save, saveActiveTimers, clearActiveTimers, or anyone else's) supersedes it.
    void saveActiveTimersInBackground(const QList<TimerItem>& timers) override;
    void clearActiveTimers() override;

    // Blocks until no background encoding runs and stores the newest finished one that is still current.
    // Call it on this object's thread: at quit, and in tests.
    void waitForBackgroundSaves();
    // waitForBackgroundSaves(), then the preferences' own flush to disk: the quit path's last step. False
    // when the file could not be written.
    bool flush();

    // If the stored version (0 when absent) is below 2, stores 2 and logs it. Run by the constructor.
    void bumpInternalSchemaVersion();

private:
    struct BackgroundState;

    void applyFinishedBackgroundSave();
    void supersedeBackgroundSaves();
    template <class T> std::optional<QList<T>> loadList(const char* storageKey, const QString& name);
    template <class T, class Encode>
    void saveList(const char* storageKey, const QString& name, const QList<T>& list, Encode encode);

    Preferences& m_preferences;
    Clock m_clock;
    // Counts writes of the timer-list key; a background result is stored only if no write came after
    // the request that made it.
    quint64 m_activeTimersGeneration = 0;
    bool m_storingBackgroundResult = false;
    std::shared_ptr<BackgroundState> m_background;
    QThreadPool m_pool;
};
