// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/seat_view.h"


namespace vantel {

namespace {

void removeFromHand(Hand& hand, int card) {
    for (int slot = 1; slot <= kJokerSlot; ++slot) {
        if (hand[slot] == card) {
            hand[slot] = kNoCard;
            return;
        }
    }
}

}  // namespace

void SeatView::apply(const TableEvent& e) {
    if (!e.visibleFor(seat)) return;
    seq = e.seq;
    const int who = e.seat;
    switch (e.kind) {
        case EventKind::MatchStart:
            match = e.a;
            phase = ViewPhase::Waiting;
            break;
        case EventKind::RoundStart:
            phase = ViewPhase::Dealing;
            round = e.a;
            hand.fill(kNoCard);
            for (auto& row : table) row.fill(kCellEmpty);
            jokerGap = 0;
            cardsLeft.fill(0);
            passCount.fill(0);
            place.fill(0);
            dropped.fill(false);
            for (int s = 1; s <= kSeats; ++s) totals[s] = e.values[s - 1];
            turnSeat = 0;
            myTurn = false;
            moveCards = 0;
            moveFlags = 0;
            break;
        case EventKind::Hand:
            for (int slot = 1; slot <= kJokerSlot; ++slot) hand[slot] = e.handSlots[slot];
            break;
        case EventKind::Deal:
            for (int s = 1; s <= kSeats; ++s) cardsLeft[s] = e.values[s - 1];
            break;
        case EventKind::Seven:
            table[suitOf(e.card)][rankOf(e.card)] = kCellConnected;
            cardsLeft[who] -= 1;
            if (who == seat) removeFromHand(hand, e.card);
            break;
        case EventKind::SevensLaid: phase = ViewPhase::Playing; break;
        case EventKind::TurnPause:
        case EventKind::TurnStart:
            turnSeat = who;
            myTurn = false;
            break;
        case EventKind::TurnOpen:
            turnSeat = who;
            myTurn = true;
            moveCards = e.cards;
            moveFlags = e.a;
            break;
        case EventKind::Card: {
            myTurn = false;
            // The row as the card left it: a dropping seat's cards lie out
            // of line until their row reaches them.
            unpackRow(e.cards, table[suitOf(e.card)]);
            cardsLeft[who] -= 1;
            if (who == seat) removeFromHand(hand, e.card);
            break;
        }
        case EventKind::Joker:
            myTurn = false;
            jokerGap = e.card;
            if (who == seat) hand[kJokerSlot] = kNoCard;
            break;
        case EventKind::JokerCleared: jokerGap = 0; break;
        case EventKind::JokerGone: hand[kJokerSlot] = kNoCard; break;
        case EventKind::Forced: break;
        case EventKind::Pass:
            myTurn = false;
            passCount[who] = e.a;
            break;
        case EventKind::Drop:
            myTurn = false;
            dropped[who] = true;
            passCount[who] = e.a;
            break;
        case EventKind::Line: break;
        case EventKind::Out:
            place[who] = e.a;
            if (e.how == 1) roundPoints[who] = e.b;
            break;
        case EventKind::SkipScored:
            place[who] = e.a;
            cardsLeft[who] = 0;
            if (e.how == 1) roundPoints[who] = e.b;
            break;
        case EventKind::Skipped: break;
        case EventKind::RoundEnd:
            phase = ViewPhase::RoundOver;
            for (int s = 1; s <= kSeats; ++s) roundPoints[s] = e.values[s - 1];
            roundWinner = who;
            turnSeat = 0;
            myTurn = false;
            break;
        case EventKind::Totals:
            for (int s = 1; s <= kSeats; ++s) totals[s] = e.values[s - 1];
            break;
        case EventKind::Streak: break;
        case EventKind::Results:
            for (int s = 1; s <= kSeats; ++s) places[s] = e.values[s - 1];
            streakSeat = who;
            streakCount = e.b;
            break;
        case EventKind::MatchEnd:
            phase = ViewPhase::MatchOver;
            for (int s = 1; s <= kSeats; ++s) places[s] = e.values[s - 1];
            break;
        case EventKind::MatchClosed:
            phase = ViewPhase::Waiting;
            round = 0;
            totals.fill(0);
            streakCount = 0;
            break;
    }
}

}  // namespace vantel
