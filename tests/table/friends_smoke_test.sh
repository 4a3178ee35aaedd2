#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Two copies of the real program under Xvfb and openbox, driven by another
# process with the keyboard: copy A hosts a friends' table from 「友達と遊ぶ」
# (the game's own server on a loopback port), copy B joins it by address,
# port and room code, two computers fill the table, and a whole round is
# played by keys in both windows. Then B is killed in the middle of the
# next round: A's server hands its seat to a computer; B is started again,
# takes its seat back from 「友達と遊ぶ」 and plays on. Screenshots of the
# host tab, the join tab and both tables (at the load size and maximised)
# are left in the work folder.
# Usage: friends_smoke_test.sh PROGRAM_FOLDER WORK_FOLDER
set -euo pipefail
exec </dev/null
unset QT_QPA_PLATFORM
bin=$1
work=$2
rm -rf "$work" && mkdir -p "$work"
for copy in a b; do
  mkdir -p "$work/$copy/data"
  cp -r "$bin" "$work/$copy/prog"
  rm -rf "$work/$copy/prog/help"
done
# The game at ten times its pace, and a computer for a lost seat after 3 s
# instead of 20.
export VANTEL_PACE=0.1 VANTEL_SEAT_GRACE_MS=3000

# A screen for two tables side by side.
export X_SESSION_SIZE=1700x1000
# shellcheck source=../../tools/x-session.sh
source "$(dirname "$0")/../../tools/x-session.sh"
copy_a="" copy_b=""
x_session_cleanup() {
  for pid in "$copy_a" "$copy_b"; do [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true; done
}
x_session_start "$work"

fail() { echo "FAIL: $*"; timeout 10 import -window root "$work/failure.png" || true; exit 1; }
shot() { timeout 10 import -window root "$work/$1.png" || true; }
# One window: shot_of WINDOW NAME.
shot_of() { timeout 10 import -window "$1" "$work/$2.png" 2>/dev/null || true; }
# The first visible window of process $1 whose title begins with $2 (by
# the names themselves: xdotool's own search does not match Japanese
# titles reliably).
window_of() {
  local w
  for w in $(xdotool search --all --onlyvisible --pid "$1" --name '' 2>/dev/null); do
    case "$(xdotool getwindowname "$w" 2>/dev/null)" in "$2"*) echo "$w"; return 0 ;; esac
  done
  return 0
}
wait_window() {
  local found=""
  for _ in $(seq 1 "${3:-100}"); do
    found=$(window_of "$1" "$2")
    [ -n "$found" ] && break
    sleep 0.1
  done
  echo "$found"
}
# Waits until file $1 holds a line matching $2.
wait_log() {
  for _ in $(seq 1 "${3:-100}"); do
    grep -qE "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
keys() { local w=$1; shift; xdotool windowactivate --sync "$w" >/dev/null 2>&1 || true; xdotool key --delay 60 "$@"; }

# Starts copy $1 (a or b), picks its members and opens 「友達と遊ぶ」; sets
# pid_started and friends_window.
start_copy() {
  local copy=$1
  XDG_DATA_HOME="$work/$copy/data" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null \
    "$work/$copy/prog/Vantel" >>"$work/$copy/vantel.log" 2>&1 &
  pid_started=$!
  disown "$pid_started"
  local selection table
  selection=$(wait_window "$pid_started" 'メンバー選択' 150)
  [ -n "$selection" ] || fail "copy $copy: the member selection never showed"
  sleep 0.5
  # Keys go to the focused window: the other copy's must not take them.
  xdotool windowactivate --sync "$selection" >/dev/null 2>&1 || true
  x_choose_members "$selection" >/dev/null
  table=$(wait_window "$pid_started" 'Tamsuの７ならべ' 100)
  [ -n "$table" ] || fail "copy $copy: the table never opened"
  sleep 0.5
  keys "$table" ctrl+n
  friends_window=$(wait_window "$pid_started" '友達と遊ぶ' 50)
  [ -n "$friends_window" ] || fail "copy $copy: 「友達と遊ぶ」 never opened"
}

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')

# ---- A hosts ----
start_copy a
copy_a=$pid_started
host_window=$friends_window
keys "$host_window" alt+p ctrl+a
xdotool type --delay 40 "$port"
keys "$host_window" alt+m
wait_log "$work/a/vantel.log" 'table [0-9A-Z-]+ created' 100 || fail "the host's room was never made"
code=$(grep -oE 'table [0-9A-Z-]+ created' "$work/a/vantel.log" | head -n 1 | awk '{print $2}')
echo "room $code on port $port"
sleep 0.5
shot host-tab

# ---- B joins ----
start_copy b
copy_b=$pid_started
join_window=$friends_window
keys "$join_window" ctrl+Tab alt+a ctrl+a
xdotool type --delay 40 "127.0.0.1"
keys "$join_window" alt+o ctrl+a
xdotool type --delay 40 "$port"
keys "$join_window" alt+r ctrl+a
xdotool type --delay 40 "$code"
keys "$join_window" alt+n ctrl+a
xdotool type --delay 40 "yuki"
keys "$join_window" alt+j
sleep 1.5
shot join-tab
keys "$join_window" alt+j
wait_log "$work/a/vantel.log" 'seat 2 joined' 100 || fail "B never sat down"
table_b=$(wait_window "$copy_b" 'Tamsuの７ならべ' 50)

# ---- A starts: both play a whole round by keys ----
keys "$host_window" alt+s
wait_log "$work/a/vantel.log" 'match started' 50 || fail "the match never started"
sleep 1
table_a=$(wait_window "$copy_a" 'Tamsuの７ならべ' 50)
table_b=$(wait_window "$copy_b" 'Tamsuの７ならべ' 50)
[ -n "$table_a" ] && [ -n "$table_b" ] || fail "the friends' tables did not open"
xdotool windowmove "$table_a" 20 60
xdotool windowmove "$table_b" 870 380
# Each copy presses Return in turn: on its own turn that lays the card in
# focus (or passes), and it closes the result table after the round.
# Plays until the result table of the round has shown in both windows.
play_keys() {
  local limit=$1 started seen_a="" seen_b="" pid w result
  started=$(date +%s)
  while [ $(( $(date +%s) - started )) -lt "$limit" ]; do
    for pid in "$copy_a" "$copy_b"; do
      if [ "$pid" = "$copy_a" ]; then w=$table_a; else w=$table_b; fi
      # The window gives the focus back to its card a moment after it is
      # activated; a key before that finds nothing in focus.
      xdotool windowactivate --sync "$w" >/dev/null 2>&1 || true
      sleep 0.15
      # The result table opens over the table: seen before a key closes it.
      result=$(window_of "$pid" '対戦結果')
      if [ -n "$result" ]; then
        if [ "$pid" = "$copy_a" ]; then seen_a=yes; else seen_b=yes; fi
        shot_of "$result" "results-$pid"
        xdotool windowactivate --sync "$result" >/dev/null 2>&1 || true
        sleep 0.2
      fi
      xdotool key Return
    done
    [ -n "$seen_a" ] && [ -n "$seen_b" ] && return 0
  done
  return 1
}
sleep 6
shot_of "$table_a" table-a-dealt
shot_of "$table_b" table-b-dealt
play_keys 150 || fail "the first round was not played to its end in both windows"
echo "a whole round played by keys in both windows"
for w in "$table_a" "$table_b"; do keys "$w" Return; done
sleep 8
shot tables-round-2
# Both tables maximised, then back.
wmctrl -i -r "$table_a" -b add,maximized_vert,maximized_horz
sleep 1.5
shot table-a-maximised
wmctrl -i -r "$table_a" -b remove,maximized_vert,maximized_horz
wmctrl -i -r "$table_b" -b add,maximized_vert,maximized_horz
sleep 1.5
shot table-b-maximised
wmctrl -i -r "$table_b" -b remove,maximized_vert,maximized_horz

# ---- B is killed mid-round; a computer takes its seat ----
kill -9 "$copy_b"
copy_b=""
wait_log "$work/a/vantel.log" 'a computer plays seat 2' 400 || fail "no computer took the seat of the killed copy"
echo "a computer took seat 2"
sleep 1
shot seat-taken-over
[ -f "$work/b/data/vantel/friends-seat.json" ] || fail "the killed copy kept no seat to come back to"
perm=$(stat -c %a "$work/b/data/vantel/friends-seat.json")
[ "$perm" = 600 ] || fail "the kept seat is readable by others ($perm)"

# ---- B starts again and takes its seat back ----
start_copy b
copy_b=$pid_started
join_window=$friends_window
sleep 0.5
shot join-tab-seat-kept
keys "$join_window" alt+j
wait_log "$work/a/vantel.log" 'seat 2 came back' 100 || fail "the started copy did not take its seat back"
echo "seat 2 came back"
table_b=$(wait_window "$copy_b" 'Tamsuの７ならべ' 50)
[ -n "$table_b" ] || fail "the started copy shows no table"
# B plays on: the table's journal gets a move of seat 2 by its person.
person_moves() { grep -rhE '"by":"person".*"seat":2' "$work/a/data/vantel/server" 2>/dev/null | wc -l; }
before=$(person_moves)
started=$(date +%s)
while [ "$(person_moves)" -le "$before" ]; do
  [ $(( $(date +%s) - started )) -lt 90 ] || fail "the copy that came back never moved"
  for w in "$table_a" "$table_b"; do
    xdotool windowactivate --sync "$w" >/dev/null 2>&1 || true
    sleep 0.15
    xdotool key Return
  done
done
shot after-return
echo "played on after coming back"

# ---- B leaves by closing: the server hears it at once ----
keys "$table_b" ctrl+x
for _ in $(seq 1 50); do kill -0 "$copy_b" 2>/dev/null || break; sleep 0.1; done
kill -0 "$copy_b" 2>/dev/null && fail "copy B did not end"
copy_b=""
wait_log "$work/a/vantel.log" 'connection [0-9]+ from 127.0.0.1 closed' 50 || fail "the server never heard B leave"
[ -f "$work/b/data/vantel/friends-seat.json" ] && fail "a seat left on purpose was kept"
keys "$table_a" ctrl+x
for _ in $(seq 1 50); do kill -0 "$copy_a" 2>/dev/null || break; sleep 0.1; done
kill -0 "$copy_a" 2>/dev/null && fail "copy A did not end"
copy_a=""
if grep -q 'killTimer' "$work/a/vantel.log"; then fail "the embedded server stopped with timer warnings"; fi
echo "1 passed, 0 failed"
