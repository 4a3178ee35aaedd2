// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Card numbering shared by the whole game.
//
// 0 is an empty hand slot, 1..52 are the cards suit by suit (diamonds,
// clubs, hearts, spades; Ace..King within a suit) and 53 is the joker. The
// number is also the index of the card's face picture.
#pragma once

namespace vantel {

constexpr int kNoCard = 0;
constexpr int kJoker = 53;
constexpr int kCardsPerSuit = 13;
constexpr int kSuits = 4;
constexpr int kHandSlots = 13;   // slots 1..13 hold the dealt cards
constexpr int kJokerSlot = 14;   // slot 14 holds the joker for its one holder
constexpr int kSevenOfDiamonds = 7;

constexpr bool isCard(int n) { return n >= 1 && n <= 52; }
constexpr int suitOf(int n) { return (n - 1) / kCardsPerSuit + 1; }
constexpr int rankOf(int n) { return (n - 1) % kCardsPerSuit + 1; }
constexpr int cardOf(int suit, int rank) { return (suit - 1) * kCardsPerSuit + rank; }
constexpr bool isSeven(int n) { return isCard(n) && rankOf(n) == 7; }

// CARD_CNV: the rank of card n, and its suit through `suit`, for 1..52. For
// any other number the rank is 0 and `suit` keeps what it held, which is
// what callers that read the suit afterwards rely on.
constexpr int cardCnv(int n, int& suit) {
    if (!isCard(n)) return 0;
    suit = suitOf(n);
    return rankOf(n);
}

}  // namespace vantel
