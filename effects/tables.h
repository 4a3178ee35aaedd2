// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

// The three lookup tables of the blends, filled once when the library loads.
#pragma once

#include <cstdint>

namespace zorvix {

// invertTable[i] = 255 - i.
extern std::uint8_t invertTable[256];
// halfTable[a * 256 + b] = (a + b) / 2, rounded down.
extern std::uint8_t halfTable[65536];
// addTable[a * 256 + b] = a + b, or 255 where the sum is larger.
extern std::uint8_t addTable[65536];

}  // namespace zorvix
