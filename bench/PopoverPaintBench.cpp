// The popover with its timers tab, offscreen: the first picture (built and drawn with grab()) at 0, 100
// and 10,000 timers, and what one tick costs on screen (the engine's tick, the row signals, the repaint of
// what changed) with one timer running among 100 or 10,000 idle ones.
#include "BenchEngine.h"

#include "core/ChainCoordinator.h"
#include "core/PomodoroManager.h"
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

// Counts the widgets painted, to report how much of the popover one tick redraws.
class PaintCounter : public QObject {
public:
    qint64 paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
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

    Popover(qsizetype idle, bool oneRunning) : engine(idle, 0) {
        pomodoro.setTimerManager(&engine.manager);
        if (oneRunning) {
            engine.manager.addTimer(QStringLiteral("Running"), TimerManager::maxDuration, true);
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
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        widget->installEventFilter(&counter);
    }
    root->installEventFilter(&counter);
    for (auto _ : state) {
        popover.engine.manager.tick();
        QCoreApplication::processEvents();
    }
    state.counters["widgets painted/tick"] =
        benchmark::Counter(double(counter.paints) / double(state.iterations()));
}

} // namespace

BENCHMARK(BM_FirstPaint)->Arg(0)->Arg(100)->Arg(10'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickRepaint)->Arg(100)->Arg(10'000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
