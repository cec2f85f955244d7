#pragma once
// The popover root on a real engine, with the completion hook reaching both the Pomodoro manager and the
// chain coordinator as the application wires it, and a helper that lets a running timer run out.

#include "../popover/PopoverFixture.h"

#include "theme/QvColor.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

class FocusFixture : public PopoverFixture {
public:
    void makeFocusRoot() {
        makeEngine();
        makeRoot();
        ChainCoordinator& coordinator = root->chainCoordinator();
        timers->onTimerComplete = [this, &coordinator](const QUuid& id) {
            pomodoro->onTimerCompleted(id);
            coordinator.onTimerCompleted(id);
        };
    }

    // Ticks second by second, as the engine's clock does, until the timer has finished.
    void runOut(const QUuid& id) {
        const auto timer = timers->timer(id);
        ASSERT_TRUE(timer.has_value());
        for (qint64 second = 0; second <= timer->remaining; ++second) {
            now = now.addSecs(1);
            timers->tick();
        }
        const auto after = timers->timer(id);
        ASSERT_TRUE(!after || after->state == TimerState::finished);
    }

    bool hasTimer(const QUuid& id) const { return timers->timer(id).has_value(); }
};
