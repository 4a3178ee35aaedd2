// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/search/search_player.h"

#include <array>

#include "game/search/playout.h"
#include "game/search/sampler.h"

namespace vantel {

namespace {

constexpr int kUser = 1;

// What a round's end is worth to `seat`: its points, a little for its place,
// and for a computer the user's points counted against it.
// At a friends' table there is no user to play against: only its own.
int64_t outcomeValue(const PlayoutResult& outcome, int seat, bool friends) {
    const int place = outcome.place[seat] == 0 ? 4 : outcome.place[seat];
    int64_t value = outcome.points[seat] + kPlaceWeight * (4 - place);
    if (seat != kUser && !friends) value -= outcome.points[kUser];
    return value;
}

}  // namespace

SearchResult searchMove(const SeatKnowledge& knowledge, const SearchBudget& budget, uint64_t seed,
                        const std::atomic<bool>* cancel) {
    const auto start = std::chrono::steady_clock::now();
    SearchResult result;
    std::array<TurnMove, 16> moves{};
    const int count = legalMoves(knowledge.round, moves);
    result.moves = count;
    if (count == 0) return result;
    result.move = moves[0];
    if (count == 1) return result;

    const int seat = knowledge.seat;
    Sampler sampler(knowledge);
    SearchRandom random(seed);
    std::array<int64_t, 16> value{};
    RoundState dealt;
    RoundState played;
    PlayoutSeats seats{};
    // By count: as many deals as give every move its share of the playouts.
    const int64_t dealsWanted = budget.playouts > 0 ? (budget.playouts + count - 1) / count : 0;
    const auto deadline = start + budget.time;
    for (int64_t deal = 0;; ++deal) {
        const bool spent = dealsWanted > 0 ? deal >= dealsWanted
                                           : deal > 0 && std::chrono::steady_clock::now() >= deadline;
        if (spent) break;
        if (cancel && deal > 0 && cancel->load(std::memory_order_relaxed)) break;
        sampler.sample(random, dealt, seats);
        for (int m = 0; m < count; ++m) {
            played = dealt;
            const PlayoutResult outcome = playOut(played, moves[m], seats);
            value[m] += outcomeValue(outcome, seat, knowledge.friends);
        }
        result.playouts += count;
    }
    int best = 0;
    for (int m = 1; m < count; ++m) {
        if (value[m] > value[best]) best = m;
    }
    result.move = moves[best];
    result.deals = sampler.deals();
    result.consistentDeals = sampler.consistent();
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

}  // namespace vantel
