#include "core/HistoryManager.h"

#include "core/AppSettings.h"
#include "core/SettingsKeys.h"
#include "core/StoredListLoader.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"

#include <algorithm>
#include <utility>

HistoryManager::HistoryManager(Preferences& preferences, AppSettings& settings, Clock clock)
    : m_preferences(preferences), m_settings(settings), m_clock(std::move(clock)) {
    m_invalidation = QObject::connect(&m_preferences, &Preferences::changed, [this](const QString& key) {
        if (key == historyKey) {
            m_cache.reset();
        }
    });
}

HistoryManager::~HistoryManager() {
    QObject::disconnect(m_invalidation);
}

HistoryManager& HistoryManager::shared() {
    static HistoryManager instance(Preferences::standard(), AppSettings::shared());
    return instance;
}

QList<TimerHistoryEntry> HistoryManager::loadHistory() {
    if (!m_cache) {
        // An entry's length is a timer's: never below nothing nor beyond the longest timer.
        const auto holdInRange = [](TimerHistoryEntry& entry) {
            const qint64 held = std::clamp<qint64>(entry.duration, 0, TimerManager::maxDuration);
            return std::exchange(entry.duration, held) != held;
        };
        // Loading may write the key (a damaged list is replaced by what was restored), which drops the
        // cache: it is filled only afterwards.
        // Nothing finds an entry by its id, so a repeated one is left as it is.
        auto loaded =
            StoredListLoader(m_preferences, QStringLiteral("HistoryManager"))
                .load<TimerHistoryEntry>(historyKey, QStringLiteral("history"), &TimerHistoryEntry::readList,
                                         &TimerHistoryEntry::encodeList, holdInRange);
        m_cache = std::move(loaded).value_or(QList<TimerHistoryEntry>{});
    }
    return *m_cache;
}

void HistoryManager::log(const QString& title, qint64 duration) {
    QList<TimerHistoryEntry> history = loadHistory();
    history.prepend(TimerHistoryEntry::make(title, duration, m_clock()));

    // No control sets a negative cap; read as none it would empty the whole history at the next run.
    qint64 cap = m_settings.maxHistoryEntries();
    if (cap < 0) {
        cap = SettingsKeys::maxHistoryEntries.defaultValue;
    }
    if (history.size() > cap) {
        history.resize(cap);
    }

    const auto data = TimerHistoryEntry::encodeList(history);
    if (!data) {
        return; // an entry that cannot be written is dropped quietly, the stored list stays as it was
    }
    m_preferences.setData(historyKey, *data);
    // Writing the key dropped the cache; what was just written is the stored list.
    m_cache = std::move(history);
}
