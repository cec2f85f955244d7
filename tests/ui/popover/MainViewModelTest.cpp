// The popover root without widgets: the one start path and the keyboard navigation, on a real engine.
#include "ui/popover/MainViewModel.h"

#include "PopoverFixture.h"

#include <QSignalSpy>

namespace {

using Key = MainViewModel::NavKey;
using Tab = TarvolinTimerTab;

class MainViewModelTest : public PopoverFixture {
protected:
    std::unique_ptr<MainViewModel> model;

    void make(const QList<TimerItem>& restored = {}) {
        makeEngine(restored);
        model = std::make_unique<MainViewModel>(*timers, *pomodoro);
    }
    void TearDown() override {
        model.reset();
        PopoverFixture::TearDown();
    }
    // The row selection as "s1", "p0" or "-".
    std::string row() const {
        const PopoverFocusCoordinator& c = model->focusCoordinator();
        if (c.selectedSequenceIndex()) {
            return "s" + std::to_string(*c.selectedSequenceIndex());
        }
        if (c.selectedPresetIndex()) {
            return "p" + std::to_string(*c.selectedPresetIndex());
        }
        return "-";
    }
};

} // namespace

TEST_F(MainViewModelTest, MapsKeysToWhatTheyDo) {
    const struct {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        Key nav;
    } rows[] = {
        {"Tab goes forwards", Qt::Key_Tab, Qt::NoModifier, Key::nextTab},
        {"Shift+Tab goes back", Qt::Key_Tab, Qt::ShiftModifier, Key::previousTab},
        {"Backtab goes back", Qt::Key_Backtab, Qt::ShiftModifier, Key::previousTab},
        {"Shift with Control on Tab still goes back", Qt::Key_Tab, Qt::ShiftModifier | Qt::ControlModifier,
         Key::previousTab},
        {"Control alone on Tab goes forwards", Qt::Key_Tab, Qt::ControlModifier, Key::nextTab},
        {"Down", Qt::Key_Down, Qt::NoModifier, Key::down},
        {"Up", Qt::Key_Up, Qt::NoModifier, Key::up},
        {"Left", Qt::Key_Left, Qt::NoModifier, Key::left},
        {"Right", Qt::Key_Right, Qt::NoModifier, Key::right},
        {"Return confirms", Qt::Key_Return, Qt::NoModifier, Key::confirm},
        {"keypad Enter confirms", Qt::Key_Enter, Qt::KeypadModifier, Key::confirm},
        {"a letter does nothing", Qt::Key_A, Qt::NoModifier, Key::other},
        {"Escape does nothing here", Qt::Key_Escape, Qt::NoModifier, Key::other},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(MainViewModel::navKeyFor(r.key, r.modifiers), r.nav) << r.name;
    }
}

TEST_F(MainViewModelTest, TabKeysWorkOnEveryTabAndOtherKeysOnlyOnPresets) {
    make();
    const struct {
        const char* name;
        Tab on;
        Key key;
        bool handled;
        Tab after;
        std::string rowAfter;
    } rows[] = {
        {"Tab on timers", Tab::timers, Key::nextTab, true, Tab::presets, "-"},
        {"Shift+Tab on timers wraps", Tab::timers, Key::previousTab, true, Tab::settings, "-"},
        {"Tab on settings wraps", Tab::settings, Key::nextTab, true, Tab::timers, "-"},
        {"Down on timers passes", Tab::timers, Key::down, false, Tab::timers, "-"},
        {"Return on settings passes", Tab::settings, Key::confirm, false, Tab::settings, "-"},
        {"Left on timers passes", Tab::timers, Key::left, false, Tab::timers, "-"},
        {"Down on presets selects the first sequence", Tab::presets, Key::down, true, Tab::presets, "s0"},
        {"Up on presets selects the last preset", Tab::presets, Key::up, true, Tab::presets, "p2"},
        {"Return with nothing selected passes", Tab::presets, Key::confirm, false, Tab::presets, "-"},
        {"other keys pass on presets too", Tab::presets, Key::other, false, Tab::presets, "-"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        model->focusCoordinator().focusTab(Tab::timers);
        model->focusCoordinator().focusTab(r.on);
        EXPECT_EQ(model->handleKeyNav(r.key), r.handled);
        EXPECT_EQ(model->focusCoordinator().focusedTab(), r.after);
        EXPECT_EQ(row(), r.rowAfter);
    }
}

TEST_F(MainViewModelTest, LeftAndRightWithoutAnActiveSequenceClearTheStepSelection) {
    make();
    const auto active = timers->activeSequence();
    ASSERT_TRUE(active.has_value()) << "a fresh engine has its first sequence active";
    model->focusCoordinator().focusTab(Tab::presets);
    EXPECT_TRUE(model->handleKeyNav(Key::left));
    EXPECT_EQ(model->focusCoordinator().selectedSequenceStepIndex(), active->steps.size() - 1);

    // Without an active sequence there are no steps: still handled, the selection cleared.
    persistence.sequences.clear();
    make();
    ASSERT_FALSE(timers->activeSequence().has_value());
    model->focusCoordinator().focusTab(Tab::presets);
    EXPECT_TRUE(model->handleKeyNav(Key::right));
    EXPECT_EQ(model->focusCoordinator().selectedSequenceStepIndex(), std::nullopt);
}

TEST_F(MainViewModelTest, ReturnOnAPresetRowPreparesItInsteadOfStartingIt) {
    make();
    model->focusCoordinator().focusTab(Tab::presets);
    const qsizetype sequences = timers->sequences().size();
    for (qsizetype i = 0; i <= sequences; ++i) {
        model->handleKeyNav(Key::down); // past the sequences onto the first preset
    }
    ASSERT_EQ(row(), "p0");
    QSignalSpy opened(model.get(), &MainViewModel::pendingStartRequestChanged);
    EXPECT_TRUE(model->handleKeyNav(Key::confirm));
    ASSERT_TRUE(model->pendingStartRequest().has_value());
    const TimerPreset& preset = timers->presets().first();
    EXPECT_EQ(model->pendingStartRequest()->title(), preset.name);
    EXPECT_EQ(model->pendingStartRequest()->kind(),
              TimerStartRequest::Kind(TimerStartRequest::duration{preset.durationInSeconds}));
    EXPECT_FALSE(model->isPomodoroPreparation());
    EXPECT_EQ(opened.count(), 1);
    EXPECT_TRUE(timers->timers().isEmpty()) << "nothing starts before the card is confirmed";
}

TEST_F(MainViewModelTest, ReturnOnSequencesAndStepsFollowsItsRules) {
    const struct {
        const char* name;
        std::vector<Key> before;
        bool removeLists; // the lists shrink after the selection was made
        bool handled;
        bool applies;
    } rows[] = {
        {"a sequence row applies that sequence", {Key::down, Key::down}, false, true, true},
        {"the first step of the active sequence applies it again", {Key::right}, false, true, true},
        {"another step is handled and does nothing", {Key::right, Key::right}, false, true, false},
        {"a row the list no longer has does nothing, handled", {Key::down, Key::down}, true, true, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        persistence = InMemoryPersistence();
        make();
        model->focusCoordinator().focusTab(Tab::presets);
        for (Key k : r.before) {
            model->handleKeyNav(k);
        }
        if (r.removeLists) {
            while (!timers->sequences().isEmpty()) {
                timers->removeSequence(timers->sequences().first());
            }
        }
        const qsizetype savesBefore = persistence.activeSequenceIDSaves.size();
        const std::string selected = row();
        EXPECT_EQ(model->handleKeyNav(Key::confirm), r.handled);
        const bool applied = persistence.activeSequenceIDSaves.size() > savesBefore;
        EXPECT_EQ(applied, r.applies);
        if (r.applies && selected == "s1") {
            EXPECT_EQ(timers->activeSequenceID(), timers->sequences().at(1).id);
        }
        EXPECT_FALSE(model->pendingStartRequest().has_value());
    }
}

TEST_F(MainViewModelTest, ConfirmingStartsQueuesOrKeepsTheCardOpen) {
    const struct {
        const char* name;
        bool queue;
        TimerStartRequest::Kind kind;
        bool atLimit;
        bool result;
        std::optional<TimerState> made;
    } rows[] = {
        {"a countdown starts running", false, TimerStartRequest::duration{300}, false, true,
         TimerState::running},
        {"a countdown queued waits idle", true, TimerStartRequest::duration{300}, false, true,
         TimerState::idle},
        {"an alarm starts as an alarm", false, TimerStartRequest::alarm{}, false, true, TimerState::running},
        {"an alarm cannot be queued", true, TimerStartRequest::alarm{}, false, false, std::nullopt},
        {"at the limit nothing starts", false, TimerStartRequest::duration{300}, true, false, std::nullopt},
        {"at the limit nothing is queued", true, TimerStartRequest::duration{300}, true, false, std::nullopt},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        make(r.atLimit ? filler(TimerManager::maxTimers) : QList<TimerItem>{});
        TimerStartRequest::Kind kind = r.kind;
        if (auto* a = std::get_if<TimerStartRequest::alarm>(&kind)) {
            a->date = now.addSecs(600);
        }
        const TimerStartRequest request(QUuid::createUuid(), QStringLiteral("Walk"), kind);
        model->prepare(request);
        const qsizetype before = timers->timers().size();
        const bool result = r.queue ? model->queuePreparation(request) : model->confirmPreparation(request);
        EXPECT_EQ(result, r.result);
        if (r.made) {
            ASSERT_EQ(timers->timers().size(), before + 1);
            const TimerItem& added = timers->timers().last();
            EXPECT_EQ(added.title, QStringLiteral("Walk"));
            EXPECT_EQ(added.state, *r.made);
            EXPECT_EQ(added.isAlarm, std::holds_alternative<TimerStartRequest::alarm>(kind));
            EXPECT_FALSE(model->pendingStartRequest().has_value()) << "success closes the card";
        } else {
            EXPECT_EQ(timers->timers().size(), before);
            EXPECT_EQ(model->pendingStartRequest(), request) << "a refusal keeps the same request open";
        }
    }
}

TEST_F(MainViewModelTest, APomodoroPhaseFollowsTheSessionNotTheRequest) {
    make();
    settings.setPomAutoBreak(false); // the break then waits to be started from the popover
    model->preparePomodoroStep();
    ASSERT_TRUE(model->pendingStartRequest().has_value());
    EXPECT_TRUE(model->isPomodoroPreparation());
    EXPECT_EQ(model->pendingStartRequest()->title(), QStringLiteral("Focus"));
    EXPECT_EQ(model->pendingStartRequest()->kind(),
              TimerStartRequest::Kind(TimerStartRequest::duration{pomodoro->config().workDuration}));

    // An edited length is not what starts: the session takes its own.
    const TimerStartRequest edited = model->pendingStartRequest()->adjusted(600);
    EXPECT_TRUE(model->confirmPreparation(edited));
    EXPECT_TRUE(pomodoro->isActive());
    EXPECT_EQ(pomodoro->completedCycles(), 0);
    ASSERT_TRUE(pomodoro->currentTimerID().has_value());
    EXPECT_EQ(timers->timer(*pomodoro->currentTimerID())->totalDuration, pomodoro->config().workDuration);
    EXPECT_FALSE(model->isPomodoroPreparation());
    EXPECT_FALSE(model->pendingStartRequest().has_value());

    // The focus phase ends; the session waits for its break, which the card then offers and Start starts.
    for (qint64 s = 0; s < pomodoro->config().workDuration; ++s) {
        now = now.addSecs(1);
        timers->tick();
    }
    ASSERT_TRUE(pomodoro->isActive());
    ASSERT_FALSE(pomodoro->currentTimerID().has_value());
    model->preparePomodoroStep();
    EXPECT_EQ(model->pendingStartRequest()->title(), QStringLiteral("Short Break"));
    EXPECT_EQ(model->pendingStartRequest()->kind(),
              TimerStartRequest::Kind(TimerStartRequest::duration{pomodoro->config().shortBreakDuration}));
    EXPECT_TRUE(model->confirmPreparation(*model->pendingStartRequest()));
    ASSERT_TRUE(pomodoro->currentTimerID().has_value());
    EXPECT_EQ(timers->timer(*pomodoro->currentTimerID())->title, QStringLiteral("Short Break"));
    EXPECT_EQ(pomodoro->completedCycles(), 1) << "the waiting phase starts; no new session";
}

TEST_F(MainViewModelTest, APomodoroStartRefusedAtTheLimitKeepsTheCard) {
    make(filler(TimerManager::maxTimers));
    model->preparePomodoroStep();
    const TimerStartRequest request = *model->pendingStartRequest();
    EXPECT_FALSE(model->confirmPreparation(request));
    EXPECT_EQ(model->pendingStartRequest(), request);
    EXPECT_TRUE(model->isPomodoroPreparation());
}

TEST_F(MainViewModelTest, PrepareReplacesAPendingRequestAndCancelDropsIt) {
    make();
    model->preparePomodoroStep();
    const TimerStartRequest second = countdown(60, "Tea");
    model->prepare(second);
    EXPECT_EQ(model->pendingStartRequest(), second);
    EXPECT_FALSE(model->isPomodoroPreparation()) << "an ordinary request is no Pomodoro phase";
    model->cancelPreparation();
    EXPECT_FALSE(model->pendingStartRequest().has_value());
    EXPECT_TRUE(timers->timers().isEmpty());
}

TEST_F(MainViewModelTest, ChainBuilderStateOutlivesATabSwitch) {
    make();
    QSignalSpy shown(model.get(), &MainViewModel::showChainBuilderChanged);
    model->setShowChainBuilder(true);
    model->setShowChainBuilder(true);
    model->handleKeyNav(Key::nextTab);
    model->handleKeyNav(Key::previousTab);
    EXPECT_TRUE(model->showChainBuilder());
    EXPECT_EQ(shown.count(), 1);
}
