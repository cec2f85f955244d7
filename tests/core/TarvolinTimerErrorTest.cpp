#include "core/TarvolinTimerError.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace {

using E = TarvolinTimerError;

TEST(TarvolinTimerError, EveryCaseHasItsFixedMessage) {
    EXPECT_EQ(
        E(E::persistenceEncodeFailed{QStringLiteral("presets"), QStringLiteral("boom")}).errorDescription(),
        QStringLiteral("Failed to encode presets: boom"));
    EXPECT_EQ(E(E::persistenceDecodeFailed{QStringLiteral("presets")}).errorDescription(),
              QStringLiteral("Failed to decode presets, using default"));
    EXPECT_EQ(E(E::invalidDuration{0}).errorDescription(), QStringLiteral("Invalid duration: 0 seconds"));
    EXPECT_EQ(E(E::maxTimersReached{999999}).errorDescription(),
              QStringLiteral("Maximum timer limit reached (999999)")); // no grouping separators
    EXPECT_EQ(E(E::importFailed{QStringLiteral("x")}).errorDescription(), QStringLiteral("Import failed: x"));
    EXPECT_EQ(E(E::schemaMigrationFailed{1, 2}).errorDescription(),
              QStringLiteral("Schema migration failed from v1 to v2"));
    EXPECT_EQ(E(E::alarmInPast{}).errorDescription(), QStringLiteral("Alarm time is in the past"));
    EXPECT_EQ(E(E::relayParseEmpty{}).errorDescription(), QStringLiteral("Relay input is empty"));
    EXPECT_EQ(E(E::notificationDenied{}).errorDescription(),
              QStringLiteral("Notification permission denied"));
}

TEST(TarvolinTimerLogger, WarningAndErrorShareALevelInfoHasItsOwn) {
    LogCapture log;
    TarvolinTimerLogger::warning(QStringLiteral("m"), QStringLiteral("Ctx"));
    TarvolinTimerLogger::error(QStringLiteral("m"), QStringLiteral("Ctx"));
    TarvolinTimerLogger::info(QStringLiteral("m"), QStringLiteral("Ctx"));
    TarvolinTimerLogger::info(QString(), QStringLiteral("Ctx"));
    ASSERT_EQ(log.entries().size(), 4);
    EXPECT_EQ(log.entries()[0].line, QStringLiteral("[Ctx] m"));
    EXPECT_EQ(log.entries()[0].level, TarvolinTimerLogger::Level::error);
    EXPECT_EQ(log.entries()[1].line, log.entries()[0].line);
    EXPECT_EQ(log.entries()[1].level, TarvolinTimerLogger::Level::error);
    EXPECT_EQ(log.entries()[2].level, TarvolinTimerLogger::Level::info);
    EXPECT_EQ(log.entries()[3].line, QStringLiteral("[Ctx] "));
}

} // namespace
