// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A round played to its end in silence, with the game's own turns and
// strategies: no window, no pause, no line said. The search player runs
// thousands of these for every decision.
#pragma once

#include <array>
#include <cstdint>

#include "game/round_state.h"
#include "game/strategy.h"
#include "game/user_model.h"

namespace vantel {

// Who plays what in a playout. A computer seat plays General or Blocking
// (a seat that searches at the table is played as General: a playout does
// not search again). The user's seat plays User (the simple model of a
// user) or General (the general strategy, by the user's buttons).
using PlayoutSeats = std::array<SeatStrategy, 5>;

struct PlayoutResult {
    std::array<int32_t, 5> points{};  // the round's points of each seat
    std::array<int32_t, 5> place{};   // 1..4 (0: the round did not finish)
};

// Plays `move` for the seat to move in `s` (s.currentSeat, with the round
// as it stands at that seat's decision), then the rest of the round.
PlayoutResult playOut(RoundState& s, const TurnMove& move, const PlayoutSeats& seats);

// A computer's move as the turn plays it: its card as it is or through the
// joker, and PASS for PASS and DROP alike (a fourth pass is the drop).
Decision decisionFor(const RoundState& s, const TurnMove& move);

// The moves the seat to move in `s` may make: each card it can lay (as it
// is, or through the joker), PASS while passes remain, and DROP (for a
// computer its fourth pass) once three are used. Cards in slot order.
int legalMoves(const RoundState& s, std::array<TurnMove, 16>& moves);

}  // namespace vantel
