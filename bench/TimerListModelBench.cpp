// Cost of a tick together with the timer list model's update, beside the same tick with no model.
#include "BenchEngine.h"
#include "ui/kit/TimerListModel.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

using bench::Engine;

// 1 % of the timers run, spread through the list, so each tick refreshes that many separate rows.
constexpr qsizetype runningEvery = 100;

void BM_TickOnly(benchmark::State& state) {
    Engine engine(state.range(0), runningEvery);
    for (auto _ : state) {
        engine.tick();
    }
}

void BM_TickWithModel(benchmark::State& state) {
    Engine engine(state.range(0), runningEvery);
    TimerListModel model(engine.manager);
    for (auto _ : state) {
        engine.tick();
    }
}

// As above, with one receiver of the row signals, as a view would have.
void BM_TickWithModelAndListener(benchmark::State& state) {
    Engine engine(state.range(0), runningEvery);
    TimerListModel model(engine.manager);
    qint64 refreshedRows = 0;
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&refreshedRows](const QModelIndex& from, const QModelIndex& to) {
                         refreshedRows += to.row() - from.row() + 1;
                     });
    for (auto _ : state) {
        engine.tick();
    }
    benchmark::DoNotOptimize(refreshedRows);
    state.counters["rows/tick"] = benchmark::Counter(double(refreshedRows) / double(state.iterations()));
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1'000)->Arg(100'000)->Arg(999'999)->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_TickOnly)->Apply(sizes);
BENCHMARK(BM_TickWithModel)->Apply(sizes);
BENCHMARK(BM_TickWithModelAndListener)->Apply(sizes);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the engine's timers need an event dispatcher
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
