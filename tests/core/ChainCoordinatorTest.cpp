// Task chains on a real timer list: step timers, completion, cancel, the published values, blank names.
#include "core/AppSettings.h"
#include "core/ChainCoordinator.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "support/FakeServices.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace {

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

class ChainCoordinatorTest : public ::testing::Test {
protected:
    QDateTime now = QDateTime(QDate(2024, 5, 14), QTime(9, 0, 0), Qt::LocalTime);
    Clock clock = [this] { return now; };

    QStringList journal; // every service call, in order
    Preferences preferences;
    AppSettings settings{preferences};
    InMemoryPersistence persistence;
    RecordingNotificationService notification;
    RecordingSoundService sound;
    InMemoryHistory history{clock};
    std::unique_ptr<TimerManager> manager;
    std::unique_ptr<ChainCoordinator> coordinator;
    QList<Snapshot> snapshots;

    void SetUp() override {
        notification.journal = &journal;
        manager = std::make_unique<TimerManager>(persistence, notification, sound, history, settings, clock);
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
    void ticks(qint64 count) {
        for (qint64 i = 0; i < count; ++i) {
            now = now.addSecs(1);
            manager->tick();
        }
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
    QStringList titles() const {
        QStringList out;
        for (const TimerItem& t : manager->timers()) {
            out << t.title;
        }
        return out;
    }
    QList<TimerState> states() const {
        QList<TimerState> out;
        for (const TimerItem& t : manager->timers()) {
            out << t.state;
        }
        return out;
    }
};

const Snapshot resetValues{false, QString(), 0, 0};

// ---- Building and starting ----

TEST_F(ChainCoordinatorTest, RowsUnderAMinuteAreDroppedAndBlankStepsGetTheDefaultName) {
    startChain(QStringLiteral("Morning"), {{QStringLiteral("Write"), 25},
                                           {QString(), 5},
                                           {QStringLiteral("Review"), 0},
                                           {QStringLiteral("Skip"), -3}});
    const QueueChain chain = *coordinator->engine().chain();
    ASSERT_EQ(chain.steps.size(), 2);
    EXPECT_EQ(chain.steps[0].name, QStringLiteral("Write"));
    EXPECT_DOUBLE_EQ(chain.steps[0].duration, 1500);
    EXPECT_EQ(chain.steps[1].name, QStringLiteral("ステップ"));
    EXPECT_DOUBLE_EQ(chain.steps[1].duration, 300);
    EXPECT_NE(chain.steps[0].id, chain.steps[1].id);
    EXPECT_EQ(snapshot(), (Snapshot{true, QStringLiteral("Morning"), 0, 2}));

    ASSERT_EQ(manager->timers().size(), 1) << "only the first step has a timer";
    const TimerItem first = activeTimer();
    EXPECT_EQ(first.title, QStringLiteral("Write"));
    EXPECT_EQ(first.totalDuration, 1500);
    EXPECT_EQ(first.state, TimerState::running);
}

TEST_F(ChainCoordinatorTest, BlankMeansOnlySpacesAndTabsAndOtherNamesStayAsTyped) {
    const struct {
        QString typed, chainName, stepName;
    } cases[] = {
        {QString(), QStringLiteral("連続タスク"), QStringLiteral("ステップ")},
        {QStringLiteral("   "), QStringLiteral("連続タスク"), QStringLiteral("ステップ")},
        {QStringLiteral(" \t "), QStringLiteral("連続タスク"), QStringLiteral("ステップ")},
        {QStringLiteral("  Deep work  "), QStringLiteral("  Deep work  "), QStringLiteral("  Deep work  ")},
        {QStringLiteral("\n"), QStringLiteral("\n"), QStringLiteral("\n")},
        {QStringLiteral(" \u3000 "), QStringLiteral(" \u3000 "), QStringLiteral(" \u3000 ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        startChain(c.typed, {{c.typed, 1}});
        EXPECT_EQ(coordinator->chainName(), c.chainName);
        EXPECT_EQ(coordinator->engine().chain()->name, c.chainName);
        EXPECT_EQ(activeTimer().title, c.stepName);
        coordinator->cancel();
    }
}

TEST_F(ChainCoordinatorTest, DurationsBecomeWholeSecondsAndSaturate) {
    startChain(QStringLiteral("Huge"), {{QStringLiteral("forever"), std::numeric_limits<qint64>::max()}});
    EXPECT_GT(coordinator->engine().chain()->steps[0].duration, 9.2e18) << "minutes × 60 saturates";
    EXPECT_EQ(activeTimer().totalDuration, TimerManager::maxDuration) << "the manager clamps the length";
}

// ---- Errors ----

TEST_F(ChainCoordinatorTest, NoRowOfAMinuteIsEmptyChainAndChangesNothing) {
    EXPECT_EQ(coordinator->start(QStringLiteral("C"), {{QStringLiteral("a"), 0}, {QStringLiteral("b"), -1}}),
              QueueChainEngineError::emptyChain);
    EXPECT_EQ(coordinator->start(QStringLiteral("C"), {}), QueueChainEngineError::emptyChain);
    EXPECT_TRUE(snapshots.isEmpty());
    EXPECT_TRUE(manager->timers().isEmpty());
    EXPECT_EQ(coordinator->engine().state(), QueueChainState());
}

TEST_F(ChainCoordinatorTest, StartingWhileAChainRunsLeavesItUntouched) {
    startChain(QStringLiteral("First"), {{QStringLiteral("a"), 2}});
    const QUuid stepTimer = *coordinator->activeStepTimerID();
    snapshots.clear();

    EXPECT_EQ(coordinator->start(QStringLiteral("Second"), {{QStringLiteral("b"), 1}}),
              QueueChainEngineError::alreadyActive);
    EXPECT_EQ(coordinator->start(QStringLiteral("Second"), {{QStringLiteral("b"), 0}}),
              QueueChainEngineError::emptyChain)
        << "an empty chain is reported before an active one";
    EXPECT_TRUE(snapshots.isEmpty());
    EXPECT_EQ(snapshot(), (Snapshot{true, QStringLiteral("First"), 0, 1}));
    EXPECT_EQ(coordinator->activeStepTimerID(), stepTimer);
    EXPECT_EQ(titles(), QStringList{"a"});
}

// ---- Running through the steps ----

TEST_F(ChainCoordinatorTest, EachStepTimerStartsWhenThePreviousFinishes) {
    startChain(QStringLiteral("Day"),
               {{QStringLiteral("Write"), 2}, {QString(), 1}, {QStringLiteral("Mail"), 1}});
    const QUuid first = *coordinator->activeStepTimerID();

    ticks(119);
    EXPECT_EQ(manager->timers().size(), 1);
    ticks(1);
    EXPECT_EQ(titles(), (QStringList{"Write", "ステップ"}));
    EXPECT_EQ(states(), (QList<TimerState>{TimerState::finished, TimerState::running}));
    EXPECT_EQ(coordinator->currentStepIndex(), 1);
    EXPECT_EQ(activeTimer().remaining, 60) << "a timer added during the tick waits for the next one";
    EXPECT_EQ(coordinator->engine().state(), QueueChainState(QueueChainState::running{1, now}));

    ticks(60);
    EXPECT_EQ(coordinator->currentStepIndex(), 2);
    EXPECT_EQ(activeTimer().title, QStringLiteral("Mail"));
    EXPECT_NE(coordinator->activeStepTimerID(), first);
    EXPECT_TRUE(notification.chainCompletions.isEmpty());

    ticks(60);
    EXPECT_EQ(snapshot(), resetValues);
    EXPECT_FALSE(coordinator->activeStepTimerID());
    EXPECT_EQ(coordinator->engine().state(), QueueChainState(QueueChainState::completed{}));
    EXPECT_EQ(titles(), (QStringList{"Write", "ステップ", "Mail"}))
        << "finished step timers stay in the list";
    EXPECT_EQ(states(),
              (QList<TimerState>{TimerState::finished, TimerState::finished, TimerState::finished}));
    EXPECT_EQ(notification.chainCompletions, QStringList{"Day"});
    EXPECT_EQ(journal,
              (QStringList{"notification.postTimerComplete", "notification.postTimerComplete",
                           "notification.postTimerComplete", "notification.scheduleQueueChainCompleted"}))
        << "the chain's notification follows the last timer's own";
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
    EXPECT_EQ(running.count(), 1);
    EXPECT_EQ(name.count(), 1);
    EXPECT_EQ(index.count(), 1);
    EXPECT_EQ(total.count(), 1);
}

TEST_F(ChainCoordinatorTest, OtherTimersFinishingChangeNothing) {
    const QUuid plain = manager->addTimer(QStringLiteral("tea"), 30, true)->id;
    startChain(QStringLiteral("C"), {{QStringLiteral("a"), 1}, {QStringLiteral("b"), 1}});
    ticks(60);
    const QUuid firstStep = manager->timers().at(1).id;
    const QUuid secondStep = *coordinator->activeStepTimerID();
    ASSERT_EQ(manager->timer(plain)->state, TimerState::finished);
    const Snapshot before = snapshot();
    snapshots.clear();

    // A finished plain timer, an earlier step's timer reported again, an id nobody knows.
    coordinator->onTimerCompleted(plain);
    coordinator->onTimerCompleted(firstStep);
    coordinator->onTimerCompleted(QUuid::createUuid());
    EXPECT_TRUE(snapshots.isEmpty());
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(coordinator->activeStepTimerID(), secondStep);
    EXPECT_EQ(manager->timers().size(), 3);
}

// ---- Cancel ----

TEST_F(ChainCoordinatorTest, CancelRemovesOnlyTheCurrentStepTimer) {
    manager->addTimer(QStringLiteral("tea"), 9999, true);
    startChain(QStringLiteral("C"),
               {{QStringLiteral("a"), 1}, {QStringLiteral("b"), 1}, {QStringLiteral("c"), 1}});
    ticks(120);
    ASSERT_EQ(coordinator->currentStepIndex(), 2);
    const QUuid last = *coordinator->activeStepTimerID();
    snapshots.clear();

    coordinator->cancel();
    EXPECT_FALSE(manager->timer(last));
    EXPECT_EQ(titles(), (QStringList{"tea", "a", "b"}));
    EXPECT_EQ(states(), (QList<TimerState>{TimerState::running, TimerState::finished, TimerState::finished}));
    EXPECT_TRUE(notification.chainCompletions.isEmpty());
    EXPECT_EQ(coordinator->engine().state(), QueueChainState(QueueChainState::cancelled{}));
    EXPECT_EQ(snapshot(), resetValues);
    EXPECT_FALSE(coordinator->activeStepTimerID());

    ticks(60);
    EXPECT_EQ(manager->timers().size(), 3) << "nothing starts after a cancel";
}

TEST_F(ChainCoordinatorTest, CancelBeforeAnyChainOnlyResetsResetValues) {
    manager->addTimer(QStringLiteral("tea"), 60, true);
    coordinator->cancel();
    EXPECT_EQ(snapshot(), resetValues);
    EXPECT_EQ(manager->timers().size(), 1);
    EXPECT_TRUE(notification.calls.isEmpty());

    startChain(QStringLiteral("After"), {{QStringLiteral("a"), 1}});
    EXPECT_TRUE(coordinator->isRunning()) << "a cancelled engine starts again";
}

// ---- A step without its timer ----

TEST_F(ChainCoordinatorTest, AStepTimerRemovedByTheUserLeavesTheChainWaitingUntilCancelled) {
    const QUuid plain = manager->addTimer(QStringLiteral("tea"), 30, true)->id;
    startChain(QStringLiteral("C"), {{QStringLiteral("a"), 1}, {QStringLiteral("b"), 1}});
    manager->removeTimer(*coordinator->activeStepTimerID());

    ticks(120);
    EXPECT_EQ(snapshot(), (Snapshot{true, QStringLiteral("C"), 0, 2}));
    EXPECT_EQ(titles(), QStringList{"tea"});

    coordinator->cancel();
    EXPECT_EQ(snapshot(), resetValues);
    EXPECT_TRUE(manager->timer(plain)) << "cancel removes no other timer";
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
    EXPECT_EQ(titles(), (QStringList{"a", "b"}));
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
