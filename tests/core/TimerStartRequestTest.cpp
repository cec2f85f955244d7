// Start requests: building from parse results and presets, previews, adjustments, starting and queuing.
#include "TimerManagerFixture.h"

#include "core/TimerStartRequest.h"

#include <limits>

namespace {

using Request = TimerStartRequest;
constexpr qint64 most = std::numeric_limits<qint64>::max();

qint64 secondsOf(const Request& request) {
    const auto* d = std::get_if<Request::duration>(&request.kind());
    EXPECT_NE(d, nullptr);
    return d ? d->seconds : -1;
}

Request countdown(qint64 seconds, const QString& title = QStringLiteral("tea")) {
    return Request(QUuid::createUuid(), title, Request::duration{seconds});
}

// ---- Building ----

TEST(TimerStartRequestTest, ParsedSecondsTruncateTowardZeroAndEachBuiltRequestHasItsOwnId) {
    for (const auto& [parsed, seconds] :
         {std::pair<double, qint64>{5400.0, 5400}, {90.9, 90}, {0.99, 0}, {1e30, most}}) {
        SCOPED_TRACE(parsed);
        for (const QString& title : {QString(), QStringLiteral("  read\t")}) {
            const Request request(ParsedQuickLaunch(ParsedQuickLaunch::duration{parsed}), title);
            EXPECT_EQ(secondsOf(request), seconds);
            EXPECT_EQ(request.title(), title);
        }
    }
    const Request a(ParsedQuickLaunch(ParsedQuickLaunch::duration{60}), QString());
    const Request b(ParsedQuickLaunch(ParsedQuickLaunch::duration{60}), QString());
    EXPECT_FALSE(a.id().isNull());
    EXPECT_NE(a, b); // same title and kind, but each request built is its own

    const QDateTime date = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    const Request alarm(ParsedQuickLaunch(ParsedQuickLaunch::alarm{date}), QStringLiteral("call"));
    EXPECT_EQ(alarm.targetTime(), date);
    EXPECT_FALSE(alarm.canQueue());
    const Request preset(TimerPreset{QUuid::createUuid(), QStringLiteral("45m"), 2700});
    EXPECT_EQ(preset.title(), QStringLiteral("45m"));
    EXPECT_EQ(secondsOf(preset), 2700);
    EXPECT_TRUE(preset.canQueue());
}

// ---- Preview and adjustment ----

TEST(TimerStartRequestTest, PreviewShowsAtLeastOneSecondForACountdownAndRoundsAlarmsUp) {
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
    for (const auto& [seconds, shown] : {std::pair<qint64, qint64>{0, 1}, {-40, 1}, {1500, 1500}}) {
        EXPECT_EQ(countdown(seconds).previewDuration(now), shown) << seconds;
    }
    for (const auto& [ms, shown] :
         {std::pair<qint64, qint64>{90'200, 91}, {60'000, 60}, {0, 0}, {-5'000, 0}}) {
        const Request alarm(QUuid::createUuid(), QString(), Request::alarm{now.addMSecs(ms)});
        EXPECT_EQ(alarm.previewDuration(now), shown) << ms;
    }
}

TEST(TimerStartRequestTest, AdjustingACountdownGivesANewRequestNeverBelowOneSecond) {
    const struct {
        qint64 from, change, to;
    } cases[] = {{600, 300, 900}, {600, -300, 300}, {200, -300, 1},   {300, -300, 1},
                 {1, -300, 1},    {0, 300, 300},    {most, 300, most}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from);
        const Request request = countdown(c.from);
        const Request result = request.adjusted(c.change);
        EXPECT_EQ(secondsOf(result), c.to);
        EXPECT_EQ(result.title(), request.title());
        EXPECT_NE(result.id(), request.id());
    }
    const Request alarm(QUuid::createUuid(), QStringLiteral("x"),
                        Request::alarm{QDateTime::currentDateTimeUtc()});
    EXPECT_EQ(alarm.adjusted(300), alarm);
    EXPECT_EQ(alarm.adjusted(-300).id(), alarm.id());
}

// ---- Starting on the engine ----

using TimerStartRequestEngineTest = TimerManagerFixture;

TEST_F(TimerStartRequestEngineTest, CountdownsStartOrQueueButAlarmsOnlyStart) {
    make();
    const auto started = countdown(1500, QStringLiteral("write")).start(*manager);
    ASSERT_TRUE(started.has_value());
    EXPECT_EQ(started->title, QStringLiteral("write"));
    EXPECT_EQ(started->totalDuration, 1500);
    EXPECT_EQ(started->state, TimerState::running);
    const auto queued = countdown(0, QString()).queue(*manager);
    ASSERT_TRUE(queued.has_value());
    EXPECT_EQ(queued->state, TimerState::idle);
    EXPECT_EQ(queued->totalDuration, TimerManager::minDuration);

    const Request alarm(QUuid::createUuid(), QStringLiteral("call"), Request::alarm{now.addSecs(600)});
    EXPECT_EQ(alarm.queue(*manager), std::nullopt);
    const auto ringing = alarm.start(*manager);
    ASSERT_TRUE(ringing.has_value());
    EXPECT_EQ(ringing->alarmTargetTime, now.addSecs(600));
    EXPECT_EQ(manager->timers(), QList<TimerItem>({*started, *queued, *ringing}));
    // A refusal of the engine comes back as none.
    EXPECT_EQ(Request(QUuid::createUuid(), QString(), Request::alarm{now.addSecs(-1)}).start(*manager),
              std::nullopt);
    EXPECT_EQ(manager->timers().size(), 3);
}

} // namespace
