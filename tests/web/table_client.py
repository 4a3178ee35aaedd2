# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""A client of the table protocol, written from docs/protocol.md alone.

It says hello, creates, joins, watches or starts a table, keeps every
message it receives, and can play its seat (the lowest card it may lay,
else PASS, else DROP). Every wait is bounded by a deadline.
"""

import json
import time

import websocket  # Debian's python3-websocket


class ProtocolError(Exception):
    pass


class TableClient:
    def __init__(self, port, origin=None, name="client"):
        headers = [] if origin is None else None
        self.ws = websocket.create_connection(
            f"ws://127.0.0.1:{port}/socket",
            timeout=10,
            origin=origin,
            suppress_origin=origin is None,
            header=headers,
        )
        self.messages = []
        self.events = []
        self.room = None
        self.host_token = None
        self.seat = 0
        self.token = None
        self.members = []
        self._open_seq = 0
        self._next_id = 0
        self._looked_at = 0  # events already looked at for a turn to play
        self._send({"type": "hello", "protocol": 1, "client": f"web-test {name}"})
        self.wait_for(lambda m: m["type"] == "welcome", what="welcome")

    # ---- sending ---------------------------------------------------------
    def _send(self, message):
        self.ws.send(json.dumps(message, ensure_ascii=False))

    def create(self, **settings):
        self._send({"type": "create", "settings": settings})
        created = self.wait_for(lambda m: m["type"] in ("created", "error"), what="created")
        if created["type"] == "error":
            raise ProtocolError(created)
        self.room = created["room"]
        self.host_token = created["hostToken"]
        return self.room

    def join(self, room, name, picture=1):
        self._send({"type": "join", "room": room, "name": name, "picture": picture})
        answer = self.wait_for(lambda m: m["type"] in ("seated", "error"), what="seated")
        if answer["type"] == "error":
            raise ProtocolError(answer)
        self.room = answer["room"]
        self.seat = answer["seat"]
        self.token = answer["token"]
        return answer

    def start(self):
        self._send({"type": "start", "room": self.room, "hostToken": self.host_token})

    def move(self, kind, card=0):
        self._next_id += 1
        message = {"type": "move", "id": f"t-{self._next_id}", "answers": self._open_seq, "move": kind}
        if kind == "card":
            message["card"] = card
        self._send(message)
        return message["id"]

    def close(self):
        try:
            self.ws.close()
        except OSError:
            pass

    # ---- receiving -------------------------------------------------------
    def pump(self, timeout=0.05):
        """Reads what has arrived within `timeout` seconds; returns the messages."""
        got = []
        self.ws.settimeout(timeout)
        while True:
            try:
                text = self.ws.recv()
            except websocket.WebSocketTimeoutException:
                break
            if not text:
                break
            message = json.loads(text)
            self.messages.append(message)
            got.append(message)
            if message["type"] == "welcome":
                self.members = message["members"]
            elif message["type"] == "events":
                self.events.extend(message["events"])
            self.ws.settimeout(0.001)
        return got

    def wait_for(self, predicate, timeout=15.0, what="a message"):
        deadline = time.monotonic() + timeout
        seen = len(self.messages)
        while time.monotonic() < deadline:
            self.pump(0.05)
            for message in self.messages[seen:]:
                if predicate(message):
                    return message
            seen = len(self.messages)
        raise TimeoutError(f"no {what} within {timeout} s")

    def wait_event(self, predicate, timeout=15.0, what="an event"):
        deadline = time.monotonic() + timeout
        seen = 0
        while time.monotonic() < deadline:
            for event in self.events[seen:]:
                if predicate(event):
                    return event
            seen = len(self.events)
            self.pump(0.05)
        raise TimeoutError(f"no {what} within {timeout} s")

    # ---- playing ---------------------------------------------------------
    def play_turns(self, seconds, until=None):
        """Plays every turn of its own for up to `seconds`, or until `until()`."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.pump(0.05)
            for event in self.events[self._looked_at:]:
                if event["kind"] == "turn_open" and event["seat"] == self.seat and event.get("private"):
                    self._open_seq = event["seq"]
                    if event["cards"]:
                        self.move("card", min(event["cards"]))
                    elif event["a"] & 1:
                        self.move("pass")
                    else:
                        self.move("drop")
            self._looked_at = len(self.events)
            if until is not None and until():
                return True
        return until is None
