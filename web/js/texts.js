// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the page says, in plain Japanese: the server's refusals by code,
// and the words for seats and places.

const REFUSALS = {
  no_such_room: "その部屋番号のテーブルはありません。番号を確かめてください。",
  match_started: "このテーブルはもう始まっています。「観戦」で見ることはできます。",
  bad_name: "名前は全角4文字（半角8文字）までで、空にはできません。",
  name_taken: "その名前はこのテーブルでもう使われています。別の名前にしてください。",
  bad_picture: "その絵は選べません。別の絵を選んでください。",
  table_full: "このテーブルの席はいっぱいです。「観戦」で見ることはできます。",
  too_many_spectators: "観戦している人がいっぱいです。",
  server_full: "サーバーのテーブルがいっぱいです。しばらくしてからお試しください。",
  too_many_tables: "テーブルを作りすぎました。1時間ほどしてからお試しください。",
  wrong_token: "この席に戻れませんでした。もう一度参加してください。",
  match_running: "試合の途中です。",
  protocol_mismatch: "サーバーとこのページの版が合いません。ページを読み込み直してください。",
  not_your_turn: "今はあなたの番ではありません。",
  stale: "その手は間に合いませんでした。",
  no_such_card: "そのカードは手札にありません。",
  card_not_playable: "そのカードは今は出せません。",
  no_pass_left: "パスは3回までです。ドロップしかできません。",
  drop_not_allowed: "ドロップは3回パスしたあとでできます。",
  not_a_person: "この席は今コンピュータが打っています。",
  not_now: "今は試合が行われていません。",
  flood: "送信が多すぎたため接続が切れました。",
  too_big: "送ったデータが大きすぎます。",
};

export function refusalText(code) {
  return REFUSALS[code] || `サーバーに断られました（${code}）。`;
}

export const SEAT_STATES = {
  empty: "空席（開始するとコンピュータ）",
  computer: "コンピュータ",
  present: "",
  away: "接続待ち",
  standin: "代打ち中",
};

export function placeText(place) {
  return place > 0 ? `${place}位` : "";
}

export function passStars(passes) {
  return "★".repeat(Math.min(passes, 3)) + "☆".repeat(Math.max(0, 3 - passes));
}

// A name's length as the game counts it: a full-width character takes two
// bytes of its code page, ASCII and half-width katakana one.
export function nameBytes(name) {
  let bytes = 0;
  for (const ch of name) {
    const c = ch.codePointAt(0);
    bytes += c < 0x80 || (c >= 0xff61 && c <= 0xff9f) ? 1 : 2;
  }
  return bytes;
}
