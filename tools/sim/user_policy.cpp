// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/sim/user_policy.h"

#include "game/engine.h"
#include "game/rules.h"

namespace vantel {

void playUserTurn(Engine& engine) {
    const RoundState& s = engine.round();
    const Hand& hand = s.hand[1];
    for (int slot = 1; slot <= kHandSlots; ++slot) {
        if (dispChk(s.table, hand[slot]) != 0) {
            engine.imgClick(hand[slot]);
            return;
        }
    }
    if (s.holdsJoker(1)) {
        for (int slot = 1; slot <= kHandSlots; ++slot) {
            if (hand[slot] != 0 && jyoker(s.table, hand, hand[slot]) != 0) {
                engine.imgClick(hand[slot]);
                return;
            }
        }
    }
    if (s.passCount[1] < 3) {
        engine.cmdPassClick();
    } else {
        engine.cmdOutClick();
    }
}

}  // namespace vantel
