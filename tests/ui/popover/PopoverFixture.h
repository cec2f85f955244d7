#pragma once
// A popover root on a real engine (recording services, a frozen clock, preferences in memory), shared by
// the popover's test files.

#include "core/AppSettings.h"
#include "core/ChainCoordinator.h"
#include "core/PomodoroManager.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"
#include "support/FakeServices.h"
#include "theme/ModuleVisibilityStore.h"
#include "theme/ThemeStore.h"
#include "ui/kit/TimerPreparationView.h"
#include "ui/popover/TarvolinTimerMainView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>

#include <gtest/gtest.h>

#include <memory>

class PopoverFixture : public ::testing::Test {
public: // table rows act on the fixture through it
    // Local wall-clock time, so clock texts do not depend on the machine's time zone.
    QDateTime now = QDateTime(QDate(2024, 5, 14), QTime(9, 0, 0), Qt::LocalTime);
    Clock clock = [this] { return now; };
    // Time passes as the frozen wall clock moves: a tick follows a second's advance of `now`.
    ElapsedClock elapsed = [this] { return now.toMSecsSinceEpoch(); };

    Preferences preferences; // in memory
    AppSettings settings{preferences};
    InMemoryPersistence persistence;
    RecordingNotificationService notification;
    RecordingSoundService sound;
    InMemoryHistory history{clock};
    ThemeStore theme{preferences};
    ModuleVisibilityStore modules{preferences};
    std::unique_ptr<TimerManager> timers;
    std::unique_ptr<PomodoroManager> pomodoro;
    std::unique_ptr<ChainCoordinator> chain;
    std::unique_ptr<TarvolinTimerMainView> root;
    int updateChecks = 0;
    int onboardingShows = 0;

    // The engine, with exactly these timers when any are given (through the restore path).
    void makeEngine(const QList<TimerItem>& restored = {}) {
        persistence.activeTimers = restored;
        timers = std::make_unique<TimerManager>(persistence, notification, sound, history, settings, clock,
                                                elapsed);
        timers->restoreState();
        pomodoro = std::make_unique<PomodoroManager>(persistence, notification, sound, history, settings);
        pomodoro->setTimerManager(timers.get());
        pomodoro->updateConfig(settings);
        timers->onTimerComplete = [this](const QUuid& id) { pomodoro->onTimerCompleted(id); };
    }

    void makeRoot() {
        if (!timers) {
            makeEngine();
        }
        TarvolinTimerMainView::Dependencies deps{
            *timers,
            *pomodoro,
            theme,
            [this]() -> ChainCoordinator& {
                if (!chain) {
                    chain = std::make_unique<ChainCoordinator>(timers.get(), notification, clock);
                }
                return *chain;
            },
            modules,
            settings,
            preferences,
            [this] { ++updateChecks; },
            [this] { ++onboardingShows; },
            clock,
        };
        root = std::make_unique<TarvolinTimerMainView>(std::move(deps));
    }

    void TearDown() override {
        root.reset();
        flushDeletes();
        chain.reset();
        pomodoro.reset();
        timers.reset();
    }

    // Cards and pages the root let go of are deleted once the event loop comes round; tests come round here.
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    TimerPreparationView* card() const { return root->preparationCard(); }

    template <class W> W* find(const char* objectName) const {
        return root->findChild<W*>(QString::fromLatin1(objectName));
    }

    static TimerStartRequest countdown(qint64 seconds, const char* title = "") {
        return TimerStartRequest(QUuid::createUuid(), QString::fromUtf8(title),
                                 TimerStartRequest::duration{seconds});
    }

    // Timers that fill the list to `count`, each a minute long and idle.
    QList<TimerItem> filler(qsizetype count) const {
        QList<TimerItem> many(count);
        for (qsizetype i = 0; i < count; ++i) {
            many[i].id = QUuid(uint(i), 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
            many[i].totalDuration = many[i].remaining = 60;
            many[i].createdAt = now;
        }
        return many;
    }
};
