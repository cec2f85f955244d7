// What a new panel picture costs: the square short form drawn at every offered side and put in wire form
// (once a minute while minutes count down, each second in the last minute), and at single sides.
#include "shell/LabelRenderer.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

PanelShortForm running(MenuBarDisplayMode mode, qint64 remaining) {
    const MenuBarDisplayContent content{mode, MenuBarIconStyle::windup, true, false, QStringLiteral("24:01")};
    return PanelShortForm::of(content, remaining, 1500);
}

void BM_AllOfferedSides(benchmark::State& state) {
    const PanelShortForm form = running(MenuBarDisplayMode(state.range(0)), state.range(1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(LabelRenderer::shortFormPixmaps(form, Qt::black));
    }
}

void BM_OneSide(benchmark::State& state) {
    const PanelShortForm form = running(MenuBarDisplayMode::iconAndTime, 1441);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            LabelRenderer::toIconPixmap(LabelRenderer::shortForm(form, int(state.range(0)), Qt::black)));
    }
}

} // namespace

BENCHMARK(BM_AllOfferedSides)
    ->Args({int(MenuBarDisplayMode::timeOnly), 1441})
    ->Args({int(MenuBarDisplayMode::timeOnly), 42})
    ->Args({int(MenuBarDisplayMode::iconAndTime), 1441})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneSide)->Arg(16)->Arg(22)->Arg(32)->Arg(48)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv); // fonts need a GUI application
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
