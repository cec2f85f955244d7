// Start requests: building from parse results and presets, previews, adjustments, starting and queuing.
#include "TimerManagerFixture.h"

#include "core/TimerStartRequest.h"

#include <limits>

namespace {

using Request = TimerStartRequest;

qint64 secondsOf(const Request& request) {
    const auto* d = std::get_if<Request::duration>(&request.kind());
    EXPECT_NE(d, nullptr);
    return d ? d->seconds : -1;
}

Request countdown(qint64 seconds, const QString& title = QStringLiteral("tea")) {
    return Request(QUuid::createUuid(), title, Request::duration{seconds});
}

// ---- Building ----

TEST(TimerStartRequestTest, ParsedSecondsAreTruncatedTowardZeroAndTheTitleIsKeptExactly) {
    const struct {
        double parsed;
        qint64 seconds;
    } cases[] = {{5400.0, 5400}, {90.9, 90}, {0.99, 0}, {1e30, std::numeric_limits<qint64>::max()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parsed);
        for (const QString& title : {QString(), QStringLiteral("  read\t")}) {
            const Request request(ParsedQuickLaunch(ParsedQuickLaunch::duration{c.parsed}), title);
            EXPECT_EQ(secondsOf(request), c.seconds);
            EXPECT_EQ(request.title(), title);
            EXPECT_FALSE(request.id().isNull());
        }
    }
    const Request a(ParsedQuickLaunch(ParsedQuickLaunch::duration{60}), QString());
    const Request b(ParsedQuickLaunch(ParsedQuickLaunch::duration{60}), QString());
    EXPECT_NE(a.id(), b.id());
    EXPECT_NE(a, b); // same title and kind, but each request built is its own
}

TEST(TimerStartRequestTest, ParsedAlarmAndPresetKeepTheirValues) {
    const QDateTime date = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    const Request alarm(ParsedQuickLaunch(ParsedQuickLaunch::alarm{date}), QStringLiteral("call"));
    EXPECT_EQ(alarm.kind(), Request::Kind(Request::alarm{date}));
    EXPECT_EQ(alarm.targetTime(), date);
    EXPECT_FALSE(alarm.canQueue());

    const Request preset(TimerPreset{QUuid::createUuid(), QStringLiteral("45m"), 2700});
    EXPECT_EQ(preset.title(), QStringLiteral("45m"));
    EXPECT_EQ(secondsOf(preset), 2700);
    EXPECT_EQ(preset.targetTime(), std::nullopt);
    EXPECT_TRUE(preset.canQueue());
}

// ---- Preview and adjustment ----

TEST(TimerStartRequestTest, PreviewShowsAtLeastOneSecondForACountdownAndRoundsAlarmsUp) {
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
    EXPECT_EQ(countdown(0).previewDuration(now), 1);
    EXPECT_EQ(countdown(-40).previewDuration(now), 1);
    EXPECT_EQ(countdown(1500).previewDuration(now), 1500);
    const auto alarmIn = [&](qint64 ms) {
        return Request(QUuid::createUuid(), QString(), Request::alarm{now.addMSecs(ms)}).previewDuration(now);
    };
    EXPECT_EQ(alarmIn(90'200), 91);
    EXPECT_EQ(alarmIn(60'000), 60);
    EXPECT_EQ(alarmIn(0), 0);
    EXPECT_EQ(alarmIn(-5'000), 0);
}

TEST(TimerStartRequestTest, AdjustingACountdownGivesANewRequestNeverBelowOneSecond) {
    const struct {
        qint64 from, change, to;
    } cases[] = {{600, 300, 900},
                 {600, -300, 300},
                 {200, -300, 1},
                 {300, -300, 1},
                 {1, -300, 1},
                 {0, 300, 300},
                 {std::numeric_limits<qint64>::max(), 300, std::numeric_limits<qint64>::max()}};
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

TEST_F(TimerStartRequestEngineTest, CountdownsStartRunningOrWaitInTheQueue) {
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
    EXPECT_EQ(manager->timers(), QList<TimerItem>({*started, *queued}));
}

TEST_F(TimerStartRequestEngineTest, AlarmsStartAtTheirTimeButAreNeverQueued) {
    make();
    const Request alarm(QUuid::createUuid(), QStringLiteral("call"), Request::alarm{now.addSecs(600)});
    EXPECT_EQ(alarm.queue(*manager), std::nullopt);
    EXPECT_TRUE(manager->timers().isEmpty());

    const auto started = alarm.start(*manager);
    ASSERT_TRUE(started.has_value());
    EXPECT_TRUE(started->isAlarm);
    EXPECT_EQ(started->alarmTargetTime, now.addSecs(600));
    EXPECT_EQ(manager->timers(), QList<TimerItem>({*started}));

    // A refusal of the engine comes back as none.
    const Request past(QUuid::createUuid(), QString(), Request::alarm{now.addSecs(-1)});
    EXPECT_EQ(past.start(*manager), std::nullopt);
    EXPECT_EQ(manager->timers().size(), 1);
}

} // namespace
