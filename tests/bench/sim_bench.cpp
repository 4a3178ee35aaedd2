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

// The same matches at a table whose four seats are followed, as a server
// follows them: every event is kept, every seat's view kept up to date and
// every seat's stream read after each step.
void BM_FollowedTableRounds(benchmark::State& state) {
    uint64_t seed = 1;
    int64_t rounds = 0;
    size_t events = 0;
    for (auto _ : state) {
        vantel::SimPlay play;
        vantel::TableSetup setup = vantel::simTableSetup(seed++, play);
        setup.followed = true;
        vantel::MatchPlay match;
        vantel::Table table(setup, &match);
        std::array<uint64_t, 5> read{};
        table.startMatch();
        for (int matches = 0; matches < 10;) {
            if (const int seat = table.awaitedSeat()) {
                table.submit(seat, vantel::lowestCardMove(table.round(), seat));
            } else if (!table.step()) {
                if (++matches < 10) table.startMatch();
            }
            for (int k = 0; k <= vantel::kSeats; ++k) {
                const auto seen = table.eventsFor(k, read[k]);
                events += seen.size();
                if (!seen.empty()) read[k] = seen.back().seq;
            }
        }
        rounds += 100;
        benchmark::DoNotOptimize(events);
    }
    state.counters["rounds_per_second"] =
        benchmark::Counter(static_cast<double>(rounds), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FollowedTableRounds)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
