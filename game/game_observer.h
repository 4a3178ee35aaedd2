// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A listener for what happens in a round, in the order it happens. The
// simulator writes its trace from it; the game itself has no observer.
#pragma once

#include <array>

#include "game/round_state.h"

namespace vantel {

class GameObserver {
public:
    virtual ~GameObserver() = default;
    virtual void onMatchStart() {}
    // After the deal and the sorting of the user's hand, before the sevens
    // are laid, once the blocker is drawn.
    virtual void onDeal(int /*round*/, const std::array<Hand, 5>& /*hands*/, int /*blocker*/) {}
    // A chosen card landed (normally or with the joker).
    virtual void onPlay(int /*seat*/, int /*slot*/, int /*card*/) {}
    virtual void onJoker(int /*seat*/, int /*gap*/) {}
    // The holder of the joker's gap card was made to play it.
    virtual void onForced(int /*seat*/, int /*slot*/, int /*card*/) {}
    virtual void onPass(int /*seat*/, int /*count*/) {}
    virtual void onDrop(int /*seat*/) {}
    // A card laid by a dropping seat or by the last seat after three drops;
    // `cell` is its table cell right after landing (1 or 2).
    virtual void onLay(int /*seat*/, int /*slot*/, int /*card*/, int /*cell*/) {}
    virtual void onOut(int /*seat*/, int /*place*/, int /*points*/) {}
    virtual void onRoundEnd(int /*round*/) {}
    virtual void onMatchEnd() {}
};

}  // namespace vantel
