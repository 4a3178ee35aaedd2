// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/sim/user_policy.h"

#include "game/engine.h"

namespace vantel {

void playUserMove(Engine& engine, const TurnMove& move) {
    switch (move.kind) {
        case TurnMove::Card: engine.imgClick(move.card); break;
        case TurnMove::Pass: engine.cmdPassClick(); break;
        case TurnMove::Drop: engine.cmdOutClick(); break;
    }
}

void playUserTurn(Engine& engine) { playUserMove(engine, lowestCardMove(engine.round())); }

}  // namespace vantel
