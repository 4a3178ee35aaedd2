#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""The browser seat's figures, measured on loopback in headless chromium.

    /usr/bin/python3 tools/measure-web.py [--server build/bin/vantel-server] [--runs 20]
                                          [--screenshots DIR]

Prints the size of the page, its scripts and styles (without pictures), and
over --runs fresh loads at 360x640 the times from navigation start to the
join form drawn with the members' pictures, from 「参加」 to the waiting
room, from 「開始」 to the table with the hand, and from a reload at the
table to the table drawn again. With --screenshots it also writes the join
screen, a table mid-round and the result table at 360x640 and 1280x800.
Everything runs against a vantel-server of its own on 127.0.0.1.
"""

import argparse
import os
import re
import statistics
import sys
import time
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))

import harness  # noqa: E402
import seat_driver as seat  # noqa: E402
from table_client import TableClient  # noqa: E402

# Clicks a button and waits, frame by frame, until `condition` holds; returns
# the milliseconds from the click to the frame after it held.
CLICK_UNTIL = """
const [buttonId, condition, done] = arguments;
const holds = new Function("return (" + condition + ");");
const t0 = performance.now();
document.getElementById(buttonId).click();
const started = Date.now();
(function check() {
  if (holds()) requestAnimationFrame(() => done(performance.now() - t0));
  else if (Date.now() - started > 10000) done(-1);
  else requestAnimationFrame(check);
})();
"""

TABLE_DRAWN = "!document.getElementById('table-screen').hidden && document.querySelectorAll('#hand button.card').length > 0"
LOBBY_DRAWN = "!document.getElementById('lobby-screen').hidden"


def mark(driver, name, timeout=10):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        t = driver.execute_script(
            "const m = performance.getEntriesByName(arguments[0]); return m.length ? m[0].startTime : null;", name
        )
        if t is not None:
            return t
        time.sleep(0.02)
    raise TimeoutError(name)


def page_size(server):
    def get(path):
        with urllib.request.urlopen(server.url(path), timeout=10) as reply:
            return reply.read()

    files = {"/ (index.html)": get("/")}
    html = files["/ (index.html)"].decode("utf-8")
    queue = re.findall(r'(?:src|href)="(/web/[^"]+\.(?:js|css))"', html)
    seen = set()
    while queue:
        path = queue.pop(0)
        if path in seen:
            continue
        seen.add(path)
        files[path] = get(path)
        if path.endswith(".js"):
            queue += ["/web/js/" + n for n in re.findall(r'from "\./([a-z-]+\.js)"', files[path].decode("utf-8"))]
    return files


def summary(values):
    return f"median {statistics.median(values):.0f} ms, worst {max(values):.0f} ms over {len(values)} runs"


def screenshots(server, folder):
    os.makedirs(folder, exist_ok=True)
    for width, height in ((360, 640), (1280, 800)):
        driver = harness.browser(width, height)
        try:
            driver.get(server.url("/"))
            seat.fill_join_form(driver, "ゆき", 2)
            driver.save_screenshot(os.path.join(folder, f"web-join-{width}x{height}.png"))
            seat.create_and_start(driver, "ゆき")
            turns = [0]
            seat.play_until(driver, lambda d: turns[0] >= 4, 120, lambda d: turns.__setitem__(0, turns[0] + 1))
            harness.wait_until(driver, seat.my_turn, timeout=60, what="a turn")
            time.sleep(0.4)
            driver.save_screenshot(os.path.join(folder, f"web-table-{width}x{height}.png"))
            seat.play_until(driver, seat.results_open, 180)
            time.sleep(0.4)
            driver.save_screenshot(os.path.join(folder, f"web-results-{width}x{height}.png"))
            errors = harness.console_errors(driver)
            if errors:
                print("console errors:", errors)
        finally:
            harness.quit_browser(driver)
    print(f"screenshots in {folder}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--server", default=os.path.join(os.path.dirname(__file__), "..", "build", "bin", "vantel-server"))
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("--screenshots", default="")
    args = parser.parse_args()
    harness.SERVER = os.path.abspath(args.server)
    server = harness.Server(["--tables-per-hour", "0"]).start()
    try:
        files = page_size(server)
        total = 0
        for path, body in files.items():
            print(f"page: {path:28} {len(body):7,d} bytes")
            total += len(body)
        print(f"page: total {total:,d} bytes ({total / 1024:.1f} KiB) without pictures; the limit is 200 KB")

        painted, load, joined, created, started, reloaded = [], [], [], [], [], []
        driver = harness.browser(360, 640)
        try:
            for run in range(args.runs + 1):
                # Joining a table another client made.
                host = TableClient(server.port, name="measure")
                room = host.create()
                host.join(room, "たろう", 3)
                driver.get("about:blank")
                driver.get(server.url("/r/" + room.replace("-", "")))
                form = mark(driver, "vantel-join-form-drawn")
                paint = driver.execute_script(
                    "const p = performance.getEntriesByName('first-contentful-paint'); return p.length ? p[0].startTime : -1;"
                )
                seat.fill_join_form(driver, "ゆき", 2)
                to_lobby = driver.execute_async_script(CLICK_UNTIL, "join-button", LOBBY_DRAWN)
                host.close()
                # Making a table from the page, starting it, and reloading it.
                driver.get(server.url("/"))
                seat.fill_join_form(driver, "ゆき", 2)
                to_own_lobby = driver.execute_async_script(CLICK_UNTIL, "create-button", LOBBY_DRAWN)
                to_table = driver.execute_async_script(CLICK_UNTIL, "start-button", TABLE_DRAWN)
                driver.refresh()
                back = mark(driver, "vantel-table-screen-drawn")
                harness.wait_until(driver, lambda d: d.execute_script("return " + TABLE_DRAWN), what="the hand")
                if run == 0:
                    continue  # the first run warms chromium's caches
                painted.append(paint)
                load.append(form)
                joined.append(to_lobby)
                created.append(to_own_lobby)
                started.append(to_table)
                reloaded.append(back)
        finally:
            harness.quit_browser(driver)
        print(f"navigation start -> join form first drawn (first contentful paint): {summary(painted)}")
        print(f"navigation start -> join form drawn with the members' pictures: {summary(load)}")
        print(f"「参加」 -> waiting room drawn: {summary(joined)}")
        print(f"「作って参加」 -> own waiting room drawn: {summary(created)}")
        print(f"「開始」 -> table drawn with the hand: {summary(started)}")
        print(f"reload at the table -> table drawn again with the hand: {summary(reloaded)}")
        if args.screenshots:
            screenshots(server, args.screenshots)
    finally:
        server.stop()


if __name__ == "__main__":
    main()
