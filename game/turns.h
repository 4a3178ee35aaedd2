// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The turns of a round, written once and played two ways: the engine plays
// them at the table, where every card flies and every line is said, and the
// search player plays them out in silence, thousands of times a second.
//
// RoundTurns keeps the round's bookkeeping (the turn pointer, the cards in
// the hands and on the table, passes, drops, places and points); its Stage
// shows each step and chooses the computers' and, in a playout, the user's
// moves. A Stage provides:
//
//   bool isPerson(int seat);                // whether a person moves for the seat
//   void relayHand();                       // a turn begins: hands are laid out again
//   void userTurn(RoundTurns&);             // a person's turn opens (the current seat's)
//   Decision decide(int seat);              // a computer's move (None: complete a row or pass)
//   void cardFlies(int seat, int card);     // a back disappears, the card goes to its cell
//   void landed(int seat, int slot, int card, LandKind kind, int cell);
//   void userHandEmpty(int seat);           // a person has no card left
//   void speak(int kbn, int place);         // the current seat says a line
//   void showPlace(int seat, int place);    // "1番" beside the seat
//   void scored(int seat, std::optional<int32_t> points);
//   void out(int seat, int place);          // the seat is out of the round
//   void jokerFlies(int gap);               // the joker goes to the gap's cell
//   void jokerLaid(int seat, int gap);
//   void forcedPlay(int seat, int gap);     // the gap card's holder must lay it now
//   void hideJoker();                       // the joker leaves the table
//   void passed(int seat, int count);       // a pass that is not a drop
//   void dropping(int seat);                // the seat gives up; its cards follow
//   void pause(int milliseconds);
#pragma once

#include <optional>

#include "game/rules.h"
#include "game/strategy.h"
#include "game/round_scoring.h"

namespace vantel {

enum class LandKind { Play, Forced, Lay };

inline constexpr int kUserSeat = 1;
inline constexpr int kMaxPasses = 3;
inline constexpr int kForcedPlayPauseMs = 1000;

// The seat whose turn comes next: the one after the current seat that still
// holds cards, or the current seat itself once more after a joker play
// (keepSeat). 0 when no seat holds a card.
inline int nextSeatToMove(const RoundState& s) {
    int seat = s.currentSeat;
    bool keep = s.keepSeat != 0;
    for (int tries = 0;; ++tries) {
        if (keep) {
            keep = false;
        } else {
            seat += 1;
        }
        if (seat > kSeats) seat = 1;
        if (seat >= 1 && s.cardsLeft[seat] >= 1) return seat;
        if (tries > 2 * kSeats) return 0;
    }
}

template <typename Stage>
class RoundTurns {
public:
    RoundTurns(RoundState& s, Stage& stage) : s_(s), stage_(stage) {}

    // BATLE: one turn. The pointer moves on to the next seat still in (or,
    // after a joker play, stays), then that seat plays, passes or drops; at
    // the user's turn the Stage is told and the move comes later.
    void batle() {
        s_.droppingOut = 0;
        if (s_.placeCount + s_.dropCount > 3) {
            s_.roundOver = 1;
            return;
        }
        const int seat = nextSeatToMove(s_);
        s_.keepSeat = 0;
        if (seat == 0) {
            // No seat holds a card although the counters say otherwise (only
            // possible when a skip cut the round short): end it.
            s_.roundOver = 1;
            return;
        }
        s_.currentSeat = seat;

        if (s_.dropCount == 3) {
            // The last seat in the round lays everything it holds.
            for (int slot = 1; slot <= kHandSlots; ++slot) {
                const int card = s_.hand[seat][slot];
                if (card != 0) zahyoIdo(slot, card, LandKind::Lay);
            }
            return;
        }
        stage_.relayHand();
        if (stage_.isPerson(seat)) {
            stage_.userTurn(*this);
        } else {
            computerTurn(seat);
        }
    }

    // The person to move lays `card` (a click on a raised card). A card that
    // could be laid only through the joker goes down first; the gap is then
    // found on the table that already holds it.
    void userCard(int card) {
        const int seat = s_.currentSeat;
        int slot = 0;
        for (int i = 1; i <= kJokerSlot; ++i) {
            if (s_.hand[seat][i] == card) {
                slot = i;
                break;
            }
        }
        const bool throughJoker = dispChk(s_.table, card) == 0;
        zahyoIdo(slot, card, LandKind::Play);
        if (throughJoker && s_.holdsJoker(seat)) {
            const int gap = jyoker(s_.table, s_.hand[seat], card);
            if (gap != 0) {
                s_.keepSeat = gap;
                jyokerIdo(gap);
                tebanHenko(gap);
            }
        }
    }

    void userPass() {
        s_.passCount[s_.currentSeat] += 1;
        stage_.passed(s_.currentSeat, s_.passCount[s_.currentSeat]);
    }

    // DROP: the person gives up; every card still held goes down out of
    // line (and a joker still held is put away with the emptied hand).
    void userDrop() {
        const int seat = s_.currentSeat;
        stage_.speak(2, 0);
        s_.droppingOut = 1;
        if (seat == kUserSeat) s_.userOut = 1;
        dropOut(seat);
    }

    // A computer's move, as chosen by the Stage: a card, a joker play, or
    // (with nothing chosen and no row to complete) a pass.
    void computerTurn(int seat) {
        Decision decision = stage_.decide(seat);
        if (decision.kind == Decision::None && s_.cardsLeft[seat] > 0) {
            if (const int k = sikouRtn5(s_); k != 0) decision = {Decision::Play, k};
        }
        switch (decision.kind) {
            case Decision::Play:
                zahyoIdo(decision.slot, s_.hand[seat][decision.slot], LandKind::Play);
                break;
            case Decision::JokerPlay:
                jokerPlay(decision.slot);
                break;
            case Decision::Pass:
            case Decision::None:
                passTurn(seat);
                break;
        }
    }

    // KEISAN: the points of the current seat, whose hand just emptied (or
    // which the skip command puts out).
    void keisan(int kbn) {
        const int seat = s_.currentSeat;
        int others = 0;
        for (int i = 1; i <= kSeats; ++i) {
            if (i != seat) others += s_.cardsLeft[i];
        }
        const std::optional<int32_t> points = roundPointsFor(kbn, s_.placeCount, s_.dropCount, others);
        if (points && kbn == 1 && s_.placeCount == 1) s_.roundWinnerSeat = seat;
        stage_.scored(seat, points);
    }

private:
    void passTurn(int seat) {
        s_.passCount[seat] += 1;
        if (s_.passCount[seat] > kMaxPasses) {
            // The fourth pass drops the seat out; the joker stays in its hand.
            stage_.speak(2, 0);
            s_.droppingOut = 1;
            dropOut(seat);
            return;
        }
        stage_.passed(seat, s_.passCount[seat]);
    }

    // Lays every card the seat still holds, in slot order.
    void dropOut(int seat) {
        stage_.dropping(seat);
        for (int slot = 1; slot <= kHandSlots; ++slot) {
            const int card = s_.hand[seat][slot];
            if (card != 0) zahyoIdo(slot, card, LandKind::Lay);
        }
    }

    // A computer's joker play: the joker fills the gap first, then the card
    // goes down beyond it, and the gap card's holder must play it.
    void jokerPlay(int slot) {
        const int seat = s_.currentSeat;
        const int card = s_.hand[seat][slot];
        const int gap = jyoker(s_.table, s_.hand[seat], card);
        s_.keepSeat = gap;
        jyokerIdo(gap);
        zahyoIdo(slot, card, LandKind::Play);
        tebanHenko(gap);
    }

    // ZAHYO_IDO: the card leaves the current seat's hand for its cell.
    void zahyoIdo(int slot, int card, LandKind kind) {
        const int seat = s_.currentSeat;
        if (!isCard(card) || slot < 1 || slot > kHandSlots) return;
        stage_.cardFlies(seat, card);
        land(seat, slot, card, kind);
    }

    // The card has landed: counts, the table, and when the hand is empty,
    // the seat's place and points.
    void land(int seat, int slot, int card, LandKind kind) {
        s_.hand[seat][slot] = kNoCard;
        s_.cardsLeft[seat] -= 1;
        const int suit = suitOf(card);
        const int rank = rankOf(card);
        if (s_.droppingOut == 1) {
            s_.table[suit][rank] = kCellOutOfLine;
            flgChk2(s_.table, suit, rank);
        } else {
            s_.table[suit][rank] = kCellConnected;
            flgChk(s_.table, suit, rank);
        }
        stage_.landed(seat, slot, card, kind, s_.table[suit][rank]);
        if (s_.roundOver == 1 || s_.cardsLeft[seat] > 0) return;

        if (stage_.isPerson(seat)) {
            if (seat == kUserSeat) s_.userOut = 1;
            stage_.userHandEmpty(seat);
        }
        int place;
        if (s_.droppingOut == 1) {
            s_.dropCount += 1;
            place = dropPlace(s_.dropCount);
            stage_.showPlace(seat, place);
            keisan(2);
        } else {
            s_.placeCount += 1;
            place = s_.placeCount;
            stage_.speak(1, place);
            stage_.showPlace(seat, place);
            keisan(1);
        }
        stage_.out(seat, place);
    }

    void jyokerIdo(int gap) {
        stage_.jokerFlies(gap);
        s_.hand[s_.currentSeat][kJokerSlot] = kNoCard;
        stage_.jokerLaid(s_.currentSeat, gap);
    }

    // TEBAN_HENKO: whoever holds the gap card plays it at once; the turn
    // then goes to the seat after that holder.
    void tebanHenko(int gap) {
        stage_.pause(kForcedPlayPauseMs);
        for (int seat = 1; seat <= kSeats; ++seat) {
            for (int slot = 1; slot <= kHandSlots; ++slot) {
                if (s_.hand[seat][slot] != gap) continue;
                s_.currentSeat = seat;
                stage_.forcedPlay(seat, gap);
                stage_.speak(4, 0);
                stage_.hideJoker();
                zahyoIdo(slot, gap, LandKind::Forced);
                s_.currentSeat = seat >= kSeats ? 1 : seat + 1;
                return;
            }
        }
    }

    RoundState& s_;
    Stage& stage_;
};

}  // namespace vantel
