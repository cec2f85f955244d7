#pragma once
// A timer manager on recording services and a frozen clock, shared by the timer manager's test files.

#include "core/AppSettings.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <memory>

class TimerManagerFixture : public ::testing::Test {
protected:
    // Local wall-clock time, so clock texts ("H:mm") do not depend on the machine's time zone.
    QDateTime now = QDateTime(QDate(2024, 5, 14), QTime(9, 0, 0), Qt::LocalTime);
    Clock clock = [this] { return now; };
    // The time countdowns spend, which the tests move apart from the wall clock (sleep, a clock set by hand).
    qint64 elapsedMs = 0;
    ElapsedClock elapsed = [this] { return elapsedMs; };

    Preferences preferences; // in memory
    AppSettings settings{preferences};
    InMemoryPersistence persistence;
    RecordingNotificationService notification;
    RecordingSoundService sound;
    InMemoryHistory history{clock};
    std::unique_ptr<TimerManager> manager;

    void make() {
        manager = std::make_unique<TimerManager>(persistence, notification, sound, history, settings, clock,
                                                 elapsed);
    }
    void TearDown() override { manager.reset(); }

    void advance(qint64 milliseconds) { now = now.addMSecs(milliseconds); }
    // The engine's tick, a second after the last one.
    void tick() {
        elapsedMs += 1000;
        manager->tick();
    }
    // The machine sleeps: both clocks move on, and the tick that fires on waking sees the whole gap.
    void sleepThenTick(qint64 milliseconds) {
        elapsedMs += milliseconds;
        advance(milliseconds);
        manager->tick();
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i) {
            tick();
        }
    }
    TimerItem current(const QUuid& id) const {
        const auto found = manager->timer(id);
        EXPECT_TRUE(found.has_value());
        return found.value_or(TimerItem{});
    }
    // A timer's state and seconds left, to compare in one step.
    std::pair<TimerState, qint64> status(const QUuid& id) const {
        const TimerItem item = current(id);
        return {item.state, item.remaining};
    }
    // Adds a countdown that must be accepted.
    TimerItem add(const char* title, qint64 seconds, bool run = true) {
        const auto item = manager->addTimer(QString::fromUtf8(title), seconds, run);
        EXPECT_TRUE(item.has_value());
        return item.value_or(TimerItem{});
    }
    // A timer as a restored list would hold it: any state with any remaining time.
    TimerItem stored(TimerState state, qint64 total, qint64 remaining,
                     const QString& title = QStringLiteral("t")) {
        TimerItem item =
            TimerItem::make(QUuid::createUuid(), title, total, state, false, std::nullopt, std::nullopt, now);
        item.remaining = remaining;
        return item;
    }
    // Timers that fill the list to `count`, each a minute long and idle.
    QList<TimerItem> filler(qsizetype count) const {
        QList<TimerItem> many(count);
        for (qsizetype i = 0; i < count; ++i) {
            many[i].id = QUuid(uint(i), 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
            many[i].totalDuration = many[i].remaining = 60;
            many[i].createdAt = now;
        }
        return many;
    }
    // Makes the manager and gives it exactly these timers, through the restore path.
    void makeWith(const QList<TimerItem>& items) {
        persistence.activeTimers = items;
        make();
        manager->restoreState();
    }
};
