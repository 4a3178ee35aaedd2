// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A seat's stream read where the table is not: at a table held by a server
// the window knows only what its seat is told. This turns that stream into
// what the window needs of a table it does not hold:
// - the table seen from the seat, its own seat first: table seat `s` shows
//   at place ((s - seat) mod 4) + 1, so the seat is at place 1 (the bottom)
//   and the others follow in their order of play;
// - what the seat knows at its own turn (for a hint), worked out from the
//   events alone, as the table itself works it out from the whole round;
// - the match's figures as the result table and match-end screens read
//   them (round points, totals, places).
#pragma once

#include <array>
#include <optional>

#include "game/match_play.h"
#include "game/round_state.h"
#include "game/search/knowledge.h"
#include "game/seat_view.h"
#include "game/strategy.h"
#include "game/table_event.h"

namespace vantel {

// Where table seat `seat` shows for `viewer` (1..4); 0 stays 0.
constexpr int placeOf(int seat, int viewer) {
    if (seat < 1 || seat > kSeats || viewer < 1 || viewer > kSeats) return seat;
    return (seat - viewer + kSeats) % kSeats + 1;
}
// The table seat shown at `place` for `viewer`.
constexpr int seatAt(int place, int viewer) {
    if (place < 1 || place > kSeats || viewer < 1 || viewer > kSeats) return place;
    return (place + viewer - 2) % kSeats + 1;
}

// `event` as `viewer` sees it from place 1.
TableEvent seenFrom(const TableEvent& event, int viewer);
// `view` (of `view.seat`) turned so that its seat is at place 1.
SeatView seenFrom(const SeatView& view);

// The round as far as `view` shows it: the seat's own hand, the table, the
// counts of every seat; nobody else's cards.
RoundState roundFromView(const SeatView& view);

// The match's figures kept up to date from a seat's events.
void applyToMatch(MatchPlay& match, const TableEvent& event);

// Follows a seat's stream and says what the seat knows at its turn.
class SeatKnowledgeTracker {
public:
    explicit SeatKnowledgeTracker(int seat) { view_.seat = seat; }

    void apply(const TableEvent& event);
    // Starts again from a snapshot: what happened earlier in the round is
    // lost, so passes and laid cards before it are not known.
    void restart(const SeatView& view);
    const SeatView& view() const { return view_; }

    // At a friends' table: how every seat plays, as everybody knows.
    void setFriendsPlay(const std::array<SeatStrategy, 5>& play) { friendsPlay_ = play; }
    // What the seat knows, while its move is awaited.
    std::optional<SeatKnowledge> knowledge(Strength strength) const;

private:
    SeatView view_;
    RoundHistory history_;
    std::optional<std::array<SeatStrategy, 5>> friendsPlay_;
};

}  // namespace vantel
