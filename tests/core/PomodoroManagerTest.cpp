// Pomodoro phases and configuration, and sessions driven through a real timer manager.
#include "TimerManagerFixture.h"

#include "core/PomodoroManager.h"
#include "support/LogCapture.h"

#include <QSignalSpy>

#include <limits>

namespace {

using namespace Qt::StringLiterals;

using P = PomodoroPhase;

// ---- Phases and configuration ----

TEST(PomodoroPhaseTest, RawValuesRoundTripAndLabelsAreTheStoredTags) {
    QStringList labels, icons;
    for (const P phase : allPomodoroPhases()) {
        EXPECT_EQ(pomodoroPhaseFromRaw(toRaw(phase)), phase);
        labels << label(phase);
        icons << icon(phase);
    }
    EXPECT_EQ(labels, QStringList({u"Focus"_s, u"Short Break"_s, u"Long Break"_s}));
    EXPECT_EQ(icons, QStringList({u"brain"_s, u"cup.and.saucer"_s, u"cup.and.saucer"_s}));
    EXPECT_EQ(pomodoroPhaseFromRaw(QStringLiteral("Focus")), std::nullopt); // the label is not a raw value
    EXPECT_EQ(pomodoroPhaseFromRaw(QStringLiteral("Work")), std::nullopt);
}

QList<P> phasesAfterFocus(const PomodoroConfig& config, int rounds) {
    QList<P> result;
    for (int completed = 1; completed <= rounds; ++completed) {
        result << config.nextPhase(P::work, completed);
    }
    return result;
}

TEST(PomodoroConfigTest, NextPhaseFollowsTheLongBreakRhythm) {
    PomodoroConfig config;
    const P s = P::shortBreak, l = P::longBreak;
    EXPECT_EQ(phasesAfterFocus(config, 8), QList<P>({s, s, s, l, s, s, s, l}));
    EXPECT_EQ(config.nextPhase(P::work, 0), s);
    EXPECT_EQ(config.nextPhase(P::shortBreak, 4), P::work);
    EXPECT_EQ(config.nextPhase(P::longBreak, 4), P::work);
    for (qint64 cycles : {qint64(0), qint64(-3), std::numeric_limits<qint64>::min()}) {
        config.cyclesBeforeLongBreak = cycles; // counts as 1
        EXPECT_EQ(phasesAfterFocus(config, 3), QList<P>({l, l, l}));
    }
    config.longBreakEnabled = false;
    EXPECT_EQ(phasesAfterFocus(config, 4), QList<P>({s, s, s, s}));
}

TEST(PomodoroConfigTest, CodingNeedsEveryKeyWithItsType) {
    const PomodoroConfig config{3000, 600, 1200, 3, false, true, false};
    const QByteArray json = config.encode();
    EXPECT_EQ(json, QByteArray(R"({"workDuration":3000,"shortBreakDuration":600,"longBreakDuration":1200,)"
                               R"("cyclesBeforeLongBreak":3,"autoStartBreak":false,"autoStartWork":true,)"
                               R"("longBreakEnabled":false})"));
    EXPECT_EQ(PomodoroConfig::decode(json), config);
    for (const QByteArray& key : json.mid(1).split(',')) { // each "key":value, spoilt by renaming or retyping
        const QByteArray name = key.left(key.indexOf(':') + 1);
        SCOPED_TRACE(name.constData());
        EXPECT_EQ(PomodoroConfig::decode(QByteArray(json).replace(name, "\"other\":")), std::nullopt);
        EXPECT_EQ(PomodoroConfig::decode(QByteArray(json).replace(name, name + "\"1\",\"x\":")),
                  std::nullopt);
    }
    EXPECT_EQ(PomodoroConfig::decode("[]"), std::nullopt);
}

TEST(PomodoroConfigTest, DecodeReadsOneStrictObjectWithWholeNumbers) {
    const QByteArray valid = PomodoroConfig{3000, 600, 1200, 3, false, true, false}.encode();
    const auto withWork = [&valid](const QByteArray& text) {
        return QByteArray(valid).replace("3000", text);
    };
    const auto withMember = [&valid](const QByteArray& member) {
        return valid.chopped(1) + "," + member + "}";
    };
    const QByteArray deepest(256, '['), deepestEnd(256, ']');
    struct Row {
        const char* behaviour;
        QByteArray document;
        std::optional<qint64> work; // none: refused
    };
    const Row rows[] = {
        {"a leading byte-order mark is passed over", "\xEF\xBB\xBF" + valid, 3000},
        {"white space around is allowed", " \r\n\t" + valid + "\n ", 3000},
        {"text after the object is refused", valid + "x", std::nullopt},
        {"a second value is refused", valid + "{}", std::nullopt},
        {"a NUL after the object is refused", valid + QByteArray(1, '\0'), std::nullopt},
        {"a repeated key: the last value counts", QByteArray(valid).replace("{", "{\"workDuration\":\"x\","),
         3000},
        {"a repeated key whose last value is wrong", withMember("\"workDuration\":\"x\""), std::nullopt},
        {"a repeated flag set to null", withMember("\"autoStartWork\":null"), std::nullopt},
        {"an integral floating value", withWork("1500.0"), 1500},
        {"an integral value with an exponent", withWork("1.5e3"), 1500},
        {"a fraction", withWork("1500.5"), std::nullopt},
        {"the largest 64-bit value", withWork("9223372036854775807"), std::numeric_limits<qint64>::max()},
        {"one past the largest 64-bit value", withWork("9223372036854775808"), std::nullopt},
        {"the largest unsigned 64-bit value", withWork("18446744073709551615"), std::nullopt},
        {"the smallest 64-bit value", withWork("-9223372036854775808"), std::numeric_limits<qint64>::min()},
        {"beyond a double", withWork("1e400"), std::nullopt},
        {"below a double reads as zero", withWork("1e-400"), 0},
        {"minus zero", withWork("-0"), 0},
        {"a number in text", withWork("\"1500\""), std::nullopt},
        {"a flag for a number", withWork("true"), std::nullopt},
        {"a number for a flag", QByteArray(valid).replace("true", "1"), std::nullopt},
        {"a leading zero", withWork("03000"), std::nullopt},
        {"unknown members of any kind are ignored", withMember(R"("x":{"a":[1,{"b":null}]},"y":"\u00e9")"),
         3000},
        {"unknown members nested 256 deep", withMember("\"x\":" + deepest + deepestEnd), 3000},
        {"unknown members nested deeper", withMember("\"x\":[" + deepest + deepestEnd + "]"), std::nullopt},
        {"a trailing comma", withMember("\"x\":1,"), std::nullopt},
        {"a lone surrogate escape", withMember(R"("x":"\ud800")"), std::nullopt},
        {"malformed UTF-8", withMember("\"x\":\"\xC3\x28\""), std::nullopt},
        {"an escaped key names the member",
         QByteArray(valid).replace("\"workDuration\"", "\"work\\u0044uration\""), 3000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const auto decoded = PomodoroConfig::decode(row.document);
        EXPECT_EQ(decoded.has_value(), row.work.has_value());
        if (decoded && row.work) {
            EXPECT_EQ(*decoded, (PomodoroConfig{*row.work, 600, 1200, 3, false, true, false}));
        }
    }
}

// ---- Sessions ----

class PomodoroManagerTest : public TimerManagerFixture {
protected:
    std::unique_ptr<PomodoroManager> pomodoro;

    void SetUp() override {
        make();
        pomodoro = std::make_unique<PomodoroManager>(persistence, notification, sound, history, settings);
        pomodoro->setTimerManager(manager.get());
        pomodoro->updateConfig(settings);
        manager->onTimerComplete = [this](const QUuid& id) { pomodoro->onTimerCompleted(id); };
    }

    TimerItem phaseTimer() const {
        EXPECT_TRUE(pomodoro->currentTimerID().has_value());
        return current(pomodoro->currentTimerID().value_or(QUuid()));
    }
    // Ticks the phase timer down to its completion.
    void finishPhase() { ticks(int(phaseTimer().remaining)); }
    void expectWaiting(P phase) const {
        EXPECT_TRUE(pomodoro->isActive());
        EXPECT_EQ(pomodoro->currentPhase(), phase);
        EXPECT_EQ(pomodoro->currentTimerID(), std::nullopt);
    }
    void expectRunning(P phase, qint64 length) const {
        const TimerItem timer = phaseTimer();
        EXPECT_EQ(pomodoro->currentPhase(), phase);
        EXPECT_EQ(timer.title, label(phase));
        EXPECT_EQ(timer.pomodoroPhase, label(phase));
        EXPECT_EQ(timer.totalDuration, length);
        EXPECT_EQ(timer.state, TimerState::running);
    }
};

TEST_F(PomodoroManagerTest, ADefaultCycleRunsFocusAndBreaksWithALongBreakAfterTheFourth) {
    pomodoro->startSession();
    expectRunning(P::work, 1500);
    for (int round = 1; round <= 4; ++round) {
        SCOPED_TRACE(round);
        finishPhase();
        EXPECT_EQ(pomodoro->completedCycles(), round);
        EXPECT_EQ(pomodoro->session().totalWorkSeconds, round * 1500);
        round < 4 ? expectRunning(P::shortBreak, 300) : expectRunning(P::longBreak, 900);
        finishPhase();
        expectWaiting(P::work); // focus never starts by itself by default
        pomodoro->startPendingPhase();
        expectRunning(P::work, 1500);
    }
    EXPECT_EQ(pomodoro->session().totalWorkSeconds, 6000);
    QList<SoundEvent> sounds;
    for (int round = 1; round <= 4; ++round) {
        sounds << SoundEvent::pomWorkStart << SoundEvent::timerComplete << SoundEvent::pomBreakStart
               << SoundEvent::timerComplete;
    }
    EXPECT_EQ(sound.events, sounds << SoundEvent::pomWorkStart);
    EXPECT_EQ(notification.pomodoroPhaseStarts,
              QList<P>({P::work, P::shortBreak, P::work, P::shortBreak, P::work, P::shortBreak, P::work,
                        P::longBreak, P::work}));
    EXPECT_EQ(manager->timers().size(), 9); // finished phase timers stay in the list like any other
}

TEST_F(PomodoroManagerTest, AutomaticStartsAndSoundFollowTheirSettingsButThePhaseIsAlwaysAnnounced) {
    settings.setPomAutoBreak(false);
    settings.setSoundEnabled(false);
    pomodoro->startSession();
    EXPECT_TRUE(sound.events.isEmpty());
    EXPECT_EQ(notification.pomodoroPhaseStarts, QList<P>({P::work}));
    finishPhase();
    expectWaiting(P::shortBreak);
    pomodoro->startPendingPhase();
    settings.setPomAutoWork(true);
    finishPhase();
    expectRunning(P::work, 1500);

    // Starting a pending phase does nothing while a phase timer exists, or without a session.
    const qsizetype count = manager->timers().size();
    pomodoro->startPendingPhase();
    pomodoro->stopSession();
    pomodoro->startPendingPhase();
    EXPECT_EQ(manager->timers().size(), count - 1);
}

TEST_F(PomodoroManagerTest, AFocusPhaseThatRanOutAsleepEndsOnWakingAndTheBreakRunsFromThen) {
    pomodoro->startSession();
    ticks(10);
    sleepThenTick(1'600'000); // the focus phase had 1,490 s left
    EXPECT_EQ(pomodoro->completedCycles(), 1);
    expectRunning(P::shortBreak, 300);
    EXPECT_EQ(phaseTimer().remaining, 300) << "not shortened by the time slept before the focus ended";
    EXPECT_EQ(notification.pomodoroPhaseStarts, QList<P>({P::work, P::shortBreak}));
    tick();
    EXPECT_EQ(phaseTimer().remaining, 299);
}

TEST_F(PomodoroManagerTest, AFocusPhaseThatRanOutInAStallEndsBeforeAPressHandledDuringIt) {
    // A one-minute focus phase has 10 s left when the program stalls for 20 s; the press is handled before
    // the overdue tick, and acts on the session as that tick leaves it: the focus counted, the break begun.
    const struct {
        const char* behaviour;
        void (PomodoroManager::*press)();
        qint64 cycles;
        std::optional<std::pair<TimerState, qint64>> phaseTimer; // none: no phase timer
        bool paused;
    } rows[] = {
        {"a pause holds the break", &PomodoroManager::pauseSession, 1, std::pair(TimerState::paused, 300),
         true},
        {"a skip passes over the break", &PomodoroManager::skipPhase, 1, std::nullopt, false},
        {"a stop leaves no phase timer running", &PomodoroManager::stopSession, 0, std::nullopt, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        SetUp();
        notification.timerCompletions.clear();
        settings.setPomWorkMinutes(1);
        pomodoro->startSession();
        ticks(50);
        elapsedMs += 20'000;
        (pomodoro.get()->*row.press)();
        EXPECT_EQ(notification.timerCompletions.size(), 1) << "the focus phase rang once";
        EXPECT_EQ(pomodoro->completedCycles(), row.cycles);
        EXPECT_EQ(pomodoro->session().isPaused, row.paused);
        const auto id = pomodoro->currentTimerID();
        EXPECT_EQ(id.has_value(), row.phaseTimer.has_value());
        if (id && row.phaseTimer) {
            EXPECT_EQ(status(*id), *row.phaseTimer);
        }
        EXPECT_FALSE(manager->isTicking()) << "no timer is left running behind the session's back";
    }
}

TEST_F(PomodoroManagerTest, SkippedFocusPhasesDoNotCountButMoveOn) {
    for (int i = 0; i < 3; ++i) {
        i == 0 ? pomodoro->startSession() : pomodoro->startPendingPhase();
        finishPhase();
        finishPhase();
    }
    pomodoro->startPendingPhase();
    const QUuid skipped = phaseTimer().id;
    pomodoro->skipPhase();
    EXPECT_EQ(manager->timer(skipped), std::nullopt);
    EXPECT_EQ(pomodoro->completedCycles(), 3);
    EXPECT_EQ(pomodoro->session().totalWorkSeconds, 4500);
    expectRunning(P::shortBreak, 300); // not the long break: the count passed on is still 3

    pomodoro->skipPhase(); // a skipped break waits for focus like a finished one
    expectWaiting(P::work);
    const QList<TimerItem> before = manager->timers();
    pomodoro->skipPhase(); // nothing to skip while waiting
    expectWaiting(P::work);
    EXPECT_EQ(manager->timers(), before);
}

TEST_F(PomodoroManagerTest, PauseAndResumeActOnThePhaseTimerOnlyWhileItAndTheManagerExist) {
    pomodoro->startSession();
    pomodoro->pauseSession();
    EXPECT_EQ(phaseTimer().state, TimerState::paused);
    EXPECT_TRUE(pomodoro->session().isPaused);
    pomodoro->resumeSession();
    EXPECT_EQ(phaseTimer().state, TimerState::running);
    EXPECT_FALSE(pomodoro->session().isPaused);

    manager->pause(phaseTimer()); // directly in the list: the session does not follow
    EXPECT_FALSE(pomodoro->session().isPaused);
    manager->removeTimer(phaseTimer());
    pomodoro->pauseSession();
    EXPECT_FALSE(pomodoro->session().isPaused);
    pomodoro->skipPhase(); // goes on without the timer
    expectRunning(P::shortBreak, 300);
    EXPECT_EQ(pomodoro->completedCycles(), 0);

    // A phase that ends while paused through the manager (resumed in the list, or skipped) leaves no pause
    // behind: the next phase has not been paused.
    pomodoro->pauseSession();
    manager->start(phaseTimer());
    finishPhase();
    expectWaiting(P::work);
    EXPECT_FALSE(pomodoro->session().isPaused);
    pomodoro->startPendingPhase();
    pomodoro->pauseSession();
    pomodoro->skipPhase();
    expectRunning(P::shortBreak, 300);
    EXPECT_FALSE(pomodoro->session().isPaused);

    manager.reset(); // the weak reference clears itself: nothing starts and stop still resets
    EXPECT_EQ(pomodoro->timerManager(), nullptr);
    pomodoro->pauseSession();
    EXPECT_FALSE(pomodoro->session().isPaused);
    pomodoro->stopSession();
    EXPECT_EQ(pomodoro->session(), PomodoroSession{});
    EXPECT_EQ(pomodoro->currentTimerID(), std::nullopt);
    pomodoro->startSession();
    EXPECT_TRUE(pomodoro->isActive());
    EXPECT_EQ(pomodoro->currentTimerID(), std::nullopt);
    EXPECT_EQ(notification.pomodoroPhaseStarts,
              QList<P>({P::work, P::shortBreak, P::work, P::shortBreak})); // none without a manager
}

TEST_F(PomodoroManagerTest, OtherCompletionsChangeNothingAndStopRemovesOnlyThePhaseTimer) {
    const TimerItem other = add("tea", 10);
    pomodoro->onTimerCompleted(other.id); // no session
    EXPECT_FALSE(pomodoro->isActive());
    pomodoro->startSession();
    const PomodoroSession before = pomodoro->session();
    const auto phaseId = pomodoro->currentTimerID();
    ticks(10);
    EXPECT_EQ(current(other.id).state, TimerState::finished);
    EXPECT_EQ(pomodoro->session(), before);
    EXPECT_EQ(pomodoro->currentTimerID(), phaseId);
    pomodoro->stopSession();
    EXPECT_EQ(manager->timers(), QList<TimerItem>({current(other.id)}));
    EXPECT_EQ(pomodoro->session(), PomodoroSession{});
    EXPECT_EQ(pomodoro->currentTimerID(), std::nullopt);

    pomodoro->startSession();
    finishPhase();
    finishPhase(); // waiting for focus: stopping leaves every timer
    const QList<TimerItem> waiting = manager->timers();
    pomodoro->stopSession();
    EXPECT_EQ(manager->timers(), waiting);
    EXPECT_EQ(pomodoro->session(), PomodoroSession{});
}

TEST_F(PomodoroManagerTest, SettingsChangedMidPhaseApplyFromTheNextPhase) {
    QSignalSpy configSpy(pomodoro.get(), &PomodoroManager::configChanged);
    pomodoro->startSession();
    settings.setPomWorkMinutes(50);
    EXPECT_EQ(configSpy.count(), 1);
    EXPECT_EQ(pomodoro->config().workDuration, 3000);
    EXPECT_EQ(phaseTimer().totalDuration, 1500);
    finishPhase();
    EXPECT_EQ(pomodoro->session().totalWorkSeconds, 3000); // the configured length, not the one that ran
    finishPhase();
    pomodoro->startPendingPhase();
    expectRunning(P::work, 3000);

    settings.setPomShortBreakMinutes(7);
    settings.setPomLongBreakMinutes(20);
    settings.setPomCycles(2);
    settings.setPomAutoBreak(false);
    settings.setPomAutoWork(true);
    settings.setPomLongBreakEnabled(false);
    EXPECT_EQ(pomodoro->config(), (PomodoroConfig{3000, 420, 1200, 2, false, true, false}));
    const qsizetype updates = configSpy.count();
    settings.setSoundEnabled(true); // a write that changes no Pomodoro value publishes nothing
    EXPECT_EQ(configSpy.count(), updates);
}

TEST_F(PomodoroManagerTest, HugeMinutesSaturateInsteadOfOverflowing) {
    constexpr qint64 most = std::numeric_limits<qint64>::max();
    settings.setPomWorkMinutes(most / 10);
    EXPECT_EQ(pomodoro->config().workDuration, most);
    settings.setPomShortBreakMinutes(-(most / 10));
    EXPECT_EQ(pomodoro->config().shortBreakDuration, std::numeric_limits<qint64>::min());
    pomodoro->startSession();
    EXPECT_EQ(phaseTimer().totalDuration, TimerManager::maxDuration);
    pomodoro->onTimerCompleted(phaseTimer().id);
    pomodoro->onTimerCompleted(phaseTimer().id); // the break: waits for focus
    pomodoro->startPendingPhase();
    pomodoro->onTimerCompleted(phaseTimer().id);
    EXPECT_EQ(pomodoro->session().totalWorkSeconds, most);
}

// A phase refused at the timer limit leaves the session waiting for it, with no id of an earlier timer
// behind, and reports no start.
TEST_F(PomodoroManagerTest, APhaseRefusedAtTheLimitWaitsAndReportsNothing) {
    persistence.activeTimers = filler(TimerManager::maxTimers);
    manager->restoreState();

    LogCapture log;
    QSignalSpy sessionSpy(pomodoro.get(), &PomodoroManager::sessionChanged);
    pomodoro->startSession();
    expectWaiting(P::work);
    EXPECT_EQ(sessionSpy.count(), 1);
    EXPECT_TRUE(notification.pomodoroPhaseStarts.isEmpty());
    EXPECT_TRUE(sound.events.isEmpty());

    manager->removeTimer(manager->timers().first());
    pomodoro->startPendingPhase();
    expectRunning(P::work, 1500);
    const QUuid focus = phaseTimer().id;
    finishPhase(); // the list is full again: the break is refused
    expectWaiting(P::shortBreak);
    EXPECT_EQ(pomodoro->completedCycles(), 1);
    EXPECT_EQ(notification.pomodoroPhaseStarts, QList<P>({P::work}));
    EXPECT_EQ(sound.events, QList<SoundEvent>({SoundEvent::pomWorkStart, SoundEvent::timerComplete}));
    EXPECT_EQ(log.lines(), QStringList(2, QStringLiteral("[TimerManager] Timer limit reached (999999)")));

    pomodoro->skipPhase();
    pomodoro->pauseSession();
    EXPECT_EQ(pomodoro->completedCycles(), 1);
    EXPECT_FALSE(pomodoro->session().isPaused);
    EXPECT_EQ(current(focus).state, TimerState::finished); // the finished focus timer is left alone

    manager->removeTimer(focus);
    pomodoro->startPendingPhase();
    expectRunning(P::shortBreak, 300);
    EXPECT_EQ(notification.pomodoroPhaseStarts, QList<P>({P::work, P::shortBreak}));
}

} // namespace
