// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/table_layout.h"

#include "game/match_play.h"

namespace vantel {

namespace {

constexpr int kRaise = 10;

// The cell a picture standing at `p` occupies on grid `g`, as a card number
// of that cell; 0 when it stands off the grid.
int cellUnder(const TableGeometry& g, Point p) {
    if (g.cardWidth <= 0 || g.cardHeight <= 0) return 0;
    const int column = roundEven(static_cast<double>(p.x - g.tableLeft) / g.cardWidth);
    const int row = roundEven(static_cast<double>(p.y - g.tableTop) / g.cardHeight);
    if (column < 0 || column > 12 || row < 0 || row > 3) return 0;
    return row * kCardsPerSuit + column + 1;
}

}  // namespace

std::vector<PictureMove> relayoutPictures(const TableGeometry& before, const TableGeometry& after,
                                          const RoundState& round, const PictureBoard& pictures) {
    std::vector<PictureMove> moves;
    const auto& pic = pictures.pictures;

    // Cards on the table go to their cells. A joker standing in a gap cell
    // (it waits there for the gap card's holder) keeps that cell.
    for (int n = 1; n <= kJoker; ++n) {
        if (!pic[n].visible) continue;
        if (isCard(n)) {
            moves.push_back({n, cellPosition(after, n)});
        } else if (!round.holdsJoker(1)) {
            if (const int cell = cellUnder(before, pic[n].position); cell != 0) {
                moves.push_back({n, cellPosition(after, cell)});
            }
        }
    }

    // The user's hand, face up in one row; empty slots do not leave gaps.
    Point at{roundEven(after.tableLeft + after.cardWidth), after.tableBottom + 20};
    for (int slot = 1; slot <= kJokerSlot; ++slot) {
        const int card = round.hand[1][slot];
        if (card == 0) continue;
        int top = at.y;
        if (pic[card].enabled) top -= kRaise;
        if (slot == kJokerSlot && round.jokerHint == 1) top -= kRaise;
        moves.push_back({card, {at.x, top}});
        at.x = roundEven(at.x + after.cardWidth / 5.0 * 3.0);
    }

    // The opponents' rows of backs, each face picture hidden under its back.
    for (int seat = 2; seat <= kSeats; ++seat) {
        const int firstBack = round.backImageBase[seat];
        for (int k = 1; k <= kHandSlots; ++k) {
            const Point place = seatRowPosition(after, seat, k);
            moves.push_back({firstBack + k - 1, place});
            if (const int card = round.hand[seat][k]; card != 0) moves.push_back({card, place});
        }
    }
    return moves;
}

}  // namespace vantel
