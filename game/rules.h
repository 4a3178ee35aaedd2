// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The placement rules of the table, as pure functions over plain state.
//
// Each suit's row is a ring: the Ace joins the 2 and the King, the King
// joins the Queen and the Ace. Once the Ace or the King of a suit is down,
// the row can only grow from the side joined through it.
#pragma once

#include "game/round_state.h"

namespace vantel {

// DISP_CHK: the card's rank when it may be laid on `table` now, else 0
// (also 0 for an empty slot and for the joker).
int dispChk(const TableGrid& table, int card);

// DISP_CHK2: 1 when `card` could be laid if cell (suit, rank) were also
// connected, else 0. The table itself is not changed.
int dispChk2(const TableGrid& table, int card, int suit, int rank);

// FLG_CHK: after a card landed connected on (suit, rank), joins the
// out-of-line runs that now touch it, across the Ace-King joint as well.
void flgChk(TableGrid& table, int suit, int rank);

// FLG_CHK2: after a dropping seat's card landed out of line on
// (suit, rank), connects that one cell when it touches a connected cell.
void flgChk2(TableGrid& table, int suit, int rank);

// CD_CHK: 1 when the seat holds `card` in slots 1..13 (never the joker slot).
int cdChk(const Hand& hand, int card);

// JYOKER: the gap card the joker would fill if `card` were laid with it by
// the seat holding `hand`, or 0 when it cannot be.
int jyoker(const TableGrid& table, const Hand& hand, int card);

// SORT: the fixed compare-and-exchange network that puts slots 1..13 in
// ascending order (slot 14 untouched).
void sortHand(Hand& hand);

// Number of connected cells in a suit's row.
int connectedInRow(const TableGrid& table, int suit);

}  // namespace vantel
