// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where things sit on the table, in pixels of the window's client area.
// Fractions are rounded to the nearest integer, halves to even.
#pragma once

#include "game/table_view.h"

namespace vantel {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct TableGeometry {
    int cardWidth = 49;        // portrait card
    int cardHeight = 65;
    int landscapeWidth = 65;   // the side seats' card backs
    int landscapeHeight = 49;
    int tableLeft = 0;
    int tableRight = 0;
    int tableTop = 0;
    int tableBottom = 0;
};

// Rounds half to even, as every layout computation does.
int roundEven(double value);

// The 13 x 4 grid centred in the client area.
TableGeometry gridFor(Size client, Size card, Size landscape);

// ZAHYO_KEISAN: the top-left corner of card n's cell (n in 1..52).
Point cellPosition(const TableGeometry& g, int card);

// The centre cell of the grid, where the deck stands and pictures gather.
Point deckPosition(const TableGeometry& g);

// The user's fan below the table: its first place and the step to the next.
Point fanStart(const TableGeometry& g);
int fanNext(const TableGeometry& g, int x);

// The k-th (1..13) card place of a computer seat's row: seat 2 runs down the
// left side, seat 3 leftwards above the grid, seat 4 up the right side.
Point seatRowPosition(const TableGeometry& g, int seat, int k);

// The top of the score labels of seats 1 and 2, which stand level under the
// grid: 20 pixels below it, and never over seat 2's row of backs, which
// reaches past the grid's bottom once the window is maximised to a shape
// taller than the normal one (its cards grow with the height, the gap does not).
int lowerSeatLabelTop(const TableGeometry& g);

}  // namespace vantel
