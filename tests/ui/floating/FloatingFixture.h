#pragma once
// A real engine (recording services, a frozen local clock, preferences in memory) for the floating
// window's tests.

#include "core/AppSettings.h"
#include "core/PomodoroManager.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <memory>

class FloatingFixture : public ::testing::Test {
public:
    QDateTime now = QDateTime(QDate(2024, 5, 14), QTime(9, 0, 0), Qt::LocalTime);
    Clock clock = [this] { return now; };
    // Time passes as the frozen wall clock moves: a tick follows a second's advance of `now`.
    ElapsedClock elapsed = [this] { return now.toMSecsSinceEpoch(); };

    Preferences preferences; // in memory
    AppSettings settings{preferences};
    InMemoryPersistence persistence;
    RecordingNotificationService notification;
    RecordingSoundService sound;
    InMemoryHistory history{clock};
    std::unique_ptr<TimerManager> timers;
    std::unique_ptr<PomodoroManager> pomodoro;

    void SetUp() override { makeEngine(); }

    // The engine, holding exactly these timers when any are given (through the restore path, which brings
    // running timers back paused).
    void makeEngine(const QList<TimerItem>& restored = {}) {
        pomodoro.reset();
        timers.reset();
        persistence.activeTimers = restored;
        timers = std::make_unique<TimerManager>(persistence, notification, sound, history, settings, clock,
                                                elapsed);
        timers->restoreState();
        pomodoro = std::make_unique<PomodoroManager>(persistence, notification, sound, history, settings);
        pomodoro->setTimerManager(timers.get());
        pomodoro->updateConfig(settings);
    }

    TimerItem timer(const char* title, qint64 total, qint64 remaining, TimerState state) const {
        TimerItem item = TimerItem::make(QUuid::createUuid(), QString::fromUtf8(title), total, state, false,
                                         std::nullopt, std::nullopt, now);
        item.remaining = remaining;
        return item;
    }
};
