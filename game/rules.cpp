// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/rules.h"

#include <algorithm>
#include <utility>

namespace vantel {

namespace {

// The playability test on one suit's row; `on(k)` tells whether rank k of
// that row counts as a connected neighbour.
template <typename On>
bool playableInRow(int rank, On on) {
    if (rank == 1) return on(2) || on(13);
    if (rank == 13) return on(12) || on(1);
    if (rank <= 7) return on(rank - 1) || (on(rank + 1) && !on(13));
    return on(rank + 1) || (on(rank - 1) && !on(1));
}

// Walks ranks from `from` to `to` (inclusive, in steps of `step`): stops at
// the first empty cell, steps over connected ones and joins out-of-line ones.
void walk(std::array<int32_t, kCardsPerSuit + 1>& row, int from, int to, int step) {
    for (int k = from;; k += step) {
        if (row[k] == kCellEmpty) return;
        if (row[k] == kCellOutOfLine) row[k] = kCellConnected;
        if (k == to) return;
    }
}

}  // namespace

int dispChk(const TableGrid& table, int card) {
    if (!isCard(card)) return 0;
    const auto& row = table[suitOf(card)];
    const int rank = rankOf(card);
    return playableInRow(rank, [&](int k) { return row[k] == kCellConnected; }) ? rank : 0;
}

int dispChk2(const TableGrid& table, int card, int suit, int rank) {
    if (!isCard(card)) return 0;
    const int cardSuit = suitOf(card);
    const auto& row = table[cardSuit];
    // The imagined cell only matters when it lies in the card's own row.
    const int extra = (cardSuit == suit) ? rank : 0;
    const bool ok = playableInRow(rankOf(card), [&](int k) {
        return k == extra || row[k] == kCellConnected;
    });
    return ok ? 1 : 0;
}

void flgChk(TableGrid& table, int suit, int rank) {
    auto& row = table[suit];
    if (rank == 1) walk(row, 13, 2, -1);
    if (rank == 13) walk(row, 1, 12, +1);
    if (rank < 13) walk(row, rank + 1, 13, +1);
    if (row[13] == kCellConnected) walk(row, 1, 13, +1);
    if (rank > 1) walk(row, rank - 1, 1, -1);
    if (row[1] == kCellConnected) walk(row, 13, 1, -1);
}

void flgChk2(TableGrid& table, int suit, int rank) {
    auto& row = table[suit];
    bool touches;
    if (rank == 1) {
        touches = row[13] == kCellConnected || row[2] == kCellConnected;
    } else if (rank == 13) {
        touches = row[12] == kCellConnected || row[1] == kCellConnected;
    } else {
        touches = row[rank + 1] == kCellConnected || row[rank - 1] == kCellConnected;
    }
    if (touches) row[rank] = kCellConnected;
}

int cdChk(const Hand& hand, int card) {
    for (int slot = 1; slot <= kHandSlots; ++slot) {
        if (hand[slot] == card) return 1;
    }
    return 0;
}

int jyoker(const TableGrid& table, const Hand& hand, int card) {
    if (!isCard(card)) return 0;
    const int suit = suitOf(card);
    const int rank = rankOf(card);
    const auto& row = table[suit];
    auto on = [&](int k) { return row[k] == kCellConnected; };
    // A gap is free when it is empty and the playing seat does not hold
    // that card itself (it would rather play it than bridge it).
    auto isFree = [&](int k) {
        return row[k] == kCellEmpty && cdChk(hand, cardOf(suit, k)) == 0;
    };
    const int n = card;
    int result = 0;
    if (rank == 1) {
        if (on(3) && isFree(2)) result = n + 1;
        if (on(12) && isFree(13)) result = n + 12;
    } else if (rank == 13) {
        if (on(11) && isFree(12)) result = n - 1;
        if (on(2) && isFree(1)) result = n - 12;
    } else if (rank == 2) {
        if (on(13)) {
            if (isFree(1)) result = n - 1;
        } else if (on(4) && !on(1) && isFree(3)) {
            result = n + 1;
        }
    } else if (rank == 12) {
        if (on(1)) {
            if (isFree(13)) result = n + 1;
        } else if (on(10) && !on(13) && isFree(11)) {
            result = n - 1;
        }
    } else if (rank <= 7) {
        if (on(rank - 2)) {
            if (isFree(rank - 1)) result = n - 1;
        } else if (on(rank + 2) && !on(13) && isFree(rank + 1)) {
            result = n + 1;
        }
    } else {
        if (on(rank + 2)) {
            if (isFree(rank + 1)) result = n + 1;
        } else if (on(rank - 2) && !on(1) && isFree(rank - 1)) {
            result = n - 1;
        }
    }
    return result;
}

void sortHand(Hand& hand) {
    // Gaps 7 down to 1; each stage makes round(14 / gap) - 1 passes of
    // `gap` comparisons, the window of each pass starting `gap` further on.
    static constexpr int kPasses[8] = {0, 13, 6, 4, 3, 2, 1, 1};
    for (int gap = 7; gap > 0; --gap) {
        int start = 1;
        for (int pass = 0; pass < kPasses[gap]; ++pass) {
            const int last = std::min(start + gap - 1, kHandSlots - gap);
            for (int j = start; j <= last; ++j) {
                if (hand[j] > hand[j + gap]) std::swap(hand[j], hand[j + gap]);
            }
            start += gap;
        }
    }
}

int connectedInRow(const TableGrid& table, int suit) {
    int count = 0;
    for (int k = 1; k <= kCardsPerSuit; ++k) {
        if (table[suit][k] == kCellConnected) ++count;
    }
    return count;
}

}  // namespace vantel
