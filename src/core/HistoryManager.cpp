#include "core/HistoryManager.h"

#include "core/AppSettings.h"
#include "platform/Preferences.h"
#include "platform/TarvolinTimerLogger.h"

#include <algorithm>

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
        const auto data = m_preferences.dataValue(historyKey);
        std::optional<QList<TimerHistoryEntry>> decoded;
        if (data) {
            decoded = TimerHistoryEntry::decodeList(*data);
            if (!decoded) {
                keepUndecodable();
            }
        }
        m_cache = decoded.value_or(QList<TimerHistoryEntry>{});
    }
    return *m_cache;
}

void HistoryManager::keepUndecodable() {
    // The history starts empty, but the next entry must not overwrite the only copy of the old one.
    const QString where = m_preferences.keepAside(historyKey);
    if (where.isEmpty()) {
        return;
    }
    TT_LOG_WARNING(QStringLiteral("HistoryManager"),
                   QStringLiteral("Kept the undecodable history as %1").arg(where));
    m_preferences.remove(historyKey);
}

void HistoryManager::log(const QString& title, qint64 duration) {
    QList<TimerHistoryEntry> history = loadHistory();
    history.prepend(TimerHistoryEntry::make(title, duration, m_clock()));

    const qint64 cap = std::max<qint64>(0, m_settings.maxHistoryEntries());
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
