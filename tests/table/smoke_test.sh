#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real program in a program folder of its own under Xvfb with a
# window manager, checks that the member selection is on screen, picks the
# four members with the mouse and the keyboard, starts a round and captures
# a speech window on screen from another process while it waits.
# Usage: smoke_test.sh PROGRAM_FOLDER WORK_FOLDER
set -euo pipefail
exec </dev/null
# The real program on the X server, whatever the other tests use.
unset QT_QPA_PLATFORM
bin=$1
work=$2
rm -rf "$work" && mkdir -p "$work"
cp -r "$bin" "$work/prog"
rm -rf "$work/prog/help"

# shellcheck source=../../tools/x-session.sh
source "$(dirname "$0")/../../tools/x-session.sh"
x_session_start "$work"

start=$(date +%s%N)
# No sound card here: SDL's disk driver writes what would be heard to a file.
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw" "$work/prog/Vantel" >"$work/vantel.log" 2>&1 &
vantel=$!
selection=$(x_wait_for 'メンバー選択' 100 0.05)
shown=$(( ($(date +%s%N) - start) / 1000000 ))
[ -n "$selection" ] || { echo "FAIL: the member selection never showed"; exit 1; }
echo "member selection on screen after ${shown} ms"
sleep 0.8
import -window root "$work/selection.png"
[ -f "$work/prog/help/Vantel.ini" ] || { echo "FAIL: no settings file was created"; exit 1; }

table=$(x_choose_members "$selection")
[ -n "$table" ] || { echo "FAIL: the table never opened"; exit 1; }
echo "table open"

# Start a round; a computer that holds back or cannot play says so in its
# speech window. Another process captures it while the game waits.
captured=""
xdotool windowactivate --sync "$table" 2>/dev/null || true
# The music on (ＢＧＭ演奏), then the first round.
xdotool key --window "$table" ctrl+g
sleep 0.3
xdotool key --window "$table" ctrl+s
# The table is centred on the 1280 x 900 screen at 800 x 567 outside, so
# its PASS button stands at a fixed place: when it is the user's turn and
# nobody has spoken yet, the user passes and says so.
for tick in $(seq 1 250); do
  geometry=$(xwininfo -root -tree 2>/dev/null | grep -E ' 231x303\+' | head -n 1 || true)
  if [ -n "$geometry" ]; then
    import -window root "$work/balloon.png"
    read -r w h x y < <(echo "$geometry" | sed -E 's/.* ([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+) .*/\1 \2 \3 \4/')
    spread=$(convert "$work/balloon.png" -crop "${w}x${h}+${x}+${y}" -colorspace Gray -format '%[fx:standard_deviation]' info:)
    echo "speech window ${w}x${h} at ${x},${y}; grey spread ${spread}"
    if awk -v s="$spread" 'BEGIN { exit !(s > 0.05) }'; then captured=yes; break; fi
  fi
  if [ $((tick % 25)) -eq 0 ]; then xdotool mousemove 884 677 click 1; fi
  sleep 0.1
done
[ -n "$captured" ] || { echo "FAIL: no speech window was seen painted on screen"; exit 1; }
rss=$(awk '/VmRSS/ { print $2 }' "/proc/$vantel/status")
echo "resident memory during the match, music playing: $((rss / 1024)) MB"
[ "$rss" -lt $((150 * 1024)) ] || { echo "FAIL: more than 150 MB resident"; exit 1; }
# The table music reached the sound device: more than a second, not silence.
audio_bytes=$(stat -c %s "$work/audio.raw" 2>/dev/null || echo 0)
heard=$( (tr -d '\000' < "$work/audio.raw" || true) | head -c 4096 | wc -c)
echo "audio written: $((audio_bytes / 1024)) KB, non-zero bytes seen: ${heard}"
if [ "$audio_bytes" -le 176400 ] || [ "$heard" -le 1000 ]; then echo "FAIL: the music was not heard"; exit 1; fi
timeout 10 import -window root "$work/table.png" || true

# Quit from the menu: the program ends by itself.
timeout 5 xdotool key --window "$table" ctrl+x || true
for _ in $(seq 1 50); do kill -0 "$vantel" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$vantel" 2>/dev/null; then echo "FAIL: the program did not end"; exit 1; fi
vantel=""
echo "1 passed, 0 failed"
