#pragma once
// How the engine logs completed runs and reads them back (newest first).

#include "core/TimerHistoryEntry.h"

#include <QList>
#include <QString>

class HistoryManagerProtocol {
public:
    virtual ~HistoryManagerProtocol() = default;
    virtual void log(const QString& title, qint64 duration) = 0;
    virtual QList<TimerHistoryEntry> loadHistory() = 0;
};
