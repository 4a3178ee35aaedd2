#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads the real program the way a screen reader does: through AT-SPI, on a
# session bus of its own with the accessibility bus and registry running,
# under Xvfb. The member selection is passed with the keyboard alone, a
# round is started with Ctrl+S, and once it is the user's turn the script
# prints and checks what a screen reader finds: the table window, the
# user's cards by name with the playable ones marked, PASS and DROP, the
# seat labels and the round counter; then H asks for a hint and the script
# checks that the focus went to a move the table offers. Before the
# members are chosen it opens 「友達と遊ぶ」 from the member selection by
# Tab and Space, reads its tabs and controls, makes a room by the keyboard
# (Alt+P, the port, Alt+M) and reads the room code, and closes it with
# Escape. Then it opens the
# record window (成績) with Ctrl+T and reads its figures as a table, row and
# column headers and cells, from a record file laid in beforehand; Escape
# closes it.
#
# Usage: tools/read-accessibility.sh [PROGRAM_FOLDER] (default build/bin).
# Needs Xvfb, openbox, xdotool, dbus, at-spi2-core and Debian's
# python3-pyatspi (run with /usr/bin/python3, which sees it).
set -euo pipefail
exec </dev/null
cd "$(dirname "$0")/.."
if [ -z "${VANTEL_A11Y_SESSION:-}" ]; then
  # Everything below runs on a session bus that ends with the script.
  VANTEL_A11Y_SESSION=1 exec dbus-run-session -- bash "$0" "$@"
fi
unset QT_QPA_PLATFORM
bin=$(cd "${1:-build/bin}" && pwd)
work=$(mktemp -d)
cp -r "$bin" "$work/prog"
rm -rf "$work/prog/help"
# A record of three matches at ふつう (2 won, 1 fourth) and one at むずかしい.
mkdir -p "$work/prog/help"
figures() {  # played left places(4) best totalSum streak longestWins longestLosses
  printf '{"played":%s,"left":%s,"places":[%s],"rounds":0,"roundsWon":0,"best":%s,"totalSum":%s,' "${@:1:5}"
  printf '"streak":%s,"longestWins":%s,"longestLosses":%s,"passes":0,"drops":0,"hints":0}' "${@:6}"
}
cat >"$work/prog/help/Seiseki.json" <<JSON
{"format":1,
 "strengths":{"easy":$(figures 0 0 0,0,0,0 0 0 0 0 0),
              "normal":$(figures 3 1 2,0,0,1 1500 2100 -1 2 1),
              "hard":$(figures 1 0 0,1,0,0 -300 -300 -1 0 1)},
 "overall":{"streak":-2,"longestWins":2,"longestLosses":2},
 "recent":[]}
JSON

# shellcheck source=tools/x-session.sh
source tools/x-session.sh
x_session_cleanup() {
  [ -z "${launcher:-}" ] || kill "$launcher" 2>/dev/null || true
  rm -rf "$work"
}
x_session_start "$work"
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/at-spi.log" 2>&1 &
launcher=$!
sleep 1

XDG_DATA_HOME="$work/data" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 SDL_AUDIODRIVER=dummy "$work/prog/Vantel" >"$work/vantel.log" 2>&1 &
vantel=$!
selection=$(x_wait_for 'メンバー選択' 100 0.05)
[ -n "$selection" ] || { echo "FAIL: the member selection never showed"; exit 1; }
sleep 1
# What both readings below share: the walk over the accessible tree and
# the search for one of the program's windows.
cat >"$work/vantel_a11y.py" <<'PY'
import time
import pyatspi

def walk(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from walk(child)

def find_window(matches, tries=100):
    """The first window of the program called Vantel whose name matches,
    polled for a while; None when there is none."""
    for _ in range(tries):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Vantel":
                window = next((w for w in app if w is not None and matches(w.name)), None)
                if window is not None:
                    return window
        time.sleep(0.1)
    return None

def closes_on_escape(title):
    """Presses Escape; True once the window called `title` is gone."""
    import subprocess
    subprocess.run(["xdotool", "key", "Escape"], check=False)
    for _ in range(50):
        still = find_window(lambda name: name == title, tries=1)
        if still is None or not still.getState().contains(pyatspi.STATE_SHOWING):
            return True
        time.sleep(0.1)
    return False
PY
export PYTHONPATH="$work"

# The prompt; then Tab to 「友達と遊ぶ」 and Space.
xdotool key Return; sleep 0.5
xdotool key Tab; sleep 0.3
xdotool key space
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
PORT="$port" /usr/bin/python3 - <<'PY'
import os, subprocess, sys, time
import pyatspi
from vantel_a11y import walk, find_window, closes_on_escape

window = find_window(lambda name: name == "友達と遊ぶ")
if window is None:
    print("FAIL: the member selection's 友達と遊ぶ opened no window")
    sys.exit(1)
print(f"friends window: {window.name!r} ({window.getRoleName()})")
failures = []
nodes = list(walk(window))
tabs = [n.name for n in nodes if n.getRole() == pyatspi.ROLE_PAGE_TAB]
print("tabs:", ", ".join(tabs))
if tabs != ["部屋を作る", "部屋に入る"]:
    failures.append(f"tabs {tabs}")
def named(role):
    return sorted(n.name for n in nodes if n.getRole() == role and n.name and
                  n.getState().contains(pyatspi.STATE_SHOWING))
for role, label in ((pyatspi.ROLE_SPIN_BUTTON, "spin buttons"), (pyatspi.ROLE_COMBO_BOX, "combo boxes"),
                    (pyatspi.ROLE_CHECK_BOX, "check boxes"), (pyatspi.ROLE_PUSH_BUTTON, "buttons")):
    print(f"{label}:", ", ".join(named(role)))
if "ポート" not in named(pyatspi.ROLE_SPIN_BUTTON):
    failures.append("no port field named ポート")
# A combo box reads as its value; what it is for comes from its label.
def labelled(node):
    return [r.getTarget(i).name for r in node.getRelationSet()
            if r.getRelationType() == pyatspi.RELATION_LABELLED_BY for i in range(r.getNTargets())]
combos = [labelled(n) for n in nodes if n.getRole() == pyatspi.ROLE_COMBO_BOX and
          n.getState().contains(pyatspi.STATE_SHOWING)]
print("combo boxes labelled by:", combos)
if not any("空いた席" in " ".join(l) for l in combos) or not any("持ち時間" in " ".join(l) for l in combos):
    failures.append("the computers and the turn timer have no labels")
if not any(name.startswith("部屋を作る") for name in named(pyatspi.ROLE_PUSH_BUTTON)):
    failures.append("no 部屋を作る button")
# A room by the keyboard alone: the port, then 部屋を作る.
for keys in (["alt+p"], ["ctrl+a"]):
    subprocess.run(["xdotool", "key"] + keys, check=False)
    time.sleep(0.2)
subprocess.run(["xdotool", "type", os.environ["PORT"]], check=False)
subprocess.run(["xdotool", "key", "alt+m"], check=False)
code = ""
deadline = time.time() + 15
while time.time() < deadline and not code:
    time.sleep(0.3)
    for n in walk(window):
        # The label's name carries the code, as a screen reader reads it.
        if n.getRole() == pyatspi.ROLE_LABEL and n.name.startswith("部屋コード "):
            code = n.name.split(" ", 1)[1].strip()
print("room code read:", code or "nothing")
status = next((n for n in walk(window) if n.name == "状態"), None)
if status is not None:
    try:
        print("status:", status.queryText().getText(0, -1))
    except NotImplementedError:
        pass
if len(code.replace("-", "")) < 8:
    failures.append("the room code was not read")
seats = next((n for n in walk(window) if n.getRole() == pyatspi.ROLE_TABLE), None)
if seats is None:
    failures.append("no table of seats")
else:
    t = seats.queryTable()
    cell = t.getAccessibleAt(0, 1).name if t.nRows and t.nColumns > 1 else ""
    print(f"seats table {seats.name!r}: {t.nRows} rows; seat 1: {cell}")
if not closes_on_escape("友達と遊ぶ"):
    failures.append("Escape did not close 友達と遊ぶ")
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
PY

# Back to the pictures (Shift+Tab from the button); Enter on the first
# picture and its two boxes; then Right and Space three times for the
# computers, and the confirmation.
xdotool key shift+Tab; sleep 0.5
xdotool key Return; sleep 0.5
xdotool key Return; sleep 0.5
xdotool key Return; sleep 0.5
for _ in 1 2 3; do xdotool key Right; sleep 0.2; xdotool key space; sleep 0.4; done
xdotool key Return
table=$(x_wait_for 'Tamsuの７ならべ' 50 0.1)
[ -n "$table" ] || { echo "FAIL: the table never opened from the keyboard"; cat "$work/vantel.log"; exit 1; }
sleep 1
xdotool key ctrl+s


/usr/bin/python3 - <<'PY'
import sys, time
import pyatspi
from vantel_a11y import walk, find_window, closes_on_escape

frame = find_window(lambda name: name.startswith("Tamsuの７ならべ"))
if frame is None:
    print("FAIL: no table window of an application called Vantel on the accessibility bus")
    sys.exit(1)
print(f"table window: {frame.name!r} ({frame.getRoleName()})")

def state(node, s):
    return node.getState().contains(s)

# Wait for the user's turn: PASS or a card becomes sensitive.
suits = ("ダイヤの", "クラブの", "ハートの", "スペードの")
deadline = time.time() + 90
while True:
    nodes = list(walk(frame))
    buttons = [n for n in nodes if n.getRole() == pyatspi.ROLE_PUSH_BUTTON]
    pass_button = next((b for b in buttons if b.name == "PASS"), None)
    drop_button = next((b for b in buttons if b.name == "DROP"), None)
    cards = [b for b in buttons if b.name.startswith(suits) or b.name == "ジョーカー"]
    shown = [c for c in cards if state(c, pyatspi.STATE_SHOWING)]
    playable = [c for c in shown if state(c, pyatspi.STATE_SENSITIVE)]
    if pass_button and (state(pass_button, pyatspi.STATE_SENSITIVE) or playable):
        break
    if time.time() > deadline:
        print("FAIL: the user's turn never came")
        sys.exit(1)
    time.sleep(0.5)

failures = []
print(f"cards shown: {len(shown)} (in the user's hand and on the table)")
for c in sorted(shown, key=lambda c: (c.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).y,
                                      c.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).x)):
    mark = "playable" if state(c, pyatspi.STATE_SENSITIVE) else "-"
    print(f"  {c.name:<8}\t{mark:<9}\t{c.description}")
    if state(c, pyatspi.STATE_SENSITIVE) != (c.description == "出せるカード"):
        failures.append(f"{c.name}: playable state and description disagree")
backs = [n for n in nodes if n.name == "裏向きのカード" and state(n, pyatspi.STATE_SHOWING)]
print(f"card backs shown: {len(backs)}")
for b in (pass_button, drop_button):
    if b is None:
        failures.append("a button is missing")
        continue
    on = "enabled" if state(b, pyatspi.STATE_SENSITIVE) else "disabled"
    focused = ", focused" if state(b, pyatspi.STATE_FOCUSED) else ""
    print(f"button {b.name}: {on}{focused}; {b.description}")
labels = [n for n in nodes if n.getRole() == pyatspi.ROLE_LABEL and n.name and
          ("合計" in n.name or "回戦" in n.name or "ハイスコア" in n.name)]
for label in labels:
    print(f"label: {label.name}")
focus = [n for n in nodes if state(n, pyatspi.STATE_FOCUSED)]
print("focused:", ", ".join(n.name for n in focus) or "nothing")
if len(shown) < 4:
    failures.append("fewer cards than the four sevens")
if not playable and not state(pass_button, pyatspi.STATE_SENSITIVE):
    failures.append("nothing to play at the user's turn")
if playable and not any(state(c, pyatspi.STATE_FOCUSED) for c in playable):
    failures.append("the focus is not on a playable card")
if not any("回戦" in l.name for l in labels):
    failures.append("no round counter")

# The hint: H moves the focus to what the search player would do, a
# raised card or PASS or DROP, and the screen reader hears its name.
import subprocess
hint_items = [n for n in nodes if n.name.startswith("ヒント")]
for item in hint_items:
    on = "enabled" if state(item, pyatspi.STATE_SENSITIVE) else "disabled"
    print(f"menu item: {item.name} ({item.getRoleName()}), {on}")
offered = {c.name for c in playable}
offered |= {b.name for b in (pass_button, drop_button) if b is not None and state(b, pyatspi.STATE_SENSITIVE)}
# Under a loaded machine the key can arrive while the turn's controls are
# still opening: it is pressed once more if nothing moved.
hinted = []
for attempt in range(2):
    subprocess.run(["xdotool", "key", "h"], check=False)
    deadline = time.time() + 10
    while time.time() < deadline and not hinted:
        time.sleep(0.5)
        hinted = [n for n in walk(frame) if state(n, pyatspi.STATE_FOCUSED) and n.name in offered]
    if hinted:
        break
print("after H (hint):", ", ".join(n.name for n in hinted) or "no offered move focused")
if not hinted:
    failures.append("the hint did not bring the focus to a move the table offers")
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
PY

xdotool key ctrl+t
/usr/bin/python3 - <<'PY'
import subprocess, sys, time
import pyatspi
from vantel_a11y import walk, find_window, closes_on_escape

window = find_window(lambda name: name == "成績")
if window is None:
    print("FAIL: Ctrl+T opened no window called 成績")
    sys.exit(1)
print(f"record window: {window.name!r} ({window.getRoleName()})")
table = next((n for n in walk(window) if n.getRole() == pyatspi.ROLE_TABLE), None)
if table is None:
    print("FAIL: the record window holds no table")
    sys.exit(1)
t = table.queryTable()
print(f"table {table.name!r}: {t.nRows} rows, {t.nColumns} columns")
heads = [t.getAccessibleAt(0, c).name for c in range(t.nColumns)]
print("  " + " | ".join(heads))
rows = {}
for r in range(1, t.nRows):
    cells = [t.getAccessibleAt(r, c).name for c in range(t.nColumns)]
    rows[cells[0]] = cells[1:]
    print("  " + " | ".join(cells))
failures = []
if heads[1:] != ["やさしい", "ふつう", "むずかしい", "友達と", "すべて"]:
    failures.append(f"column headers {heads[1:]}")
if t.getColumnDescription(2) != "ふつう":
    failures.append("the column description is not its header")
expected = {"対戦数": ["0", "3", "1", "0", "4"], "中断した対戦": ["0", "1", "0", "0", "1"],
            "勝率": ["－", "66.7%", "0.0%", "－", "50.0%"], "最高得点": ["－", "1500", "-300", "－", "1500"],
            "最長連勝": ["0", "2", "0", "0", "2"]}
for name, values in expected.items():
    if rows.get(name) != values:
        failures.append(f"{name}: {rows.get(name)}, not {values}")
charts = [n for n in walk(window) if n.name.startswith(("直近", "順位の回数"))]
for chart in charts:
    print(f"chart: {chart.name}: {chart.description}")
if len(charts) != 2:
    failures.append("the two charts are not named")
if not closes_on_escape("成績"):
    failures.append("Escape did not close the record window")
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
PY
