// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The fixed way the simulator plays the user's seat: the lowest playable
// card, else the lowest card the joker can lay, else PASS while passes
// remain, else DROP.
#pragma once

namespace vantel {

class Engine;

// Plays one move for the user; the engine must be waiting for the user.
void playUserTurn(Engine& engine);

}  // namespace vantel
