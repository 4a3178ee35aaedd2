// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A move as a player sees it, and the simple model of a user that the
// simulator plays and the search player expects of a human: the lowest card
// that can be laid, else the lowest the joker can lay, else PASS while
// passes remain, else DROP.
#pragma once

#include "game/round_state.h"

namespace vantel {

// A card (laid as it is, or through the joker when only the joker can lay
// it), PASS, or DROP. For a computer, DROP is its fourth pass.
struct TurnMove {
    enum Kind { Card, Pass, Drop };
    Kind kind = Pass;
    int card = 0;  // for Card: the card laid

    friend bool operator==(const TurnMove&, const TurnMove&) = default;
};

// The model's move for the user's turn in `s` (the user must be to move).
TurnMove lowestCardMove(const RoundState& s, int seat = 1);

}  // namespace vantel
