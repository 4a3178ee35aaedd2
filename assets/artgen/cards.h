// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Card faces (78 x 108), the joker and the four seat backs.
#pragma once

#include <QImage>

namespace artgen {

inline constexpr int kFaceW = 78;
inline constexpr int kFaceH = 108;
inline constexpr int kBackW = 49;  // portrait back; landscape swaps the two
inline constexpr int kBackH = 65;

// Card number 1..52 (suit (n-1)/13+1, rank (n-1)%13+1) or 53 for the joker.
QImage drawCardFace(int cardNumber);

// Back of seat 1..4: seats 1 and 3 portrait, 2 and 4 landscape.
QImage drawCardBack(int seat);

}  // namespace artgen
