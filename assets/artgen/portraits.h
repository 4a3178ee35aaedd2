// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The four default members' portraits and the fallback portraits.
#pragma once

#include <QImage>

namespace artgen {

inline constexpr int kPlayW = 180;  // picture 1: member grid and speech window
inline constexpr int kPlayH = 240;
inline constexpr int kStageSize = 400;  // pictures 2..4: match-end screens

// Member 1..4 (あやや, ゆうこ, はるか, みさこ), picture 1..4:
// 1 at play, 2 cheering the user's win, 3 triumphant, 4 proud.
QImage drawPortrait(int member, int picture);

// Neutral stand-ins for a portrait file that cannot be loaded.
QImage drawFallbackPortrait(int width, int height, bool caption);

}  // namespace artgen
