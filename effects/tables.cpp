// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

#include "effects/tables.h"

namespace zorvix {

std::uint8_t invertTable[256];
std::uint8_t halfTable[65536];
std::uint8_t addTable[65536];

namespace {

void fillTables() {
    for (int i = 0; i < 256; ++i) {
        invertTable[i] = static_cast<std::uint8_t>(255 - i);
        for (int j = 0; j < 256; ++j) {
            halfTable[i * 256 + j] = static_cast<std::uint8_t>((i + j) / 2);
            const int sum = i + j;
            addTable[i * 256 + j] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
        }
    }
}

// Runs when the library is loaded, before any effect can be called.
const struct TableFiller {
    TableFiller() { fillTables(); }
} tableFiller;

}  // namespace
}  // namespace zorvix
