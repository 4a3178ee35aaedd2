// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table on screen, from the viewer's seat: the other seats around the
// four rows, the viewer's panel, hand and buttons at the bottom. It draws
// what a TableState holds, flies cards from a hand to their cell, shows
// the speech balloons and the results. Every name and line goes in as
// text (textContent, alt, aria-label), never as markup.

import { JOKER, SUITS, backImage, cardImage, cardName, cardNumber, rankOf, suitOf } from "./cards.js";
import { handCards, seatsAround } from "./table-state.js";
import { SEAT_STATES, passStars, placeText } from "./texts.js";

const POSITIONS = ["me", "left", "across", "right"];
const FLIGHT_MS = 260;

function el(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

export function reducedMotion() {
  return window.matchMedia("(prefers-reduced-motion: reduce)").matches;
}

export class TableView {
  constructor({ onCard, onPass, onDrop }) {
    this.onCard = onCard;
    this.seats = []; // from the room message: {seat, state, name, picture}
    this.members = [];
    this.panels = new Map(); // seat number -> panel parts
    this.cells = []; // [suit][rank-1] -> cell element
    this.handEl = document.getElementById("hand");
    this.passButton = document.getElementById("pass-button");
    this.dropButton = document.getElementById("drop-button");
    this.myTurnEl = document.getElementById("my-turn");
    this.turnLabel = document.getElementById("turn-label");
    this.roundLabel = document.getElementById("round-label");
    this.log = document.getElementById("log");
    this.alertEl = document.getElementById("alert");
    this.focusCard = 0; // the hand card that takes the focus when the hand is redrawn
    this.busy = false; // a move is on its way: nothing more may be sent
    this.buildBoard();
    this.buildPanels();
    this.passButton.addEventListener("click", () => onPass());
    this.dropButton.addEventListener("click", () => onDrop());
    this.handEl.addEventListener("click", (e) => {
      const button = e.target.closest("button.card");
      if (button) this.onCard(Number(button.dataset.card));
    });
    this.handEl.addEventListener("keydown", (e) => this.handKey(e));
  }

  buildBoard() {
    const board = document.getElementById("board");
    board.replaceChildren();
    for (let suit = 0; suit < 4; suit++) {
      const row = el("div", "row");
      row.setAttribute("role", "group");
      row.setAttribute("aria-label", `${SUITS[suit]}の列`);
      const cells = [];
      for (let rank = 1; rank <= 13; rank++) {
        const cell = el("div", "cell");
        const img = el("img");
        img.alt = "";
        img.hidden = true;
        img.draggable = false;
        cell.append(img);
        row.append(cell);
        cells.push(cell);
      }
      board.append(row);
      this.cells.push(cells);
    }
  }

  buildPanels() {
    for (const pos of POSITIONS) {
      const panel = document.getElementById(`seat-${pos}`);
      panel.replaceChildren();
      const portrait = el("img", "portrait");
      portrait.alt = "";
      portrait.draggable = false;
      const info = el("div", "info");
      const name = el("p", "name");
      const count = el("p", "count");
      const back = el("img", "back");
      back.alt = "";
      back.draggable = false;
      const countText = el("span");
      count.append(back, countText);
      const stars = el("p", "stars");
      const score = el("p", "score");
      const state = el("p", "seat-state");
      info.append(name, count, stars, score, state);
      const balloon = el("p", "balloon");
      balloon.hidden = true;
      panel.append(portrait, info, balloon);
      this.panels.set(pos, { panel, portrait, name, count, back, countText, stars, score, state, balloon, timer: 0 });
    }
  }

  setRoom(seats, members) {
    this.seats = seats || [];
    this.members = members || [];
  }

  seatInfo(seat) {
    return this.seats.find((s) => s.seat === seat) || { seat, state: "empty" };
  }

  seatName(seat) {
    const info = this.seatInfo(seat);
    return info.name || `席${seat}`;
  }

  portraitOf(seat) {
    const info = this.seatInfo(seat);
    const member = this.members.find((m) => m.picture === info.picture);
    return member && member.images && member.images[0] ? member.images[0] : "";
  }

  // The panel position of each seat, seen from `viewer`.
  positionOf(state, seat) {
    const order = seatsAround(state.mySeat);
    return POSITIONS[order.indexOf(seat)];
  }

  render(state) {
    this.renderLabels(state);
    this.renderPanels(state);
    this.renderBoard(state);
    this.renderHand(state);
    this.renderActions(state);
  }

  renderLabels(state) {
    this.roundLabel.textContent = state.round > 0 ? `第${state.round}回戦` : "";
    const mine = state.myTurn;
    document.body.classList.toggle("my-turn-now", mine);
    this.myTurnEl.hidden = !mine;
    if (state.turnSeat > 0 && !mine) {
      this.turnLabel.textContent = `${this.seatName(state.turnSeat)}の番`;
    } else {
      this.turnLabel.textContent = mine ? "あなたの番" : "";
    }
  }

  renderPanels(state) {
    const order = seatsAround(state.mySeat);
    order.forEach((seat, k) => {
      const p = this.panels.get(POSITIONS[k]);
      const info = this.seatInfo(seat);
      const i = seat - 1;
      const self = seat === state.mySeat;
      p.panel.dataset.seat = String(seat);
      p.panel.setAttribute("aria-label", self ? `あなたの席（${this.seatName(seat)}）` : `${this.seatName(seat)}の席`);
      p.panel.classList.toggle("turn", state.turnSeat === seat);
      p.panel.classList.toggle("done", state.place[i] > 0 || state.dropped[i]);
      const src = this.portraitOf(seat);
      if (src && p.portrait.getAttribute("src") !== src) p.portrait.src = src;
      p.portrait.hidden = !src;
      p.name.textContent = this.seatName(seat) + (self ? "（あなた）" : "");
      const backSrc = backImage(seat);
      if (p.back.getAttribute("src") !== backSrc) p.back.src = backSrc;
      // The viewer's own count is its hand, the joker included; the others'
      // are the table's, which leave the joker out.
      const count = self ? handCards(state).length : state.cardsLeft[i];
      p.countText.textContent = `残り${count}枚`;
      p.stars.textContent = passStars(state.passes[i]);
      p.stars.setAttribute("aria-label", `パス${state.passes[i]}回`);
      p.stars.setAttribute("role", "img");
      const place = state.dropped[i] && !state.place[i] ? "ドロップ" : placeText(state.place[i]);
      const parts = [];
      if (place) parts.push(el("span", "place", place));
      parts.push(el("span", "total", `計${state.totals[i]}点`));
      p.score.replaceChildren(...parts);
      p.state.textContent = SEAT_STATES[info.state] || "";
    });
  }

  renderBoard(state) {
    for (let suit = 0; suit < 4; suit++) {
      for (let rank = 1; rank <= 13; rank++) {
        const cell = this.cells[suit][rank - 1];
        const img = cell.firstChild;
        const card = cardNumber(suit, rank);
        const laid = state.table[suit][rank - 1];
        let show = 0;
        if (laid) show = card;
        else if (state.jokerGap === card) show = JOKER;
        if (cell.classList.contains("landing")) continue;
        if (show) {
          const src = cardImage(show);
          if (img.getAttribute("src") !== src) img.src = src;
          img.alt = show === JOKER ? `ジョーカー（${cardName(card)}の場所）` : cardName(card);
          img.hidden = false;
          cell.classList.toggle("out-of-line", laid === 2);
        } else {
          img.hidden = true;
          img.removeAttribute("src");
          img.alt = "";
          cell.classList.remove("out-of-line");
        }
      }
    }
  }

  renderHand(state) {
    const had = this.handEl.contains(document.activeElement) ? Number(document.activeElement.dataset.card) : 0;
    const cards = handCards(state);
    this.handEl.hidden = state.mySeat === 0;
    const playable = new Set(state.myTurn ? state.moveCards : []);
    const buttons = cards.map(({ card, slot }) => {
      const button = el("button", "card");
      button.type = "button";
      button.dataset.card = String(card);
      button.dataset.slot = String(slot);
      const canLay = playable.has(card) && !this.busy;
      button.classList.toggle("playable", canLay);
      button.setAttribute("aria-label", canLay ? `${cardName(card)}、出せます` : cardName(card));
      if (!canLay) button.setAttribute("aria-disabled", "true");
      button.tabIndex = -1;
      const img = el("img");
      img.src = cardImage(card);
      img.alt = "";
      img.draggable = false;
      button.append(img);
      return button;
    });
    this.handEl.replaceChildren(...buttons);
    this.handEl.classList.toggle("many", buttons.length > 7);
    // One card of the hand is in the tab order (roving focus): the one
    // focused before, else the first that may be laid, else the first.
    const pick =
      buttons.find((b) => Number(b.dataset.card) === (had || this.focusCard)) ||
      buttons.find((b) => b.classList.contains("playable")) ||
      buttons[0];
    if (pick) pick.tabIndex = 0;
    if (had && pick) pick.focus({ preventScroll: true });
  }

  renderActions(state) {
    const mine = state.myTurn && !this.busy;
    this.passButton.disabled = !(mine && state.moveFlags & 1);
    this.dropButton.disabled = !(mine && state.moveFlags & 2);
    document.querySelector("#table-screen .actions").hidden = state.mySeat === 0;
  }

  // The focus goes to the first card that may be laid, or to PASS or DROP.
  focusTurn() {
    const active = document.activeElement;
    if (active && active.closest && active.closest("dialog, select")) return;
    const card = this.handEl.querySelector("button.card.playable");
    const target = card || (!this.passButton.disabled && this.passButton) || (!this.dropButton.disabled && this.dropButton);
    if (target) {
      for (const b of this.handEl.querySelectorAll("button.card")) b.tabIndex = b === target ? 0 : -1;
      target.focus({ preventScroll: false });
    }
  }

  handKey(e) {
    const buttons = [...this.handEl.querySelectorAll("button.card")];
    const at = buttons.indexOf(document.activeElement);
    if (at < 0) return;
    let next = -1;
    if (e.key === "ArrowRight" || e.key === "ArrowDown") next = Math.min(buttons.length - 1, at + 1);
    else if (e.key === "ArrowLeft" || e.key === "ArrowUp") next = Math.max(0, at - 1);
    else if (e.key === "Home") next = 0;
    else if (e.key === "End") next = buttons.length - 1;
    if (next < 0) return;
    e.preventDefault();
    buttons[at].tabIndex = -1;
    buttons[next].tabIndex = 0;
    buttons[next].focus();
    this.focusCard = Number(buttons[next].dataset.card);
  }

  // Where a card leaves from: its place in the viewer's hand, else the
  // seat's panel.
  sourceRect(state, seat, slot, card) {
    if (seat === state.mySeat && state.mySeat !== 0) {
      const button =
        this.handEl.querySelector(`button.card[data-slot="${slot}"][data-card="${card}"]`) ||
        this.handEl.querySelector(`button.card[data-card="${card}"]`);
      if (button) return button.getBoundingClientRect();
    }
    const pos = this.positionOf(state, seat);
    const p = pos && this.panels.get(pos);
    return p ? (p.portrait.hidden ? p.panel : p.portrait).getBoundingClientRect() : null;
  }

  // Flies `shown` (a card, or the joker) from `from` to the cell of
  // `cellCard`; the cell stays empty until it lands.
  async fly(from, shown, cellCard, ms = FLIGHT_MS) {
    if (!from || reducedMotion() || ms <= 0) return;
    const cell = this.cells[suitOf(cellCard)][rankOf(cellCard) - 1];
    const to = cell.getBoundingClientRect();
    if (to.width === 0 || from.width === 0) return;
    const img = el("img", "flying");
    img.src = cardImage(shown);
    img.alt = "";
    img.style.left = `${to.left}px`;
    img.style.top = `${to.top}px`;
    img.style.width = `${to.width}px`;
    img.style.height = `${to.height}px`;
    cell.classList.add("landing");
    document.body.append(img);
    const dx = from.left + from.width / 2 - (to.left + to.width / 2);
    const dy = from.top + from.height / 2 - (to.top + to.height / 2);
    const scale = Math.max(0.5, Math.min(3, from.width / to.width));
    try {
      await img.animate([{ transform: `translate(${dx}px, ${dy}px) scale(${scale})` }, { transform: "none" }], {
        duration: ms,
        easing: "ease-out",
      }).finished;
    } catch {
      // An animation cancelled (the page hidden) lands the card at once.
    } finally {
      img.remove();
      cell.classList.remove("landing");
    }
  }

  // A speech balloon over a seat's panel for `ms`.
  balloon(state, seat, text, ms) {
    const pos = this.positionOf(state, seat);
    const p = pos && this.panels.get(pos);
    if (!p) return;
    clearTimeout(p.timer);
    p.balloon.textContent = text;
    p.balloon.hidden = false;
    p.timer = setTimeout(() => {
      p.balloon.hidden = true;
    }, ms);
  }

  clearBalloons() {
    for (const p of this.panels.values()) {
      clearTimeout(p.timer);
      p.balloon.hidden = true;
    }
  }

  // Read out by a screen reader, politely, in order.
  announce(text) {
    const line = el("p", "", text);
    this.log.append(line);
    while (this.log.childElementCount > 8) this.log.firstElementChild.remove();
  }

  // Read out at once: the viewer's own turn.
  alert(text) {
    this.alertEl.textContent = "";
    // A fresh node, so the same words are read again the next time.
    this.alertEl.append(el("span", "", text));
  }

  // The result table after a round, or the places at a match's end. The
  // promise settles when the dialog closes (by its button, Escape, or after
  // `autoMs`).
  showResults(state, { final, host, onAgain, autoMs }) {
    const dialog = document.getElementById("results-dialog");
    const title = document.getElementById("results-title");
    const winner = document.getElementById("results-winner");
    const note = document.getElementById("results-note");
    const body = dialog.querySelector("tbody");
    const next = document.getElementById("results-next");
    const again = document.getElementById("again-button");
    const places = final ? state.finalPlaces || state.places : state.places;
    title.textContent = final ? "試合終了" : `第${state.round}回戦の結果`;
    const order = [1, 2, 3, 4].sort((a, b) => (places[a - 1] || 9) - (places[b - 1] || 9) || a - b);
    if (final) {
      const first = order.filter((s) => places[s - 1] === 1);
      winner.textContent = first.length ? `優勝: ${first.map((s) => this.seatName(s)).join("・")}` : "";
    } else {
      winner.textContent = state.roundWinner ? `この回の勝者: ${this.seatName(state.roundWinner)}` : "";
    }
    winner.hidden = !winner.textContent;
    const rows = order.map((seat) => {
      const tr = el("tr");
      if (seat === state.mySeat) tr.className = "mine";
      const name = el("th", "", this.seatName(seat) + (seat === state.mySeat ? "（あなた）" : ""));
      name.scope = "row";
      tr.append(
        name,
        el("td", "num", final ? "—" : String(state.roundPoints[seat - 1])),
        el("td", "num", String(state.totals[seat - 1])),
        el("td", "num", placeText(places[seat - 1])),
      );
      return tr;
    });
    body.replaceChildren(...rows);
    note.textContent =
      !final && state.streakSeat ? `${this.seatName(state.streakSeat)}が${state.streakCount}連勝！ボーナスがつきます。` : "";
    next.textContent = final ? "閉じる" : "次へ";
    again.hidden = !(final && host);
    return new Promise((resolve) => {
      let timer = 0;
      const done = () => {
        clearTimeout(timer);
        next.removeEventListener("click", close);
        again.removeEventListener("click", playAgain);
        dialog.removeEventListener("close", done);
        resolve();
      };
      const close = () => dialog.close();
      const playAgain = () => {
        onAgain();
        dialog.close();
      };
      next.addEventListener("click", close);
      again.addEventListener("click", playAgain);
      dialog.addEventListener("close", done);
      if (dialog.open) dialog.close();
      dialog.showModal();
      next.focus();
      if (autoMs > 0) timer = setTimeout(close, autoMs);
    });
  }

  closeResults() {
    const dialog = document.getElementById("results-dialog");
    if (dialog.open) dialog.close();
  }
}
