// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/seat_follower.h"

namespace vantel {

namespace {

template <typename Array>
Array turned(const Array& perSeat, int viewer) {
    // Arrays indexed 1..4 by seat (element 0 unused).
    Array out = perSeat;
    for (int s = 1; s <= kSeats; ++s) out[placeOf(s, viewer)] = perSeat[s];
    return out;
}

}  // namespace

TableEvent seenFrom(const TableEvent& event, int viewer) {
    TableEvent e = event;
    e.seat = uint8_t(placeOf(event.seat, viewer));
    e.visibleTo = uint8_t(placeOf(event.visibleTo, viewer));
    for (int s = 1; s <= kSeats; ++s) e.values[placeOf(s, viewer) - 1] = event.values[s - 1];
    return e;
}

SeatView seenFrom(const SeatView& view) {
    const int viewer = view.seat;
    if (viewer < 1 || viewer > kSeats) return view;
    SeatView v = view;
    v.seat = 1;
    v.cardsLeft = turned(view.cardsLeft, viewer);
    v.passCount = turned(view.passCount, viewer);
    v.place = turned(view.place, viewer);
    v.dropped = turned(view.dropped, viewer);
    v.roundPoints = turned(view.roundPoints, viewer);
    v.totals = turned(view.totals, viewer);
    v.places = turned(view.places, viewer);
    v.roundWinner = placeOf(view.roundWinner, viewer);
    v.streakSeat = placeOf(view.streakSeat, viewer);
    v.turnSeat = placeOf(view.turnSeat, viewer);
    return v;
}

RoundState roundFromView(const SeatView& view) {
    RoundState s;
    if (view.seat >= 1 && view.seat <= kSeats) s.hand[view.seat] = view.hand;
    s.table = view.table;
    s.currentSeat = view.turnSeat;
    s.cardsLeft = view.cardsLeft;
    s.passCount = view.passCount;
    for (int seat = 1; seat <= kSeats; ++seat) {
        if (view.dropped[seat]) {
            s.dropCount += 1;
        } else if (view.place[seat] > 0) {
            s.placeCount += 1;
        }
    }
    s.roundOver = view.phase == ViewPhase::Playing || view.phase == ViewPhase::Dealing ? 0 : 1;
    s.blockerSeat = 0;
    s.roundWinnerSeat = view.roundWinner;
    s.streakSeat = view.streakSeat;
    s.streakCount = view.streakCount;
    return s;
}

void applyToMatch(MatchPlay& match, const TableEvent& e) {
    auto copy = [&e](std::array<int32_t, kSeats + 1>& to) {
        for (int s = 1; s <= kSeats; ++s) to[s] = e.values[s - 1];
    };
    switch (e.kind) {
        case EventKind::RoundStart:
            match.roundNumber = e.a;
            copy(match.matchTotal);
            match.roundPoints.fill(0);
            break;
        case EventKind::RoundEnd: copy(match.roundPoints); break;
        case EventKind::Totals: copy(match.matchTotal); break;
        case EventKind::Results:
        case EventKind::MatchEnd: copy(match.finalPlace); break;
        case EventKind::MatchClosed:
            match.matchTotal.fill(0);
            match.roundNumber = 0;
            break;
        default: break;
    }
}

void SeatKnowledgeTracker::apply(const TableEvent& e) {
    if (!e.visibleFor(view_.seat)) return;
    if (e.kind == EventKind::RoundStart) history_.clear();
    view_.apply(e);
    switch (e.kind) {
        case EventKind::Card: history_.cardLaid(e.seat, e.card); break;
        case EventKind::Joker: history_.jokerUsed(e.seat); break;
        case EventKind::Pass: history_.passed(roundFromView(view_), e.seat); break;
        default: break;
    }
}

void SeatKnowledgeTracker::restart(const SeatView& view) {
    view_ = view;
    history_.clear();
}

std::optional<SeatKnowledge> SeatKnowledgeTracker::knowledge(Strength strength) const {
    if (!view_.myTurn || view_.seat < 1 || view_.seat > kSeats) return std::nullopt;
    RoundState s = roundFromView(view_);
    s.currentSeat = view_.seat;
    SeatKnowledge k = knowledgeFor(s, view_.seat, strength, history_);
    if (friendsPlay_) {
        k.friends = true;
        k.friendsPlay = *friendsPlay_;
    }
    return k;
}

}  // namespace vantel
