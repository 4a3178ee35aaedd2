// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Card numbers as the table sends them: 1..52 suit by suit (diamonds,
// clubs, hearts, spades), Ace to King within a suit; 53 is the joker.

export const JOKER = 53;
export const SUITS = ["ダイヤ", "クラブ", "ハート", "スペード"];
const RANKS = ["A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K"];

export function suitOf(card) {
  return Math.floor((card - 1) / 13);
}

export function rankOf(card) {
  return ((card - 1) % 13) + 1;
}

export function cardNumber(suit, rank) {
  return suit * 13 + rank;
}

// The name a screen reader says and a picture's alt text: 「ハートの7」.
export function cardName(card) {
  if (card === JOKER) return "ジョーカー";
  return `${SUITS[suitOf(card)]}の${RANKS[rankOf(card) - 1]}`;
}

export function cardImage(card) {
  return `/cards/${String(card).padStart(2, "0")}.png`;
}

// Each seat's card back, as the game gives each seat its own colour.
export function backImage(seat) {
  return `/cards/back${seat}.png`;
}
