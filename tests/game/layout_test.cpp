// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The labels under the grid against the left seat's row of backs, at every
// window shape from the normal size to a large maximised screen.

#include <gtest/gtest.h>

#include "game/layout.h"

using namespace vantel;

TEST(Layout, TheLeftSeatsLabelsStayClearOfItsBacksAtEveryWindowShape) {
    // The window's own scaling: 800 x 567 pixels outside at the normal size.
    for (int w = 800; w <= 2560; w += 37) {
        for (int h = 567; h <= 1600; h += 29) {
            const double sx = w / 800.0, sy = h * 15.0 / 8500;
            const Size card{roundEven(49 * sx), roundEven(65 * sy)};
            const Size landscape{roundEven(65 * sx), roundEven(49 * sy)};
            const TableGeometry g = gridFor({w - 8, h - 52}, card, landscape);
            SCOPED_TRACE(testing::Message() << w << " x " << h);
            const int rowBottom = seatRowPosition(g, 2, 13).y + g.landscapeHeight;
            EXPECT_GE(lowerSeatLabelTop(g), rowBottom + 8);
            EXPECT_GE(lowerSeatLabelTop(g), g.tableBottom + 20);
            // At the normal height nothing moves from where it always was.
            if (h == 567) {
                EXPECT_EQ(lowerSeatLabelTop(g), g.tableBottom + 20);
            }
        }
    }
}
