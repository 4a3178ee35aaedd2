#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Records the real program under Xvfb at 60 frames a second while it deals
# a round, and counts what a player sees of the card flights.
#
# The table is recorded with `ffmpeg -f x11grab` from 「ゲーム開始」 on,
# losslessly, so that a frame counts as changed exactly when the table's
# picture changed. It prints:
#   - the frames that changed during the deal (52 flights from the deck)
#     and the deal's duration; the deal ends at the first stillness of more
#     than 150 ms (the pause after it);
#   - the frames of the four sevens' flights that follow;
#   - for each later burst of change that is one card flying from a hand
#     to the table, its length in pixels (from the boxes its steps changed)
#     and its changed frames;
#   - the program's processor time during the deal, from /proc.
# It keeps the recording and a few frames from the middle of the deal in
# OUTPUT_FOLDER (default: a new folder under /tmp).
#
# Usage: tools/measure-flights.sh [PROGRAM_FOLDER] [OUTPUT_FOLDER]
# (defaults: build/bin). Needs Xvfb, openbox, xdotool, ffmpeg, python3.
# Exits 1 when the deal changed fewer than 150 frames or a flight of 300
# pixels or more changed fewer than 8.
set -euo pipefail
exec </dev/null
cd "$(dirname "$0")/.."
unset QT_QPA_PLATFORM
bin=${1:-build/bin}
out=${2:-$(mktemp -d /tmp/vantel-flights.XXXXXX)}
mkdir -p "$out"
work=$(mktemp -d)
cp -r "$bin" "$work/prog"
rm -rf "$work/prog/help"

# shellcheck source=tools/x-session.sh
source tools/x-session.sh
x_session_cleanup() {
  [ -z "${recorder:-}" ] || kill -9 "$recorder" 2>/dev/null || true
  [ -z "${sampler:-}" ] || kill -9 "$sampler" 2>/dev/null || true
  rm -rf "$work"
}
x_session_start "$work"

x_open_table "$work"
xdotool mousemove 5 5
sleep 0.5
# shellcheck disable=SC2034  # set by the eval
eval "$(xdotool getwindowgeometry --shell "$table")"
# x11grab wants even sizes.
width=$((WIDTH / 2 * 2)) height=$((HEIGHT / 2 * 2))
echo "table at ${X},${Y}, ${width}x${height}"

ffmpeg -hide_banner -loglevel error -f x11grab -draw_mouse 0 -framerate 60 \
  -video_size "${width}x${height}" -i "${DISPLAY}+${X},${Y}" -t 30 \
  -c:v libx264rgb -preset ultrafast -qp 0 -y "$out/flights.mkv" >"$work/ffmpeg.log" 2>&1 &
recorder=$!
sleep 1.5

# The program's processor time (user + system, in clock ticks) every 20 ms,
# against the time since 「ゲーム開始」 in milliseconds.
ticks=$(getconf CLK_TCK)
started=$(date +%s%N)
(
  while kill -0 "$vantel" 2>/dev/null; do
    read -r -a stat <"/proc/$vantel/stat" || break
    echo "$(( ($(date +%s%N) - started) / 1000000 )) $(( stat[13] + stat[14] ))"
    sleep 0.02
  done
) >"$work/cpu.log" &
sampler=$!
xdotool key --window "$table" ctrl+s

# The computers play on; when it is the user's turn, the user passes (and
# drops out after the third pass). The table is centred on the 1280 x 900
# screen at 800 x 567 outside, so PASS and DROP stand at fixed places. The pointer goes back to the corner so
# that no button shows it hovering.
for _ in $(seq 1 9); do
  sleep 2.5
  xdotool mousemove 884 677 click 1 mousemove 934 677 click 1 mousemove 5 5 2>/dev/null || true
done
wait "$recorder" || true
recorder=""
kill "$sampler" 2>/dev/null || true
sampler=""
[ -s "$out/flights.mkv" ] || { echo "nothing was recorded" >&2; cat "$work/ffmpeg.log" >&2; exit 1; }

cat >"$work/analyse.py" <<'PY'
import sys

width, height = int(sys.argv[1]), int(sys.argv[2])
cpu_log, ticks_per_s, out = sys.argv[3], int(sys.argv[4]), sys.argv[5]
frame_bytes = width * height * 3
row = width * 3
card_w, card_h, step = 49, 65, 30
still_gap = 10          # frames without change (> 150 ms) end a burst
stream = sys.stdin.buffer

def first_diff(a, b, lo, hi, chunk=96):
    i = lo
    while i < hi and a[i:i + chunk] == b[i:i + chunk]:
        i += chunk
    while a[i] == b[i]:
        i += 1
    return i

def last_diff(a, b, lo, hi, chunk=96):
    j = hi
    while j > lo and a[j - chunk:j] == b[j - chunk:j]:
        j -= chunk
    j -= 1
    while a[j] == b[j]:
        j -= 1
    return j

def change_box(a, b):
    """The box (left, top, right, bottom) of the pixels that differ."""
    top = bottom = None
    left, right = width, -1
    for y in range(height):
        lo, hi = y * row, (y + 1) * row
        if a[lo:hi] == b[lo:hi]:
            continue
        top = y if top is None else top
        bottom = y
        left = min(left, (first_diff(a, b, lo, hi) - lo) // 3)
        right = max(right, (last_diff(a, b, max(lo, hi - row), hi) - lo) // 3)
    return None if top is None else (left, top, right, bottom)

def save_png_later(frame, name):
    with open(f"{out}/{name}.ppm", "wb") as f:
        f.write(b"P6 %d %d 255\n" % (width, height) + frame)

# Bursts of change, each a dict: first and last frame, frames changed, and
# (after the deal) the box each change covered.
bursts = []
previous = None
index = -1
quiet = still_gap
while True:
    frame = stream.read(frame_bytes)
    if len(frame) < frame_bytes:
        break
    index += 1
    if previous is not None and frame != previous:
        if quiet >= still_gap:
            bursts.append({"first": index, "last": index, "changed": 0, "boxes": []})
        burst = bursts[-1]
        burst["last"] = index
        burst["changed"] += 1
        if len(bursts) > 1:
            burst["boxes"].append(change_box(previous, frame))
        elif burst["changed"] in (40, 41, 42, 200):
            # A few frames from the middle of the deal, to look at.
            save_png_later(frame, f"deal-{burst['changed']:03d}")
        quiet = 0
    else:
        quiet += 1
    previous = frame
frames = index + 1
print(f"recorded {frames} frames ({frames / 60:.1f} s at 60 frames a second)")
if not bursts:
    print("FAIL: the table never changed")
    sys.exit(1)

deal = bursts[0]
deal_ms = (deal["last"] - deal["first"] + 1) * 1000 / 60
print(f"deal: {deal['changed']} frames changed over {deal_ms:.0f} ms "
      f"({deal['changed'] / 52:.1f} a card)")
failed = deal["changed"] < 150

cpu = []
with open(cpu_log) as f:
    for line in f:
        t, ticks = line.split()
        cpu.append((int(t), int(ticks)))
if cpu:
    def ticks_at(ms):
        return next((k for t, k in cpu if t >= ms), cpu[-1][1])
    end = deal_ms + 100
    used_ms = (ticks_at(end) - ticks_at(0)) * 1000 / ticks_per_s
    print(f"processor during the deal: {used_ms:.0f} ms in {end:.0f} ms "
          f"= {100 * used_ms / end:.1f}% of one core")

# One card flying changes a box little larger than a card at each step; a
# speech window or a caption changes other boxes. A burst is a flight when
# most of its changes are card-sized; its length is the span of those
# changes less a card, plus the first step (the card was hidden at its
# start, so leaving it changed nothing).
longest = 0
if len(bursts) > 1:
    sevens = bursts[1]
    print(f"the four sevens to the table: {sevens['changed']} frames changed over "
          f"{sevens['last'] - sevens['first'] + 1}")
for burst in bursts[2:]:
    small = [b for b in burst["boxes"]
             if b and b[2] - b[0] < card_w + 2 * step and b[3] - b[1] < card_h + 2 * step]
    if len(small) < 3 or len(small) < 0.6 * len(burst["boxes"]):
        continue
    left, top = min(b[0] for b in small), min(b[1] for b in small)
    right, bottom = max(b[2] for b in small), max(b[3] for b in small)
    dx, dy = max(right - left + 1 - card_w, 0), max(bottom - top + 1 - card_h, 0)
    length = (dx * dx + dy * dy) ** 0.5 + step
    spanned = burst["last"] - burst["first"] + 1
    mark = ""
    if length >= 300:
        mark = " (300 px or more)"
        failed |= burst["changed"] < 8
        longest = max(longest, length)
    print(f"flight of about {length:.0f} px: {burst['changed']} frames changed "
          f"over {spanned}{mark}")
if not longest:
    print("no flight of 300 px or more was recorded this time")
sys.exit(1 if failed else 0)
PY
status=0
ffmpeg -hide_banner -loglevel error -i "$out/flights.mkv" -fps_mode passthrough \
    -f rawvideo -pix_fmt rgb24 - |
  python3 "$work/analyse.py" "$width" "$height" "$work/cpu.log" "$ticks" "$out" || status=$?
for ppm in "$out"/*.ppm; do
  [ -e "$ppm" ] || continue
  convert "$ppm" "${ppm%.ppm}.png" && rm -f "$ppm"
done
echo "recording and frames in $out"
exit $status
