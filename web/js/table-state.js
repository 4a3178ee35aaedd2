// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What one seat knows of its table, kept from the seat's own event stream
// (or a snapshot) and nothing else. Plain data and plain functions, so the
// view can read it at any moment and the events can be applied quickly
// when a reconnection catches up.

import { JOKER, rankOf, suitOf } from "./cards.js";

export const SEATS = 4;

function fourOf(value) {
  return [value, value, value, value];
}

export function newState(mySeat) {
  return {
    mySeat, // 1..4, or 0 for a spectator
    phase: "lobby",
    match: 0,
    round: 0,
    hand: new Array(14).fill(0), // slots 1..14 at index 0..13; the joker's slot last
    table: [0, 1, 2, 3].map(() => new Array(13).fill(0)), // 0 empty, 1 in its row, 2 out of line
    jokerGap: 0, // the card whose cell the joker holds
    cardsLeft: fourOf(0),
    passes: fourOf(0),
    place: fourOf(0), // this round's place, 0 while still in
    dropped: fourOf(false),
    roundPoints: fourOf(0),
    totals: fourOf(0),
    places: fourOf(0), // the places by the match totals
    roundWinner: 0,
    streakSeat: 0,
    streakCount: 0,
    finalPlaces: null, // set at a match's end
    turnSeat: 0,
    myTurn: false,
    openSeq: 0,
    moveCards: [],
    moveFlags: 0,
    lastSeq: 0,
  };
}

function removeFromHand(state, card, slot) {
  if (slot >= 1 && slot <= 14 && state.hand[slot - 1] === card) {
    state.hand[slot - 1] = 0;
    return;
  }
  const at = state.hand.indexOf(card);
  if (at >= 0) state.hand[at] = 0;
}

function endMyTurn(state) {
  state.myTurn = false;
  state.moveCards = [];
  state.moveFlags = 0;
}

function seatIndex(event) {
  return event.seat >= 1 && event.seat <= SEATS ? event.seat - 1 : -1;
}

function copyFour(list, fallback) {
  return Array.isArray(list) && list.length === SEATS ? list.slice() : fallback;
}

// Applies one event of the seat's stream. Events already applied (by
// number) are ignored, so a stream that overlaps a snapshot is harmless.
export function applyEvent(state, event) {
  if (typeof event.seq === "number") {
    if (event.seq <= state.lastSeq) return false;
    state.lastSeq = event.seq;
  }
  const i = seatIndex(event);
  const mine = event.seat === state.mySeat && state.mySeat !== 0;
  switch (event.kind) {
    case "match_start":
      state.phase = "playing";
      state.match = event.a;
      state.totals = fourOf(0);
      state.places = fourOf(0);
      state.finalPlaces = null;
      state.streakSeat = 0;
      state.streakCount = 0;
      break;
    case "round_start":
      state.phase = "playing";
      state.round = event.a;
      state.totals = copyFour(event.values, state.totals);
      state.hand = new Array(14).fill(0);
      state.table = [0, 1, 2, 3].map(() => new Array(13).fill(0));
      state.jokerGap = 0;
      state.cardsLeft = fourOf(0);
      state.passes = fourOf(0);
      state.place = fourOf(0);
      state.dropped = fourOf(false);
      state.roundPoints = fourOf(0);
      state.roundWinner = 0;
      state.turnSeat = 0;
      endMyTurn(state);
      break;
    case "hand":
      if (Array.isArray(event.hand) && event.hand.length === 14) state.hand = event.hand.slice();
      break;
    case "deal":
      state.cardsLeft = copyFour(event.values, state.cardsLeft);
      break;
    case "seven":
    case "card":
      if (event.card >= 1 && event.card <= 52) {
        const suit = suitOf(event.card);
        if (Array.isArray(event.row) && event.row.length === 13) state.table[suit] = event.row.slice();
        else state.table[suit][rankOf(event.card) - 1] = event.how === 2 ? 2 : 1;
        if (state.jokerGap === event.card) state.jokerGap = 0;
      }
      if (i >= 0 && state.cardsLeft[i] > 0) state.cardsLeft[i] -= 1;
      if (mine) {
        removeFromHand(state, event.card, event.slot);
        endMyTurn(state);
      }
      break;
    case "joker":
      // The counts the deal gives leave the joker out (they would tell who
      // holds it), so laying it changes none of them.
      state.jokerGap = event.card;
      if (mine) removeFromHand(state, JOKER, 14);
      break;
    case "joker_cleared":
      state.jokerGap = 0;
      break;
    case "joker_gone":
      if (mine) removeFromHand(state, JOKER, 14);
      break;
    case "turn_pause":
      state.turnSeat = event.seat;
      endMyTurn(state);
      break;
    case "turn_start":
      state.turnSeat = event.seat;
      endMyTurn(state);
      break;
    case "turn_open":
      if (mine) {
        state.turnSeat = event.seat;
        state.myTurn = true;
        state.openSeq = event.seq;
        state.moveCards = Array.isArray(event.cards) ? event.cards.slice() : [];
        state.moveFlags = event.a | 0;
      }
      break;
    case "pass":
      if (i >= 0) state.passes[i] = event.a;
      if (mine) endMyTurn(state);
      break;
    case "drop":
      if (i >= 0) state.dropped[i] = true;
      if (mine) endMyTurn(state);
      break;
    case "out":
    case "skip_scored":
      if (i >= 0) {
        state.place[i] = event.a;
        state.roundPoints[i] = event.b;
      }
      break;
    case "skipped":
      state.turnSeat = 0;
      break;
    case "round_end":
      state.roundPoints = copyFour(event.values, state.roundPoints);
      state.roundWinner = event.seat;
      state.turnSeat = 0;
      endMyTurn(state);
      break;
    case "totals":
      state.totals = copyFour(event.values, state.totals);
      break;
    case "streak":
      state.streakSeat = event.seat;
      state.streakCount = event.a;
      break;
    case "results":
      state.places = copyFour(event.values, state.places);
      state.round = event.a;
      break;
    case "match_end":
      state.finalPlaces = copyFour(event.values, fourOf(0));
      state.phase = "between";
      state.turnSeat = 0;
      endMyTurn(state);
      break;
    case "match_closed":
      state.phase = "between";
      state.round = 0;
      state.turnSeat = 0;
      break;
    default:
      // Kinds this page does not know are left alone, as the protocol asks.
      return true;
  }
  return true;
}

// Takes the whole view the server sends when too much was missed.
export function applySnapshot(state, view) {
  const fresh = newState(state.mySeat);
  Object.assign(state, fresh);
  state.phase = view.phase || "playing";
  state.match = view.match | 0;
  state.round = view.round | 0;
  if (Array.isArray(view.hand) && view.hand.length === 14) state.hand = view.hand.slice();
  if (Array.isArray(view.table) && view.table.length === 4) state.table = view.table.map((row) => row.slice());
  state.jokerGap = view.jokerGap | 0;
  state.cardsLeft = copyFour(view.cardsLeft, state.cardsLeft);
  state.passes = copyFour(view.passCount, state.passes);
  state.place = copyFour(view.place, state.place);
  state.dropped = copyFour(view.dropped, state.dropped);
  state.roundPoints = copyFour(view.roundPoints, state.roundPoints);
  state.totals = copyFour(view.totals, state.totals);
  state.places = copyFour(view.places, state.places);
  state.roundWinner = view.roundWinner | 0;
  state.streakSeat = view.streakSeat | 0;
  state.streakCount = view.streakCount | 0;
  state.turnSeat = view.turnSeat | 0;
  state.myTurn = Boolean(view.myTurn) && state.mySeat !== 0;
  state.openSeq = state.myTurn ? view.seq | 0 : 0;
  state.moveCards = Array.isArray(view.moveCards) ? view.moveCards.slice() : [];
  state.moveFlags = view.moveFlags | 0;
  state.lastSeq = view.seq | 0;
}

// The cards in the hand, slot by slot, without the empty slots.
export function handCards(state) {
  const cards = [];
  state.hand.forEach((card, index) => {
    if (card) cards.push({ card, slot: index + 1 });
  });
  return cards;
}

// Seats in the order they sit around the viewer: the viewer's own seat at
// the bottom, then left, across and right, following the turn.
export function seatsAround(viewerSeat) {
  const bottom = viewerSeat >= 1 ? viewerSeat : 1;
  return [0, 1, 2, 3].map((k) => ((bottom - 1 + k) % SEATS) + 1);
}
