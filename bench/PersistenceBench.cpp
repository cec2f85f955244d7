// Saving and restoring large timer lists through PersistenceService, in memory and through the file.
//
// Peak memory (VmHWM) only means something for one benchmark per process; run each one on its own, e.g.
//   PersistenceBench --benchmark_filter='SaveActiveTimers/999999$'
// The "peak_MB" counter is the process's high-water mark after the benchmark ran.

#include "core/PersistenceService.h"
#include "core/TimerItem.h"
#include "platform/Preferences.h"
#include "platform/TarvolinTimerLogger.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

double peakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0; // the line is in kB
        }
    }
    return 0;
}

// A mix like a real list: mostly countdowns in every state, some alarms, some Pomodoro phases.
QList<TimerItem> makeTimers(qsizetype count) {
    QList<TimerItem> timers;
    timers.reserve(count);
    const QDateTime created = QDateTime::fromSecsSinceEpoch(1'750'000'000, Qt::UTC);
    for (qsizetype i = 0; i < count; ++i) {
        const auto state = TimerState(i % 4);
        std::optional<QDateTime> target;
        std::optional<QString> phase;
        if (i % 10 == 0) {
            target = created.addSecs(3600 + i);
        } else if (i % 10 == 1) {
            phase = QStringLiteral("Focus");
        }
        TimerItem item =
            TimerItem::make(QUuid::createUuid(), QStringLiteral("Timer %1").arg(i), 1500 + i % 600, state,
                            target.has_value(), target, phase, created.addMSecs(i * 37));
        item.remaining = item.totalDuration / 2;
        timers.push_back(std::move(item));
    }
    return timers;
}

void quietLogs() {
    TarvolinTimerLogger::setSink([](TarvolinTimerLogger::Level, const QString&) {});
}

void BM_SaveActiveTimers(benchmark::State& state) {
    quietLogs();
    const QList<TimerItem> timers = makeTimers(state.range(0));
    Preferences preferences;
    PersistenceService service(preferences);
    for (auto _ : state) {
        service.saveActiveTimers(timers);
    }
    state.counters["bytes_MB"] =
        double(preferences.dataValue(QLatin1String(PersistenceService::kActiveTimersKey))
                   .value_or(QByteArray())
                   .size()) /
        (1024.0 * 1024.0);
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_LoadActiveTimers(benchmark::State& state) {
    quietLogs();
    Preferences preferences;
    PersistenceService service(preferences);
    service.saveActiveTimers(makeTimers(state.range(0)));
    for (auto _ : state) {
        QList<TimerItem> loaded = service.loadActiveTimers();
        benchmark::DoNotOptimize(loaded.size());
    }
    state.counters["peak_MB"] = peakMegabytes();
}

// Save, then write the preferences file to disk.
void BM_SaveAndFlushToFile(benchmark::State& state) {
    quietLogs();
    QTemporaryDir dir;
    const QList<TimerItem> timers = makeTimers(state.range(0));
    Preferences preferences(dir.filePath(QStringLiteral("preferences.json")));
    PersistenceService service(preferences);
    for (auto _ : state) {
        service.saveActiveTimers(timers);
        preferences.flush();
    }
    state.counters["file_MB"] = double(QFile(preferences.filePath()).size()) / (1024.0 * 1024.0);
    state.counters["peak_MB"] = peakMegabytes();
}

// Open the preferences file as a launch does, then restore the list from it.
void BM_ReadBackFromFile(benchmark::State& state) {
    quietLogs();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("preferences.json"));
    {
        Preferences preferences(path);
        PersistenceService service(preferences);
        service.saveActiveTimers(makeTimers(state.range(0)));
        preferences.flush();
    }
    for (auto _ : state) {
        Preferences preferences(path);
        PersistenceService service(preferences);
        QList<TimerItem> loaded = service.loadActiveTimers();
        benchmark::DoNotOptimize(loaded.size());
    }
    state.counters["peak_MB"] = peakMegabytes();
}

} // namespace

BENCHMARK(BM_SaveActiveTimers)->Arg(100'000)->Arg(999'999)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadActiveTimers)->Arg(100'000)->Arg(999'999)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveAndFlushToFile)->Arg(100'000)->Arg(999'999)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadBackFromFile)->Arg(100'000)->Arg(999'999)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the preferences' write timer needs an application object
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
