#include "core/TarvolinTimerError.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using E = TarvolinTimerError;

TEST(TarvolinTimerError, EveryCaseHasItsFixedMessage) {
    // The decode failure's message is pinned by the persistence tests' log lines.
    const std::vector<std::pair<E, QString>> cases{
        {E(E::persistenceEncodeFailed{u"presets"_s, u"boom"_s}), u"Failed to encode presets: boom"_s},
        {E(E::invalidDuration{0}), u"Invalid duration: 0 seconds"_s},
        {E(E::maxTimersReached{999999}), u"Maximum timer limit reached (999999)"_s}, // no grouping separators
        {E(E::importFailed{u"x"_s}), u"Import failed: x"_s},
        {E(E::schemaMigrationFailed{1, 2}), u"Schema migration failed from v1 to v2"_s},
        {E(E::alarmInPast{}), u"Alarm time is in the past"_s},
        {E(E::relayParseEmpty{}), u"Relay input is empty"_s},
        {E(E::notificationDenied{}), u"Notification permission denied"_s}};
    for (const auto& [error, message] : cases) {
        EXPECT_EQ(error.errorDescription(), message);
    }
}

TEST(TarvolinTimerLogger, WarningAndErrorShareALevelAndEachCallIsOneLine) {
    LogCapture log;
    TarvolinTimerLogger::warning(u"m"_s, u"Ctx"_s);
    TarvolinTimerLogger::error(u"m"_s, u"Ctx"_s);
    TarvolinTimerLogger::info(u"m"_s, u"Ctx"_s);
    TarvolinTimerLogger::info(QString(), u"Ctx"_s);
    using L = TarvolinTimerLogger::Level;
    EXPECT_EQ(log.lines(), (QStringList{u"[Ctx] m"_s, u"[Ctx] m"_s, u"[Ctx] m"_s, u"[Ctx] "_s}));
    ASSERT_EQ(log.entries().size(), 4);
    EXPECT_EQ(log.entries()[0].level, L::error);
    EXPECT_EQ(log.entries()[1].level, L::error);
    EXPECT_EQ(log.entries()[2].level, L::info);

    // A message holding user text stays one line, so it can neither split nor pass for another entry.
    log.clear();
    TarvolinTimerLogger::info(u"Timer complete: \"a\n[AppDelegate] b\r\t\x1b\""_s, u"Ctx"_s);
    EXPECT_EQ(log.lines(), QStringList{u"[Ctx] Timer complete: \"a\\n[AppDelegate] b\\r\t\\x1b\""_s});
}

} // namespace
