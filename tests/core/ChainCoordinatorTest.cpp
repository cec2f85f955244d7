// Task chains on a real timer list: step timers, completion, cancel, the published values, blank names.
#include "TimerManagerFixture.h"

#include "core/ChainCoordinator.h"

#include <QSignalSpy>

#include <limits>

namespace {

using namespace Qt::StringLiterals;

using Row = ChainCoordinator::StepRow;

// The four published values as an observer reads them when any of them changes.
struct Snapshot {
    bool isRunning;
    QString chainName;
    qsizetype currentStepIndex;
    qsizetype totalSteps;
    bool operator==(const Snapshot&) const = default;
    friend void PrintTo(const Snapshot& s, std::ostream* os) {
        *os << "{" << s.isRunning << ", \"" << s.chainName.toStdString() << "\", " << s.currentStepIndex
            << ", " << s.totalSteps << "}";
    }
};

class ChainCoordinatorTest : public TimerManagerFixture {
protected:
    QStringList journal; // every notification, in order
    std::unique_ptr<ChainCoordinator> coordinator;
    QList<Snapshot> snapshots;

    void SetUp() override {
        notification.journal = &journal;
        make();
        coordinator = std::make_unique<ChainCoordinator>(manager.get(), notification, clock);
        // As the application wires it: every finished timer reaches the coordinator.
        manager->onTimerComplete = [this](const QUuid& id) { coordinator->onTimerCompleted(id); };
        QObject::connect(coordinator.get(), &ChainCoordinator::changed, [this] { snapshots << snapshot(); });
    }
    void TearDown() override {
        coordinator.reset();
        manager.reset();
    }

    Snapshot snapshot() const {
        return {coordinator->isRunning(), coordinator->chainName(), coordinator->currentStepIndex(),
                coordinator->totalSteps()};
    }
    void startChain(const QString& name, const QList<Row>& rows) {
        ASSERT_EQ(coordinator->start(name, rows), std::nullopt);
    }
    TimerItem activeTimer() const {
        const auto id = coordinator->activeStepTimerID();
        EXPECT_TRUE(id.has_value());
        const auto item = id ? manager->timer(*id) : std::nullopt;
        EXPECT_TRUE(item.has_value());
        return item.value_or(TimerItem{});
    }
    // Each timer of the list as "title state".
    QStringList listed() const {
        QStringList out;
        for (const TimerItem& t : manager->timers()) {
            out << t.title + QLatin1Char(' ') + toRaw(t.state);
        }
        return out;
    }
};

const Snapshot resetValues{false, QString(), 0, 0};

// ---- Building and starting ----

TEST_F(ChainCoordinatorTest, RowsUnderAMinuteAreDroppedBlankStepsGetTheDefaultNameAndLengthsSaturate) {
    startChain(QStringLiteral("Morning"), {{QStringLiteral("forever"), std::numeric_limits<qint64>::max()},
                                           {QString(), 5},
                                           {QStringLiteral("Review"), 0},
                                           {QStringLiteral("Skip"), -3}});
    const QueueChain chain = *coordinator->engine().chain();
    ASSERT_EQ(chain.steps.size(), 2);
    EXPECT_GT(chain.steps[0].duration, 9.2e18) << "minutes × 60 saturates";
    EXPECT_EQ(chain.steps[1].name, QStringLiteral("ステップ"));
    EXPECT_DOUBLE_EQ(chain.steps[1].duration, 300);
    EXPECT_NE(chain.steps[0].id, chain.steps[1].id);
    EXPECT_EQ(snapshot(), (Snapshot{true, QStringLiteral("Morning"), 0, 2}));
    EXPECT_EQ(listed(), QStringList{u"forever running"_s}) << "only the first step has a timer";
    EXPECT_EQ(activeTimer().totalDuration, TimerManager::maxDuration) << "the manager clamps the length";
}

TEST_F(ChainCoordinatorTest, BlankMeansOnlySpacesAndTabsAndOtherNamesStayAsTyped) {
    const QString chainDefault = QStringLiteral("連続タスク"), stepDefault = QStringLiteral("ステップ");
    // Full-width and no-break spaces are spaces too; a line break is not.
    const std::pair<QString, bool> cases[] = {{QString(), true},         {u"   "_s, true},
                                              {u" \t "_s, true},         {u" \u3000 "_s, true},
                                              {u"\u00a0\u3000"_s, true}, {u"  Deep work  "_s, false},
                                              {u"\n"_s, false},          {u"\u3000\n"_s, false}};
    for (const auto& [typed, blank] : cases) {
        SCOPED_TRACE(typed.toStdString());
        startChain(typed, {{typed, 1}});
        EXPECT_EQ(coordinator->chainName(), blank ? chainDefault : typed);
        EXPECT_EQ(coordinator->engine().chain()->name, blank ? chainDefault : typed);
        EXPECT_EQ(activeTimer().title, blank ? stepDefault : typed);
        coordinator->cancel();
    }
}

// ---- Errors ----

TEST_F(ChainCoordinatorTest, AnEmptyChainIsReportedBeforeAnActiveOneAndNeitherChangesAnything) {
    EXPECT_EQ(coordinator->start(QStringLiteral("C"), {{QStringLiteral("a"), 0}, {QStringLiteral("b"), -1}}),
              QueueChainEngineError::emptyChain);
    EXPECT_EQ(coordinator->start(QStringLiteral("C"), {}), QueueChainEngineError::emptyChain);
    EXPECT_TRUE(snapshots.isEmpty());
    EXPECT_TRUE(manager->timers().isEmpty());
    EXPECT_EQ(coordinator->engine().state(), QueueChainState());

    startChain(QStringLiteral("First"), {{QStringLiteral("a"), 2}});
    const QUuid stepTimer = *coordinator->activeStepTimerID();
    snapshots.clear();
    EXPECT_EQ(coordinator->start(QStringLiteral("Second"), {{QStringLiteral("b"), 1}}),
              QueueChainEngineError::alreadyActive);
    EXPECT_EQ(coordinator->start(QStringLiteral("Second"), {{QStringLiteral("b"), 0}}),
              QueueChainEngineError::emptyChain);
    EXPECT_TRUE(snapshots.isEmpty());
    EXPECT_EQ(snapshot(), (Snapshot{true, QStringLiteral("First"), 0, 1}));
    EXPECT_EQ(coordinator->activeStepTimerID(), stepTimer);
    EXPECT_EQ(listed(), QStringList{u"a running"_s});
}

// ---- Running through the steps ----

TEST_F(ChainCoordinatorTest, EachStepTimerStartsWhenThePreviousFinishes) {
    startChain(QStringLiteral("Day"),
               {{QStringLiteral("Write"), 2}, {QString(), 1}, {QStringLiteral("Mail"), 1}});
    ticks(119);
    EXPECT_EQ(manager->timers().size(), 1);
    ticks(1);
    EXPECT_EQ(listed(), (QStringList{u"Write finished"_s, u"ステップ running"_s}));
    EXPECT_EQ(activeTimer().remaining, 60) << "a timer added during the tick waits for the next one";
    EXPECT_EQ(coordinator->engine().state(), QueueChainState(QueueChainState::running{1, now}));
    ticks(60);
    EXPECT_EQ(coordinator->currentStepIndex(), 2);
    EXPECT_EQ(activeTimer().title, QStringLiteral("Mail"));
    EXPECT_TRUE(notification.chainCompletions.isEmpty());
    ticks(60);
    EXPECT_EQ(snapshot(), resetValues);
    EXPECT_FALSE(coordinator->activeStepTimerID());
    EXPECT_EQ(coordinator->engine().state(), QueueChainState(QueueChainState::completed{}));
    EXPECT_EQ(listed(), (QStringList{u"Write finished"_s, u"ステップ finished"_s, u"Mail finished"_s}))
        << "finished step timers stay in the list";
    EXPECT_EQ(notification.chainCompletions, QStringList{u"Day"_s});
    EXPECT_EQ(journal, (QStringList{u"notification.postTimerComplete"_s, u"notification.postTimerComplete"_s,
                                    u"notification.postTimerComplete"_s,
                                    u"notification.scheduleQueueChainCompleted"_s}))
        << "the chain's notification follows the last timer's own";
}

TEST_F(ChainCoordinatorTest, StepsThatRanOutAsleepEndOnWakingAndTheNextRunsFromThen) {
    startChain(QStringLiteral("Day"), {{QStringLiteral("Write"), 2}, {QStringLiteral("Mail"), 1}});
    sleepThenTick(150'000);
    EXPECT_EQ(listed(), (QStringList{u"Write finished"_s, u"Mail running"_s}));
    EXPECT_EQ(activeTimer().remaining, 60);
    EXPECT_EQ(coordinator->engine().state(), QueueChainState(QueueChainState::running{1, now}));
    sleepThenTick(600'000);
    EXPECT_EQ(listed(), (QStringList{u"Write finished"_s, u"Mail finished"_s}));
    EXPECT_EQ(notification.chainCompletions, QStringList{u"Day"_s});
    EXPECT_EQ(notification.timerCompletions.size(), 2);
}

TEST_F(ChainCoordinatorTest, StartAndFinishPublishTheValuesInTheirOrder) {
    startChain(QStringLiteral("C"), {{QStringLiteral("a"), 1}, {QStringLiteral("b"), 1}});
    EXPECT_EQ(snapshots, (QList<Snapshot>{{false, QStringLiteral("C"), 0, 0},
                                          {false, QStringLiteral("C"), 0, 2},
                                          {false, QStringLiteral("C"), 0, 2},
                                          {true, QStringLiteral("C"), 0, 2}}))
        << "name, total, index, then running";
    ticks(60);
    snapshots.clear();
    QSignalSpy running(coordinator.get(), &ChainCoordinator::isRunningChanged);
    QSignalSpy name(coordinator.get(), &ChainCoordinator::chainNameChanged);
    QSignalSpy index(coordinator.get(), &ChainCoordinator::currentStepIndexChanged);
    QSignalSpy total(coordinator.get(), &ChainCoordinator::totalStepsChanged);
    ticks(60);
    EXPECT_EQ(snapshots, (QList<Snapshot>{{false, QStringLiteral("C"), 1, 2},
                                          {false, QString(), 1, 2},
                                          {false, QString(), 0, 2},
                                          {false, QString(), 0, 0}}))
        << "running, name, index, then total";
    EXPECT_EQ(QList({running.count(), name.count(), index.count(), total.count()}),
              QList<qsizetype>({1, 1, 1, 1}));
}

TEST_F(ChainCoordinatorTest, OtherTimersFinishingChangeNothing) {
    const QUuid plain = add("tea", 30).id;
    startChain(QStringLiteral("C"), {{QStringLiteral("a"), 1}, {QStringLiteral("b"), 1}});
    ticks(60);
    const QUuid firstStep = manager->timers().at(1).id;
    const QUuid secondStep = *coordinator->activeStepTimerID();
    ASSERT_EQ(current(plain).state, TimerState::finished);
    const Snapshot before = snapshot();
    snapshots.clear();
    // A finished plain timer, an earlier step's timer reported again, an id nobody knows.
    for (const QUuid& id : {plain, firstStep, QUuid::createUuid()}) {
        coordinator->onTimerCompleted(id);
    }
    EXPECT_TRUE(snapshots.isEmpty());
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(coordinator->activeStepTimerID(), secondStep);
    EXPECT_EQ(manager->timers().size(), 3);
}

// ---- Cancel ----

TEST_F(ChainCoordinatorTest, CancelRemovesOnlyTheCurrentStepTimerAndBeforeAnyChainOnlyResets) {
    add("tea", 9999);
    coordinator->cancel();
    EXPECT_EQ(snapshot(), resetValues);
    EXPECT_EQ(manager->timers().size(), 1);
    EXPECT_TRUE(notification.calls.isEmpty());

    startChain(QStringLiteral("C"),
               {{QStringLiteral("a"), 1}, {QStringLiteral("b"), 1}, {QStringLiteral("c"), 1}});
    ticks(120);
    ASSERT_EQ(coordinator->currentStepIndex(), 2);
    snapshots.clear();
    coordinator->cancel();
    EXPECT_EQ(listed(), (QStringList{u"tea running"_s, u"a finished"_s, u"b finished"_s}));
    EXPECT_TRUE(notification.chainCompletions.isEmpty());
    EXPECT_EQ(coordinator->engine().state(), QueueChainState(QueueChainState::cancelled{}));
    EXPECT_EQ(snapshot(), resetValues);
    EXPECT_FALSE(coordinator->activeStepTimerID());
    ticks(60);
    EXPECT_EQ(manager->timers().size(), 3) << "nothing starts after a cancel";
}

TEST_F(ChainCoordinatorTest, AStepThatRanOutInAStallEndsBeforeAStartOrCancelHandledDuringIt) {
    // The "Write" step of a two-step chain has 10 s left when the program stalls for 20 s; the press is
    // handled before the overdue tick.
    const struct {
        const char* behaviour;
        bool startAnother; // else cancel
        QStringList listedAfter;
        QStringList chainsCompleted;
    } rows[] = {
        {"the last step ended the chain, so another starts",
         true,
         {u"Write finished"_s, u"Read running"_s},
         {u"Day"_s}},
        {"a cancel ends the chain at the step that followed", false, {u"Write finished"_s}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        SetUp();
        notification.chainCompletions.clear();
        notification.timerCompletions.clear();
        const QList<Row> steps =
            row.startAnother ? QList<Row>{{u"Write"_s, 1}} : QList<Row>{{u"Write"_s, 1}, {u"Mail"_s, 1}};
        startChain(QStringLiteral("Day"), steps);
        ticks(50);
        elapsedMs += 20'000;
        if (row.startAnother) {
            EXPECT_EQ(coordinator->start(QStringLiteral("Next"), {{u"Read"_s, 1}}), std::nullopt);
        } else {
            coordinator->cancel();
        }
        EXPECT_EQ(listed(), row.listedAfter);
        EXPECT_EQ(notification.chainCompletions, row.chainsCompleted);
        EXPECT_EQ(notification.timerCompletions.size(), 1) << "the step that ran out rang once";
    }
}

// ---- A step without its timer ----

TEST_F(ChainCoordinatorTest, AStepTimerRemovedByTheUserLeavesTheChainWaitingUntilCancelled) {
    add("tea", 30);
    startChain(QStringLiteral("C"), {{QStringLiteral("a"), 1}, {QStringLiteral("b"), 1}});
    manager->removeTimer(*coordinator->activeStepTimerID());
    ticks(120);
    EXPECT_EQ(snapshot(), (Snapshot{true, QStringLiteral("C"), 0, 2}));
    coordinator->cancel();
    EXPECT_EQ(snapshot(), resetValues);
    EXPECT_EQ(listed(), QStringList{u"tea finished"_s}) << "cancel removes no other timer";
}

TEST_F(ChainCoordinatorTest, WithTheManagerGoneStepsAreNeitherStartedNorRemoved) {
    manager.reset();
    startChain(QStringLiteral("Late"), {{QStringLiteral("a"), 1}});
    EXPECT_TRUE(coordinator->isRunning());
    EXPECT_FALSE(coordinator->activeStepTimerID());
    coordinator->cancel();
    EXPECT_EQ(snapshot(), resetValues);
}

// ---- Observers acting synchronously ----

TEST_F(ChainCoordinatorTest, AChainStartedWhenTheLastOneEndsGetsExactlyOneStepTimer) {
    startChain(QStringLiteral("One"), {{QStringLiteral("a"), 1}});
    QObject::connect(coordinator.get(), &ChainCoordinator::isRunningChanged, [this] {
        if (!coordinator->isRunning() && coordinator->engine().state().isTerminal()) {
            EXPECT_EQ(coordinator->start(QStringLiteral("Two"), {{QStringLiteral("b"), 1}}), std::nullopt);
        }
    });
    ticks(60);
    EXPECT_EQ(listed(), (QStringList{u"a finished"_s, u"b running"_s}));
    EXPECT_EQ(snapshot(), (Snapshot{true, QStringLiteral("Two"), 0, 1})) << "the old chain's reset stops";
    EXPECT_EQ(activeTimer().title, QStringLiteral("b"));
}

TEST_F(ChainCoordinatorTest, ACancelFromAnObserverDuringStartIsNotUndone) {
    bool cancelled = false;
    QObject::connect(coordinator.get(), &ChainCoordinator::chainNameChanged, [&] {
        if (!cancelled && !coordinator->isRunning() && !coordinator->chainName().isEmpty()) {
            cancelled = true;
            coordinator->cancel();
        }
    });
    startChain(QStringLiteral("C"), {{QStringLiteral("a"), 1}});
    ASSERT_TRUE(cancelled);
    EXPECT_EQ(snapshot(), resetValues);
    EXPECT_TRUE(manager->timers().isEmpty());
    EXPECT_EQ(coordinator->engine().state(), QueueChainState(QueueChainState::cancelled{}));
}

} // namespace
