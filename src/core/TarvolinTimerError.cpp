#include "core/TarvolinTimerError.h"

namespace {
template <class... Ts> struct overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> overloaded(Ts...) -> overloaded<Ts...>;
} // namespace

QString TarvolinTimerError::errorDescription() const {
    return std::visit(
        overloaded{
            [](const persistenceEncodeFailed& e) {
                return QStringLiteral("Failed to encode ") + e.key + QStringLiteral(": ") + e.underlyingDescription;
            },
            [](const persistenceDecodeFailed& e) {
                return QStringLiteral("Failed to decode ") + e.key + QStringLiteral(", using default");
            },
            [](const invalidDuration& e) {
                return QStringLiteral("Invalid duration: ") + QString::number(e.seconds) + QStringLiteral(" seconds");
            },
            [](const maxTimersReached& e) {
                return QStringLiteral("Maximum timer limit reached (") + QString::number(e.limit) + QLatin1Char(')');
            },
            [](const importFailed& e) { return QStringLiteral("Import failed: ") + e.reason; },
            [](const schemaMigrationFailed& e) {
                return QStringLiteral("Schema migration failed from v") + QString::number(e.fromVersion) +
                       QStringLiteral(" to v") + QString::number(e.toVersion);
            },
            [](const alarmInPast&) { return QStringLiteral("Alarm time is in the past"); },
            [](const relayParseEmpty&) { return QStringLiteral("Relay input is empty"); },
            [](const notificationDenied&) { return QStringLiteral("Notification permission denied"); },
        },
        m_case);
}
