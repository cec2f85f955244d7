#include "core/AppSettings.h"
#include "platform/Preferences.h"
#include "shell/AppDelegate.h"
#include "support/FakeServices.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class AppDelegateTest : public ::testing::Test {
protected:
    QDateTime now = QDateTime(QDate(2024, 5, 14), QTime(9, 0), Qt::LocalTime);
    Preferences preferences; // in memory
    AppSettings settings{preferences};
    QStringList journal;
    InMemoryPersistence persistence;
    RecordingNotificationService notification;
    RecordingSoundService sound;
    InMemoryHistory history{[this] { return now; }};
    std::unique_ptr<AppDelegate> delegate;

    void SetUp() override {
        persistence.journal = &journal;
        notification.journal = &journal;
        history.journal = &journal;
    }

    void make() {
        delegate = std::make_unique<AppDelegate>(AppDelegate::Services{
            persistence, notification, sound, history, settings, [this] { return now; }});
    }

    TimerItem stored(TimerState state, const QString& title) const {
        TimerItem item =
            TimerItem::make(QUuid::createUuid(), title, 120, state, false, std::nullopt, std::nullopt, now);
        item.remaining = 60;
        return item;
    }

    // Ticks until `done` holds, one simulated second at a time; false if it never does within `limit`.
    bool tickUntil(const std::function<bool()>& done, int limit = 200) {
        for (int i = 0; i < limit && !done(); ++i) {
            now = now.addSecs(1);
            delegate->timerManager().tick();
        }
        return done();
    }
};

} // namespace

TEST_F(AppDelegateTest, LaunchWiresTheEngineBeforeItRestoresTheSavedList) {
    const struct {
        const char* name;
        QList<TimerItem> saved;
    } rows[] = {
        {"nothing saved", {}},
        {"a running and a paused timer saved",
         {stored(TimerState::running, QStringLiteral("tea")),
          stored(TimerState::paused, QStringLiteral("egg"))}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        persistence.activeTimers = row.saved;
        journal.clear();
        settings.setPomWorkMinutes(40);
        make();
        // Building the engine loads its records but leaves the saved timer list for the launch.
        EXPECT_FALSE(journal.contains(QStringLiteral("persistence.loadActiveTimers")));
        EXPECT_EQ(delegate->pomodoroManager().config().workDuration, PomodoroConfig{}.workDuration);

        LogCapture log;
        delegate->applicationDidFinishLaunching();
        EXPECT_EQ(journal.count(QStringLiteral("persistence.loadActiveTimers")), 1);
        EXPECT_EQ(delegate->pomodoroManager().timerManager(), &delegate->timerManager());
        EXPECT_EQ(delegate->pomodoroManager().config().workDuration, 40 * 60);
        EXPECT_EQ(delegate->timerManager().timers().size(), row.saved.size());
        EXPECT_EQ(log.lines(),
                  QStringList{QStringLiteral("[Main] Running with %1 timers").arg(row.saved.size())});
        EXPECT_TRUE(delegate->timerManager().onTimerComplete) << "hook installed";
        delegate.reset();
    }
}

TEST_F(AppDelegateTest, FinishedTimersGoToThePomodoroManagerAndToARunningChain) {
    settings.setPomWorkMinutes(1);
    const struct {
        const char* name;
        std::function<void(AppDelegate&)> begin;
        std::function<bool(AppDelegate&)> movedOn;
        bool makesChainCoordinator;
    } rows[] = {
        {"a focus phase's timer moves the session to its break",
         [](AppDelegate& d) { d.pomodoroManager().startSession(); },
         [](AppDelegate& d) { return d.pomodoroManager().currentPhase() == PomodoroPhase::shortBreak; },
         false},
        {"a chain step's timer starts the next step",
         [](AppDelegate& d) {
             const auto error = d.chainCoordinator().start(
                 QStringLiteral("chores"), {{QStringLiteral("dishes"), 1}, {QStringLiteral("floor"), 1}});
             EXPECT_FALSE(error.has_value());
         },
         [](AppDelegate& d) { return d.chainCoordinator().currentStepIndex() == 1; }, true},
        {"an ordinary timer finishes without waking either",
         [](AppDelegate& d) { ASSERT_TRUE(d.timerManager().addTimer(QStringLiteral("tea"), 3, true)); },
         [this](AppDelegate& d) {
             return notification.timerCompletions.size() == 1 && !d.pomodoroManager().isActive();
         },
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        persistence.activeTimers.clear();
        notification.timerCompletions.clear();
        make();
        delegate->applicationDidFinishLaunching();
        row.begin(*delegate);
        EXPECT_FALSE(row.movedOn(*delegate));
        EXPECT_TRUE(tickUntil([&] { return row.movedOn(*delegate); }));
        EXPECT_EQ(delegate->hasChainCoordinator(), row.makesChainCoordinator);
        delegate.reset();
    }
}

TEST_F(AppDelegateTest, QuitSavesTheWholeListRunningTimersIncluded) {
    make();
    delegate->applicationDidFinishLaunching();
    const auto running = delegate->timerManager().addTimer(QStringLiteral("tea"), 300, true);
    const auto idle = delegate->timerManager().addTimer(QStringLiteral("egg"), 300, false);
    ASSERT_TRUE(running && idle);
    persistence.activeTimerSaves.clear();

    delegate->applicationWillTerminate();
    ASSERT_EQ(persistence.activeTimerSaves.size(), 1);
    const QList<TimerItem>& saved = persistence.activeTimerSaves.last();
    ASSERT_EQ(saved.size(), 2);
    EXPECT_EQ(saved[0].state, TimerState::running);
    EXPECT_EQ(saved[1].state, TimerState::idle);
}
