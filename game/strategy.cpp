// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/strategy.h"

#include <array>

#include "game/rules.h"

namespace vantel {

namespace {
constexpr int kUser = 1;
}

bool jokerPlayable(const RoundState& s, int holder, int card) {
    return s.holdsJoker(holder) && dispChk(s.table, card) == 0 &&
           jyoker(s.table, s.hand[s.currentSeat], card) != 0;
}

int sikouRtn1(RoundState& s) {
    if (!(s.cardsLeft[kUser] == 1 && s.passCount[kUser] > 2)) return 0;
    int card = 0;
    for (int i = 1; i <= kHandSlots; ++i) {
        if (s.hand[kUser][i] != 0) {
            card = s.hand[kUser][i];
            break;
        }
    }
    const int rank = dispChk(s.table, card);
    if (rank == 0) return 0;
    const int suit = suitOf(card);
    if (s.table[suit][13] != kCellEmpty || s.table[suit][1] != kCellEmpty) return 0;
    const Hand& mine = s.hand[s.currentSeat];
    if (rank < 7) return (mine[13] != 0 && dispChk(s.table, mine[13]) != 0) ? 13 : 0;
    return (mine[1] != 0 && dispChk(s.table, mine[1]) != 0) ? 1 : 0;
}

int sikouRtn2(RoundState& s) {
    if (s.cardsLeft[kUser] < 1) return 1;
    int result = 0;
    for (int i = 1; i <= kHandSlots; ++i) {
        const int card = s.hand[kUser][i];
        s.playable[i] = dispChk(s.table, card);
        if (s.playable[i] != 0) result = 1;
        if (s.holdsJoker(kUser) && card != 0 && jyoker(s.table, s.hand[s.currentSeat], card) != 0) {
            result = 1;
        }
    }
    return result;
}

int sikouRtn3(const RoundState& s, int indx) {
    const int mine = s.hand[s.currentSeat][indx];
    const int suit = suitOf(mine);
    const int rank = rankOf(mine);
    for (int i = 1; i <= kHandSlots; ++i) {
        const int card = s.hand[kUser][i];
        if (dispChk(s.table, card) != 0) continue;
        if (s.holdsJoker(kUser) && jyoker(s.table, s.hand[s.currentSeat], card) != 0) continue;
        if (dispChk2(s.table, card, suit, rank) != 0) return 0;
    }
    return indx;
}

int sikouRtn4(const RoundState& s, int indx) {
    const int seat = s.currentSeat;
    const int card = s.hand[seat][indx];
    const int suit = suitOf(card);
    const int rank = rankOf(card);
    if (rank >= 8 && s.table[suit][5] == kCellConnected) return rank - 7;
    if (rank <= 7 && s.table[suit][9] == kCellConnected) return 7 - rank;
    for (int j = 1; j <= kHandSlots; ++j) {
        const int other = s.hand[seat][j];
        if (j == indx || !isCard(other) || suitOf(other) != suit) continue;
        const int r = rankOf(other);
        if ((r >= 8 && r > rank) || (r <= 7 && r < rank)) return 4;
    }
    return (s.passCount[seat] >= 3 || s.cardsLeft[seat] <= 5) ? 6 : 0;
}

int sikouRtn5(const RoundState& s) {
    const Hand& mine = s.hand[s.currentSeat];
    for (int i = 1; i <= kHandSlots; ++i) {
        if (isCard(mine[i]) && connectedInRow(s.table, suitOf(mine[i])) >= 12) return i;
    }
    return 0;
}

Decision blockingStrategy(RoundState& s) {
    const int seat = s.currentSeat;
    s.playable.fill(0);
    if (const int k = sikouRtn1(s); k != 0) return {Decision::Play, k};
    const bool manyCards = s.cardsLeft[seat] > 1;
    const bool passesLeft = s.passCount[seat] < 3;
    if (manyCards && passesLeft && sikouRtn2(s) == 0) return {Decision::Pass, 0};
    if (manyCards) {
        for (int i = 1; i <= kHandSlots; ++i) {
            const int card = s.hand[seat][i];
            if (card == 0) continue;
            int safe = 0;
            s.playable[i] = dispChk(s.table, card);
            if (s.playable[i] != 0 || jokerPlayable(s, seat, card)) safe = sikouRtn3(s, i);
            if (safe != 0) return {s.playable[i] != 0 ? Decision::Play : Decision::JokerPlay, i};
        }
    }
    if (manyCards && passesLeft) return {Decision::Pass, 0};
    return {};
}

Decision generalStrategy(RoundState& s) {
    const int seat = s.currentSeat;
    std::array<int, kHandSlots + 1> priority{};
    for (int i = 1; i <= kHandSlots; ++i) {
        const int card = s.hand[seat][i];
        if (card == 0) continue;
        s.playable[i] = dispChk(s.table, card);
        if (s.playable[i] != 0 || jokerPlayable(s, seat, card)) priority[i] = sikouRtn4(s, i);
    }
    for (int v = 1; v <= 6; ++v) {
        for (int i = 1; i <= kHandSlots; ++i) {
            if (priority[i] == v) {
                return {s.playable[i] != 0 ? Decision::Play : Decision::JokerPlay, i};
            }
        }
    }
    return {};
}

SeatStrategy seatStrategy(Strength strength, int seat, int blockerSeat) {
    if (seat == kUser) return SeatStrategy::User;
    switch (strength) {
        case Strength::Easy: return SeatStrategy::General;
        case Strength::Normal: return seat == blockerSeat ? SeatStrategy::Blocking : SeatStrategy::General;
        case Strength::Hard: return seat == blockerSeat ? SeatStrategy::Blocking : SeatStrategy::Search;
    }
    return SeatStrategy::General;
}

Decision computerMove(RoundState& s, SeatStrategy how) {
    Decision decision;
    if (how == SeatStrategy::Blocking) decision = blockingStrategy(s);
    if (decision.kind == Decision::None) decision = generalStrategy(s);
    return decision;
}

}  // namespace vantel
