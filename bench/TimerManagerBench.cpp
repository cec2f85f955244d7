// Cost of the engine's tick and of single-timer operations on large timer lists.
#include "BenchEngine.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

using bench::Engine;

void BM_TickAllRunning(benchmark::State& state) {
    Engine engine(state.range(0), 1);
    for (auto _ : state) {
        engine.tick();
    }
}

void BM_TickOnePercentRunning(benchmark::State& state) {
    Engine engine(state.range(0), 100);
    for (auto _ : state) {
        engine.tick();
    }
}

void BM_TickNoneRunning(benchmark::State& state) {
    Engine engine(state.range(0), 0);
    for (auto _ : state) {
        engine.tick();
    }
}

// One start and one pause per iteration, on a timer in the middle of a list where 1 % run.
void BM_StartPauseOne(benchmark::State& state) {
    Engine engine(state.range(0), 100);
    const QUuid id = engine.middleId();
    for (auto _ : state) {
        engine.manager.start(id);
        engine.manager.pause(id);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}

void BM_ToggleOne(benchmark::State& state) {
    Engine engine(state.range(0), 100);
    const QUuid id = engine.middleId();
    for (auto _ : state) {
        engine.manager.toggle(id);
    }
    state.SetItemsProcessed(state.iterations());
}

// One start and one reset per iteration, on a timer in the middle of a list where 1 % run.
void BM_StartResetOne(benchmark::State& state) {
    Engine engine(state.range(0), 100);
    const QUuid id = engine.middleId();
    for (auto _ : state) {
        engine.manager.start(id);
        engine.manager.reset(id);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}

// A tick right after a start in the middle of the list, which merges the new entry into the index.
void BM_StartThenTickOnePercent(benchmark::State& state) {
    Engine engine(state.range(0), 100);
    const QUuid id = engine.middleId();
    for (auto _ : state) {
        engine.manager.start(id);
        engine.tick();
        engine.manager.pause(id);
        engine.tick();
    }
    state.SetItemsProcessed(state.iterations() * 2);
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1'000)->Arg(100'000)->Arg(999'999)->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_TickAllRunning)->Apply(sizes);
BENCHMARK(BM_TickOnePercentRunning)->Apply(sizes);
BENCHMARK(BM_TickNoneRunning)->Apply(sizes);
BENCHMARK(BM_StartPauseOne)->Apply(sizes);
BENCHMARK(BM_ToggleOne)->Apply(sizes);
BENCHMARK(BM_StartResetOne)->Apply(sizes);
BENCHMARK(BM_StartThenTickOnePercent)->Apply(sizes);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the engine's timers need an event dispatcher
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
