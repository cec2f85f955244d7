// The timers tab's view model on a real engine: which timer is the hero as the engine moves, and where each
// control's action goes, Pomodoro phase timers included.
#include "HomeFixture.h"

#include "ui/home/TimerSelection.h"

#include <QSignalSpy>

namespace {

using S = TimerState;

class TimersTabModelTest : public HomeFixture {
public:
    std::unique_ptr<TimersTabModel> model;
    int taskChainRequests = 0;

    void makeModel(const QList<TimerItem>& list) {
        makeEngine(list);
        model = std::make_unique<TimersTabModel>(TimersTabModel::Dependencies{
            *timers,
            *pomodoro,
            modules,
            [this]() -> ChainCoordinator& { return coordinator(); },
            board,
            [this] { ++taskChainRequests; },
        });
    }
    ChainCoordinator& coordinator() {
        if (!chain) {
            chain = std::make_unique<ChainCoordinator>(timers.get(), notification, clock);
        }
        return *chain;
    }
    void TearDown() override {
        model.reset();
        HomeFixture::TearDown();
    }
    QStringList titles() const {
        QStringList t;
        for (const TimerItem& item : timers->timers()) {
            t << item.title + QLatin1Char(':') + toRaw(item.state);
        }
        return t;
    }
};

} // namespace

TEST_F(TimersTabModelTest, TellsAHeroChangeApartFromTheHerosOwnTick) {
    makeModel({timer(S::running, "A"), timer(S::idle, "B"), timer(S::running, "C")});
    const QUuid a = at(0).id;
    EXPECT_EQ(model->heroId(), a);
    QSignalSpy changed(model.get(), &TimersTabModel::heroChanged);
    QSignalSpy updated(model.get(), &TimersTabModel::heroUpdated);

    tick();
    EXPECT_EQ(changed.count(), 0) << "the hero stays the same timer";
    EXPECT_EQ(updated.count(), 1) << "one refresh per tick for the hero's row";

    timers->pause(a);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model->heroId(), at(2).id) << "the next running timer takes over";

    changed.clear();
    updated.clear();
    timers->start(at(1).id); // B now runs before C in list order
    EXPECT_EQ(model->heroId(), at(1).id);
    timers->removeTimer(at(1).id);
    timers->removeTimer(at(1).id);
    EXPECT_EQ(model->heroId(), a) << "only the paused A is left";
    timers->removeTimer(a);
    EXPECT_FALSE(model->heroId().has_value());
    EXPECT_FALSE(model->heroTimer().has_value()) << "the empty hero shows";
}

TEST_F(TimersTabModelTest, StopAndSkipGoWhereTheHeroBelongs) {
    const struct {
        const char* name;
        std::initializer_list<std::pair<const char*, S>> list;
        bool skip;
        std::initializer_list<const char*> after;
    } rows[] = {
        {"stop removes the hero only", {{"A", S::running}, {"B", S::idle}}, false, {"B:idle"}},
        {"skip starts the first queued timer after the new hero",
         {{"A", S::running}, {"B", S::idle}, {"C", S::idle}},
         true,
         {"B:idle", "C:running"}},
        {"skip with another running timer starts the idle one behind it",
         {{"A", S::running}, {"R", S::running}, {"B", S::idle}},
         true,
         {"R:running", "B:running"}},
        {"skip over running timers starts nothing new",
         {{"A", S::running}, {"R1", S::running}, {"R2", S::running}},
         true,
         {"R1:running", "R2:running"}},
        {"skip of the last unfinished timer leaves the empty hero",
         {{"A", S::paused}, {"F", S::finished}},
         true,
         {"F:finished"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        QList<TimerItem> list;
        for (const auto& [title, state] : r.list) {
            list << timer(state, title);
        }
        makeModel(list);
        r.skip ? model->skipHero() : model->stopHero();
        EXPECT_EQ(titles(), strings(r.after));
        model.reset();
        pomodoro.reset();
        timers.reset();
    }
}

TEST_F(TimersTabModelTest, PomodoroPhaseTimersStopAndSkipThroughTheSession) {
    makeModel({timer(S::idle, "Later")});
    pomodoro->startSession();
    const QUuid phase = pomodoro->activeTimerID().value();
    ASSERT_EQ(model->heroId(), phase) << "the running phase timer is the hero";

    model->skipHero();
    EXPECT_TRUE(pomodoro->isActive()) << "skip moves the session on instead of ending it";
    EXPECT_NE(pomodoro->currentPhase(), PomodoroPhase::work);
    EXPECT_FALSE(timers->timer(phase).has_value());
    EXPECT_EQ(at(0).state, S::idle) << "a skipped phase starts no queued timer";

    pomodoro->startPendingPhase();
    ASSERT_TRUE(pomodoro->activeTimerID().has_value());
    model->stopHero();
    EXPECT_FALSE(pomodoro->isActive()) << "stop ends the session";
    EXPECT_EQ(timers->timers().size(), 1);
}

TEST_F(TimersTabModelTest, APausedPhaseTimerBehindARunningTimerIsOrdinary) {
    makeModel({});
    pomodoro->startSession();
    pomodoro->pauseSession();
    const auto other = timers->addTimer(QStringLiteral("Other"), 60, true);
    ASSERT_EQ(model->heroId(), other->id);
    model->stopHero();
    EXPECT_TRUE(pomodoro->isActive());
    EXPECT_FALSE(timers->timer(other->id).has_value());
}

TEST_F(TimersTabModelTest, ControlsCallTheEngine) {
    makeModel({timer(S::idle, "A"), timer(S::paused, "B")});
    const struct {
        const char* name;
        std::function<void()> act;
        std::initializer_list<const char*> after;
    } rows[] = {
        {"the hero's button starts an idle hero", [this] { model->toggleHero(); }, {"A:running", "B:paused"}},
        {"and pauses it when running", [this] { model->toggleHero(); }, {"A:paused", "B:paused"}},
        {"a queue entry resumes a paused timer",
         [this] { model->toggleTimer(at(1).id); },
         {"A:paused", "B:running"}},
        {"cancel removes that timer only", [this] { model->cancelTimer(at(0).id); }, {"B:running"}},
        {"the empty hero's button adds a running 25-minute timer",
         [this] {
             timers->removeTimer(at(0).id);
             model->startEmptyHero();
         },
         {":running"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        r.act();
        EXPECT_EQ(titles(), strings(r.after));
    }
    EXPECT_EQ(at(0).totalDuration, 1500);
}

TEST_F(TimersTabModelTest, ToolRowActionsReachTheirOwners) {
    makeModel({});
    model->toggleFloatingWindow();
    EXPECT_EQ(posted, QStringList{QStringLiteral("quorvane.toggleFloating")});
    model->openTaskChain();
    EXPECT_EQ(taskChainRequests, 1);

    ASSERT_TRUE(model->isTaskChainEnabled());
    ASSERT_FALSE(coordinator().start(QStringLiteral("c"), {{QStringLiteral("s"), 5}}));
    EXPECT_FALSE(model->isTaskChainEnabled()) << "greyed out while a chain runs";
    model->openTaskChain();
    EXPECT_EQ(taskChainRequests, 1);

    modules.setVisible(false, ModuleID::chainEntry);
    EXPECT_FALSE(model->isChainEntryVisible());
}
