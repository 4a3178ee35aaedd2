// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Small helpers for building table situations by hand in tests.
#pragma once

#include <initializer_list>

#include "game/cards.h"
#include "game/round_state.h"

namespace vantel::test {

// Card numbers by suit letter and rank: D(5) is the five of diamonds.
constexpr int D(int rank) { return cardOf(1, rank); }
constexpr int C(int rank) { return cardOf(2, rank); }
constexpr int H(int rank) { return cardOf(3, rank); }
constexpr int S(int rank) { return cardOf(4, rank); }

inline void lay(TableGrid& t, std::initializer_list<int> cards, int cell = kCellConnected) {
    for (int c : cards) t[suitOf(c)][rankOf(c)] = cell;
}

inline TableGrid sevensOnly() {
    TableGrid t{};
    lay(t, {D(7), C(7), H(7), S(7)});
    return t;
}

inline Hand handOf(std::initializer_list<int> cards, bool joker = false) {
    Hand h{};
    int slot = 1;
    for (int c : cards) h[slot++] = c;
    if (joker) h[kJokerSlot] = kJoker;
    return h;
}

}  // namespace vantel::test
