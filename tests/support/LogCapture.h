#pragma once
// Collects logger lines for the life of the object, so a test can assert what was logged.

#include "platform/TarvolinTimerLogger.h"

#include <QStringList>

class LogCapture {
public:
    struct Entry {
        TarvolinTimerLogger::Level level;
        QString line;
    };

    LogCapture() {
        m_previous = TarvolinTimerLogger::setSink(
            [this](TarvolinTimerLogger::Level level, const QString& line) { m_entries.push_back({level, line}); });
    }
    ~LogCapture() { TarvolinTimerLogger::setSink(std::move(m_previous)); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const QList<Entry>& entries() const { return m_entries; }
    QStringList lines() const {
        QStringList out;
        for (const auto& e : m_entries) {
            out << e.line;
        }
        return out;
    }
    // Only the lines of one context ("AppDelegate"), for tests beside parts that log on their own time.
    QList<Entry> entriesFrom(const QString& context) const {
        const QString prefix = QLatin1Char('[') + context + QStringLiteral("] ");
        QList<Entry> out;
        for (const auto& e : m_entries) {
            if (e.line.startsWith(prefix)) {
                out.push_back(e);
            }
        }
        return out;
    }
    QStringList linesFrom(const QString& context) const {
        QStringList out;
        for (const auto& e : entriesFrom(context)) {
            out << e.line;
        }
        return out;
    }
    void clear() { m_entries.clear(); }

private:
    TarvolinTimerLogger::Sink m_previous;
    QList<Entry> m_entries;
};
