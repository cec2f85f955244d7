// The floating window's view model: which timer it follows, what it writes under the time, its progress,
// and what a tap does, on a real engine.
#include "FloatingFixture.h"

#include "core/SettingsKeys.h"
#include "core/TimeDisplayStyle.h"
#include "theme/ThemeSettingsKeys.h"
#include "ui/floating/FloatingWindowModel.h"

#include <QSignalSpy>

#include <functional>

namespace {

using FloatingWindowModelTest = FloatingFixture;

} // namespace

TEST_F(FloatingWindowModelTest, ShowsTheRightTimerWithItsLabelAndProgress) {
    const QDateTime target = now.addSecs(3600);
    TimerItem alarm = timer("", 3600, 3600, TimerState::paused);
    alarm.isAlarm = true;
    alarm.alarmTargetTime = target;
    const struct {
        const char* behaviour;
        std::function<void(FloatingWindowModelTest&)> arrange;
        QString time;
        QString label;
        bool running;
        bool finished;
        double progress;
    } rows[] = {
        {"no timer: the engine's default length, nothing else", [](FloatingWindowModelTest&) {},
         QStringLiteral("25:00"), QString(), false, false, 0},
        {"idle timers are never shown",
         [](FloatingWindowModelTest& t) { t.makeEngine({t.timer("idle", 600, 600, TimerState::idle)}); },
         QStringLiteral("25:00"), QString(), false, false, 0},
        {"a running countdown with its title and elapsed part",
         [](FloatingWindowModelTest& t) {
             t.makeEngine(
                 {t.timer("idle", 60, 60, TimerState::idle), t.timer("Tea", 1500, 1200, TimerState::paused)});
             t.timers->toggle(t.timers->timers()[1].id);
         },
         QStringLiteral("20:00"), QStringLiteral("Tea"), true, false, 0.2},
        {"the first running beats an earlier paused one",
         [](FloatingWindowModelTest& t) {
             t.makeEngine({t.timer("paused", 600, 300, TimerState::paused),
                           t.timer("runs", 600, 540, TimerState::paused)});
             t.timers->toggle(t.timers->timers()[1].id);
         },
         QStringLiteral("09:00"), QStringLiteral("runs"), true, false, 0.1},
        {"task names off: a countdown has no label",
         [](FloatingWindowModelTest& t) {
             t.settings.setFloatingShowTaskName(false);
             t.makeEngine({t.timer("Tea", 600, 300, TimerState::paused)});
         },
         QStringLiteral("05:00"), QString(), false, false, 0.5},
        {"an untitled alarm shows its target in the chosen style",
         [alarm](FloatingWindowModelTest& t) {
             t.settings.setDisplayStyleRaw(QStringLiteral("english"));
             t.makeEngine({alarm});
         },
         QStringLiteral("1:00:00"), until(TimeDisplayStyle::english, target), false, false, 0},
        {"an unknown style words the alarm in Japanese",
         [alarm](FloatingWindowModelTest& t) {
             t.settings.setDisplayStyleRaw(QStringLiteral("klingon"));
             t.makeEngine({alarm});
         },
         QStringLiteral("1:00:00"), until(TimeDisplayStyle::japanese, target), false, false, 0},
        {"a remaining time above the total gives a negative progress",
         [](FloatingWindowModelTest& t) { t.makeEngine({t.timer("over", 100, 150, TimerState::paused)}); },
         QStringLiteral("02:30"), QStringLiteral("over"), false, false, -0.5},
        {"a Pomodoro phase is named even when task names are on",
         [](FloatingWindowModelTest& t) {
             t.makeEngine({t.timer("Other", 600, 60, TimerState::paused)});
             t.pomodoro->startSession();
         },
         QStringLiteral("25:00"), QStringLiteral("Focus"), true, false, 0},
        {"a session whose phase timer is gone follows no other timer",
         [](FloatingWindowModelTest& t) {
             t.makeEngine({t.timer("Other", 600, 60, TimerState::paused)});
             t.pomodoro->startSession();
             t.timers->removeTimer(*t.pomodoro->activeTimerID());
             t.timers->toggle(t.timers->timers()[0].id); // the other one runs, and is not taken instead
         },
         QStringLiteral("01:00"), QStringLiteral("Focus"), false, false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        settings.setFloatingShowTaskName(true);
        settings.setDisplayStyleRaw(QStringLiteral("japanese"));
        makeEngine();
        row.arrange(*this);
        const FloatingWindowModel model(*timers, *pomodoro, preferences);
        EXPECT_EQ(model.timeText(), row.time);
        EXPECT_EQ(model.heroLabel(), row.label);
        EXPECT_EQ(model.isRunning(), row.running);
        EXPECT_EQ(model.isFinished(), row.finished);
        EXPECT_DOUBLE_EQ(model.progress(), row.progress);
    }
}

TEST_F(FloatingWindowModelTest, ATapTogglesTheTimerOrPausesAndResumesTheSession) {
    const struct {
        const char* behaviour;
        std::function<void(FloatingWindowModelTest&)> arrange;
        std::function<void(FloatingWindowModelTest&)> check;
    } rows[] = {
        {"nothing to toggle: nothing happens", [](FloatingWindowModelTest&) {},
         [](FloatingWindowModelTest& t) { EXPECT_TRUE(t.timers->timers().isEmpty()); }},
        {"a running timer pauses",
         [](FloatingWindowModelTest& t) {
             t.makeEngine({t.timer("a", 600, 300, TimerState::paused)});
             t.timers->toggle(t.timers->timers()[0].id);
         },
         [](FloatingWindowModelTest& t) { EXPECT_EQ(t.timers->timers()[0].state, TimerState::paused); }},
        {"a paused timer runs",
         [](FloatingWindowModelTest& t) { t.makeEngine({t.timer("a", 600, 300, TimerState::paused)}); },
         [](FloatingWindowModelTest& t) {
             EXPECT_EQ(t.timers->timers()[0].state, TimerState::running);
             EXPECT_EQ(t.timers->timers()[0].remaining, 300) << "it goes on from where it stood";
         }},
        {"a running session pauses, not the timer alone",
         [](FloatingWindowModelTest& t) { t.pomodoro->startSession(); },
         [](FloatingWindowModelTest& t) {
             EXPECT_TRUE(t.pomodoro->session().isPaused);
             EXPECT_EQ(t.timers->timer(*t.pomodoro->activeTimerID())->state, TimerState::paused);
         }},
        {"a paused session resumes",
         [](FloatingWindowModelTest& t) {
             t.pomodoro->startSession();
             t.pomodoro->pauseSession();
         },
         [](FloatingWindowModelTest& t) {
             EXPECT_FALSE(t.pomodoro->session().isPaused);
             EXPECT_EQ(t.timers->timer(*t.pomodoro->activeTimerID())->state, TimerState::running);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        makeEngine();
        row.arrange(*this);
        FloatingWindowModel model(*timers, *pomodoro, preferences);
        model.primaryAction();
        row.check(*this);
    }
}

TEST_F(FloatingWindowModelTest, ItSaysWhenAnythingItShowsChanged) {
    makeEngine({timer("a", 600, 300, TimerState::paused)});
    FloatingWindowModel model(*timers, *pomodoro, preferences);
    QSignalSpy changed(&model, &FloatingWindowModel::changed);
    const struct {
        const char* behaviour;
        std::function<void()> act;
        bool notifies;
    } rows[] = {
        {"a timer starts", [&] { timers->toggle(timers->timers()[0].id); }, true},
        {"a tick",
         [&] {
             now = now.addSecs(1);
             timers->tick();
         },
         true},
        {"the custom accent, while nothing ticks",
         [&] { preferences.setString(ThemeSettingsKeys::customAccentHex.key, QStringLiteral("#123456")); },
         true},
        {"the accent preset",
         [&] { preferences.setString(ThemeSettingsKeys::accent.key, QStringLiteral("blue")); }, true},
        {"the time style", [&] { settings.setDisplayStyleRaw(QStringLiteral("symbol")); }, true},
        {"the task-name switch", [&] { settings.setFloatingShowTaskName(false); }, true},
        {"a key it does not read",
         [&] { preferences.setString(ThemeSettingsKeys::displayDensity.key, QStringLiteral("compact")); },
         false},
        {"the Pomodoro session", [&] { pomodoro->startSession(); }, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.behaviour);
        changed.clear();
        row.act();
        EXPECT_EQ(!changed.isEmpty(), row.notifies);
    }
    EXPECT_EQ(model.accent(), QColor(QStringLiteral("#123456"))) << "read anew, never kept";
}
