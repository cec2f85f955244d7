// The timer list: transitions, limits, alarms, the tick and completion, the primary timer, saving.
#include "TimerManagerFixture.h"

#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <limits>

namespace {

using TimerManagerTest = TimerManagerFixture;
using IdOp = void (TimerManager::*)(const QUuid&);
using S = TimerState;

// ---- Transitions ----

TEST_F(TimerManagerTest, EachOperationMovesEachStateAsTheTableSays) {
    const S from[] = {S::idle, S::running, S::paused, S::finished};
    // Each operation (none: pauseAll) on a stored timer of 10 s with 7 s left in each state of `from`.
    const struct {
        IdOp op;
        std::pair<S, qint64> after[4];
    } table[] = {
        {&TimerManager::start, {{S::running, 10}, {S::running, 7}, {S::running, 7}, {S::running, 7}}},
        {&TimerManager::pause, {{S::idle, 7}, {S::paused, 7}, {S::paused, 7}, {S::finished, 7}}},
        {&TimerManager::toggle, {{S::running, 10}, {S::paused, 7}, {S::running, 7}, {S::running, 10}}},
        {&TimerManager::reset, {{S::idle, 10}, {S::idle, 10}, {S::idle, 10}, {S::idle, 10}}},
        {nullptr, {{S::idle, 7}, {S::paused, 7}, {S::paused, 7}, {S::finished, 7}}},
    };
    for (const auto& row : table) {
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(::testing::Message() << "row " << (&row - table) << " from " << int(from[i]));
            const TimerItem item = stored(from[i], 10, 7);
            makeWith({item});
            row.op ? (manager.get()->*row.op)(item.id) : manager->pauseAll();
            EXPECT_EQ(status(item.id), row.after[i]);
            EXPECT_EQ(manager->isTicking(), row.after[i].first == S::running);
        }
    }
}

TEST_F(TimerManagerTest, APhaseTagUnknownIdsAndRemovalsTouchNoOtherTimer) {
    make();
    const TimerItem a = add("a", 10), b = add("b", 20, false), c = add("Focus", 30);
    QSignalSpy spy(manager.get(), &TimerManager::timersChanged);
    manager->setPomodoroPhase(c.id, QStringLiteral("Focus"));
    EXPECT_EQ(current(c.id).pomodoroPhase, QStringLiteral("Focus"));
    EXPECT_EQ(current(a.id).pomodoroPhase, std::nullopt);
    const QList<TimerItem> before = manager->timers();
    const QUuid stranger = QUuid::createUuid();
    manager->setPomodoroPhase(stranger, QStringLiteral("Focus"));
    for (IdOp op : {IdOp(&TimerManager::start), &TimerManager::pause, &TimerManager::toggle,
                    &TimerManager::reset, &TimerManager::removeTimer}) {
        (manager.get()->*op)(stranger);
    }
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(manager->timers(), before);

    manager->removeTimer(b); // the others keep their order and are still found
    ASSERT_EQ(manager->timers().size(), 2);
    EXPECT_EQ(manager->timers()[1].id, c.id);
    manager->pause(c);
    tick();
    EXPECT_EQ(status(a.id), std::pair(S::running, qint64(9)));
    EXPECT_EQ(status(c.id), std::pair(S::paused, qint64(30)));
}

// ---- Limit and clamping ----

TEST_F(TimerManagerTest, TheLimitTakesTheLastTimerThenRefusesBothKindsWithTheirWarnings) {
    makeWith(filler(TimerManager::maxTimers - 1));
    LogCapture log;
    add("last", 60, false);
    EXPECT_FALSE(manager->addTimer(QStringLiteral("one more"), 60, true).has_value());
    EXPECT_FALSE(manager->addAlarm(QStringLiteral("alarm"), now.addSecs(600)).has_value());
    EXPECT_EQ(manager->timers().size(), TimerManager::maxTimers);
    EXPECT_EQ(log.lines(),
              QStringList({QStringLiteral("[TimerManager] Timer limit reached (999999)"),
                           QStringLiteral("[TimerManager] Timer limit reached on addAlarm (999999)")}));
    EXPECT_EQ(log.entries().first().level, TarvolinTimerLogger::Level::error); // warnings log as errors
}

TEST_F(TimerManagerTest, CountdownLengthsAreClampedToOneSecondAndNineHundredNinetyNineThousandDays) {
    make();
    const qint64 most = 86'399'913'600;
    for (const auto& [asked, made] : {std::pair<qint64, qint64>{0, 1},
                                      {-5, 1},
                                      {1, 1},
                                      {most, most},
                                      {1'000'000'000'000, most},
                                      {std::numeric_limits<qint64>::max(), most}}) {
        const TimerItem item = add("", asked, false);
        EXPECT_EQ(std::pair(item.totalDuration, item.remaining), std::pair(made, made)) << asked;
    }
}

// ---- Alarms ----

TEST_F(TimerManagerTest, AnAlarmNeedsOneWholeSecondThenFollowsTheClockRoundingUpAndCompletesAsAnAlarm) {
    make();
    EXPECT_FALSE(manager->addAlarm(QStringLiteral("soon"), now.addMSecs(500)).has_value());
    EXPECT_FALSE(manager->addAlarm(QStringLiteral("past"), now.addSecs(-30)).has_value());
    EXPECT_TRUE(manager->timers().isEmpty());

    const auto alarm = manager->addAlarm(QStringLiteral("call"), now.addMSecs(100'500));
    ASSERT_TRUE(alarm.has_value());
    EXPECT_EQ(alarm->totalDuration, 100); // its length is truncated
    EXPECT_EQ(alarm->state, S::running);
    // Each tick reads the clock, rounding up: 100.5 s, 99.8 s, then a jump (sleep, a time change) is
    // followed.
    for (const auto& [elapse, left] : {std::pair<qint64, qint64>{0, 101}, {700, 100}, {60'000, 40}}) {
        advance(elapse);
        tick();
        EXPECT_EQ(current(alarm->id).remaining, left);
    }
    QSignalSpy spy(manager.get(), &TimerManager::timersChanged);
    tick(); // same moment: nothing differs, nothing is written
    EXPECT_EQ(spy.count(), 0);

    advance(40'000);
    tick();
    EXPECT_EQ(current(alarm->id).state, S::finished);
    EXPECT_EQ(sound.events, QList<SoundEvent>({SoundEvent::alarmComplete}));
    EXPECT_EQ(notification.timerCompletions,
              QList({RecordingNotificationService::TimerComplete{QStringLiteral("call"), 100, true}}));
}

TEST_F(TimerManagerTest, APausedAlarmFreezesAndAResetOneRestartsOnItsTarget) {
    make();
    const auto alarm = manager->addAlarm(QString(), now.addSecs(30));
    tick();
    manager->pause(*alarm);
    advance(20'000);
    tick();
    EXPECT_EQ(status(alarm->id), std::pair(S::paused, qint64(30)));
    manager->reset(*alarm);
    EXPECT_EQ(status(alarm->id), std::pair(S::idle, qint64(30))); // its length when it was made
    advance(15'000);                                              // past the target
    manager->start(*alarm);
    tick();
    EXPECT_EQ(current(alarm->id).state, S::finished);
    EXPECT_EQ(history.entries.size(), 1);
}

// ---- Tick and completion ----

TEST_F(TimerManagerTest, CountdownsCompleteAtTheirNthTickFromTheLastTimerToTheFirst) {
    make();
    QList<QUuid> order;
    manager->onTimerComplete = [&](const QUuid& id) { order << id; };
    const TimerItem a = add("a", 1), idle = add("idle", 1, false), b = add("b", 1), three = add("three", 3),
                    c = add("c", 1);
    tick();
    EXPECT_EQ(order, QList<QUuid>({c.id, b.id, a.id}));
    EXPECT_EQ(current(idle.id).state, S::idle);
    ASSERT_EQ(history.entries.size(), 3);
    EXPECT_EQ(history.entries.first().title, QStringLiteral("a")); // the newest first
    EXPECT_EQ(history.entries.first().duration, 1);
    tick();
    EXPECT_EQ(status(three.id), std::pair(S::running, qint64(1)));
    manager->start(a); // a finished timer started again completes at the next tick
    EXPECT_EQ(current(a.id).remaining, 0);
    tick();
    EXPECT_EQ(order, QList<QUuid>({c.id, b.id, a.id, three.id, a.id}));
    EXPECT_EQ(current(three.id).remaining, 0);
}

TEST_F(TimerManagerTest, CompletionRunsFinishedSoundHistoryStatsNotificationThenHookAndReadsTheSoundSwitch) {
    make();
    QStringList journal;
    sound.journal = history.journal = notification.journal = &journal;
    const TimerItem item = add("focus", 2);
    manager->onTimerComplete = [&](const QUuid& id) {
        journal << QStringLiteral("hook");
        EXPECT_EQ(id, item.id);
        EXPECT_EQ(current(id).state, S::finished);
        EXPECT_EQ(manager->stats().todayTotalSeconds(), 2);
    };
    // The finish signal follows the hook at once; the tick's change set comes at its end.
    QObject::connect(manager.get(), &TimerManager::timerFinished, [&](const QUuid& id) {
        journal << QStringLiteral("timerFinished");
        EXPECT_EQ(id, item.id);
    });
    tick();
    QObject::connect(manager.get(), &TimerManager::timersChanged,
                     [&] { journal << QStringLiteral("timersChanged"); });
    tick();
    EXPECT_EQ(journal, QStringList({QStringLiteral("sound.play"), QStringLiteral("history.log"),
                                    QStringLiteral("notification.postTimerComplete"), QStringLiteral("hook"),
                                    QStringLiteral("timerFinished"), QStringLiteral("timersChanged")}));
    EXPECT_EQ(sound.events, QList<SoundEvent>({SoundEvent::timerComplete}));

    manager->onTimerComplete = nullptr;
    QObject::disconnect(manager.get(), nullptr, nullptr, nullptr);
    settings.setSoundEnabled(false); // read at each completion
    add("quiet", 1);
    tick();
    EXPECT_EQ(sound.events.size(), 1);
    EXPECT_EQ(notification.timerCompletions.size(), 2);
}

TEST_F(TimerManagerTest, AnUntitledRunIsLoggedAsZeroDisplayTimeAndANewDayCountsItOnce) {
    make(); // today's total computed for 14 May
    add("", 3600);
    now = QDateTime(QDate(2024, 5, 15), QTime(0, 30), Qt::LocalTime);
    ticks(3600);
    ASSERT_EQ(history.entries.size(), 1);
    EXPECT_EQ(history.entries.first().title, QStringLiteral("00:00"));
    EXPECT_EQ(history.entries.first().duration, 3600);
    EXPECT_EQ(notification.timerCompletions.first(),
              (RecordingNotificationService::TimerComplete{QString(), 3600, false}));
    // The new day is recomputed from the history, which already holds this run.
    EXPECT_EQ(manager->stats().todayTotalSeconds(), 3600);
}

TEST_F(TimerManagerTest, ATimerAddedOrResumedByTheHookIsCountedOnlyIfNotYetVisited) {
    make();
    const TimerItem waiting = add("waiting", 5, false);
    add("step", 1);
    std::optional<TimerItem> next;
    manager->onTimerComplete = [&](const QUuid&) {
        if (!next) {
            manager->start(waiting);
            next = manager->addTimer(QStringLiteral("next"), 1, true);
        }
    };
    tick();
    EXPECT_EQ(current(waiting.id).remaining, 4); // earlier in the list: not visited yet
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(status(next->id), std::pair(S::running, qint64(1))); // later: waits for the next tick
    tick();
    EXPECT_EQ(current(next->id).state, S::finished);
}

TEST_F(TimerManagerTest, AHookThatRemovesTimersNeitherSkipsNorRepeatsAVisitAndMayEmptyTheList) {
    make();
    const TimerItem x = add("x", 10), y = add("y", 10), done = add("done", 1), later = add("later", 10);
    int calls = 0;
    manager->onTimerComplete = [&](const QUuid&) {
        ++calls;
        manager->removeTimer(x);
        manager->removeTimer(y);
    };
    tick();
    ASSERT_EQ(manager->timers().size(), 2);
    EXPECT_EQ(current(done.id).state, S::finished);
    EXPECT_EQ(current(later.id).remaining, 9); // visited once, although it moved down two places

    add("a", 1);
    add("b", 1);
    manager->onTimerComplete = [&](const QUuid&) {
        ++calls;
        while (!manager->timers().isEmpty()) {
            manager->removeTimer(manager->timers().last());
        }
    };
    tick(); // b completes and empties the list: a is never reached
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(manager->timers().isEmpty());
    EXPECT_FALSE(manager->isTicking());
}

TEST_F(TimerManagerTest, ATickPublishesOnceAndNotAtAllWhenNothingRuns) {
    make();
    for (int i = 0; i < 5; ++i) {
        add("", i == 0 ? 1 : 100);
    }
    add("idle", 100, false);
    QSignalSpy timers(manager.get(), &TimerManager::timersChanged);
    QSignalSpy any(manager.get(), &TimerManager::changed);
    tick(); // four count down, one completes (its stats change is folded in)
    EXPECT_EQ(timers.count(), 1);
    EXPECT_EQ(any.count(), 1);
    manager->pauseAll();
    timers.clear();
    any.clear();
    tick();
    EXPECT_EQ(timers.count() + any.count(), 0);
}

TEST_F(TimerManagerTest, TheTickTimerRunsExactlyWhileSomeTimerRuns) {
    make();
    const TimerItem idle = add("idle", 10, false);
    EXPECT_FALSE(manager->isTicking());
    const TimerItem quick = add("quick", 1);
    manager->start(idle);
    manager->pause(idle);
    EXPECT_TRUE(manager->isTicking());
    tick(); // the last running timer completes
    EXPECT_EQ(current(quick.id).state, S::finished);
    EXPECT_FALSE(manager->isTicking());
    manager->toggle(idle);
    EXPECT_TRUE(manager->isTicking());
    manager->removeTimer(idle);
    EXPECT_FALSE(manager->isTicking());
}

// ---- Time that passed ----

TEST_F(TimerManagerTest, EachTickTakesOffTheWholeSecondsThatPassedAndCarriesTheRest) {
    make();
    const TimerItem tea = add("tea", 600);
    QSignalSpy spy(manager.get(), &TimerManager::timersChanged);
    const struct {
        const char* behaviour;
        qint64 afterMs;
        qint64 left;
        bool publishes;
    } rows[] = {
        {"a tick a little early takes one second", 980, 599, true},
        {"a tick a little late takes one second", 1030, 598, true},
        {"an on-time tick after them still takes one", 1000, 597, true},
        {"under half a second is owed, not taken, and nothing is published", 480, 597, false},
        {"and is taken with the next half", 510, 596, true},
        {"a tick held up half a second rounds to one", 1499, 595, true},
        {"the half second carried makes the next two", 1600, 593, true},
        {"a stall of ten seconds is spent, not dropped", 10'000, 583, true},
        {"five minutes asleep are spent", 300'000, 283, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        spy.clear();
        elapsedMs += row.afterMs;
        manager->tick();
        EXPECT_EQ(current(tea.id).remaining, row.left);
        EXPECT_EQ(spy.count(), row.publishes ? 1 : 0);
    }
}

TEST_F(TimerManagerTest, AGapCountsForRunningCountdownsOnlyAndWhatRanOutInItCompletesOnce) {
    make();
    const TimerItem tea = add("tea", 600), eggs = add("eggs", 60), held = add("held", 200);
    const auto alarm = manager->addAlarm(QStringLiteral("call"), now.addSecs(3 * 3600));
    manager->pause(held);
    sleepThenTick(300'000);
    EXPECT_EQ(status(tea.id), std::pair(S::running, qint64(300)));
    EXPECT_EQ(status(eggs.id), std::pair(S::finished, qint64(0)));
    EXPECT_EQ(status(held.id), std::pair(S::paused, qint64(200)));
    EXPECT_EQ(status(alarm->id), std::pair(S::running, qint64(10'500)));
    EXPECT_EQ(notification.timerCompletions,
              QList({RecordingNotificationService::TimerComplete{QStringLiteral("eggs"), 60, false}}));
    EXPECT_EQ(history.entries.size(), 1);

    // The wall clock set an hour forward and back again moves no countdown; the alarm follows it.
    for (const qint64 jump : {qint64(3'600'000), qint64(-3'600'000)}) {
        advance(jump);
        tick();
    }
    EXPECT_EQ(current(tea.id).remaining, 298);
    EXPECT_EQ(current(alarm->id).remaining, 10'500);
    EXPECT_EQ(notification.timerCompletions.size(), 1) << "each completion is told once";
}

TEST_F(TimerManagerTest, CatchingUpCompletesWhatRanOutAtOnceAndDoesNothingWhileNothingRuns) {
    make();
    QSignalSpy spy(manager.get(), &TimerManager::timersChanged);
    manager->catchUp();
    EXPECT_EQ(spy.count(), 0);
    const TimerItem soup = add("soup", 90), stew = add("stew", 3600);
    elapsedMs += 120'000; // woke up before the tick fired
    manager->catchUp();
    EXPECT_EQ(status(soup.id), std::pair(S::finished, qint64(0)));
    EXPECT_EQ(status(stew.id), std::pair(S::running, qint64(3480)));
    EXPECT_TRUE(manager->isTicking());
    manager->catchUp(); // at the same moment: nothing more is taken
    EXPECT_EQ(current(stew.id).remaining, 3480);
    EXPECT_EQ(notification.timerCompletions.size(), 1);
}

TEST_F(TimerManagerTest, AnOperationDuringAStallFirstSpendsTheOverdueTimeOnWhatRanMeanwhile) {
    // A 100 s countdown runs throughout, listed after the row's own timer (made by the row, or by the
    // operation). The program stalls `stallMs` after a tick; the operation is handled before the overdue
    // tick, which fires `afterMs` later.
    enum class Op { startOwn, addSixtySeconds, pauseAll, pauseOwn, togglePrimary };
    const struct {
        const char* behaviour;
        std::optional<std::pair<S, qint64>> own; // none: the operation adds it
        qint64 stallMs;
        Op op;
        qint64 afterMs;
        std::pair<S, qint64> ownAfter, otherAfter;
        qsizetype completions;
    } rows[] = {
        {"a paused countdown resumed is charged only from its resumption",
         std::pair(S::paused, 40),
         20'000,
         Op::startOwn,
         0,
         {S::running, 40},
         {S::running, 80},
         0},
        {"a countdown added near the end of a stall is charged what is left of it",
         std::nullopt,
         19'000,
         Op::addSixtySeconds,
         1000,
         {S::running, 59},
         {S::running, 80},
         0},
        {"pausing all keeps for each what the stall left it",
         std::pair(S::running, 40),
         20'000,
         Op::pauseAll,
         0,
         {S::paused, 20},
         {S::paused, 80},
         0},
        {"a countdown that ran out in the stall completes once before it could be paused",
         std::pair(S::running, 10),
         20'000,
         Op::pauseOwn,
         0,
         {S::finished, 0},
         {S::running, 80},
         1},
        {"the primary timer is chosen among what still runs after the stall",
         std::pair(S::running, 10),
         20'000,
         Op::togglePrimary,
         0,
         {S::finished, 0},
         {S::paused, 80},
         1},
        {"under a second after a tick nothing is overdue and nothing is taken early",
         std::pair(S::paused, 40),
         900,
         Op::startOwn,
         100,
         {S::running, 39},
         {S::running, 99},
         0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        notification.timerCompletions.clear();
        make();
        QUuid own;
        if (row.own) {
            own = add("own", row.own->second).id;
            if (row.own->first == S::paused) {
                manager->pause(own);
            }
        }
        const TimerItem other = add("other", 100);
        elapsedMs += row.stallMs;
        switch (row.op) {
        case Op::startOwn:
            manager->start(own);
            break;
        case Op::addSixtySeconds:
            own = add("new", 60).id;
            break;
        case Op::pauseAll:
            manager->pauseAll();
            break;
        case Op::pauseOwn:
            manager->pause(own);
            break;
        case Op::togglePrimary:
            manager->togglePrimary();
            break;
        }
        elapsedMs += row.afterMs;
        manager->tick();
        EXPECT_EQ(status(own), row.ownAfter);
        EXPECT_EQ(status(other.id), row.otherAfter);
        EXPECT_EQ(notification.timerCompletions.size(), row.completions);
        // The one-second rhythm goes on from there.
        tick();
        for (const auto& [id, before] : {std::pair(own, row.ownAfter), std::pair(other.id, row.otherAfter)}) {
            EXPECT_EQ(current(id).remaining, before.second - (before.first == S::running ? 1 : 0));
        }
    }
}

// ---- Primary timer ----

TEST_F(TimerManagerTest, ThePrimaryTimerIsTheFirstRunningElseTheFirstPaused) {
    make();
    EXPECT_FALSE(manager->primaryTimer().has_value());
    add("finished", 1);
    tick();
    const TimerItem p1 = add("p1", 50, false), p2 = add("p2", 50), r1 = add("r1", 50, false),
                    r2 = add("r2", 50);
    manager->pause(p2);
    manager->start(r1);
    EXPECT_EQ(manager->primaryTimer()->id, r1.id);
    manager->pause(r1);
    EXPECT_EQ(manager->primaryTimer()->id, r2.id);
    manager->pause(r2);
    EXPECT_EQ(manager->primaryTimer()->id, p2.id); // idle p1 and the finished timer never are
    manager->start(p1);
    manager->pause(p1);
    EXPECT_EQ(manager->primaryTimer()->id, p1.id);
    manager->removeTimer(p1);
    EXPECT_EQ(manager->primaryTimer()->id, p2.id);
}

TEST_F(TimerManagerTest, TogglePrimaryAndResetPrimaryFallBackToTheFirstTimer) {
    make();
    manager->resetPrimary();                    // empty list: nothing
    const auto made = manager->togglePrimary(); // empty list: a default untitled timer
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(made->title, QString());
    EXPECT_EQ(std::pair(made->state, made->totalDuration), std::pair(S::running, qint64(1500)));
    // The primary timer is reported as it was, before it paused; the fallback as it is, after.
    EXPECT_EQ(manager->togglePrimary()->state, S::running);
    EXPECT_EQ(current(made->id).state, S::paused);
    manager->reset(*made);
    EXPECT_EQ(manager->togglePrimary()->state, S::running);
    EXPECT_EQ(manager->timers().size(), 1);

    manager->removeTimer(*made);
    const TimerItem a = add("a", 1), b = add("b", 1);
    tick();
    manager->resetPrimary(); // a finished first timer
    EXPECT_EQ(status(a.id), std::pair(S::idle, qint64(1)));
    EXPECT_EQ(current(b.id).state, S::finished);
    const TimerItem c = add("c", 9);
    tick();
    manager->resetPrimary(); // the running one
    EXPECT_EQ(status(c.id), std::pair(S::idle, qint64(9)));
}

// ---- Saving and restoring the list ----

TEST_F(TimerManagerTest, ChangesAndCompletionsAreSavedOnceShortlyAfterwardsAndSaveStateWritesNow) {
    make();
    manager->setSaveDelay(0);
    const QList<QList<TimerItem>>& saves = persistence.backgroundActiveTimerSaves;
    const TimerItem a = add("a", 30);
    manager->pause(a);
    manager->start(a);
    EXPECT_TRUE(saves.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(saves, QList({manager->timers()}));
    manager->reset(a);
    QCoreApplication::processEvents();
    ASSERT_EQ(saves.size(), 2);
    EXPECT_EQ(saves.last().first().state, S::idle);
    manager->removeTimer(a);
    QCoreApplication::processEvents();
    ASSERT_EQ(saves.size(), 3);
    EXPECT_TRUE(saves.last().isEmpty());
    add("b", 1);
    QCoreApplication::processEvents();
    tick();
    QCoreApplication::processEvents();
    ASSERT_EQ(saves.size(), 5);
    EXPECT_EQ(saves.last().first().state, S::finished);
    EXPECT_TRUE(persistence.activeTimerSaves.isEmpty()); // the synchronous save is for quitting only

    add("c", 5, false);
    manager->saveState(); // writes the whole list now and drops the pending save
    QCoreApplication::processEvents();
    EXPECT_EQ(saves.size(), 5);
    EXPECT_EQ(persistence.activeTimerSaves, QList({manager->timers()}));
}

TEST_F(TimerManagerTest, RunningTimersAreSavedEverySixtyTicks) {
    make();
    add("long", 10'000);
    ticks(59);
    EXPECT_TRUE(persistence.backgroundActiveTimerSaves.isEmpty());
    tick();
    ASSERT_EQ(persistence.backgroundActiveTimerSaves.size(), 1);
    EXPECT_EQ(persistence.backgroundActiveTimerSaves.last().first().remaining, 10'000 - 60);
    ticks(60);
    EXPECT_EQ(persistence.backgroundActiveTimerSaves.size(), 2);
}

TEST_F(TimerManagerTest, RestoreReplacesTheListAndSavesItBackOrClearsAnEmptyOne) {
    make();
    manager->restoreState();
    EXPECT_TRUE(manager->timers().isEmpty());
    EXPECT_EQ(persistence.clearActiveTimersCount, 1);
    add("kept", 60, false); // nothing saved: the list stays as it is and no change is reported
    QSignalSpy unchanged(manager.get(), &TimerManager::timersChanged);
    manager->restoreState();
    EXPECT_EQ(manager->timers().size(), 1);
    EXPECT_EQ(unchanged.count(), 0);

    // The list is taken as loaded: the store gives each timer its own id and holds it to range.
    const QList<TimerItem> saved = {stored(S::paused, 60, 42), stored(S::finished, 5, 0),
                                    stored(S::paused, 60, 60, QStringLiteral("3rd"))};
    persistence.activeTimers = saved;
    make();
    QSignalSpy spy(manager.get(), &TimerManager::timersChanged);
    manager->restoreState();
    EXPECT_EQ(manager->timers(), saved);
    EXPECT_EQ(spy.count(), 1);
    // The stored copy is never removed while the list is held: its successor replaces it in one write.
    EXPECT_EQ(persistence.clearActiveTimersCount, 2);
    EXPECT_EQ(persistence.backgroundActiveTimerSaves, QList({saved}));
    EXPECT_EQ(manager->primaryTimer()->id, saved.first().id);
    EXPECT_FALSE(manager->isTicking());

    manager->start(saved[2].id);
    tick();
    EXPECT_EQ(manager->timers()[2].remaining, 59);
}

TEST_F(TimerManagerTest, ADueScheduledEntryStartsARunningCountdown) {
    persistence.scheduledTimers = {
        ScheduledTimer{QUuid::createUuid(), now.addSecs(5), 600, QStringLiteral("standup"), true}};
    make();
    manager->schedule().checkScheduledTimers();
    ASSERT_EQ(manager->timers().size(), 1);
    EXPECT_EQ(manager->timers().first().title, QStringLiteral("standup"));
    EXPECT_EQ(manager->timers().first().totalDuration, 600);
    EXPECT_TRUE(manager->isTicking());
}

} // namespace
