// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How the simulator plays the user's seat: by clicks on the engine, as the
// window would forward them.
#pragma once

#include "game/user_model.h"

namespace vantel {

class Engine;

// Clicks the card, PASS or DROP of `move`; the engine must be waiting for the user.
void playUserMove(Engine& engine, const TurnMove& move);
// Plays the fixed policy of the simulator's user: the lowest playable card,
// else the lowest card the joker can lay, else PASS while passes remain,
// else DROP.
void playUserTurn(Engine& engine);

}  // namespace vantel
