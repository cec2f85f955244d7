#pragma once
// The engine's and services' failures, each with the fixed message that gets logged.

#include <QString>

#include <variant>

class TarvolinTimerError {
public:
    struct persistenceEncodeFailed { QString key; QString underlyingDescription; };
    struct persistenceDecodeFailed { QString key; };
    struct invalidDuration { qint64 seconds; };
    struct maxTimersReached { qint64 limit; };
    struct importFailed { QString reason; };
    struct schemaMigrationFailed { qint64 fromVersion; qint64 toVersion; };
    struct alarmInPast {};
    struct relayParseEmpty {};
    struct notificationDenied {};

    using Case = std::variant<persistenceEncodeFailed, persistenceDecodeFailed, invalidDuration, maxTimersReached,
                              importFailed, schemaMigrationFailed, alarmInPast, relayParseEmpty, notificationDenied>;

    TarvolinTimerError(Case c) : m_case(std::move(c)) {} // NOLINT: implicit on purpose, as an enum case

    const Case& value() const { return m_case; }
    // Never empty; this is also what a caller logs as the error's description.
    QString errorDescription() const;

private:
    Case m_case;
};
