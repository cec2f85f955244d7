// What one second of a running timer costs the panel item when a panel reads its picture: the label drawn at
// every offered height and put in wire form, and at single heights.
#include "shell/LabelRenderer.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

MenuBarDisplayContent running(MenuBarDisplayMode mode) {
    return {mode, MenuBarIconStyle::windup, true, false, QStringLiteral("19:44 · 4:05")};
}

void BM_AllOfferedHeights(benchmark::State& state) {
    const MenuBarDisplayContent content = running(MenuBarDisplayMode(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(LabelRenderer::iconPixmaps(content, Qt::black));
    }
}

void BM_OneHeight(benchmark::State& state) {
    const MenuBarDisplayContent content = running(MenuBarDisplayMode::iconAndTime);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            LabelRenderer::toIconPixmap(LabelRenderer::render(content, int(state.range(0)), Qt::black)));
    }
}

} // namespace

BENCHMARK(BM_AllOfferedHeights)
    ->Arg(int(MenuBarDisplayMode::timeOnly))
    ->Arg(int(MenuBarDisplayMode::iconAndTime))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneHeight)->Arg(16)->Arg(22)->Arg(32)->Arg(64)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv); // fonts need a GUI application
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
