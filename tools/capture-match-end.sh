#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays a whole match of the real program under Xvfb and a window manager
# and captures the match-end screens from the screen, for the README.
#
# The player passes three times each round, drops out and skips the rest of
# the round; the result and ranking windows are closed with Enter. The
# announcement and the won or lost screen are captured as they are shown
# and put side by side in OUTPUT_FOLDER/match-end.png.
# Usage: tools/capture-match-end.sh [PROGRAM_FOLDER] [OUTPUT_FOLDER]
# (defaults: build/bin and docs). Takes a few minutes: the game runs at its
# real pace.
set -euo pipefail
exec </dev/null
cd "$(dirname "$0")/.."
unset QT_QPA_PLATFORM
bin=${1:-build/bin}
out=${2:-docs}
work=$(mktemp -d)
cp -r "$bin" "$work/prog"
rm -rf "$work/prog/help"
mkdir -p "$out"

# shellcheck source=tools/x-session.sh
source tools/x-session.sh
x_session_cleanup() { rm -rf "$work"; }
x_session_start "$work"

x_open_table "$work"
xdotool key --window "$table" ctrl+s

# The table is centred on the screen at 800 x 567 outside: PASS and DROP
# stand at fixed places.
screens=0
for _ in $(seq 1 6000); do
  if ! kill -0 "$vantel" 2>/dev/null; then echo "the program ended" >&2; exit 1; fi
  screen=$(xwininfo -root -tree 2>/dev/null | grep -E ' 400x400\+' | head -n 1 || true)
  if [ -n "$screen" ]; then
    sleep 1
    read -r x y < <(echo "$screen" | sed -E 's/.* 400x400\+(-?[0-9]+)\+(-?[0-9]+) .*/\1 \2/')
    screens=$((screens + 1))
    import -window root -crop "400x400+${x}+${y}" +repage "$out/match-end-${screens}.png"
    echo "captured match-end screen ${screens} at ${x},${y}"
    xdotool mousemove $((x + 200)) $((y + 150)) click 1 || true
    # The announcement, then the won or lost screen.
    [ "$screens" -ge 2 ] && break
    sleep 0.5
    continue
  fi
  for title in '対戦結果' 'ベスト１０ランキング'; do
    w=$(x_visible "$title")
    if [ -n "$w" ]; then
      xdotool windowactivate --sync "$w" 2>/dev/null || true
      xdotool key --window "$w" Return 2>/dev/null || true
      sleep 0.3
    fi
  done
  # A window may close between finding it and the key reaching it.
  xdotool mousemove 884 677 click 1 || true
  xdotool mousemove 934 677 click 1 || true
  xdotool key --window "$table" ctrl+k 2>/dev/null || true
  sleep 0.3
done
[ "$screens" -ge 2 ] || { echo "the match-end screens were not seen" >&2; exit 1; }
convert "$out/match-end-1.png" "$out/match-end-2.png" +append "$out/match-end.png"
rm -f "$out/match-end-1.png" "$out/match-end-2.png"
echo "done: $out/match-end.png"
