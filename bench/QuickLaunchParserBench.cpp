// Throughput of the typed-time parser on what people type, and on the usual mistakes.
#include "core/QuickLaunchParser.h"

#include <benchmark/benchmark.h>

#include <QStringList>

namespace {

// 10:00 local time, held as the program holds the current time (UTC): a local-time QDateTime would make
// Qt look the zone up again each time the benchmark hands it over.
const QDateTime& fixedNow() {
    static const QDateTime now = QDateTime(QDate(2024, 5, 14), QTime(10, 0), Qt::LocalTime).toUTC();
    return now;
}

void BM_Parse(benchmark::State& state, const char* input) {
    const QString text = QString::fromUtf8(input);
    for (auto _ : state) {
        benchmark::DoNotOptimize(QuickLaunchParser::parse(text, fixedNow()));
    }
    state.SetItemsProcessed(state.iterations());
}

// One pass over a mix in roughly the proportions of real use: mostly durations, some clock times,
// a few errors.
void BM_ParseMix(benchmark::State& state) {
    static const char* const typed[] = {
        "25", "25m", "5",   "1h30m",   "10",  "1d18h", "90s",  "12:30",   "9pm",  "１０ｍ",
        "45", "2h",  "30m", "11:30am", "abc", "0",     "9 pm", "1000000", "8:00", "15",
    };
    QStringList mix;
    for (const char* text : typed) {
        mix << QString::fromUtf8(text);
    }
    for (auto _ : state) {
        for (const QString& text : mix) {
            benchmark::DoNotOptimize(QuickLaunchParser::parse(text, fixedNow()));
        }
    }
    state.SetItemsProcessed(state.iterations() * mix.size());
}

} // namespace

BENCHMARK_CAPTURE(BM_Parse, bareMinutes, "25");
BENCHMARK_CAPTURE(BM_Parse, minutes, "25m");
BENCHMARK_CAPTURE(BM_Parse, hoursMinutes, "1h30m");
BENCHMARK_CAPTURE(BM_Parse, daysHours, "1d18h");
BENCHMARK_CAPTURE(BM_Parse, allUnits, "1d2h3m4s");
BENCHMARK_CAPTURE(BM_Parse, clock24, "12:30");
BENCHMARK_CAPTURE(BM_Parse, clock12, "9pm");
BENCHMARK_CAPTURE(BM_Parse, clock12Minutes, "11:30am");
BENCHMARK_CAPTURE(BM_Parse, fullWidth, "１ｈ３０ｍ");
BENCHMARK_CAPTURE(BM_Parse, paddedCapitals, "  1H30M  ");
BENCHMARK_CAPTURE(BM_Parse, errorInvalid, "abc");
BENCHMARK_CAPTURE(BM_Parse, errorSpaced, "9 pm");
BENCHMARK_CAPTURE(BM_Parse, errorPast, "8:00");
BENCHMARK_CAPTURE(BM_Parse, errorOutOfRange, "99999999999999999999m");
BENCHMARK(BM_ParseMix);

BENCHMARK_MAIN();
