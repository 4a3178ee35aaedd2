# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""The browser seat in headless chromium against a real vantel-server.

Each class starts its own server on a free loopback port with a fresh data
folder and its own browser; every wait is bounded.
"""

import json
import time
import unittest
import urllib.request

from selenium.webdriver.common.by import By

import harness
import seat_driver as seat
from table_client import TableClient

ROUND_SECONDS = 120


def layout_problems(driver):
    """What breaks the layout now: sideways scrolling, small targets, clipped text."""
    return driver.execute_script(
        """
        const problems = [];
        const doc = document.documentElement;
        if (doc.scrollWidth > window.innerWidth) problems.push('scrolls sideways: ' + doc.scrollWidth);
        const shown = (e) => e.getClientRects().length > 0 && !e.closest('[hidden]');
        for (const b of document.querySelectorAll('button')) {
          if (!shown(b)) continue;
          const r = b.getBoundingClientRect();
          if (b.classList.contains('card')) {
            if (r.width < 40 || r.height < 56) problems.push('card target ' + r.width + 'x' + r.height);
          } else if (r.height < 44) {
            problems.push('button ' + b.textContent + ' ' + r.height + ' high');
          }
          if (r.right > window.innerWidth + 0.5 || r.left < -0.5) problems.push('button off screen: ' + b.textContent);
        }
        for (const e of document.querySelectorAll('.seat-panel p, .table-top span, #my-turn')) {
          if (!shown(e)) continue;
          if (e.scrollWidth > e.clientWidth + 1) problems.push('clipped: ' + e.textContent);
        }
        return problems;
        """
    )


class PageServedTest(unittest.TestCase):
    """The page as the server serves it: headers, size and what it may use."""

    @classmethod
    def setUpClass(cls):
        cls.server = harness.Server().start()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def fetch(self, path):
        with urllib.request.urlopen(self.server.url(path), timeout=10) as reply:
            return reply.status, dict(reply.headers), reply.read()

    def page_files(self):
        status, _, html = self.fetch("/")
        self.assertEqual(status, 200)
        text = html.decode("utf-8")
        files = {"/": html}
        import re

        for path in re.findall(r'(?:src|href)="(/web/[^"]+\.(?:js|css))"', text):
            files[path] = self.fetch(path)[2]
        # Modules the scripts import.
        pending = [p for p in files if p.endswith(".js")]
        while pending:
            path = pending.pop()
            for name in re.findall(r'from "\./([a-z-]+\.js)"', files[path].decode("utf-8")):
                full = "/web/js/" + name
                if full not in files:
                    files[full] = self.fetch(full)[2]
                    pending.append(full)
        return files

    def test_page_and_room_links_are_the_page_without_caching_and_under_a_strict_policy(self):
        _, _, page = self.fetch("/")
        for path in ("/", "/r/K7PXQ2M9RT"):
            status, headers, body = self.fetch(path)
            self.assertEqual(status, 200)
            self.assertEqual(body, page)
            self.assertEqual(headers.get("Cache-Control"), "no-cache")
            self.assertIn("default-src 'self'", headers.get("Content-Security-Policy", ""))
        self.assertIn(b'<html lang="ja">', page)
        viewport = page.decode("utf-8").split('name="viewport"')[1].split(">")[0]
        self.assertNotIn("user-scalable", viewport)
        self.assertNotIn("maximum-scale", viewport)

    def test_page_scripts_and_styles_stay_under_200_kb_and_load_nothing_from_elsewhere(self):
        files = self.page_files()
        self.assertGreaterEqual(len([p for p in files if p.endswith(".js")]), 5)
        total = sum(len(b) for b in files.values())
        self.assertLess(total, 200 * 1024, f"{total} bytes")
        for path, body in files.items():
            text = body.decode("utf-8")
            self.assertNotIn("http://", text.replace("http://HOST", ""), path)
            self.assertNotIn("https://", text, path)
            # Nothing that needs a secure context, and no markup from strings.
            for needs_secure in ("randomUUID", "clipboard", "wakeLock", "innerHTML", "outerHTML", "insertAdjacentHTML"):
                self.assertNotIn(needs_secure, text, path)

    def test_cards_backs_portraits_and_icon_are_served_as_pictures(self):
        for path in ("/cards/01.png", "/cards/53.png", "/cards/back4.png", "/members/1/1", "/web/icon.png"):
            status, headers, body = self.fetch(path)
            self.assertEqual(status, 200, path)
            self.assertTrue(headers.get("Content-Type", "").startswith("image/"), path)
            self.assertGreater(len(body), 100, path)


class BrowserTest(unittest.TestCase):
    width, height = 360, 640
    reduced_motion = False

    @classmethod
    def setUpClass(cls):
        cls.server = harness.Server().start()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def setUp(self):
        self.driver = harness.browser(self.width, self.height, self.reduced_motion)
        self.clients = []

    def tearDown(self):
        errors = harness.console_errors(self.driver)
        harness.quit_browser(self.driver)
        for client in self.clients:
            client.close()
        self.assertEqual(errors, [], "the console logged errors")

    def client(self, name="client"):
        c = TableClient(self.server.port, name=name)
        self.clients.append(c)
        return c

    def assert_fair(self, seat_number):
        received = seat.messages(self.driver)
        self.assertTrue(any(m.get("type") == "events" for m in received))
        self.assertEqual(seat.unfair_cards(received, seat_number), [])


class JoinFormTest(BrowserTest):
    def test_room_link_fills_the_code_and_refusals_are_said_in_japanese(self):
        host = self.client("host")
        room = host.create()
        host.join(room, "たろう", 2)
        code = room.replace("-", "").lower()
        self.driver.get(self.server.url(f"/r/{code}"))
        self.assertEqual(seat.harness.by_id(self.driver, "room-input").get_attribute("value"), code.upper())
        error = lambda: harness.by_id(self.driver, "join-error").text

        # Nothing typed: said before anything is sent.
        seat.fill_join_form(self.driver, "")
        harness.by_id(self.driver, "join-button").click()
        self.assertEqual(error(), "名前を入れてください。")
        # Too long for the game's names: five full-width characters.
        seat.fill_join_form(self.driver, "あいうえお")
        harness.by_id(self.driver, "join-button").click()
        self.assertIn("全角4文字", error())
        # The server's refusals: a name taken at the table, a room that is not there.
        seat.fill_join_form(self.driver, "たろう")
        harness.by_id(self.driver, "join-button").click()
        harness.wait_until(self.driver, lambda d: "使われています" in error(), what="name_taken")
        room_field = harness.by_id(self.driver, "room-input")
        room_field.clear()
        room_field.send_keys("ABC-DEF-GHJK")
        seat.fill_join_form(self.driver, "ゆき")
        harness.by_id(self.driver, "join-button").click()
        harness.wait_until(self.driver, lambda d: "部屋番号のテーブルはありません" in error(), what="no_such_room")
        self.assertTrue(harness.visible(self.driver, "join-screen"))

        # The same room, a free name: the waiting room shows both seats.
        room_field.clear()
        room_field.send_keys(room)
        harness.by_id(self.driver, "join-button").click()
        harness.wait_until(self.driver, lambda d: harness.visible(d, "lobby-screen"), what="the waiting room")
        seats = harness.by_id(self.driver, "lobby-seats").text
        self.assertIn("たろう", seats)
        self.assertIn("ゆき（あなた）", seats)
        self.assertIn("ホストが始めるのを待っています", harness.by_id(self.driver, "lobby-wait").text)
        self.assertFalse(harness.visible(self.driver, "start-button"))

        # A started match takes no new seat; watching is offered.
        host.start()
        harness.wait_until(self.driver, lambda d: harness.visible(d, "table-screen"), what="the table")
        late = harness.browser(self.width, self.height)
        try:
            late.get(self.server.url(f"/r/{code}"))
            seat.fill_join_form(late, "はな")
            harness.by_id(late, "join-button").click()
            harness.wait_until(late, lambda d: "観戦" in harness.by_id(d, "join-error").text, what="match_started")
            harness.by_id(late, "watch-button").click()
            harness.wait_until(late, lambda d: harness.visible(d, "table-screen"), what="the spectator's table")
            harness.wait_until(late, lambda d: d.find_elements(By.CSS_SELECTOR, "#board img:not([hidden])"), what="cards on the table")
            # A spectator has no hand and no buttons, and received no hand.
            self.assertFalse(harness.visible(late, "hand"))
            self.assertFalse(harness.visible(late, "pass-button"))
            self.assertEqual(seat.unfair_cards(seat.messages(late), 0), [])
            self.assertEqual(harness.console_errors(late), [])
        finally:
            harness.quit_browser(late)

    def test_names_and_lines_are_shown_as_text_never_as_markup(self):
        host = self.client("host")
        room = host.create()
        # Eight bytes: a name the server takes, that would be markup.
        host.join(room, "<i>x</i>", 1)
        self.driver.get(self.server.url("/r/" + room.replace("-", "")))
        seat.fill_join_form(self.driver, "ゆき")
        harness.by_id(self.driver, "join-button").click()
        harness.wait_until(self.driver, lambda d: harness.visible(d, "lobby-screen"), what="the waiting room")
        self.assertIn("<i>x</i>", harness.by_id(self.driver, "lobby-seats").text)
        host.start()
        harness.wait_until(self.driver, lambda d: harness.visible(d, "table-screen"), what="the table")
        harness.wait_until(self.driver, lambda d: "<i>x</i>" in d.find_element(By.ID, "seat-left").text or
                           "<i>x</i>" in d.find_element(By.ID, "seat-right").text or
                           "<i>x</i>" in d.find_element(By.ID, "seat-across").text, what="the name at the table")
        self.assertEqual(self.driver.find_elements(By.CSS_SELECTOR, "main i, dialog i"), [])


# Records, from the moment it runs, each balloon's words as it is shown and
# each card that flies.
WATCH_TABLE = """
window.__balloons = [];
window.__flights = 0;
new MutationObserver((changes) => {
  for (const c of changes) {
    if (c.target.classList && c.target.classList.contains('balloon') && !c.target.hidden)
      window.__balloons.push(c.target.textContent);
    for (const n of c.addedNodes)
      if (n.classList && n.classList.contains('flying')) window.__flights += 1;
  }
}).observe(document.body, {subtree: true, childList: true});
"""


def keyboard_move(driver):
    """Plays the turn from the keyboard: the focus is on the first card that
    may be laid (or on PASS); the next one is taken with the arrow key when
    there is one, then Enter; P or D when no card may be laid."""
    from selenium.webdriver.common.keys import Keys

    active = driver.switch_to.active_element
    if "card" in (active.get_attribute("class") or ""):
        playable = driver.find_elements(By.CSS_SELECTOR, "#hand button.card.playable")
        assert playable and active.get_attribute("data-card") == playable[0].get_attribute("data-card"), driver.execute_script(
            "return [document.activeElement.outerHTML, document.getElementById('pass-button').disabled,"
            "document.body.className, JSON.stringify(window.__vantelFrames.filter(f => !f.includes('events')).slice(-6))]"
        )
        active.send_keys(Keys.ARROW_RIGHT)
        active = driver.switch_to.active_element
        if "playable" not in active.get_attribute("class"):
            active.send_keys(Keys.ARROW_LEFT)
            active = driver.switch_to.active_element
        card = active.get_attribute("data-card")
        active.send_keys(Keys.ENTER)
        return "card " + card
    key = "p" if harness.by_id(driver, "pass-button").is_enabled() else "d"
    driver.find_element(By.TAG_NAME, "body").send_keys(key)
    return key


class RoundAgainstComputersTest(BrowserTest):
    def test_a_whole_round_on_a_phone_against_three_computers(self):
        self.driver.get(self.server.url("/"))
        seat.create_and_start(self.driver, "ゆき")
        self.driver.execute_script(WATCH_TABLE)
        problems = set()
        names = []
        keyed = []

        def on_turn(driver):
            problems.update(layout_problems(driver))
            # Playable cards are raised, named and say so; the turn is read out.
            playable = driver.find_elements(By.CSS_SELECTOR, "#hand button.card.playable")
            for button in playable:
                names.append(button.get_attribute("aria-label"))
            self.assertTrue(harness.visible(driver, "my-turn"))
            # The seat's own count is its hand, the joker included.
            self.assertIn(f"残り{len(seat.hand(driver))}枚", harness.by_id(driver, "seat-me").text)
            self.assertIn("あなたの番です", harness.by_id(driver, "alert").get_attribute("textContent"))
            # Every other turn is played from the keyboard alone.
            if len(names) % 2 == 0:
                before = seat.hand(driver)
                move = keyboard_move(driver)
                keyed.append(move)
                if move.startswith("card"):
                    gone = int(move.split()[1])
                    harness.wait_until(driver, lambda d: gone not in seat.hand(d), what="the keyed card to go down")
                    self.assertEqual(len(seat.hand(driver)), len(before) - 1)

        seat.play_until(self.driver, seat.results_open, ROUND_SECONDS, on_turn)
        self.assertEqual(sorted(problems), [])
        self.assertTrue(names)
        self.assertTrue(keyed)
        for name in names:
            self.assertRegex(name, r"^(ダイヤ|クラブ|ハート|スペード)の(A|[2-9]|10|J|Q|K)、出せます$|^ジョーカー")

        # The result table: four seats with points, totals and places.
        self.assertEqual(seat.results_title(self.driver), "第1回戦の結果")
        rows = self.driver.find_elements(By.CSS_SELECTOR, "#results-table tbody tr")
        self.assertEqual(len(rows), 4)
        self.assertEqual(len(self.driver.find_elements(By.CSS_SELECTOR, "#results-table tbody tr.mine")), 1)
        places = sorted(r.find_elements(By.CSS_SELECTOR, "td")[2].text for r in rows)
        self.assertEqual(places, ["1位", "2位", "3位", "4位"])
        self.assertEqual(layout_problems(self.driver), [])
        log = harness.by_id(self.driver, "log").get_attribute("textContent")
        self.assertIn("第1回戦が終わりました", log)

        # Each line that was said showed in a balloon, word for word; cards flew.
        # Only the lines told before the round's results: the next round's
        # events may already have arrived while the results show.
        said = []
        events = [e for m in seat.messages(self.driver) if m.get("type") == "events" for e in m["events"]]
        for e in events:
            if e["kind"] == "results":
                break
            if e["kind"] == "line":
                said.append(e["text"].split("\r\n", 1)[-1])
        self.assertTrue(said)
        self.assertEqual(self.driver.execute_script("return window.__balloons;"), said)
        self.assertGreater(self.driver.execute_script("return window.__flights;"), 30)
        seat.close_results(self.driver)
        harness.wait_until(self.driver, lambda d: not seat.results_open(d), what="the results to close")
        self.assert_fair(1)


class TurnTimerTest(BrowserTest):
    def test_the_turn_timer_counts_down_only_on_the_players_own_turn(self):
        self.driver.get(self.server.url("/"))
        seat.fill_join_form(self.driver, "ゆき")
        self.driver.find_element(By.CSS_SELECTOR, "#create-box summary").click()
        from selenium.webdriver.support.ui import Select

        Select(harness.by_id(self.driver, "timer-select")).select_by_value("30")
        harness.by_id(self.driver, "create-button").click()
        harness.wait_until(self.driver, lambda d: harness.visible(d, "start-button"), what="the waiting room")
        harness.by_id(self.driver, "start-button").click()
        timer = lambda: harness.by_id(self.driver, "turn-timer").text
        harness.wait_until(self.driver, seat.my_turn, timeout=30, what="the seat's turn")
        first = int(timer().removeprefix("あと").removesuffix("秒"))
        self.assertIn(first, range(25, 31))
        time.sleep(2.2)
        second = int(timer().removeprefix("あと").removesuffix("秒"))
        self.assertIn(first - second, (2, 3))
        # Once the seat has moved nothing counts until its next turn.
        seat.play_one_move(self.driver)
        harness.wait_until(self.driver, lambda d: not seat.my_turn(d), what="the turn to pass")
        harness.wait_until(self.driver, lambda d: timer() == "", timeout=2, what="the timer to go")


class WholeMatchTest(BrowserTest):
    """Ten rounds at the quick pace, with reduced motion: no flights at all."""

    reduced_motion = True

    def test_a_whole_match_ends_with_the_winner_and_places_and_the_host_may_start_again(self):
        self.driver.get(self.server.url("/"))
        self.driver.execute_script("localStorage.setItem('vantel.speed', '0.35');")
        self.driver.refresh()
        seat.create_and_start(self.driver, "ゆき")
        flights = []
        rounds_seen = []

        def done(driver):
            if not seat.results_open(driver):
                # No card ever flies when reduced motion is asked for.
                if driver.find_elements(By.CSS_SELECTOR, "img.flying"):
                    flights.append(True)
                return False
            title = seat.results_title(driver)
            if title == "試合終了":
                return True
            if title not in rounds_seen:
                rounds_seen.append(title)
            seat.close_results(driver)
            return False

        seat.play_until(self.driver, done, 10 * ROUND_SECONDS)
        self.assertEqual(rounds_seen, [f"第{n}回戦の結果" for n in range(1, 11)])
        self.assertEqual(flights, [])
        winner = harness.by_id(self.driver, "results-winner").text
        self.assertTrue(winner.startswith("優勝: "), winner)
        rows = self.driver.find_elements(By.CSS_SELECTOR, "#results-table tbody tr")
        self.assertEqual(len(rows), 4)
        first = rows[0].find_elements(By.CSS_SELECTOR, "th, td")
        self.assertEqual(first[3].text, "1位")
        self.assertIn(first[0].text.replace("（あなた）", ""), winner)
        self.assertEqual(layout_problems(self.driver), [])
        # The host starts the next match from the same dialog.
        again = harness.by_id(self.driver, "again-button")
        self.assertTrue(again.is_displayed())
        harness.wait_until(self.driver, lambda d: again.is_enabled(), what="the match to close")
        again.click()
        harness.wait_until(self.driver, lambda d: not seat.results_open(d), what="the dialog to close")
        harness.wait_until(
            self.driver, lambda d: harness.by_id(d, "round-label").text == "第1回戦", what="the next match's first round"
        )
        match_starts = [
            e["a"] for m in seat.messages(self.driver) if m.get("type") == "events" for e in m["events"]
            if e["kind"] == "match_start"
        ]
        self.assertEqual(match_starts, [1, 2])
        self.assert_fair(1)


class SharedTableTest(BrowserTest):
    width, height = 1280, 800

    def test_a_browser_seat_and_a_protocol_client_play_one_table(self):
        host = self.client("host")
        room = host.create()
        host.join(room, "たろう", 3)
        self.driver.get(self.server.url("/r/" + room.replace("-", "")))
        seat.fill_join_form(self.driver, "ゆき", picture=2)
        harness.by_id(self.driver, "join-button").click()
        harness.wait_until(self.driver, lambda d: harness.visible(d, "lobby-screen"), what="the waiting room")
        host.start()
        harness.wait_until(self.driver, lambda d: harness.visible(d, "table-screen"), what="the table")
        # The client plays its own turns while the browser plays its own.
        deadline = time.monotonic() + ROUND_SECONDS
        browser_moves = 0
        while time.monotonic() < deadline and not seat.results_open(self.driver):
            host.play_turns(0.1)
            if seat.my_turn(self.driver) and seat.play_one_move(self.driver):
                browser_moves += 1
                end = time.monotonic() + 10
                while seat.my_turn(self.driver) and time.monotonic() < end:
                    host.play_turns(0.05)
        self.assertTrue(seat.results_open(self.driver), "the round did not end")
        self.assertGreater(browser_moves, 0)
        # What the browser laid reached the other seat as its card events.
        laid_by_browser = [e for e in host.events if e["kind"] in ("card", "pass", "drop") and e["seat"] == 2]
        self.assertGreater(len(laid_by_browser), 0)
        # The client's seat shows its name and member picture on the page.
        panel = self.driver.find_element(By.CSS_SELECTOR, '.seat-panel[data-seat="1"]')
        self.assertIn("たろう", panel.text)
        self.assertTrue(panel.find_element(By.CSS_SELECTOR, "img.portrait").get_attribute("src").endswith("/members/3/1"))
        self.assertEqual(layout_problems(self.driver), [])
        self.assert_fair(2)
        self.assertEqual(seat.unfair_cards(host.messages, 1), [])


class ReloadTest(BrowserTest):
    def test_a_reload_mid_round_comes_back_to_the_same_seat_and_hand(self):
        host = self.client("host")
        room = host.create()
        host.join(room, "たろう", 3)
        self.driver.get(self.server.url("/r/" + room.replace("-", "")))
        seat.fill_join_form(self.driver, "ゆき", picture=2)
        harness.by_id(self.driver, "join-button").click()
        harness.wait_until(self.driver, lambda d: harness.visible(d, "lobby-screen"), what="the waiting room")
        host.start()
        # Two of the browser's turns, then a reload while it is its turn.
        turns = 0
        deadline = time.monotonic() + ROUND_SECONDS
        while turns < 3 and time.monotonic() < deadline:
            host.play_turns(0.1)
            if seat.my_turn(self.driver):
                turns += 1
                if turns < 3:
                    seat.play_one_move(self.driver)
                    end = time.monotonic() + 10
                    while seat.my_turn(self.driver) and time.monotonic() < end:
                        host.play_turns(0.05)
        self.assertEqual(turns, 3)
        before = seat.hand(self.driver)
        board_before = self.driver.execute_script("return document.querySelectorAll('#board img:not([hidden])').length;")
        token = self.driver.execute_script("return localStorage.getItem(arguments[0]);", "vantel.seat." + room.replace("-", ""))
        self.assertIn('"seat":2', token)
        self.driver.refresh()
        # Straight back to the table, the same seat and the same hand, its turn still open.
        harness.wait_until(self.driver, lambda d: harness.visible(d, "table-screen"), what="the table again")
        harness.wait_until(self.driver, seat.my_turn, what="the open turn again")
        self.assertEqual(seat.hand(self.driver), before)
        self.assertEqual(
            self.driver.execute_script("return document.querySelectorAll('#board img:not([hidden])').length;"), board_before
        )
        self.assertIn("ゆき（あなた）", harness.by_id(self.driver, "seat-me").text)
        self.assertFalse(harness.visible(self.driver, "join-screen"))
        # And it plays on from there.
        played = seat.play_one_move(self.driver)
        self.assertTrue(played)
        if played.startswith("card"):
            gone = int(played.split()[1])
            harness.wait_until(self.driver, lambda d: gone not in seat.hand(d), what="the card to leave the hand")
        answers = [m for m in seat.messages(self.driver) if m.get("type") == "answer"]
        self.assertTrue(answers and answers[-1]["ok"], answers)
        self.assert_fair(2)

    def test_a_lost_connection_says_so_and_comes_back(self):
        host = self.client("host")
        room = host.create()
        host.join(room, "たろう", 3)
        self.driver.get(self.server.url("/r/" + room.replace("-", "")))
        seat.fill_join_form(self.driver, "ゆき", picture=2)
        harness.by_id(self.driver, "join-button").click()
        harness.wait_until(self.driver, lambda d: harness.visible(d, "lobby-screen"), what="the waiting room")
        host.start()
        harness.wait_until(self.driver, lambda d: harness.visible(d, "table-screen"), what="the table")
        # The connection goes away under the page: its socket closes and no new one gets through.
        self.driver.execute_cdp_cmd("Network.enable", {})
        self.driver.execute_cdp_cmd("Network.setBlockedURLs", {"urls": ["*/socket"]})
        self.driver.execute_script("for (const s of window.__vantelSockets) s.close();")
        harness.wait_until(self.driver, lambda d: harness.visible(d, "status"), what="the reconnection banner")
        self.assertEqual(harness.by_id(self.driver, "status").text, "再接続しています…")
        # The other seat plays on meanwhile; the browser's turns wait for it.
        host.play_turns(1.5)
        self.driver.execute_cdp_cmd("Network.setBlockedURLs", {"urls": []})
        harness.wait_until(self.driver, lambda d: not harness.visible(d, "status"), timeout=20, what="the banner to go")
        self.assertIn('"resumed":true', "".join(harness.frames(self.driver)))
        # Back at the same seat, it moves again.
        deadline = time.monotonic() + ROUND_SECONDS
        while not seat.my_turn(self.driver) and time.monotonic() < deadline:
            host.play_turns(0.1)
        self.assertTrue(seat.play_one_move(self.driver))
        harness.wait_until(
            self.driver,
            lambda d: any(m.get("type") == "answer" for m in seat.messages(d)[-40:]),
            what="the move's answer",
        )
        answers = [m for m in seat.messages(self.driver) if m.get("type") == "answer"]
        self.assertTrue(answers[-1]["ok"], answers[-1])
        self.assert_fair(2)
        # The browser may report each refused reconnection; nothing else may be logged.
        errors = harness.console_errors(self.driver)
        self.assertEqual([e for e in errors if "/socket' failed" not in e["message"]], [])

if __name__ == "__main__":
    unittest.main()
