// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The search player: for the seat to move, it deals the cards it cannot see
// as they might lie (Sampler), plays every move it may make on each such
// deal and the round out to its end (playOut), and takes the move with the
// best average outcome for its seat: the round's points as scoring counts
// them, and a little for the place itself. A computer that searches (at
// むずかしい) plays against the user as the blocker does: the user's points
// count against its own. Every move is tried on the same deals, so the moves
// are compared on equal terms.
//
// It knows only what the seat knows (SeatKnowledge): swapping the cards it
// cannot see among the other hands changes nothing it decides.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "game/search/knowledge.h"
#include "game/user_model.h"

namespace vantel {

// How long to think: a number of playouts (repeatable: the same seed gives
// the same move), or, when that is 0, a time.
struct SearchBudget {
    int playouts = 0;
    std::chrono::microseconds time{150000};

    static SearchBudget ofPlayouts(int n) { return {n, std::chrono::microseconds(0)}; }
    static SearchBudget ofTime(std::chrono::microseconds t) { return {0, t}; }
};

// A little for each place better than fourth, beside the points.
inline constexpr int kPlaceWeight = 25;

struct SearchResult {
    TurnMove move;
    int moves = 0;            // legal moves weighed
    int64_t playouts = 0;
    int64_t deals = 0;        // deals drawn, and those that explained every pass
    int64_t consistentDeals = 0;
    double seconds = 0;
};

// The move the search player makes for `knowledge`'s seat. `seed` drives
// its deals; `cancel`, when set, makes it stop early with what it has.
SearchResult searchMove(const SeatKnowledge& knowledge, const SearchBudget& budget, uint64_t seed,
                        const std::atomic<bool>* cancel = nullptr);

}  // namespace vantel
