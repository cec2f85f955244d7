// The timer list: transitions, limits, alarms, the tick and completion, the primary timer, saving.
#include "TimerManagerFixture.h"

#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <limits>

namespace {

using TimerManagerTest = TimerManagerFixture;

// ---- Transitions ----

struct Transition {
    const char* operation;
    TimerState from;
    TimerState to;
    qint64 remaining; // a stored timer of 10 s with 7 s left
};

TEST_F(TimerManagerTest, EachOperationMovesEachStateAsTheTableSays) {
    using S = TimerState;
    const Transition table[] = {
        {"start", S::idle, S::running, 10},    {"start", S::running, S::running, 7},
        {"start", S::paused, S::running, 7},   {"start", S::finished, S::running, 7},
        {"pause", S::idle, S::idle, 7},        {"pause", S::running, S::paused, 7},
        {"pause", S::paused, S::paused, 7},    {"pause", S::finished, S::finished, 7},
        {"toggle", S::idle, S::running, 10},   {"toggle", S::running, S::paused, 7},
        {"toggle", S::paused, S::running, 7},  {"toggle", S::finished, S::running, 10},
        {"reset", S::idle, S::idle, 10},       {"reset", S::running, S::idle, 10},
        {"reset", S::paused, S::idle, 10},     {"reset", S::finished, S::idle, 10},
        {"pauseAll", S::idle, S::idle, 7},     {"pauseAll", S::running, S::paused, 7},
        {"pauseAll", S::paused, S::paused, 7}, {"pauseAll", S::finished, S::finished, 7},
    };
    for (const Transition& t : table) {
        SCOPED_TRACE(std::string(t.operation) + " from " + toRaw(t.from).toStdString());
        const TimerItem item = stored(t.from, 10, 7);
        makeWith({item});
        const QString op = QString::fromLatin1(t.operation);
        if (op == QLatin1String("start")) {
            manager->start(item);
        } else if (op == QLatin1String("pause")) {
            manager->pause(item);
        } else if (op == QLatin1String("toggle")) {
            manager->toggle(item);
        } else if (op == QLatin1String("reset")) {
            manager->reset(item);
        } else {
            manager->pauseAll();
        }
        EXPECT_EQ(current(item.id).state, t.to);
        EXPECT_EQ(current(item.id).remaining, t.remaining);
        EXPECT_EQ(manager->isTicking(), t.to == S::running);
    }
}

TEST_F(TimerManagerTest, OperationsOnAnUnknownIdChangeNothing) {
    make();
    const auto a = manager->addTimer(QStringLiteral("a"), 60, true);
    QSignalSpy spy(manager.get(), &TimerManager::timersChanged);
    const QUuid stranger = QUuid::createUuid();
    manager->start(stranger);
    manager->pause(stranger);
    manager->toggle(stranger);
    manager->reset(stranger);
    manager->removeTimer(stranger);
    EXPECT_EQ(spy.count(), 0);
    ASSERT_EQ(manager->timers().size(), 1);
    EXPECT_EQ(manager->timers().first(), *a);
}

TEST_F(TimerManagerTest, RemovingKeepsOrderAndLookupOfTheOthers) {
    make();
    const auto a = manager->addTimer(QStringLiteral("a"), 10, true);
    const auto b = manager->addTimer(QStringLiteral("b"), 20, false);
    const auto c = manager->addTimer(QStringLiteral("c"), 30, true);
    manager->removeTimer(*b);
    ASSERT_EQ(manager->timers().size(), 2);
    EXPECT_EQ(manager->timers()[0].id, a->id);
    EXPECT_EQ(manager->timers()[1].id, c->id);
    manager->pause(*c);
    EXPECT_EQ(current(c->id).state, TimerState::paused);
    manager->tick();
    EXPECT_EQ(current(a->id).remaining, 9);
    EXPECT_EQ(current(c->id).remaining, 30);
    manager->removeTimer(*a);
    manager->removeTimer(*c);
    EXPECT_TRUE(manager->timers().isEmpty());
    EXPECT_FALSE(manager->isTicking());
}

TEST_F(TimerManagerTest, APomodoroPhaseIsTaggedInPlaceOnItsTimerOnly) {
    make();
    const auto other = manager->addTimer(QStringLiteral("other"), 60, true);
    const auto phase = manager->addTimer(QStringLiteral("Focus"), 1500, true);
    QSignalSpy spy(manager.get(), &TimerManager::timersChanged);
    manager->setPomodoroPhase(phase->id, QStringLiteral("Focus"));
    EXPECT_EQ(current(phase->id).pomodoroPhase, QStringLiteral("Focus"));
    EXPECT_EQ(current(other->id).pomodoroPhase, std::nullopt);
    EXPECT_EQ(spy.count(), 1);
    manager->setPomodoroPhase(QUuid::createUuid(), QStringLiteral("Focus"));
    EXPECT_EQ(spy.count(), 1);
}

// ---- Limit and clamping ----

TEST_F(TimerManagerTest, TheLimitTakesTheLastTimerThenRefusesBothKindsWithTheirWarnings) {
    QList<TimerItem> many;
    many.reserve(TimerManager::maxTimers - 1);
    for (qsizetype i = 0; i < TimerManager::maxTimers - 1; ++i) {
        TimerItem item;
        item.id = QUuid(uint(i), 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
        item.totalDuration = item.remaining = 60;
        item.createdAt = now;
        many.append(std::move(item));
    }
    makeWith(many);
    many.clear();
    LogCapture log;

    EXPECT_TRUE(manager->addTimer(QStringLiteral("last"), 60, false).has_value());
    EXPECT_EQ(manager->timers().size(), TimerManager::maxTimers);
    EXPECT_FALSE(manager->addTimer(QStringLiteral("one more"), 60, true).has_value());
    EXPECT_FALSE(manager->addAlarm(QStringLiteral("alarm"), now.addSecs(600)).has_value());
    EXPECT_EQ(manager->timers().size(), TimerManager::maxTimers);
    EXPECT_EQ(log.lines(),
              QStringList({QStringLiteral("[TimerManager] Timer limit reached (999999)"),
                           QStringLiteral("[TimerManager] Timer limit reached on addAlarm (999999)")}));
    EXPECT_EQ(log.entries().first().level,
              TarvolinTimerLogger::Level::error); // warnings log at the error level
}

TEST_F(TimerManagerTest, CountdownLengthsAreClampedToOneSecondAndNineHundredNinetyNineThousandDays) {
    make();
    const qint64 most = 86'399'913'600;
    const std::pair<qint64, qint64> cases[] = {
        {0, 1},
        {-5, 1},
        {1, 1},
        {most, most},
        {1'000'000'000'000, most},
        {std::numeric_limits<qint64>::max(), most},
    };
    for (const auto& [asked, made] : cases) {
        const auto item = manager->addTimer(QString(), asked, false);
        ASSERT_TRUE(item.has_value());
        EXPECT_EQ(item->totalDuration, made) << asked;
        EXPECT_EQ(item->remaining, made) << asked;
    }
}

// ---- Alarms ----

TEST_F(TimerManagerTest, AnAlarmNeedsOneWholeSecondAndTruncatesItsLength) {
    make();
    EXPECT_FALSE(manager->addAlarm(QStringLiteral("soon"), now.addMSecs(500)).has_value());
    EXPECT_FALSE(manager->addAlarm(QStringLiteral("past"), now.addSecs(-30)).has_value());
    EXPECT_TRUE(manager->timers().isEmpty());

    const QDateTime target = now.addMSecs(1500);
    const auto alarm = manager->addAlarm(QStringLiteral("tea"), target);
    ASSERT_TRUE(alarm.has_value());
    EXPECT_EQ(alarm->totalDuration, 1);
    EXPECT_EQ(alarm->remaining, 1);
    EXPECT_EQ(alarm->state, TimerState::running);
    EXPECT_TRUE(alarm->isAlarm);
    EXPECT_EQ(alarm->alarmTargetTime, target);
    EXPECT_EQ(alarm->createdAt, now);
}

TEST_F(TimerManagerTest, ARunningAlarmFollowsTheClockRoundingUpAndCompletesAsAnAlarm) {
    make();
    const auto alarm = manager->addAlarm(QStringLiteral("call"), now.addMSecs(100'500));
    ASSERT_EQ(alarm->totalDuration, 100);
    manager->tick();
    EXPECT_EQ(current(alarm->id).remaining, 101); // 100.5 s rounds up
    advance(700);
    manager->tick();
    EXPECT_EQ(current(alarm->id).remaining, 100); // 99.8 s

    // A clock that jumps (sleep, a time change) is followed, not counted.
    advance(60'000);
    manager->tick();
    EXPECT_EQ(current(alarm->id).remaining, 40);

    QSignalSpy spy(manager.get(), &TimerManager::timersChanged);
    manager->tick(); // same moment: nothing differs, nothing is written
    EXPECT_EQ(spy.count(), 0);

    advance(40'000);
    manager->tick();
    EXPECT_EQ(current(alarm->id).state, TimerState::finished);
    EXPECT_EQ(sound.events, QList<SoundEvent>({SoundEvent::alarmComplete}));
    ASSERT_EQ(notification.timerCompletions.size(), 1);
    EXPECT_EQ(notification.timerCompletions.first(),
              (RecordingNotificationService::TimerComplete{QStringLiteral("call"), 100, true}));
}

TEST_F(TimerManagerTest, APausedAlarmFreezesAndAResetOneRestartsOnItsTarget) {
    make();
    const auto alarm = manager->addAlarm(QString(), now.addSecs(30));
    manager->tick();
    manager->pause(*alarm);
    advance(20'000);
    manager->tick();
    EXPECT_EQ(current(alarm->id).remaining, 30);

    manager->reset(*alarm);
    EXPECT_EQ(current(alarm->id).state, TimerState::idle);
    EXPECT_EQ(current(alarm->id).remaining, 30); // its length when it was made

    advance(15'000); // past the target
    manager->start(*alarm);
    manager->tick();
    EXPECT_EQ(current(alarm->id).state, TimerState::finished);
    EXPECT_EQ(history.entries.size(), 1);
}

// ---- Tick and completion ----

TEST_F(TimerManagerTest, ACountdownOfNSecondsCompletesAtItsNthTick) {
    make();
    const auto one = manager->addTimer(QStringLiteral("one"), 1, true);
    const auto three = manager->addTimer(QStringLiteral("three"), 3, true);
    manager->tick();
    EXPECT_EQ(current(one->id).state, TimerState::finished);
    ASSERT_EQ(history.entries.size(), 1);
    EXPECT_EQ(history.entries.first().title, QStringLiteral("one"));
    EXPECT_EQ(history.entries.first().duration, 1);
    manager->tick();
    EXPECT_EQ(current(three->id).state, TimerState::running);
    EXPECT_EQ(current(three->id).remaining, 1);
    manager->tick();
    EXPECT_EQ(current(three->id).state, TimerState::finished);
    EXPECT_EQ(current(three->id).remaining, 0);
}

TEST_F(TimerManagerTest, CompletionRunsFinishedSoundHistoryStatsNotificationThenHook) {
    make();
    QStringList journal;
    sound.journal = &journal;
    history.journal = &journal;
    notification.journal = &journal;
    const auto item = manager->addTimer(QStringLiteral("focus"), 2, true);
    manager->onTimerComplete = [&](const QUuid& id) {
        journal << QStringLiteral("hook");
        EXPECT_EQ(id, item->id);
        EXPECT_EQ(current(id).state, TimerState::finished);
        EXPECT_EQ(manager->stats().todayTotalSeconds(), 2);
    };
    ticks(2);
    EXPECT_EQ(journal,
              QStringList({QStringLiteral("sound.play"), QStringLiteral("history.log"),
                           QStringLiteral("notification.postTimerComplete"), QStringLiteral("hook")}));
    EXPECT_EQ(sound.events, QList<SoundEvent>({SoundEvent::timerComplete}));
}

TEST_F(TimerManagerTest, TheSoundSwitchIsReadAtEachCompletion) {
    make();
    manager->addTimer(QStringLiteral("a"), 1, true);
    settings.setSoundEnabled(false);
    manager->tick();
    EXPECT_TRUE(sound.events.isEmpty());
    EXPECT_EQ(notification.timerCompletions.size(), 1);

    manager->addTimer(QStringLiteral("b"), 1, true);
    settings.setSoundEnabled(true);
    manager->tick();
    EXPECT_EQ(sound.events.size(), 1);
}

TEST_F(TimerManagerTest, AnUntitledRunIsLoggedAsZeroDisplayTimeButNotifiedWithItsRawTitle) {
    make();
    manager->addTimer(QString(), 90, true);
    ticks(90);
    ASSERT_EQ(history.entries.size(), 1);
    EXPECT_EQ(history.entries.first().title, QStringLiteral("00:00"));
    EXPECT_EQ(history.entries.first().duration, 90);
    EXPECT_EQ(notification.timerCompletions.first(),
              (RecordingNotificationService::TimerComplete{QString(), 90, false}));
}

TEST_F(TimerManagerTest, LoggingBeforeCountingMakesANewDayCountTheRunOnce) {
    make(); // today's total computed for 14 May
    manager->addTimer(QStringLiteral("late"), 3600, true);
    now = QDateTime(QDate(2024, 5, 15), QTime(0, 30), Qt::LocalTime);
    ticks(3600);
    // The new day is recomputed from the history, which already holds this run.
    EXPECT_EQ(manager->stats().todayTotalSeconds(), 3600);
}

TEST_F(TimerManagerTest, CompletionsArriveFromTheLastTimerToTheFirst) {
    make();
    QList<QUuid> order;
    manager->onTimerComplete = [&](const QUuid& id) { order << id; };
    const auto a = manager->addTimer(QStringLiteral("a"), 1, true);
    const auto idle = manager->addTimer(QStringLiteral("idle"), 1, false);
    const auto b = manager->addTimer(QStringLiteral("b"), 1, true);
    const auto c = manager->addTimer(QStringLiteral("c"), 1, true);
    manager->tick();
    EXPECT_EQ(order, QList<QUuid>({c->id, b->id, a->id}));
    EXPECT_EQ(current(idle->id).state, TimerState::idle);
}

TEST_F(TimerManagerTest, ATimerAddedByTheHookWaitsForTheNextTick) {
    make();
    std::optional<TimerItem> next;
    manager->onTimerComplete = [&](const QUuid&) {
        if (!next) {
            next = manager->addTimer(QStringLiteral("next"), 1, true);
        }
    };
    manager->addTimer(QStringLiteral("first"), 1, true);
    manager->tick();
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(current(next->id).state, TimerState::running);
    EXPECT_EQ(current(next->id).remaining, 1);
    manager->tick();
    EXPECT_EQ(current(next->id).state, TimerState::finished);
}

TEST_F(TimerManagerTest, AHookThatRemovesEarlierTimersNeitherSkipsNorRepeatsAVisit) {
    make();
    const auto x = manager->addTimer(QStringLiteral("x"), 10, true);
    const auto y = manager->addTimer(QStringLiteral("y"), 10, true);
    const auto done = manager->addTimer(QStringLiteral("done"), 1, true);
    const auto later = manager->addTimer(QStringLiteral("later"), 10, true);
    manager->onTimerComplete = [&](const QUuid&) {
        manager->removeTimer(*x);
        manager->removeTimer(*y);
    };
    manager->tick();
    ASSERT_EQ(manager->timers().size(), 2);
    EXPECT_EQ(current(done->id).state, TimerState::finished);
    EXPECT_EQ(current(later->id).remaining, 9); // visited once, although it moved down two places
}

TEST_F(TimerManagerTest, AHookThatEmptiesTheListEndsTheTickSafely) {
    make();
    manager->addTimer(QStringLiteral("a"), 1, true);
    manager->addTimer(QStringLiteral("b"), 5, true);
    manager->addTimer(QStringLiteral("c"), 1, true);
    int calls = 0;
    manager->onTimerComplete = [&](const QUuid&) {
        ++calls;
        while (!manager->timers().isEmpty()) {
            manager->removeTimer(manager->timers().last());
        }
    };
    manager->tick();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(manager->timers().isEmpty());
    EXPECT_FALSE(manager->isTicking());
}

TEST_F(TimerManagerTest, AHookThatResumesAnEarlierTimerCountsItInTheSameTick) {
    make();
    const auto waiting = manager->addTimer(QStringLiteral("waiting"), 5, true);
    manager->pause(*waiting);
    manager->addTimer(QStringLiteral("step"), 1, true);
    manager->onTimerComplete = [&](const QUuid&) { manager->start(*waiting); };
    manager->tick();
    EXPECT_EQ(current(waiting->id).remaining, 4); // not visited yet when it was resumed
}

TEST_F(TimerManagerTest, AFinishedTimerStartedAgainCompletesAtTheNextTick) {
    make();
    const auto item = manager->addTimer(QStringLiteral("again"), 1, true);
    manager->tick();
    manager->start(*item);
    EXPECT_EQ(current(item->id).remaining, 0);
    manager->tick();
    EXPECT_EQ(history.entries.size(), 2);
}

TEST_F(TimerManagerTest, ATickPublishesOnceAndNotAtAllWhenNothingRuns) {
    make();
    for (int i = 0; i < 5; ++i) {
        manager->addTimer(QString::number(i), i == 0 ? 1 : 100, true);
    }
    manager->addTimer(QStringLiteral("idle"), 100, false);
    QSignalSpy timers(manager.get(), &TimerManager::timersChanged);
    QSignalSpy any(manager.get(), &TimerManager::changed);
    manager->tick(); // four count down, one completes (its stats change is folded in)
    EXPECT_EQ(timers.count(), 1);
    EXPECT_EQ(any.count(), 1);

    manager->pauseAll();
    timers.clear();
    any.clear();
    manager->tick();
    EXPECT_EQ(timers.count(), 0);
    EXPECT_EQ(any.count(), 0);
}

TEST_F(TimerManagerTest, TheTickTimerRunsExactlyWhileSomeTimerRuns) {
    make();
    EXPECT_FALSE(manager->isTicking());
    const auto idle = manager->addTimer(QStringLiteral("idle"), 10, false);
    EXPECT_FALSE(manager->isTicking());
    const auto quick = manager->addTimer(QStringLiteral("quick"), 1, true);
    EXPECT_TRUE(manager->isTicking());
    manager->start(*idle);
    manager->pause(*idle);
    EXPECT_TRUE(manager->isTicking());
    manager->tick(); // the last running timer completes
    EXPECT_EQ(current(quick->id).state, TimerState::finished);
    EXPECT_FALSE(manager->isTicking());
    manager->toggle(*idle);
    EXPECT_TRUE(manager->isTicking());
    manager->removeTimer(*idle);
    EXPECT_FALSE(manager->isTicking());
}

// ---- Primary timer ----

TEST_F(TimerManagerTest, ThePrimaryTimerIsTheFirstRunningElseTheFirstPaused) {
    make();
    EXPECT_FALSE(manager->primaryTimer().has_value());
    const auto finished = manager->addTimer(QStringLiteral("finished"), 1, true);
    manager->tick();
    const auto p1 = manager->addTimer(QStringLiteral("p1"), 50, true);
    const auto p2 = manager->addTimer(QStringLiteral("p2"), 50, true);
    const auto r1 = manager->addTimer(QStringLiteral("r1"), 50, false);
    const auto r2 = manager->addTimer(QStringLiteral("r2"), 50, true);
    EXPECT_FALSE(manager->primaryTimer()->id == finished->id);
    manager->pause(*p1);
    manager->pause(*p2);
    manager->start(*r1);
    EXPECT_EQ(manager->primaryTimer()->id, r1->id);
    manager->pause(*r1);
    EXPECT_EQ(manager->primaryTimer()->id, r2->id);
    manager->pause(*r2);
    EXPECT_EQ(manager->primaryTimer()->id, p1->id);
    manager->removeTimer(*p1);
    EXPECT_EQ(manager->primaryTimer()->id, p2->id);
}

TEST_F(TimerManagerTest, TogglePrimaryReturnsThePrimaryAsItWasButTheFallbackAsItIs) {
    make();
    const auto made = manager->togglePrimary();
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(made->title, QString());
    EXPECT_EQ(made->totalDuration, 1500);
    EXPECT_EQ(made->state, TimerState::running);

    const auto before = manager->togglePrimary(); // the running primary, reported before it paused
    EXPECT_EQ(before->state, TimerState::running);
    EXPECT_EQ(current(made->id).state, TimerState::paused);

    manager->reset(*made); // now nothing is primary: the first timer is toggled and reported after
    const auto after = manager->togglePrimary();
    EXPECT_EQ(after->state, TimerState::running);
    EXPECT_EQ(manager->timers().size(), 1);
}

TEST_F(TimerManagerTest, ResetPrimaryFallsBackToTheFirstTimerInAnyState) {
    make();
    manager->resetPrimary(); // empty list: nothing
    EXPECT_TRUE(manager->timers().isEmpty());

    const auto a = manager->addTimer(QStringLiteral("a"), 1, true);
    const auto b = manager->addTimer(QStringLiteral("b"), 1, true);
    manager->tick();
    manager->resetPrimary();
    EXPECT_EQ(current(a->id).state, TimerState::idle);
    EXPECT_EQ(current(a->id).remaining, 1);
    EXPECT_EQ(current(b->id).state, TimerState::finished);

    const auto c = manager->addTimer(QStringLiteral("c"), 9, true);
    manager->tick();
    manager->resetPrimary();
    EXPECT_EQ(current(c->id).state, TimerState::idle);
    EXPECT_EQ(current(c->id).remaining, 9);
}

// ---- Saving and restoring the list ----

TEST_F(TimerManagerTest, ChangesAreSavedOnceShortlyAfterwardsInTheBackground) {
    make();
    manager->setSaveDelay(0);
    const auto a = manager->addTimer(QStringLiteral("a"), 30, true);
    manager->pause(*a);
    manager->start(*a);
    EXPECT_TRUE(persistence.backgroundActiveTimerSaves.isEmpty());
    QCoreApplication::processEvents();
    ASSERT_EQ(persistence.backgroundActiveTimerSaves.size(), 1);
    EXPECT_EQ(persistence.backgroundActiveTimerSaves.last(), manager->timers());

    manager->reset(*a);
    QCoreApplication::processEvents();
    ASSERT_EQ(persistence.backgroundActiveTimerSaves.size(), 2);
    EXPECT_EQ(persistence.backgroundActiveTimerSaves.last().first().state, TimerState::idle);

    manager->removeTimer(*a);
    QCoreApplication::processEvents();
    ASSERT_EQ(persistence.backgroundActiveTimerSaves.size(), 3);
    EXPECT_TRUE(persistence.backgroundActiveTimerSaves.last().isEmpty());
    EXPECT_TRUE(persistence.activeTimerSaves.isEmpty()); // the synchronous save is for quitting only
}

TEST_F(TimerManagerTest, ACompletionIsSavedShortlyAfterwards) {
    make();
    manager->setSaveDelay(0);
    manager->addTimer(QStringLiteral("a"), 1, true);
    QCoreApplication::processEvents();
    manager->tick();
    QCoreApplication::processEvents();
    ASSERT_EQ(persistence.backgroundActiveTimerSaves.size(), 2);
    EXPECT_EQ(persistence.backgroundActiveTimerSaves.last().first().state, TimerState::finished);
}

TEST_F(TimerManagerTest, RunningTimersAreSavedEverySixtyTicks) {
    make();
    manager->addTimer(QStringLiteral("long"), 10'000, true);
    ticks(59);
    EXPECT_TRUE(persistence.backgroundActiveTimerSaves.isEmpty());
    manager->tick();
    ASSERT_EQ(persistence.backgroundActiveTimerSaves.size(), 1);
    EXPECT_EQ(persistence.backgroundActiveTimerSaves.last().first().remaining, 10'000 - 60);
    ticks(60);
    EXPECT_EQ(persistence.backgroundActiveTimerSaves.size(), 2);
}

TEST_F(TimerManagerTest, SaveStateWritesTheWholeListNowAndDropsThePendingSave) {
    make();
    manager->setSaveDelay(0);
    manager->addTimer(QStringLiteral("a"), 5, true);
    manager->addTimer(QStringLiteral("b"), 5, false);
    manager->saveState();
    QCoreApplication::processEvents();
    EXPECT_TRUE(persistence.backgroundActiveTimerSaves.isEmpty());
    ASSERT_EQ(persistence.activeTimerSaves.size(), 1);
    EXPECT_EQ(persistence.activeTimerSaves.first(), manager->timers());
}

TEST_F(TimerManagerTest, RestoreReplacesTheListOnceAndClearsTheKeyEitherWay) {
    make();
    manager->restoreState();
    EXPECT_TRUE(manager->timers().isEmpty());
    EXPECT_EQ(persistence.clearActiveTimersCount, 1);

    const QList<TimerItem> saved = {stored(TimerState::paused, 60, 42), stored(TimerState::finished, 5, 0)};
    persistence.activeTimers = saved;
    make();
    QSignalSpy spy(manager.get(), &TimerManager::timersChanged);
    manager->restoreState();
    EXPECT_EQ(manager->timers(), saved);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(persistence.clearActiveTimersCount, 2);
    EXPECT_TRUE(persistence.activeTimers.isEmpty());
    EXPECT_EQ(manager->primaryTimer()->id, saved.first().id);
    EXPECT_FALSE(manager->isTicking());
}

TEST_F(TimerManagerTest, ARestoredNegativeLengthReadsAsZeroAndCompletes) {
    TimerItem broken = stored(TimerState::paused, 60, -20);
    makeWith({broken});
    EXPECT_EQ(current(broken.id).remaining, 0);
    manager->start(broken);
    manager->tick();
    EXPECT_EQ(current(broken.id).state, TimerState::finished);
}

TEST_F(TimerManagerTest, RestoredDuplicateIdsActOnTheFirstUntilItIsRemoved) {
    TimerItem first = stored(TimerState::paused, 60, 60, QStringLiteral("first"));
    TimerItem second = first;
    second.title = QStringLiteral("second");
    makeWith({first, second});
    manager->start(first.id);
    EXPECT_EQ(manager->timers()[0].state, TimerState::running);
    EXPECT_EQ(manager->timers()[1].state, TimerState::paused);
    manager->removeTimer(first.id);
    EXPECT_EQ(current(first.id).title, QStringLiteral("second"));
}

// ---- Scheduled timers start through the manager ----

TEST_F(TimerManagerTest, ADueScheduledEntryStartsARunningCountdown) {
    ScheduledTimer entry{QUuid::createUuid(), now.addSecs(5), 600, QStringLiteral("standup"), true};
    persistence.scheduledTimers = {entry};
    make();
    manager->schedule().checkScheduledTimers();
    ASSERT_EQ(manager->timers().size(), 1);
    EXPECT_EQ(manager->timers().first().title, QStringLiteral("standup"));
    EXPECT_EQ(manager->timers().first().totalDuration, 600);
    EXPECT_TRUE(manager->isTicking());
}

} // namespace
