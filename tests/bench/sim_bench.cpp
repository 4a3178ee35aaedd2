// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Throughput of the headless simulator: whole ten-round matches with the
// real engine, zero pauses and no trace.
#include <benchmark/benchmark.h>

#include "records/match_state.h"
#include "tools/sim/simulation.h"

namespace {

void BM_SimulatorRounds(benchmark::State& state) {
    uint64_t seed = 1;
    int64_t rounds = 0;
    for (auto _ : state) {
        vantel::MatchState match;
        const auto summary = vantel::runSimulation(seed++, 10, match);
        rounds += summary.rounds;
        benchmark::DoNotOptimize(summary.rounds);
    }
    state.counters["rounds_per_second"] =
        benchmark::Counter(static_cast<double>(rounds), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimulatorRounds)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
