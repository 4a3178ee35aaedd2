// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where every card picture goes when the window lays the table out again
// (after a resize or a maximise): the cards on the grid, the user's hand in
// one closed-up row under it, and the three opponents' rows of backs with
// their face pictures hidden beneath. Only pictures move; the round itself
// is not touched.
#pragma once

#include <vector>

#include "game/layout.h"
#include "game/picture_board.h"
#include "game/round_state.h"

namespace vantel {

struct PictureMove {
    int index = 0;
    Point to;
    friend bool operator==(const PictureMove&, const PictureMove&) = default;
};

// `before` is the grid of the previous layout pass (a joker lying on the
// table keeps its cell), `after` the one just computed. `pictures` tells
// which pictures show and which take clicks. Moves are listed in the order
// they are made; a picture may be named more than once, the last one wins.
std::vector<PictureMove> relayoutPictures(const TableGeometry& before, const TableGeometry& after,
                                          const RoundState& round, const PictureBoard& pictures);

}  // namespace vantel
