// Cost of the engine's tick and of single-timer operations on large timer lists.
#include "core/AppSettings.h"
#include "core/HistoryManagerProtocol.h"
#include "core/NotificationServiceProtocol.h"
#include "core/PersistenceServiceProtocol.h"
#include "core/SoundServiceProtocol.h"
#include "core/TimerManager.h"
#include "platform/Preferences.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Services that keep nothing, so only the engine's own work is measured.
class NullPersistence : public PersistenceServiceProtocol {
public:
    void savePresets(const QList<TimerPreset>&) override {}
    QList<TimerPreset> loadPresets() override { return TimerPreset::defaultPresets(); }
    void saveSequences(const QList<TimerSequence>&) override {}
    QList<TimerSequence> loadSequences() override { return TimerSequence::defaultSequences(); }
    void saveActiveSequenceID(const std::optional<QUuid>&) override {}
    std::optional<QUuid> loadActiveSequenceID() override { return std::nullopt; }
    qint64 loadLastDuration() override { return 1500; }
    void saveScheduledTimers(const QList<ScheduledTimer>&) override {}
    QList<ScheduledTimer> loadScheduledTimers() override { return {}; }
    void saveActiveTimers(const QList<TimerItem>&) override {}
    QList<TimerItem> loadActiveTimers() override { return {}; }
    void clearActiveTimers() override {}
};

class NullNotifications : public NotificationServiceProtocol {
public:
    void requestAuthorization() override {}
    void postTimerComplete(const QString&, qint64, bool) override {}
    void postScheduleActivated(const QString&, const QString&) override {}
    void scheduleQueueChainCompleted(const QString&) override {}
    void postPomodoroPhaseStart(PomodoroPhase) override {}
};

class NullSound : public SoundServiceProtocol {
public:
    void play(SoundEvent) override {}
    void playSound(const QString&) override {}
};

class NullHistory : public HistoryManagerProtocol {
public:
    void log(const QString&, qint64) override {}
    QList<TimerHistoryEntry> loadHistory() override { return {}; }
};

// An engine holding `count` timers long enough never to finish; every `runningEvery`-th runs (0: none).
struct Engine {
    NullPersistence persistence;
    NullNotifications notifications;
    NullSound sound;
    NullHistory history;
    Preferences preferences;
    AppSettings settings{preferences};
    TimerManager manager{persistence, notifications, sound, history, settings};

    Engine(qsizetype count, qsizetype runningEvery) {
        for (qsizetype i = 0; i < count; ++i) {
            const bool run = runningEvery > 0 && i % runningEvery == 0;
            manager.addTimer(QString(), TimerManager::maxDuration, run);
        }
    }
    QUuid middleId() const { return manager.timers().at(manager.timers().size() / 2 + 1).id; }
};

void BM_TickAllRunning(benchmark::State& state) {
    Engine engine(state.range(0), 1);
    for (auto _ : state) {
        engine.manager.tick();
    }
}

void BM_TickOnePercentRunning(benchmark::State& state) {
    Engine engine(state.range(0), 100);
    for (auto _ : state) {
        engine.manager.tick();
    }
}

void BM_TickNoneRunning(benchmark::State& state) {
    Engine engine(state.range(0), 0);
    for (auto _ : state) {
        engine.manager.tick();
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
        engine.manager.tick();
        engine.manager.pause(id);
        engine.manager.tick();
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
