# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Plays the browser seat as a person would: through the page's controls.

Also the check that the page's socket received nothing its seat may not
see, read from the frames the harness recorded.
"""

import json
import time

from selenium.webdriver.common.by import By

import harness


def fill_join_form(driver, name, picture=1):
    harness.wait_until(
        driver, lambda d: d.find_elements(By.CSS_SELECTOR, 'input[name="picture"]'), what="the members' pictures"
    )
    field = harness.by_id(driver, "name-input")
    field.clear()
    field.send_keys(name)
    driver.find_element(By.CSS_SELECTOR, f'label.picture input[value="{picture}"]').find_element(By.XPATH, "..").click()


def create_and_start(driver, name):
    """Makes a table from the page, takes seat 1 and starts the match."""
    fill_join_form(driver, name)
    driver.find_element(By.CSS_SELECTOR, "#create-box summary").click()
    harness.by_id(driver, "create-button").click()
    harness.wait_until(driver, lambda d: harness.visible(d, "start-button"), what="the waiting room")
    room = harness.by_id(driver, "lobby-room").text
    harness.by_id(driver, "start-button").click()
    harness.wait_until(driver, lambda d: harness.visible(d, "table-screen"), what="the table")
    return room


def hand(driver):
    return driver.execute_script(
        "return [...document.querySelectorAll('#hand button.card')].map(b => Number(b.dataset.card));"
    )


def my_turn(driver):
    return driver.execute_script("return document.body.classList.contains('my-turn-now');")


def results_open(driver):
    return driver.execute_script("return document.getElementById('results-dialog').open;")


def results_title(driver):
    return driver.execute_script("return document.getElementById('results-title').textContent;")


def play_one_move(driver):
    """On the seat's turn: the first raised card, else PASS, else DROP."""
    return driver.execute_script(
        """
        const card = document.querySelector('#hand button.card.playable');
        const pass = document.getElementById('pass-button');
        const drop = document.getElementById('drop-button');
        const target = card || (!pass.disabled && pass) || (!drop.disabled && drop);
        if (!target) return '';
        target.click();
        return target.dataset.card ? 'card ' + target.dataset.card : target.id;
        """
    )


def play_until(driver, done, seconds, on_turn=None):
    """Plays every turn of the seat until `done(driver)`, within `seconds`."""
    deadline = time.monotonic() + seconds
    moves = 0
    while time.monotonic() < deadline:
        if done(driver):
            return moves
        if my_turn(driver) and not driver.execute_script("return document.getElementById('results-dialog').open;"):
            if on_turn:
                on_turn(driver)
            if play_one_move(driver):
                moves += 1
                # Wait for the turn to pass before looking again.
                end = time.monotonic() + 10
                while my_turn(driver) and time.monotonic() < end:
                    time.sleep(0.03)
        time.sleep(0.05)
    raise TimeoutError(f"not done within {seconds} s after {moves} moves")


def close_results(driver):
    driver.execute_script("document.getElementById('results-next').click();")


def messages(driver):
    return [json.loads(text) for text in harness.frames(driver)]


def unfair_cards(received, seat):
    """Every card number in what a seat received that it may not know.

    A seat may know its own cards, the cards on the table (the joker's gap
    card from the moment the joker shows it) and the card an event lays.
    Returns a list of (event, card) that break this.
    """
    own = set()
    laid = set()
    wrong = []

    def check(where, cards):
        for card in cards:
            if card and card not in own and card not in laid:
                wrong.append((where, card))

    for message in received:
        if message.get("type") == "snapshot":
            view = message["view"]
            own = {c for c in view.get("hand", []) if c}
            laid = set()
            for suit, row in enumerate(view.get("table", [])):
                laid |= {suit * 13 + rank + 1 for rank, cell in enumerate(row) if cell}
            if view.get("jokerGap"):
                laid |= {view["jokerGap"], 53}
            check(("snapshot", "moveCards"), view.get("moveCards", []))
            continue
        if message.get("type") != "events":
            continue
        for event in message["events"]:
            kind = event["kind"]
            if kind == "round_start":
                own, laid = set(), set()
            if kind == "hand":
                if event["seat"] != seat or not event.get("private"):
                    wrong.append((event, "a hand that is not the seat's own"))
                own = {c for c in event.get("hand", []) if c}
                continue
            if kind in ("card", "seven"):
                laid.add(event["card"])
            if kind == "joker":
                laid |= {event["card"], 53}
            check(event, [event.get("card", 0)])
            check(event, event.get("cards", []))
            if kind == "turn_open" and event["seat"] != seat:
                wrong.append((event, "another seat's turn_open"))
            row = event.get("row")
            if row:
                suit = (event["card"] - 1) // 13
                check(event, [suit * 13 + rank + 1 for rank, cell in enumerate(row) if cell])
    return wrong
