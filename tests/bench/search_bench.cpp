// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Speed of the search player on one core: playouts per second, and the
// time a decision takes, over the user's turns of real matches (the states
// a hint or a searching computer meets).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "records/match_state.h"
#include "game/engine.h"
#include "game/search/search_player.h"
#include "tools/sim/sim_view.h"
#include "tools/sim/user_policy.h"

namespace {

using namespace vantel;

// What the user's seat knew at each of its turns in a few matches at ふつう
// with two moves or more open.
const std::vector<SeatKnowledge>& decisions() {
    static const std::vector<SeatKnowledge> states = [] {
        std::vector<SeatKnowledge> out;
        MatchState match;
        SimView view;
        Random random(2026);
        Engine engine(match, view, random);
        int matches = 0;
        view.onRecordMatch = [&] { ++matches; };
        view.onRetry = [&] { return matches < 6; };
        engine.mnuKaisiClick();
        while (engine.awaitingUser()) {
            SeatKnowledge k = *engine.hintKnowledge();
            if (searchMove(k, SearchBudget::ofPlayouts(1), 1).moves > 1) out.push_back(std::move(k));
            playUserTurn(engine);
        }
        return out;
    }();
    return states;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// A decision by a count of playouts, as the simulator makes it.
void BM_SearchByPlayouts(benchmark::State& state) {
    const auto& states = decisions();
    const int playouts = static_cast<int>(state.range(0));
    std::vector<double> times;
    int64_t done = 0;
    std::size_t next = 0;
    uint64_t seed = 1;
    for (auto _ : state) {
        const SearchResult r = searchMove(states[next], SearchBudget::ofPlayouts(playouts), seed++);
        next = (next + 1) % states.size();
        times.push_back(r.seconds * 1000);
        done += r.playouts;
        benchmark::DoNotOptimize(r.move);
    }
    state.counters["playouts_per_second"] = benchmark::Counter(double(done), benchmark::Counter::kIsRate);
    state.counters["median_ms"] = median(times);
    state.counters["worst_ms"] = *std::max_element(times.begin(), times.end());
    state.counters["states"] = double(states.size());
}
BENCHMARK(BM_SearchByPlayouts)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(400);

// A decision by the table's time budget: how long it really takes, and how
// many playouts fit.
void BM_SearchByTime(benchmark::State& state) {
    const auto& states = decisions();
    std::vector<double> times;
    std::vector<double> playouts;
    std::size_t next = 0;
    uint64_t seed = 1;
    for (auto _ : state) {
        const SearchResult r =
            searchMove(states[next], SearchBudget::ofTime(std::chrono::milliseconds(150)), seed++);
        next = (next + 1) % states.size();
        times.push_back(r.seconds * 1000);
        playouts.push_back(double(r.playouts));
        benchmark::DoNotOptimize(r.move);
    }
    state.counters["median_ms"] = median(times);
    state.counters["worst_ms"] = *std::max_element(times.begin(), times.end());
    state.counters["median_playouts"] = median(playouts);
    state.counters["fewest_playouts"] = *std::min_element(playouts.begin(), playouts.end());
}
BENCHMARK(BM_SearchByTime)->Unit(benchmark::kMillisecond)->Iterations(60);

}  // namespace

BENCHMARK_MAIN();
