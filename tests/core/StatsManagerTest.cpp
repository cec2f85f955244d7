#include "core/StatsManager.h"

#include "support/FakeServices.h"
#include "support/ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <ctime>
#include <limits>

namespace {

using namespace Qt::StringLiterals;

// Local wall-clock moments, so "today" means the same thing whatever the machine's time zone.
QDateTime local(int day, int hour, int minute, int second) {
    return QDateTime(QDate(2024, 3, day), QTime(hour, minute, second), Qt::LocalTime);
}

// The first moment of a local day; later than 0:00 on a day whose midnight a daylight-saving change skips.
QDateTime midnight(int day) {
    return QDate(2024, 3, day).startOfDay();
}

// Sets the process time zone for one test and puts the previous one back.
class StatsManagerTest : public ::testing::Test {
protected:
    QDateTime now = local(10, 12, 0, 0);
    Clock clock = [this] { return now; };
    InMemoryHistory history{clock};
    StatsManager stats{history, clock};
    int changes = 0;

    void SetUp() override {
        QObject::connect(&stats, &StatsManager::todayTotalSecondsChanged, [this] { ++changes; });
    }

    void addEntry(qint64 duration, const QDateTime& at) {
        history.entries.prepend(TimerHistoryEntry::make(u"run"_s, duration, at));
    }
    // What the timer manager does on completion: log first, then add.
    void complete(qint64 duration) {
        history.log(u"run"_s, duration);
        stats.addToTodayStats(duration);
    }
};

TEST_F(StatsManagerTest, RefreshSumsOnlyRunsCompletedOnTheLocalDay) {
    addEntry(7, local(9, 23, 59, 59)); // yesterday's last second
    addEntry(100, midnight(10));       // today's first moment
    addEntry(200, local(10, 11, 59, 59));
    addEntry(4000, midnight(11));              // tomorrow (a clock that was set back)
    addEntry(50, local(10, 23, 0, 0).toUTC()); // stored in UTC, still today locally

    EXPECT_FALSE(stats.lastStatsDate().has_value());
    stats.refreshTodayStats(false);

    EXPECT_EQ(stats.todayTotalSeconds(), 350);
    ASSERT_TRUE(stats.lastStatsDate().has_value());
    EXPECT_EQ(*stats.lastStatsDate(), midnight(10));
    EXPECT_EQ(changes, 0); // refreshing never reports a change
}

TEST_F(StatsManagerTest, RefreshWithoutForceIsANoOpOnTheSameDay) {
    addEntry(600, local(10, 9, 0, 0));
    stats.refreshTodayStats(false);
    addEntry(60, local(10, 10, 0, 0));

    now = local(10, 23, 59, 59);
    stats.refreshTodayStats(false);
    EXPECT_EQ(stats.todayTotalSeconds(), 600);

    stats.refreshTodayStats(true);
    EXPECT_EQ(stats.todayTotalSeconds(), 660);
    EXPECT_EQ(changes, 0);
}

TEST_F(StatsManagerTest, FirstAdditionRecomputesThenAdditionsOnTheSameDayAccumulateAndReport) {
    complete(300);
    EXPECT_EQ(stats.todayTotalSeconds(), 300); // the logged run is counted once
    EXPECT_EQ(stats.lastStatsDate(), midnight(10));

    stats.addToTodayStats(1500);
    stats.addToTodayStats(1500);
    EXPECT_EQ(stats.todayTotalSeconds(), 3300);
    EXPECT_EQ(changes, 3);
}

TEST_F(StatsManagerTest, RunAfterMidnightStartsTheNewDayFromTheHistory) {
    stats.refreshTodayStats(false);
    now = local(10, 23, 59, 59);
    complete(100);
    EXPECT_EQ(stats.todayTotalSeconds(), 100);

    now = local(11, 0, 0, 1);
    complete(200);

    EXPECT_EQ(stats.todayTotalSeconds(), 200);
    EXPECT_EQ(stats.lastStatsDate(), midnight(11));
    EXPECT_EQ(changes, 2);
}

TEST_F(StatsManagerTest, TotalsSaturateInsteadOfOverflowing) {
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    addEntry(max - 10, local(10, 1, 0, 0));
    addEntry(max - 10, local(10, 2, 0, 0));
    stats.refreshTodayStats(false);
    EXPECT_EQ(stats.todayTotalSeconds(), max);

    history.entries = {TimerHistoryEntry::make(u"run"_s, max - 10, local(10, 1, 0, 0))};
    stats.refreshTodayStats(true);
    stats.addToTodayStats(100);
    EXPECT_EQ(stats.todayTotalSeconds(), max);
}

TEST_F(StatsManagerTest, MidnightTimerIsArmedForTheNextLocalMidnightOnceThereIsATotal) {
    EXPECT_FALSE(stats.dayChangeTimerInterval().has_value());

    now = local(10, 23, 55, 0);
    stats.refreshTodayStats(false);
    EXPECT_EQ(stats.dayChangeTimerInterval(), 5 * 60 * 1000);

    // Far from midnight it wakes at the cap, so sleep or a changed clock is noticed.
    now = local(10, 12, 0, 0);
    stats.refreshTodayStats(true);
    EXPECT_EQ(stats.dayChangeTimerInterval(), StatsManager::maxDayChangeWaitMs);
}

TEST_F(StatsManagerTest, EarlyDateCheckOnlyRearmsAndMidnightRecomputesForTheNewDay) {
    addEntry(900, local(10, 20, 0, 0));
    now = local(10, 23, 59, 50);
    stats.refreshTodayStats(false);
    ASSERT_EQ(stats.todayTotalSeconds(), 900);
    EXPECT_EQ(stats.dayChangeTimerInterval(), 10'000);

    addEntry(5, local(10, 23, 59, 55));
    now = local(10, 23, 59, 58); // an early firing
    stats.onDayChanged();
    EXPECT_EQ(stats.todayTotalSeconds(), 900);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(stats.dayChangeTimerInterval(), 2000);

    addEntry(30, midnight(11)); // a run that ended exactly at midnight
    now = local(11, 0, 0, 1);
    stats.onDayChanged();
    EXPECT_EQ(stats.todayTotalSeconds(), 30);
    EXPECT_EQ(stats.lastStatsDate(), midnight(11));
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(stats.dayChangeTimerInterval().has_value()); // armed again for the following midnight
}

TEST_F(StatsManagerTest, DayWhoseMidnightIsSkippedStartsAtItsFirstClockTime) {
    // In this zone the clocks went from 23:59:59 on 9 March 2024 straight to 1:00 on the 10th.
    ScopedTimeZone zone("America/Havana");
    const QDateTime lastOldSecond = QDateTime(QDate(2024, 3, 9), QTime(23, 59, 59), Qt::LocalTime);
    addEntry(40, lastOldSecond);
    now = lastOldSecond;
    stats.refreshTodayStats(false);
    ASSERT_EQ(stats.todayTotalSeconds(), 40);
    EXPECT_EQ(stats.dayChangeTimerInterval(), 1000); // the new day begins one real second later

    now = lastOldSecond.addSecs(1);
    EXPECT_EQ(now.toLocalTime().time(), QTime(1, 0));
    addEntry(5, now);
    stats.onDayChanged();

    EXPECT_EQ(stats.todayTotalSeconds(), 5);
    EXPECT_EQ(stats.lastStatsDate(), now);
    EXPECT_EQ(changes, 1);
}

} // namespace
