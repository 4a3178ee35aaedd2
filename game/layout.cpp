// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/layout.h"

#include <algorithm>
#include <cmath>

namespace vantel {

int roundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

TableGeometry gridFor(Size client, Size card, Size landscape) {
    TableGeometry g;
    g.cardWidth = card.width;
    g.cardHeight = card.height;
    g.landscapeWidth = landscape.width;
    g.landscapeHeight = landscape.height;
    g.tableLeft = roundEven((client.width - 13.0 * card.width) / 2.0);
    g.tableRight = client.width - g.tableLeft;
    g.tableTop = roundEven((client.height - 4.0 * card.height) / 2.0);
    g.tableBottom = client.height - g.tableTop;
    return g;
}

Point cellPosition(const TableGeometry& g, int card) {
    const int column = (card - 1) % 13;
    const int row = (card - 1) / 13;
    return {g.tableLeft + column * g.cardWidth, g.tableTop + row * g.cardHeight};
}

Point deckPosition(const TableGeometry& g) {
    return {6 * g.cardWidth + g.tableLeft, 2 * g.cardHeight + g.tableTop};
}

Point fanStart(const TableGeometry& g) {
    return {roundEven(2.0 * g.cardWidth + g.tableLeft), g.tableBottom + 20};
}

int fanNext(const TableGeometry& g, int x) { return roundEven(g.cardWidth / 5.0 * 3.0 + x); }

Point seatRowPosition(const TableGeometry& g, int seat, int k) {
    Point p;
    switch (seat) {
        case 2:
            p = {5, g.tableTop - g.cardHeight - 10};
            for (int i = 1; i < k; ++i) p.y = roundEven(p.y + g.landscapeHeight / 2.0);
            break;
        case 3:
            p = {g.tableRight - 3 * g.cardWidth, g.tableTop - g.cardHeight - 10};
            for (int i = 1; i < k; ++i) p.x = roundEven(p.x - g.cardWidth / 2.0);
            break;
        case 4:
            p = {13 * g.cardWidth + g.tableLeft + 5,
                 roundEven(g.tableBottom + g.landscapeHeight / 2.0)};
            for (int i = 1; i < k; ++i) p.y = roundEven(p.y - g.landscapeHeight / 2.0);
            break;
        default:
            break;
    }
    return p;
}

int lowerSeatLabelTop(const TableGeometry& g) {
    const int rowBottom = seatRowPosition(g, 2, 13).y + g.landscapeHeight;
    return std::max(g.tableBottom + 20, rowBottom + 8);
}

}  // namespace vantel
