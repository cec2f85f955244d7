// The Pomodoro area's rules over a real engine: the four steps, which step the session is in, which tile may
// prepare, and what each click hands to the popover root.
#include "FocusFixture.h"

#include "ui/focus/PomodoroCardModel.h"
#include "ui/popover/MainViewModel.h"

TEST(PomodoroCardModelRulesTest, StepsShowFocusAndShortBreakInWholeMinutes) {
    const struct {
        const char* name;
        qint64 work, shortBreak, longBreak;
        qint64 focusMinutes, breakMinutes;
    } rows[] = {
        {"defaults", 1500, 300, 900, 25, 5},
        {"a long break of 40 minutes changes nothing", 1500, 300, 2400, 25, 5},
        {"seconds are cut, not rounded", 1559, 359, 900, 25, 5},
        {"under a minute still shows one", 30, 0, 900, 1, 1},
    };
    for (const auto& row : rows) {
        PomodoroConfig config;
        config.workDuration = row.work;
        config.shortBreakDuration = row.shortBreak;
        config.longBreakDuration = row.longBreak;
        const auto steps = PomodoroCardModel::steps(config);
        const QList<PomodoroSequenceStepData> expected = {
            {QStringLiteral("Focus"), row.focusMinutes, 1, true},
            {QStringLiteral("Break"), row.breakMinutes, 2, false},
            {QStringLiteral("Focus"), row.focusMinutes, 3, true},
            {QStringLiteral("Break"), row.breakMinutes, 4, false},
        };
        EXPECT_EQ(steps, expected) << row.name;
    }
}

TEST(PomodoroCardModelRulesTest, CurrentStepWalksTheRowEveryTwoRounds) {
    const struct {
        const char* name;
        PomodoroPhase phase;
        qint64 completed;
        int expected;
    } rows[] = {
        {"first focus", PomodoroPhase::work, 0, 0},
        {"break after one round", PomodoroPhase::shortBreak, 1, 1},
        {"focus after one round", PomodoroPhase::work, 1, 2},
        {"break after two rounds", PomodoroPhase::shortBreak, 2, 3},
        {"focus after two rounds starts the row again", PomodoroPhase::work, 2, 0},
        {"a long break marks a break tile", PomodoroPhase::longBreak, 3, 1},
        {"a long break after four rounds", PomodoroPhase::longBreak, 4, 3},
        {"a negative count counts as even", PomodoroPhase::work, -1, 0},
    };
    for (const auto& row : rows) {
        PomodoroSession session;
        session.isActive = true;
        session.currentPhase = row.phase;
        session.completedWorkCycles = row.completed;
        EXPECT_EQ(PomodoroCardModel::currentPomodoroStep(session), row.expected) << row.name;
    }
}

class PomodoroCardModelTest : public FocusFixture {
public:
    std::unique_ptr<PomodoroCardModel> model;

    void SetUp() override {
        settings.setPomAutoBreak(false);
        settings.setPomAutoWork(false);
        makeFocusRoot();
        model = std::make_unique<PomodoroCardModel>(*pomodoro, root->model());
    }
    void TearDown() override {
        model.reset();
        FocusFixture::TearDown();
    }

    QList<int> enabledOrdinals() const {
        QList<int> enabled;
        for (const auto& step : model->steps()) {
            if (model->canPreparePomodoroStep(step)) {
                enabled << step.ordinal;
            }
        }
        return enabled;
    }
    QList<int> runningOrdinals() const {
        QList<int> running;
        for (const auto& step : model->steps()) {
            if (model->isStepRunning(step)) {
                running << step.ordinal;
            }
        }
        return running;
    }
    // Finishes the phase that runs; with automatic starts off the next one waits.
    void finishPhase() { runOut(*pomodoro->activeTimerID()); }
};

TEST_F(PomodoroCardModelTest, TilesFollowTheSessionThroughItsPhases) {
    const struct {
        const char* name;
        std::function<void(PomodoroCardModelTest&)> act;
        QList<int> enabled;
        QList<int> running;
    } rows[] = {
        {"without a session only the first tile may prepare", [](auto&) {}, {1}, {}},
        {"a running focus phase enables nothing and marks the first",
         [](auto& t) { t.pomodoro->startSession(); },
         {},
         {1}},
        {"a paused phase still enables nothing", [](auto& t) { t.pomodoro->pauseSession(); }, {}, {1}},
        {"the finished focus leaves the break waiting on the second",
         [](auto& t) {
             t.pomodoro->resumeSession();
             t.finishPhase();
         },
         {2},
         {2}},
        {"the started break enables nothing", [](auto& t) { t.pomodoro->startPendingPhase(); }, {}, {2}},
        {"the second focus waits on the third", [](auto& t) { t.finishPhase(); }, {3}, {3}},
        {"stopping ends the marks and offers the first again",
         [](auto& t) { t.model->stopSession(); },
         {1},
         {}},
    };
    for (const auto& row : rows) {
        row.act(*this);
        EXPECT_EQ(enabledOrdinals(), row.enabled) << row.name;
        EXPECT_EQ(runningOrdinals(), row.running) << row.name;
    }
    EXPECT_FALSE(pomodoro->isActive());
}

TEST_F(PomodoroCardModelTest, ATilePreparesTheSessionsPhaseNotItsOwn) {
    settings.setPomWorkMinutes(50);
    settings.setPomShortBreakMinutes(7);
    settings.setPomLongBreakMinutes(20);
    settings.setPomCycles(1); // every focus round ends in a long break
    const struct {
        const char* name;
        std::function<void(PomodoroCardModelTest&)> act;
        const char* title;
        qint64 seconds;
    } rows[] = {
        {"the simple entry prepares the first focus", [](auto& t) { t.model->prepareFirstStep(); }, "Focus",
         3000},
        {"the waiting long break, from its tile",
         [](auto& t) {
             t.pomodoro->startSession();
             t.finishPhase();
             t.model->activateStep(t.model->currentPomodoroStep() + 1);
         },
         "Long Break", 1200},
    };
    for (const auto& row : rows) {
        root->cancelPreparation();
        row.act(*this);
        const auto& pending = root->model().pendingStartRequest();
        ASSERT_TRUE(pending.has_value()) << row.name;
        EXPECT_TRUE(root->model().isPomodoroPreparation()) << row.name;
        EXPECT_EQ(pending->title(), QString::fromLatin1(row.title)) << row.name;
        EXPECT_EQ(std::get<TimerStartRequest::duration>(pending->kind()).seconds, row.seconds) << row.name;
    }
    // Confirming starts the waiting phase, not a new session.
    const qint64 rounds = pomodoro->completedCycles();
    EXPECT_TRUE(root->model().confirmPreparation(*root->model().pendingStartRequest()));
    EXPECT_EQ(pomodoro->currentPhase(), PomodoroPhase::longBreak);
    EXPECT_EQ(pomodoro->completedCycles(), rounds);
    EXPECT_TRUE(pomodoro->activeTimerID().has_value());
}

TEST_F(PomodoroCardModelTest, ATileThatMayNotPrepareOpensItsPreviewInstead) {
    pomodoro->startSession();
    model->activateStep(3);
    EXPECT_FALSE(root->model().pendingStartRequest().has_value());
    EXPECT_EQ(model->previewedSequenceStepOrdinal(), 3);

    // Only the preview that is open is closed by its own closing.
    model->closePreview(2);
    EXPECT_EQ(model->previewedSequenceStepOrdinal(), 3);
    model->closePreview(3);
    EXPECT_EQ(model->previewedSequenceStepOrdinal(), std::nullopt);
}

TEST_F(PomodoroCardModelTest, AddTileLeavesTheNewSequenceWaitingOnThePresetsTab) {
    model->addOrManageSequence();
    EXPECT_EQ(root->focusCoordinator().focusedTab(), TarvolinTimerTab::presets);
    EXPECT_EQ(root->focusCoordinator().pendingPresetsAction(), PresetsPendingAction::createSequence);
}

TEST_F(PomodoroCardModelTest, StopRemovesThePhaseTimer) {
    pomodoro->startSession();
    const QUuid phase = *pomodoro->activeTimerID();
    model->stopSession();
    EXPECT_FALSE(pomodoro->isActive());
    EXPECT_FALSE(hasTimer(phase));
}
