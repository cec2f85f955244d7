#pragma once
// The log of completed runs, newest first, kept as one JSON data value in the preferences and capped in
// length.

#include "core/Clock.h"
#include "core/HistoryManagerProtocol.h"

#include <QMetaObject>

#include <optional>

class AppSettings;
class Preferences;

class HistoryManager : public HistoryManagerProtocol {
public:
    static inline const QString historyKey = QStringLiteral("quorvane.history");

    HistoryManager(Preferences& preferences, AppSettings& settings, Clock clock = systemClock());
    ~HistoryManager() override;
    HistoryManager(const HistoryManager&) = delete;
    HistoryManager& operator=(const HistoryManager&) = delete;

    // The instance over the standard preferences and the shared settings, made on first use.
    static HistoryManager& shared();

    // Inserts a new entry first, then keeps at most the configured number (a negative cap, which nothing
    // sets, counts as the default).
    void log(const QString& title, qint64 duration) override;
    // The stored entries that read; empty when absent, not data, or none reads (that value is kept aside).
    QList<TimerHistoryEntry> loadHistory() override;

private:
    Preferences& m_preferences;
    AppSettings& m_settings;
    Clock m_clock;
    // The decoded stored list, so a long history is not decoded again on every log. Dropped whenever
    // anyone (a migration, another manager) writes the key.
    std::optional<QList<TimerHistoryEntry>> m_cache;
    QMetaObject::Connection m_invalidation;
};
