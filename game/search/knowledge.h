// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What one seat knows of a round: its own hand, the table, how many cards
// each other seat holds, and everything that happened in front of it — who
// laid which card, who used the joker, who passed when. Never another seat's
// hand, nor which computer is the blocker: the search player sees the round
// only through this.
#pragma once

#include <cstdint>
#include <vector>

#include "game/round_state.h"
#include "game/strategy.h"
#include "game/strength.h"

namespace vantel {

// The round as the whole table saw it happen.
class RoundHistory {
public:
    struct Event {
        enum Kind : uint8_t { Card, Joker };
        Kind kind;
        uint8_t seat;
        uint8_t card;  // for Card: the card that left the seat's hand for the table
    };
    // A seat passed (and did not drop): the table and the counts as they
    // stood when it chose to pass, and where in the events that was.
    struct Pass {
        int seat = 0;
        int eventsBefore = 0;
        TableGrid table{};
        std::array<int32_t, 5> passCount{};  // before this pass
        std::array<int32_t, 5> cardsLeft{};
        int32_t placeCount = 0;
        int32_t dropCount = 0;
    };

    void clear() {
        events_.clear();
        passes_.clear();
    }
    void cardLaid(int seat, int card) { events_.push_back({Event::Card, uint8_t(seat), uint8_t(card)}); }
    void jokerUsed(int seat) { events_.push_back({Event::Joker, uint8_t(seat), 0}); }
    // Called right after the pass was counted in `s`.
    void passed(const RoundState& s, int seat);

    const std::vector<Event>& events() const { return events_; }
    const std::vector<Pass>& passes() const { return passes_; }
    bool jokerUsed() const;

private:
    std::vector<Event> events_;
    std::vector<Pass> passes_;
};

struct SeatKnowledge {
    int seat = 0;
    Strength strength = Strength::Normal;
    // The round at the seat's decision, every other hand emptied: only their
    // sizes (cardsLeft) are known. The blocker is unknown (0).
    RoundState round;
    // The joker is still in play and not in the seat's own hand.
    bool jokerUnseen = false;
    RoundHistory history;
    // At a friends' table nobody blocks, a searching seat values only its
    // own points, and `friendsPlay` says how each seat plays (User for a
    // person, General or Search for a computer), which everybody knows.
    bool friends = false;
    std::array<SeatStrategy, 5> friendsPlay{};
};

// What `seat` knows when it is to move in `s` (s.currentSeat == seat).
SeatKnowledge knowledgeFor(const RoundState& s, int seat, Strength strength, const RoundHistory& history);

}  // namespace vantel
