# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later

# shellcheck shell=bash
# Shared steps of the scripts that drive the real program on an X server of
# their own (the smoke test, the match-end capture). Source it; it defines:
#
#   x_session_start WORK   Xvfb at 1280 x 900 (or X_SESSION_SIZE) on a free
#                          display and openbox;
#                          exports DISPLAY; logs go to WORK. Everything
#                          started here (and the program, in $vantel) is
#                          killed when the script exits.
#   x_visible TITLE        the first visible window whose title matches.
#   x_wait_for TITLE TRIES PAUSE
#                          polls x_visible up to TRIES times.
#   x_choose_members SELECTION
#                          answers the member selection's prompt, picks the
#                          first member for the user and the next three for
#                          the computers, confirming each step with Enter;
#                          prints the table window once it is open.
#   x_open_table WORK      starts the program in WORK/prog without sound,
#                          picks the members as above and activates the
#                          table; sets vantel (the program) and table (its
#                          window), or ends the script when either fails.

x_session_start() {
  local work=$1
  local display=:$(( 90 + RANDOM % 400 ))
  Xvfb "$display" -screen 0 "${X_SESSION_SIZE:-1280x900}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  x_session_xvfb=$!
  disown "$x_session_xvfb"
  export DISPLAY=$display
  trap x_session_stop EXIT
  for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  openbox >"$work/openbox.log" 2>&1 &
  x_session_wm=$!
  disown "$x_session_wm"
  sleep 0.5
}

x_session_stop() {
  for pid in "${vantel:-}" "${x_session_wm:-}" "${x_session_xvfb:-}"; do
    if [ -n "$pid" ] && [ "$pid" != 0 ]; then kill -9 "$pid" 2>/dev/null || true; fi
  done
  if declare -F x_session_cleanup >/dev/null; then x_session_cleanup; fi
}

x_visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true; }

x_wait_for() {
  local title=$1 tries=$2 pause=$3 found=""
  for _ in $(seq 1 "$tries"); do
    found=$(x_visible "$title")
    [ -n "$found" ] && break
    sleep "$pause"
  done
  echo "$found"
}

x_choose_members() {
  # shellcheck disable=SC2034  # all set by the eval, X and Y used
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  # The prompt, then the user's picture (OK), the notice, three computers (OK).
  xdotool key Return; sleep 0.4
  xdotool mousemove $((X + 80)) $((Y + 80)) click 1; sleep 0.4
  xdotool key Return; sleep 0.4
  xdotool key Return; sleep 0.4
  for column in 1 2 3; do
    xdotool mousemove $((X + 80 + column * 144)) $((Y + 80)) click 1; sleep 0.4
  done
  xdotool key Return
  x_wait_for 'Tamsuの７ならべ' 50 0.1
}

x_open_table() {
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null "$1/prog/Vantel" >"$1/vantel.log" 2>&1 &
  vantel=$!
  local selection
  selection=$(x_wait_for 'メンバー選択' 100 0.05)
  [ -n "$selection" ] || { echo "the member selection never showed" >&2; exit 1; }
  sleep 0.8
  table=$(x_choose_members "$selection")
  [ -n "$table" ] || { echo "the table never opened" >&2; exit 1; }
  xdotool windowactivate --sync "$table" 2>/dev/null || true
}
