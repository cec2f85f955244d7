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

#include "ui/focus/ChainBuilderOverlay.h"
#include "ui/focus/ChainRunningBanner.h"
#include "ui/focus/FocusAreaLayout.h"
#include "ui/focus/FocusWidgets.h"
#include "ui/focus/PomodoroCard.h"

// A stand-in for the timers tab: a 440 × 650 canvas that places this family's pieces with one call each and
// shows them by FocusAreaLayout's rules, as the real tab will.
class FocusCanvas : public QWidget {
public:
    FocusCanvas(TarvolinTimerMainView& root, std::function<std::optional<TimerState>()> heroState)
        : m_root(root), m_heroState(std::move(heroState)) {
        setFixedSize(TarvolinTimerMainView::popoverWidth, TarvolinTimerMainView::contentHeight);
        card = FocusWidgets::makePomodoroCard(root, this);
        banner = FocusWidgets::makeChainRunningBanner(root, this);
        overlay = FocusWidgets::installChainBuilderOverlay(root, this);
        connect(&root.chainCoordinator(), &ChainCoordinator::changed, this, &FocusCanvas::place);
        connect(&root.pomodoroManager(), &PomodoroManager::changed, this, &FocusCanvas::place);
        connect(&root.timerManager(), &TimerManager::timersChanged, this, &FocusCanvas::place);
        connect(card, &PomodoroCard::faceChanged, this, &FocusCanvas::place);
        place();
    }

    void place() {
        const auto face =
            FocusAreaLayout::pomodoroFace(m_root.moduleVisibility(), m_heroState(), m_root.pomodoroManager());
        card->setVisible(face != FocusAreaLayout::PomodoroFace::hidden);
        card->move(FocusAreaLayout::pomodoroFaceOrigin(face) - QPoint(0, PomodoroCard::topRoom));
        banner->setVisible(FocusAreaLayout::showsChainBanner(m_root.chainCoordinator()));
        banner->move(FocusAreaLayout::chainBannerOrigin());
        banner->raise();
        overlay->raise();
    }

    PomodoroCard* card;
    ChainRunningBanner* banner;
    ChainBuilderOverlay* overlay;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QvColor::qvCanvas().resolve(ColorScheme::light));
    }

private:
    TarvolinTimerMainView& m_root;
    std::function<std::optional<TimerState>()> m_heroState;
};

class FocusCanvasFixture : public FocusFixture {
public:
    FocusCanvas* canvas = nullptr;

    // The root, shown, with the canvas as its timers tab; the hero is the first running, else the first idle
    // or paused timer.
    void makeCanvasRoot() {
        makeFocusRoot();
        canvas = new FocusCanvas(*root, [this]() -> std::optional<TimerState> {
            std::optional<TimerState> hero;
            for (const TimerItem& timer : timers->timers()) {
                if (timer.isRunning()) {
                    return timer.state;
                }
                if (!hero && timer.state != TimerState::finished) {
                    hero = timer.state;
                }
            }
            return hero;
        });
        root->setTabContent(TarvolinTimerTab::timers, canvas);
        root->show();
        root->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(root.get()));
    }

    ChainBuilderView* builder() const { return canvas->overlay->builder(); }
};
