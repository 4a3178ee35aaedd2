// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How a computer seat chooses its move.
//
// One computer per round, the blocker, watches the user's hand: it stops
// the user's last card, passes while the user is stuck and only lays cards
// that free none of the user's blocked cards. Every other computer (and the
// blocker when blocking gives no move) plays the general strategy, which
// ranks its playable cards by priorities 1 to 6.
//
// All routines work for the seat `s.currentSeat` and may overwrite the
// scratch array `s.playable`, as the turn logic expects.
#pragma once

#include "game/round_state.h"
#include "game/strength.h"

namespace vantel {

struct Decision {
    enum Kind { None, Play, JokerPlay, Pass };
    Kind kind = None;
    int slot = 0;

    friend bool operator==(const Decision&, const Decision&) = default;
};

// Joker-playable: the seat holds the joker, the card is not playable as it
// is, and the joker can bridge a gap for it (gap test for the current seat).
bool jokerPlayable(const RoundState& s, int holder, int card);

// SIKOU_RTN1: the slot (1 or 13) whose card stops the user's last card, or 0.
int sikouRtn1(RoundState& s);
// SIKOU_RTN2: 1 when the user can move (or is out), 0 when the user is stuck.
int sikouRtn2(RoundState& s);
// SIKOU_RTN3: `indx` when laying the card of that slot frees none of the
// user's blocked cards, else 0.
int sikouRtn3(const RoundState& s, int indx);
// SIKOU_RTN4: the priority 1..6 of the card in slot `indx`, or 0 to hold it.
int sikouRtn4(const RoundState& s, int indx);
// SIKOU_RTN5: the first slot whose card completes its suit's row, or 0.
int sikouRtn5(const RoundState& s);

// How a seat chooses its moves.
enum class SeatStrategy {
    General,   // the general strategy
    Blocking,  // watches the user's hand first, then the general strategy
    Search,    // the search player
    User,      // the user's own seat
};

// Who plays what at a strength: at ふつう the blocker drawn for the round
// blocks and the others play the general strategy, as the game always has;
// at やさしい nobody blocks; at むずかしい the other two computers search.
SeatStrategy seatStrategy(Strength strength, int seat, int blockerSeat);

// A computer's move by the game's own strategies (General or Blocking): the
// blocker first tries to block, and every seat then ranks its cards. None
// means the turn goes on to complete a row if it can, else passes.
Decision computerMove(RoundState& s, SeatStrategy how);

// The blocking strategy: Play, JokerPlay or Pass, or None to fall through
// to the general strategy.
Decision blockingStrategy(RoundState& s);
// The general strategy's ranked choice: Play or JokerPlay, or None when no
// card has a priority (the turn then tries to complete a row, else passes).
Decision generalStrategy(RoundState& s);

}  // namespace vantel
