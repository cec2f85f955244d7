// Cost of logging one completed run when the history is long (the cap is a setting, 100 by default).
#include "core/AppSettings.h"
#include "core/HistoryManager.h"
#include "platform/Preferences.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

QByteArray storedHistory(qint64 entries) {
    QList<TimerHistoryEntry> list;
    const QDateTime at(QDate(2024, 5, 14), QTime(9, 0), Qt::UTC);
    for (qint64 i = 0; i < entries; ++i) {
        list << TimerHistoryEntry::make(QStringLiteral("Focus"), 1500, at);
    }
    return *TimerHistoryEntry::encodeList(list);
}

void BM_LogIntoFullHistory(benchmark::State& state) {
    const auto entries = state.range(0);
    Preferences prefs; // in memory: measures the history's own work, not the disk
    AppSettings settings(prefs);
    settings.setMaxHistoryEntries(entries);
    const QDateTime now(QDate(2024, 5, 14), QTime(10, 0), Qt::UTC);
    prefs.setData(HistoryManager::historyKey, storedHistory(entries));
    HistoryManager history(prefs, settings, [&now] { return now; });
    for (auto _ : state) {
        history.log(QStringLiteral("Focus"), 1500);
    }
    state.SetItemsProcessed(state.iterations());
}

// The first read after someone else wrote the key decodes the whole list.
void BM_LoadAfterOutsideWrite(benchmark::State& state) {
    const auto entries = state.range(0);
    Preferences prefs;
    AppSettings settings(prefs);
    const QByteArray data = storedHistory(entries);
    HistoryManager history(prefs, settings);
    for (auto _ : state) {
        prefs.setData(HistoryManager::historyKey, data);
        benchmark::DoNotOptimize(history.loadHistory());
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_LogIntoFullHistory)->Arg(100)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadAfterOutsideWrite)->Arg(100)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
