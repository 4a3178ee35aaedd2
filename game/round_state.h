// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The state of one round at the table: hands, the 4 x 13 table grid, the
// turn pointer and the counters of passes, places and drops.
#pragma once

#include <array>
#include <cstdint>

#include "game/cards.h"

namespace vantel {

// Cell values of the table grid.
enum : int {
    kCellEmpty = 0,
    kCellConnected = 1,   // laid and joined to its row
    kCellOutOfLine = 2,   // laid by a dropping seat, not yet joined
};

// table[suit][rank], both 1-based; index 0 unused.
using TableGrid = std::array<std::array<int32_t, kCardsPerSuit + 1>, kSuits + 1>;
// One seat's hand: slots 1..14, index 0 unused.
using Hand = std::array<int32_t, kJokerSlot + 1>;

struct RoundState {
    std::array<Hand, 5> hand{};            // [seat 1..4][slot 1..14]
    TableGrid table{};
    int32_t currentSeat = 0;
    std::array<int32_t, 5> cardsLeft{};    // [seat]
    std::array<int32_t, 5> passCount{};    // [seat]
    int32_t placeCount = 0;
    int32_t dropCount = 0;
    int32_t roundOver = 0;
    int32_t droppingOut = 0;
    int32_t keepSeat = 0;
    std::array<int32_t, kHandSlots + 1> playable{};  // scratch of the turn logic
    int32_t userOut = 0;
    int32_t jokerHint = 0;
    bool userHadJoker = false;
    int32_t blockerSeat = 2;
    std::array<int32_t, 5> backImageBase{0, 54, 67, 80, 93};
    int32_t roundWinnerSeat = 0;
    int32_t streakSeat = 0;
    int32_t streakCount = 0;

    bool holdsJoker(int seat) const { return hand[seat][kJokerSlot] != 0; }
};

}  // namespace vantel
