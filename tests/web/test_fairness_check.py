# SPDX-FileCopyrightText: 2026 The Vantel developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""The fairness check the browser tests rely on finds what it should."""

import unittest

from seat_driver import unfair_cards


def events(*events):
    return {"type": "events", "events": list(events)}


def event(kind, seat=0, card=0, **more):
    return dict({"seq": 0, "kind": kind, "seat": seat, "card": card, "slot": 0, "how": 0, "a": 0, "b": 0,
                 "values": [0, 0, 0, 0]}, **more)


HAND = [1, 2, 3, 14, 15, 16, 27, 28, 29, 40, 41, 42, 43, 0]


class FairnessCheckTest(unittest.TestCase):
    def test_own_cards_laid_cards_and_the_card_being_laid_are_allowed(self):
        stream = [
            events(event("round_start", a=1), event("hand", 2, hand=HAND, private=True),
                   event("seven", 3, 20), event("turn_open", 2, cards=[1, 14], private=True),
                   event("card", 4, 21, row=[0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0]),
                   event("joker", 1, 22), event("forced", 3, 22), event("card", 3, 22, how=1)),
        ]
        self.assertEqual(unfair_cards(stream, 2), [])

    def test_another_seats_card_before_it_is_laid_is_found(self):
        stream = [events(event("round_start", a=1), event("hand", 2, hand=HAND, private=True),
                         event("turn_open", 2, cards=[1, 30], private=True))]
        self.assertEqual([card for _, card in unfair_cards(stream, 2)], [30])
        # A row that shows a cell nobody laid gives a card away too.
        stream = [events(event("round_start", a=1), event("hand", 2, hand=HAND, private=True),
                         event("card", 4, 20, row=[0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0]))]
        self.assertEqual([card for _, card in unfair_cards(stream, 2)], [21, 22])

    def test_another_seats_hand_or_turn_is_found(self):
        stream = [events(event("hand", 3, hand=HAND, private=True), event("turn_open", 3, cards=[], private=True))]
        found = [what for _, what in unfair_cards(stream, 2)]
        self.assertIn("a hand that is not the seat's own", found)
        self.assertIn("another seat's turn_open", found)

    def test_a_new_round_forgets_the_last_rounds_cards(self):
        stream = [events(event("round_start", a=1), event("hand", 2, hand=HAND, private=True),
                         event("round_start", a=2), event("turn_open", 2, cards=[1], private=True))]
        self.assertEqual([card for _, card in unfair_cards(stream, 2)], [1])


if __name__ == "__main__":
    unittest.main()
