// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/search/knowledge.h"

#include <algorithm>

namespace vantel {

void RoundHistory::passed(const RoundState& s, int seat) {
    Pass pass;
    pass.seat = seat;
    pass.eventsBefore = static_cast<int>(events_.size());
    pass.table = s.table;
    pass.passCount = s.passCount;
    pass.passCount[seat] -= 1;
    pass.cardsLeft = s.cardsLeft;
    pass.placeCount = s.placeCount;
    pass.dropCount = s.dropCount;
    passes_.push_back(pass);
}

bool RoundHistory::jokerUsed() const {
    return std::any_of(events_.begin(), events_.end(), [](const Event& e) { return e.kind == Event::Joker; });
}

SeatKnowledge knowledgeFor(const RoundState& s, int seat, Strength strength, const RoundHistory& history) {
    SeatKnowledge k;
    k.seat = seat;
    k.strength = strength;
    k.history = history;
    k.round = s;
    for (int other = 1; other <= 4; ++other) {
        if (other != seat) k.round.hand[other].fill(kNoCard);
    }
    k.round.blockerSeat = 0;
    k.round.userHadJoker = false;
    k.round.playable.fill(0);
    k.round.jokerHint = 0;
    k.jokerUnseen = !s.holdsJoker(seat) && !history.jokerUsed();
    return k;
}

}  // namespace vantel
