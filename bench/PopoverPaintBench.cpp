// The popover with its timers tab, offscreen: the first picture (built and drawn with grab()) at 0, 100
// and 10,000 timers, what one tick costs on screen (the engine's tick, the row signals, the repaint of
// what changed) with one timer running among 100 or 10,000 idle ones, and, while a one-minute or a
// half-hour timer runs, what one frame of the dial's moving dot costs and what a whole second costs (its
// tick and the frames after it).
#include "BenchEngine.h"

#include "core/ChainCoordinator.h"
#include "core/PomodoroManager.h"
#include "core/TimerManager.h"
#include "theme/ModuleVisibilityStore.h"
#include "theme/ThemeStore.h"
#include "ui/home/TimersTab.h"
#include "ui/popover/TarvolinTimerMainView.h"
#include "ui/quickentry/QuickAddBar.h"
#include "ui/quickentry/QuickEntrySections.h"
#include "ui/quickentry/QuickLaunchPane.h"

#include <QAbstractAnimation>
#include <QAnimationDriver>
#include <QApplication>
#include <QPaintEvent>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace {

// Holds every animation still, so a measured repaint is the tick's own and not a frame of the dial's fade.
class StillAnimations : public QAnimationDriver {
public:
    StillAnimations() { install(); }
    ~StillAnimations() override { uninstall(); }
    StillAnimations(const StillAnimations&) = delete;
    StillAnimations& operator=(const StillAnimations&) = delete;
    qint64 elapsed() const override { return 0; }
};

// Moves every animation on by the time the test says, one frame at a time.
class SteppedAnimations : public QAnimationDriver {
public:
    SteppedAnimations() {
        connect(this, &QAnimationDriver::started, this, [this] { m_startedAt = m_now; });
        install();
    }
    ~SteppedAnimations() override { uninstall(); }
    SteppedAnimations(const SteppedAnimations&) = delete;
    SteppedAnimations& operator=(const SteppedAnimations&) = delete;
    qint64 elapsed() const override { return isRunning() ? m_now - m_startedAt : 0; }
    void advanceBy(qint64 milliseconds) {
        // Animations started by a queued call register first.
        QCoreApplication::sendPostedEvents();
        m_now += milliseconds;
        advance();
    }

private:
    qint64 m_now = 0;
    qint64 m_startedAt = 0;
};

// Counts the widgets painted and the pixels they were asked to paint, to report how much of the popover
// one tick or one frame redraws.
class PaintCounter : public QObject {
public:
    qint64 paints = 0;
    qint64 pixels = 0;

    void watch(QWidget& root) {
        for (QWidget* widget : root.findChildren<QWidget*>()) {
            widget->installEventFilter(this);
        }
        root.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& rect : static_cast<QPaintEvent*>(event)->region()) {
                pixels += qint64(rect.width()) * rect.height();
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

struct Popover {
    bench::Engine engine;
    PomodoroManager pomodoro{engine.persistence, engine.notifications, engine.sound, engine.history,
                             engine.settings};
    ThemeStore theme{engine.preferences};
    ModuleVisibilityStore modules{engine.preferences};
    std::unique_ptr<ChainCoordinator> chain;

    // The running timer lasts `runningLength` seconds.
    Popover(qsizetype idle, bool oneRunning, qint64 runningLength = TimerManager::maxDuration)
        : engine(idle, 0) {
        pomodoro.setTimerManager(&engine.manager);
        if (oneRunning) {
            engine.manager.addTimer(QStringLiteral("Running"), runningLength, true);
        }
    }

    std::unique_ptr<TarvolinTimerMainView> makeRoot() {
        TarvolinTimerMainView::Dependencies deps{
            engine.manager,
            pomodoro,
            theme,
            [this]() -> ChainCoordinator& {
                if (!chain) {
                    chain = std::make_unique<ChainCoordinator>(&engine.manager, engine.notifications);
                }
                return *chain;
            },
            modules,
            engine.settings,
            engine.preferences,
            [] {},
            [] {},
        };
        auto root = std::make_unique<TarvolinTimerMainView>(std::move(deps));
        TimersTabSections sections;
        sections.quickAddBar = &QuickEntrySections::makeQuickAddBar;
        sections.quickLaunchPane = &QuickEntrySections::makeQuickLaunchPane;
        installTimersTab(*root, sections);
        return root;
    }
};

void BM_FirstPaint(benchmark::State& state) {
    Popover popover(state.range(0), state.range(0) > 0);
    for (auto _ : state) {
        auto root = popover.makeRoot();
        const QPixmap picture = root->grab();
        benchmark::DoNotOptimize(picture.cacheKey());
        state.PauseTiming();
        root.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

void BM_TickRepaint(benchmark::State& state) {
    StillAnimations still;
    Popover popover(state.range(0), true);
    auto root = popover.makeRoot();
    root->show();
    QCoreApplication::processEvents();
    PaintCounter counter;
    counter.watch(*root);
    for (auto _ : state) {
        popover.engine.tick();
        QCoreApplication::processEvents();
    }
    state.counters["widgets painted/tick"] =
        benchmark::Counter(double(counter.paints) / double(state.iterations()));
}

// The open popover with one timer of `length` seconds running, its animations moved on by hand.
struct RunningPopover {
    static constexpr int frameMs = 16;
    static constexpr int framesPerMove = 16; // the dot's move lasts 250 ms

    SteppedAnimations animations;
    Popover popover;
    std::unique_ptr<TarvolinTimerMainView> root;
    QUuid id;
    PaintCounter counter;

    explicit RunningPopover(qint64 length) : popover(0, true, length) {
        root = popover.makeRoot();
        root->show();
        QCoreApplication::processEvents();
        id = popover.engine.manager.timers().first().id;
        settle();
        counter.watch(*root);
    }
    void frame() {
        animations.advanceBy(frameMs);
        QCoreApplication::processEvents();
    }
    void settle() {
        for (int i = 0; i < framesPerMove * 2; ++i) {
            frame();
        }
    }
    void tick() {
        popover.engine.tick();
        QCoreApplication::processEvents();
    }
    // Back to the start when near the end, settled, so the timer never finishes under measurement.
    void keepRunning() {
        TimerManager& manager = popover.engine.manager;
        const auto timer = manager.timer(id);
        if (!timer || timer->remaining < 3) {
            manager.reset(id);
            manager.start(id);
            QCoreApplication::processEvents();
            settle();
        }
    }
};

// One frame of the dot's quarter-second move after a tick: the frames are measured, the tick that starts
// them is not. The dot moves about 10 px a second on a one-minute timer and a third of a pixel on a
// half-hour one.
void BM_DotFrame(benchmark::State& state) {
    RunningPopover running(state.range(0));
    PaintCounter& counter = running.counter;
    int frame = RunningPopover::framesPerMove;
    qint64 frames = 0;
    qint64 paints = 0;
    qint64 pixels = 0;
    for (auto _ : state) {
        if (frame == RunningPopover::framesPerMove) {
            state.PauseTiming();
            running.keepRunning();
            running.tick();
            counter.paints = 0;
            counter.pixels = 0;
            frame = 0;
            state.ResumeTiming();
        }
        running.frame();
        paints += std::exchange(counter.paints, 0);
        pixels += std::exchange(counter.pixels, 0);
        ++frame;
        ++frames;
    }
    state.counters["widgets painted/frame"] = benchmark::Counter(double(paints) / double(frames));
    state.counters["pixels painted/frame"] = benchmark::Counter(double(pixels) / double(frames));
}

// One second of the running timer on screen: its tick and the frames of the dot's move after it.
void BM_RunningSecond(benchmark::State& state) {
    RunningPopover running(state.range(0));
    PaintCounter& counter = running.counter;
    counter.paints = 0;
    counter.pixels = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const qint64 paints = counter.paints;
        const qint64 pixels = counter.pixels;
        running.keepRunning();
        counter.paints = paints;
        counter.pixels = pixels;
        state.ResumeTiming();
        running.tick();
        for (int i = 0; i < RunningPopover::framesPerMove; ++i) {
            running.frame();
        }
    }
    state.counters["widgets painted/s"] =
        benchmark::Counter(double(counter.paints) / double(state.iterations()));
    state.counters["pixels painted/s"] =
        benchmark::Counter(double(counter.pixels) / double(state.iterations()));
}

} // namespace

BENCHMARK(BM_FirstPaint)->Arg(0)->Arg(100)->Arg(10'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickRepaint)->Arg(100)->Arg(10'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DotFrame)->ArgName("seconds")->Arg(60)->Arg(1800)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RunningSecond)->ArgName("seconds")->Arg(60)->Arg(1800)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
