// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The browser seat: the join form, the waiting room and the table. It keeps
// the seat's token in localStorage under the room's code, so that a reload,
// a closed tab or a lost connection comes back to the same seat, and plays
// the seat's events one by one at a pace a person can follow.

import { cardName } from "./cards.js";
import { Connection } from "./connection.js";
import { applyEvent, applySnapshot, newState } from "./table-state.js";
import { TableView, reducedMotion } from "./table-view.js";
import { nameBytes, refusalText } from "./texts.js";

const $ = (id) => document.getElementById(id);

// How long each kind of event holds the table, in ms at the normal pace.
const PACE = {
  seven: 150,
  card: 420,
  joker: 420,
  forced: 500,
  pass: 650,
  drop: 650,
  out: 600,
  turn_pause: 150,
  line: 700,
};
const LAY_OUT_MS = 140; // a dropping seat's cards go down faster
const BALLOON_MS = 2800;
const RESULTS_AUTO_MS = 15000;
// Behind by this many events (a tab in the background, say), the table
// catches up at once.
const CATCH_UP_AFTER = 150;

const app = {
  conn: null,
  view: null,
  members: [],
  roomKey: "", // the room code without dashes, upper case
  roomShown: "", // as the server shows it
  seat: 0,
  token: "",
  hostToken: "",
  watching: false,
  wanted: null, // what to say once welcomed: {type: "join"|"watch"|"create"}
  state: null,
  roomInfo: null,
  queue: [],
  running: false,
  receivedSeq: 0,
  catchUp: false,
  moveCount: 0,
  pendingMove: "",
  speed: 1,
  countdown: 0,
};

// ---- storage ---------------------------------------------------------------

function roomKeyOf(text) {
  return String(text || "")
    .toUpperCase()
    .replace(/[^0-9A-Z]/g, "");
}

function storageGet(key) {
  try {
    const text = localStorage.getItem(key);
    return text ? JSON.parse(text) : null;
  } catch {
    return null;
  }
}

function storageSet(key, value) {
  try {
    if (value === null) localStorage.removeItem(key);
    else localStorage.setItem(key, JSON.stringify(value));
  } catch {
    // Storage refused (private mode): the seat simply is not kept.
  }
}

const seatKey = (room) => `vantel.seat.${room}`;

function saveSeat() {
  if (!app.roomKey) return;
  if (app.token || app.watching) {
    storageSet(seatKey(app.roomKey), {
      token: app.token,
      seat: app.seat,
      watching: app.watching,
      hostToken: app.hostToken,
    });
  }
  storageSet("vantel.profile", { name: $("name-input").value, picture: selectedPicture() });
}

function forgetSeat() {
  if (app.roomKey) storageSet(seatKey(app.roomKey), null);
  app.token = "";
  app.seat = 0;
  app.watching = false;
  app.hostToken = "";
}

// ---- screens and status ----------------------------------------------------

// Marks for the measuring script: when each screen was first shown, and
// (after the next frame) drawn.
const marked = new Set();
function markOnce(name) {
  if (marked.has(name)) return;
  marked.add(name);
  performance.mark(name);
  requestAnimationFrame(() => setTimeout(() => performance.mark(`${name}-drawn`), 0));
}

function showScreen(id) {
  markOnce(`vantel-${id}`);
  for (const s of ["join-screen", "lobby-screen", "table-screen"]) $(s).hidden = s !== id;
  document.title = id === "table-screen" ? "７ならべ — テーブル" : id === "lobby-screen" ? "７ならべ — 開始待ち" : "７ならべ — テーブルに参加";
}

function setStatus(text) {
  const status = $("status");
  status.textContent = text;
  status.hidden = !text;
}

function joinError(text) {
  $("join-error").textContent = text;
  setBusy(false);
}

function setBusy(busy) {
  for (const id of ["join-button", "watch-button", "create-button"]) $(id).disabled = busy;
}

// ---- the join form ---------------------------------------------------------

function selectedPicture() {
  const checked = document.querySelector('input[name="picture"]:checked');
  return checked ? Number(checked.value) : 0;
}

function showPictures(members) {
  const box = $("pictures");
  const profile = storageGet("vantel.profile");
  const wanted = selectedPicture() || (profile && profile.picture) || (members[0] && members[0].picture);
  const items = members.map((m) => {
    const label = document.createElement("label");
    label.className = "picture";
    const input = document.createElement("input");
    input.type = "radio";
    input.name = "picture";
    input.value = String(m.picture);
    input.checked = m.picture === wanted;
    const img = document.createElement("img");
    img.src = m.images && m.images[0] ? m.images[0] : "";
    img.alt = "";
    img.draggable = false;
    const name = document.createElement("span");
    name.textContent = m.name;
    label.append(input, img, name);
    return label;
  });
  box.replaceChildren(...items);
  markOnce("vantel-join-form");
}

function readForm(needName) {
  const room = roomKeyOf($("room-input").value);
  const name = $("name-input").value.trim();
  if (needName !== "create" && room.length === 0) return { error: "部屋番号を入れてください。" };
  if (needName) {
    if (!name) return { error: "名前を入れてください。" };
    if (nameBytes(name) > 8) return { error: refusalText("bad_name") };
    if (!selectedPicture()) return { error: "絵を選んでください。" };
  }
  return { room, name, picture: selectedPicture() };
}

function ask(wanted) {
  $("join-error").textContent = "";
  setBusy(true);
  app.wanted = wanted;
  if (app.conn.ready) say(wanted);
  // Otherwise it is said once the socket is open and welcomed.
}

function say(wanted) {
  if (wanted.type === "create") {
    app.conn.send({ type: "create", settings: wanted.settings });
  } else if (wanted.type === "join") {
    app.conn.send({ type: "join", room: wanted.room, name: wanted.name, picture: wanted.picture });
  } else if (wanted.type === "watch") {
    app.conn.send({ type: "watch", room: wanted.room });
  }
}

// ---- messages from the server ----------------------------------------------

function welcomed(welcome, reopened) {
  app.members = Array.isArray(welcome.members) ? welcome.members : [];
  if (!reopened || !document.querySelector('input[name="picture"]')) showPictures(app.members);
  app.view.setRoom(app.roomInfo ? app.roomInfo.seats : [], app.members);
  if (app.token) {
    setStatus("再接続しています…");
    app.conn.send({ type: "resume", room: app.roomKey, token: app.token, last: app.receivedSeq });
  } else if (app.watching) {
    setStatus("再接続しています…");
    app.conn.send({ type: "watch", room: app.roomKey });
  } else if (app.wanted) {
    say(app.wanted);
  } else {
    setStatus("");
  }
}

function lost() {
  if (app.token || app.watching) setStatus("再接続しています…");
  else setStatus("サーバーに接続しています…");
  // Whatever was on its way gets an answer after the resume, or not at all.
  app.pendingMove = "";
}

function enterRoom(room) {
  app.roomShown = room || app.roomShown;
  app.roomKey = roomKeyOf(room || app.roomKey);
  const path = `/r/${app.roomKey}`;
  if (location.pathname !== path) history.replaceState(null, "", path);
}

function onSeated(m) {
  const resumed = Boolean(m.resumed);
  enterRoom(m.room);
  if (!resumed || !app.state || app.state.mySeat !== m.seat) {
    app.state = newState(m.seat);
    app.queue = [];
    app.receivedSeq = resumed ? 0 : app.receivedSeq;
  }
  app.seat = m.seat;
  if (m.token) app.token = m.token;
  app.watching = false;
  app.wanted = null;
  // What a resume brings first is what was missed: it is laid out at once.
  app.catchUp = resumed;
  saveSeat();
  setStatus("");
  setBusy(false);
}

function onWatching(m) {
  enterRoom(m.room);
  if (!app.state || app.state.mySeat !== 0) {
    app.state = newState(0);
    app.queue = [];
    app.receivedSeq = 0;
  }
  app.watching = true;
  app.seat = 0;
  app.wanted = null;
  app.catchUp = true;
  saveSeat();
  setStatus("");
  setBusy(false);
}

function onRoom(m) {
  app.roomInfo = m;
  app.roomShown = m.room || app.roomShown;
  app.view.setRoom(m.seats, app.members);
  if (!app.state) return;
  if (m.phase === "lobby") {
    showLobby(m);
  } else {
    if ($("table-screen").hidden) showScreen("table-screen");
    app.view.render(app.state);
  }
  updateHostButtons();
}

function showLobby(m) {
  showScreen("lobby-screen");
  $("lobby-room").textContent = m.room;
  $("lobby-link").textContent = `${location.origin}/r/${roomKeyOf(m.room)}`;
  const items = (m.seats || []).map((s) => {
    const li = document.createElement("li");
    const mine = s.seat === app.seat && !app.watching;
    const what = s.name ? s.name + (mine ? "（あなた）" : "") : "空席（開始するとコンピュータ）";
    li.textContent = what;
    if (s.state === "away") li.textContent += "　接続待ち";
    return li;
  });
  $("lobby-seats").replaceChildren(...items);
  $("lobby-wait").textContent = app.hostToken ? "そろったら「開始」を押してください。" : "ホストが始めるのを待っています…";
}

function updateHostButtons() {
  const phase = app.roomInfo ? app.roomInfo.phase : "";
  $("start-button").hidden = !(app.hostToken && phase === "lobby");
  // The match's own close says another may start, whether or not a room
  // message with the new phase came with it.
  const closed = phase === "between" || (app.state && app.state.phase === "between" && app.state.round === 0);
  $("again-button").disabled = !(app.hostToken && closed);
}

function onEvents(m) {
  if (!app.state || !Array.isArray(m.events)) return;
  const instant = app.catchUp;
  app.catchUp = false;
  for (const event of m.events) {
    if (typeof event.seq !== "number" || event.seq <= app.receivedSeq) continue;
    app.receivedSeq = event.seq;
    app.queue.push({ event, instant, at: performance.now() });
  }
  if ($("table-screen").hidden && app.roomInfo && app.roomInfo.phase !== "lobby") showScreen("table-screen");
  runQueue();
}

function onSnapshot(m) {
  if (!app.state || !m.view) return;
  app.queue = [];
  app.view.closeResults();
  applySnapshot(app.state, m.view);
  app.receivedSeq = app.state.lastSeq;
  app.openedAt = performance.now();
  app.catchUp = true;
  showScreen(app.state.phase === "lobby" ? "lobby-screen" : "table-screen");
  app.view.render(app.state);
  if (app.state.myTurn) turnOpened();
}

function onAnswer(m) {
  if (m.id !== app.pendingMove) return;
  app.pendingMove = "";
  app.view.busy = false;
  if (!m.ok) {
    tableMessage(refusalText(m.code));
  }
  app.view.render(app.state);
}

function onError(m) {
  const text = refusalText(m.code);
  switch (m.request) {
    case "join":
    case "watch":
    case "create":
      app.wanted = null;
      showScreen("join-screen");
      joinError(text);
      break;
    case "resume":
      // The seat cannot be had back: the join form, with the reason.
      forgetSeat();
      app.state = null;
      showScreen("join-screen");
      setStatus("");
      joinError(text);
      break;
    case "start":
      $("lobby-error").textContent = text;
      tableMessage(text);
      break;
    case "move":
      app.pendingMove = "";
      app.view.busy = false;
      tableMessage(text);
      if (app.state) app.view.render(app.state);
      break;
    default:
      if (m.code === "protocol_mismatch") {
        app.conn.stop();
        setStatus(text);
      } else if (!$("table-screen").hidden) {
        tableMessage(text);
      } else {
        joinError(text);
      }
  }
}

function onClosing(m) {
  const text = m.text || "接続が閉じられます。";
  if (m.reason === "replaced") {
    app.conn.stop();
    setStatus("この席は別の画面で開かれました。この画面は止まります。");
  } else if (m.reason === "table_closed" || m.reason === "idle") {
    app.conn.stop();
    forgetSeat();
    app.state = null;
    showScreen("join-screen");
    setStatus("");
    joinError(m.reason === "idle" ? "だれもいない時間が続いたので、テーブルは閉じられました。" : "ホストがテーブルを閉じました。");
    app.conn.open();
  } else {
    // The host quits or the server stops: it may come back, and the seat
    // with it; the connection keeps trying.
    setStatus(`${text}　再接続しています…`);
  }
}

function onMessage(m) {
  switch (m.type) {
    case "created":
      app.hostToken = m.hostToken;
      enterRoom(m.room);
      $("room-input").value = m.room;
      app.wanted = { type: "join", room: roomKeyOf(m.room), name: app.wanted.name, picture: app.wanted.picture };
      say(app.wanted);
      break;
    case "seated":
      onSeated(m);
      break;
    case "watching":
      onWatching(m);
      break;
    case "room":
      onRoom(m);
      break;
    case "events":
      onEvents(m);
      break;
    case "snapshot":
      onSnapshot(m);
      break;
    case "answer":
      onAnswer(m);
      break;
    case "notice":
      if (m.text) {
        tableMessage(m.text);
        app.view.announce(m.text);
      }
      break;
    case "closing":
      onClosing(m);
      break;
    case "error":
      onError(m);
      break;
    case "left":
      break;
    default:
      // Unknown messages are ignored, as the protocol asks.
      break;
  }
}

function tableMessage(text) {
  const box = $("table-message");
  box.textContent = text;
  clearTimeout(tableMessage.timer);
  tableMessage.timer = setTimeout(() => {
    box.textContent = "";
  }, 5000);
}

// ---- playing the events ----------------------------------------------------

const wait = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function paced(ms) {
  return Math.round(ms * app.speed);
}

async function runQueue() {
  if (app.running) return;
  app.running = true;
  try {
    while (app.queue.length && app.state) {
      const behind = app.queue.length > CATCH_UP_AFTER || document.hidden;
      const { event, instant, at } = app.queue.shift();
      if (instant || behind) {
        applyEvent(app.state, event);
        if (event.kind === "turn_open") app.openedAt = at;
        if (!app.queue.length || !(app.queue[0].instant || behind)) settle();
        continue;
      }
      if (event.kind === "turn_open") app.openedAt = at;
      await perform(event);
    }
  } finally {
    app.running = false;
  }
}

// After events applied at once: draw what they left.
function settle() {
  if (!app.state) return;
  app.view.render(app.state);
  if (app.state.phase !== "lobby" && $("table-screen").hidden && app.roomInfo && app.roomInfo.phase !== "lobby") {
    showScreen("table-screen");
  }
  updateHostButtons();
  if (app.state.myTurn) turnOpened();
}

function nameOf(seat) {
  return seat === app.state.mySeat && app.state.mySeat !== 0 ? "あなた" : app.view.seatName(seat);
}

async function perform(event) {
  const state = app.state;
  const view = app.view;
  let from = null;
  if (event.kind === "card" || event.kind === "seven") from = view.sourceRect(state, event.seat, event.slot, event.card);
  if (event.kind === "joker") from = view.sourceRect(state, event.seat, 14, 53);
  applyEvent(state, event);
  switch (event.kind) {
    case "match_start":
      // The last match's places give way to the new one.
      view.closeResults();
      view.render(state);
      break;
    case "round_start":
      view.clearBalloons();
      view.render(state);
      view.announce(`第${event.a}回戦が始まります。`);
      break;
    case "card": {
      const layOut = event.how === 2;
      // The flight keeps its cell empty until it lands; everything else
      // (the hand, whose turn it is) is drawn at once.
      const flight = view.fly(from, event.card, event.card, layOut ? paced(LAY_OUT_MS) - 20 : paced(260));
      view.render(state);
      await flight;
      view.renderBoard(state);
      if (!layOut) view.announce(`${nameOf(event.seat)}が${cardName(event.card)}を出しました。`);
      await wait(Math.max(0, paced(layOut ? LAY_OUT_MS : PACE.card) - (reducedMotion() ? 0 : paced(260))));
      return;
    }
    case "seven":
      view.render(state);
      await wait(paced(PACE.seven));
      return;
    case "joker": {
      const flight = view.fly(from, 53, event.card, paced(260));
      view.render(state);
      await flight;
      view.renderBoard(state);
      view.announce(`${nameOf(event.seat)}がジョーカーを${cardName(event.card)}の場所に出しました。`);
      await wait(paced(PACE.joker));
      return;
    }
    case "forced":
      view.render(state);
      view.announce(`${nameOf(event.seat)}は${cardName(event.card)}を出さなければなりません。`);
      break;
    case "pass":
      view.render(state);
      view.announce(`${nameOf(event.seat)}がパスしました（${event.a}回目）。`);
      break;
    case "drop":
      view.render(state);
      view.announce(`${nameOf(event.seat)}がドロップしました。`);
      break;
    case "out":
    case "skip_scored":
      view.render(state);
      view.announce(`${nameOf(event.seat)}が${event.a}位で上がりました。`);
      break;
    case "line": {
      const text = String(event.text || "");
      const said = text.includes("\r\n") ? text.slice(text.indexOf("\r\n") + 2) : text;
      if (said) {
        view.balloon(state, event.seat, said, Math.max(1200, paced(BALLOON_MS)));
        view.announce(`${view.seatName(event.seat)}「${said}」`);
        // Long enough to be read before another line replaces it.
        await wait(paced(PACE.line));
      }
      return;
    }
    case "turn_open":
      view.render(state);
      if (state.myTurn) turnOpened();
      return;
    case "round_end":
      view.render(state);
      return;
    case "match_closed":
      view.render(state);
      updateHostButtons();
      return;
    case "results":
      view.render(state);
      view.announce(`第${state.round}回戦が終わりました。`);
      await view.showResults(state, { final: false, autoMs: paced(RESULTS_AUTO_MS) });
      return;
    case "match_end": {
      view.render(state);
      const winners = [1, 2, 3, 4].filter((s) => state.finalPlaces && state.finalPlaces[s - 1] === 1);
      view.announce(`試合終了。優勝は${winners.map((s) => view.seatName(s)).join("と")}です。`);
      updateHostButtons();
      // The match's end stays until it is closed; the queue goes on under it.
      view.showResults(state, { final: true, host: Boolean(app.hostToken), onAgain: startMatch, autoMs: 0 });
      return;
    }
    default:
      view.render(state);
  }
  const ms = PACE[event.kind];
  if (ms) await wait(paced(ms));
}

// With a turn timer, the seconds left of the viewer's turn, counted from
// when its turn_open arrived (the server's clock started a little earlier).
function startCountdown() {
  clearInterval(app.countdown);
  const box = $("turn-timer");
  const seconds = app.roomInfo && app.roomInfo.settings ? app.roomInfo.settings.turnTimer | 0 : 0;
  if (!seconds) return;
  const end = (app.openedAt || performance.now()) + seconds * 1000;
  let warned = false;
  const tick = () => {
    if (!app.state || !app.state.myTurn) {
      clearInterval(app.countdown);
      box.textContent = "";
      return;
    }
    const left = Math.max(0, Math.ceil((end - performance.now()) / 1000));
    box.textContent = `あと${left}秒`;
    box.classList.toggle("short", left <= 10);
    if (left <= 10 && !warned) {
      warned = true;
      app.view.alert(`残り${left}秒です。`);
    }
  };
  tick();
  app.countdown = setInterval(tick, 250);
}

function turnOpened() {
  app.view.busy = false;
  app.view.render(app.state);
  const n = app.state.moveCards.length;
  app.view.alert(n > 0 ? `あなたの番です。出せるカードは${n}枚です。` : "あなたの番です。出せるカードはありません。");
  app.view.focusTurn();
  startCountdown();
}

// ---- moves -----------------------------------------------------------------

function sendMove(move, card) {
  const state = app.state;
  if (!state || !state.myTurn || app.pendingMove) return;
  app.moveCount += 1;
  const id = `w${Date.now().toString(36)}-${app.moveCount}`;
  const message = { type: "move", id, answers: state.openSeq, move };
  if (move === "card") message.card = card;
  if (!app.conn.send(message)) {
    tableMessage("接続が切れています。再接続を待ってください。");
    return;
  }
  app.pendingMove = id;
  app.view.busy = true;
  app.view.render(state);
}

function playCard(card) {
  const state = app.state;
  if (!state || !state.myTurn) {
    tableMessage("今はあなたの番ではありません。");
    return;
  }
  if (!state.moveCards.includes(card)) {
    tableMessage(refusalText("card_not_playable"));
    return;
  }
  sendMove("card", card);
}

function startMatch() {
  if (!app.hostToken) return;
  $("lobby-error").textContent = "";
  app.conn.send({ type: "start", room: app.roomKey, hostToken: app.hostToken });
}

// ---- start -----------------------------------------------------------------

function keyboard(e) {
  if (e.ctrlKey || e.altKey || e.metaKey) return;
  const target = e.target;
  if (target && (target.tagName === "INPUT" || target.tagName === "SELECT" || target.tagName === "TEXTAREA")) return;
  if ($("table-screen").hidden || $("results-dialog").open) return;
  const key = e.key.toLowerCase();
  if (key === "p" && !$("pass-button").disabled) {
    e.preventDefault();
    sendMove("pass");
  } else if (key === "d" && !$("drop-button").disabled) {
    e.preventDefault();
    sendMove("drop");
  }
}

function init() {
  app.view = new TableView({
    onCard: playCard,
    onPass: () => sendMove("pass"),
    onDrop: () => sendMove("drop"),
  });
  const profile = storageGet("vantel.profile");
  if (profile && typeof profile.name === "string") $("name-input").value = profile.name;
  const speed = storageGet("vantel.speed");
  app.speed = speed === 0.35 ? 0.35 : 1;
  $("speed-select").value = String(app.speed);
  $("speed-select").addEventListener("change", (e) => {
    app.speed = Number(e.target.value) === 0.35 ? 0.35 : 1;
    storageSet("vantel.speed", app.speed);
  });

  const match = /^\/r\/([0-9A-Za-z]{1,20})\/?$/.exec(location.pathname);
  if (match) {
    app.roomKey = roomKeyOf(match[1]);
    $("room-input").value = app.roomKey;
    const kept = storageGet(seatKey(app.roomKey));
    if (kept && (kept.token || kept.watching)) {
      app.token = kept.token || "";
      app.seat = kept.seat || 0;
      app.watching = Boolean(kept.watching) && !kept.token;
      app.hostToken = kept.hostToken || "";
      setStatus("再接続しています…");
    }
    $("name-input").focus();
  }

  $("join-form").addEventListener("submit", (e) => {
    e.preventDefault();
    const form = readForm(true);
    if (form.error) return joinError(form.error);
    ask({ type: "join", room: form.room, name: form.name, picture: form.picture });
    saveSeat();
  });
  $("watch-button").addEventListener("click", () => {
    const form = readForm(false);
    if (form.error) return joinError(form.error);
    ask({ type: "watch", room: form.room });
  });
  $("create-button").addEventListener("click", () => {
    const form = readForm("create");
    if (form.error) return joinError(form.error);
    const settings = { computers: $("computers-select").value, turnTimer: Number($("timer-select").value) };
    ask({ type: "create", settings, name: form.name, picture: form.picture });
    saveSeat();
  });
  $("start-button").addEventListener("click", startMatch);
  document.addEventListener("keydown", keyboard);

  app.conn = new Connection({ onMessage, onOpen: welcomed, onLost: lost });
  app.conn.open();
}

init();
