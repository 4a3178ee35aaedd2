// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What assistive technology (a screen reader) is told about the game's own
// widgets: the card pictures are buttons named by their card, playable or
// not; the member pictures are buttons named by their member, chosen or
// not; the result table and the ranking are tables of rows and columns; the
// speech window is a notification whose name is what is said.
#pragma once

namespace vantel {

// Makes the game's widgets known to Qt's accessibility; called by their
// constructors, does its work once.
void installAccessibility();

}  // namespace vantel
