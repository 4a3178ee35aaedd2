// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/user_model.h"

#include "game/rules.h"

namespace vantel {

TurnMove lowestCardMove(const RoundState& s, int seat) {
    const Hand& hand = s.hand[seat];
    for (int slot = 1; slot <= kHandSlots; ++slot) {
        if (dispChk(s.table, hand[slot]) != 0) return {TurnMove::Card, hand[slot]};
    }
    if (s.holdsJoker(seat)) {
        for (int slot = 1; slot <= kHandSlots; ++slot) {
            if (hand[slot] != 0 && jyoker(s.table, hand, hand[slot]) != 0) return {TurnMove::Card, hand[slot]};
        }
    }
    return {s.passCount[seat] < 3 ? TurnMove::Pass : TurnMove::Drop, 0};
}

}  // namespace vantel
