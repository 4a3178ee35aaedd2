// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/search/playout.h"

#include "game/rules.h"
#include "game/turns.h"

namespace vantel {

namespace {

// The turns of a playout: nothing is shown; the seats play by `seats`.
struct SilentStage {
    RoundState& s;
    const PlayoutSeats& seats;
    PlayoutResult result;

    bool isPerson(int seat) const { return seat == kUserSeat; }
    void relayHand() {}
    void userTurn(RoundTurns<SilentStage>& turns) {
        if (seats[kUserSeat] != SeatStrategy::General) {
            play(turns, lowestCardMove(s));
            return;
        }
        // The general strategy at the user's seat, through the user's buttons.
        Decision d = computerMove(s, SeatStrategy::General);
        if (d.kind == Decision::None) {
            if (const int k = sikouRtn5(s); k != 0) d = {Decision::Play, k};
        }
        if (d.kind == Decision::Play || d.kind == Decision::JokerPlay) {
            turns.userCard(s.hand[kUserSeat][d.slot]);
        } else if (s.passCount[kUserSeat] < kMaxPasses) {
            turns.userPass();
        } else {
            turns.userDrop();
        }
    }
    Decision decide(int seat) {
        if (firstMove) {
            const Decision d = *firstMove;
            firstMove.reset();
            return d;
        }
        return computerMove(s, seats[seat] == SeatStrategy::Blocking ? SeatStrategy::Blocking
                                                                       : SeatStrategy::General);
    }
    void cardFlies(int, int) {}
    void landed(int, int, int, LandKind, int) {}
    void userHandEmpty(int) {}
    void speak(int, int) {}
    void showPlace(int, int) {}
    void scored(int seat, std::optional<int32_t> points) {
        if (points) result.points[seat] = *points;
    }
    void out(int seat, int place) { result.place[seat] = place; }
    void jokerFlies(int) {}
    void jokerLaid(int, int) {}
    void forcedPlay(int, int) {}
    void hideJoker() {}
    void passed(int, int) {}
    void dropping(int) {}
    void pause(int) {}

    void play(RoundTurns<SilentStage>& turns, const TurnMove& move) {
        if (s.currentSeat == kUserSeat) {
            switch (move.kind) {
                case TurnMove::Card: turns.userCard(move.card); break;
                case TurnMove::Pass: turns.userPass(); break;
                case TurnMove::Drop: turns.userDrop(); break;
            }
            return;
        }
        firstMove = decisionFor(s, move);
        turns.computerTurn(s.currentSeat);
    }

    // The searching computer's own move, taken once instead of its strategy.
    std::optional<Decision> firstMove;
};

}  // namespace

PlayoutResult playOut(RoundState& s, const TurnMove& move, const PlayoutSeats& seats) {
    SilentStage stage{s, seats, {}, {}};
    RoundTurns<SilentStage> turns(s, stage);
    stage.play(turns, move);
    // A round has at most 52 cards and 12 passes; anything longer is a fault.
    for (int turn = 0; s.roundOver == 0 && turn < 400; ++turn) turns.batle();
    return stage.result;
}

Decision decisionFor(const RoundState& s, const TurnMove& move) {
    if (move.kind != TurnMove::Card) return {Decision::Pass, 0};
    const Hand& hand = s.hand[s.currentSeat];
    for (int slot = 1; slot <= kHandSlots; ++slot) {
        if (hand[slot] == move.card) {
            return {dispChk(s.table, move.card) != 0 ? Decision::Play : Decision::JokerPlay, slot};
        }
    }
    return {Decision::Pass, 0};
}

int legalMoves(const RoundState& s, std::array<TurnMove, 16>& moves) {
    const int seat = s.currentSeat;
    const Hand& hand = s.hand[seat];
    int count = 0;
    for (int slot = 1; slot <= kHandSlots; ++slot) {
        const int card = hand[slot];
        if (card == 0) continue;
        if (dispChk(s.table, card) != 0 || jokerPlayable(s, seat, card)) {
            moves[count++] = {TurnMove::Card, card};
        }
    }
    if (s.passCount[seat] < kMaxPasses) {
        moves[count++] = {TurnMove::Pass, 0};
    } else if (s.passCount[seat] == kMaxPasses) {
        moves[count++] = {TurnMove::Drop, 0};
    }
    return count;
}

}  // namespace vantel
